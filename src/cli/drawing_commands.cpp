#include "cli/drawing_commands.h"

#include "core/clock.h"

namespace ph::cli {

int runDrawingCommand(const QString& command, const QString& workingDir, const QStringList& args,
                      const QStringList& /*allArgs*/, QTextStream& out, QTextStream& err) {
    if (command == QLatin1String("print")) return print(workingDir, args, out, err);
    if (command == QLatin1String("report")) return report(workingDir, args, SystemClock(), out, err, reportDrawing());
    if (command == QLatin1String("expiry")) return expiry(workingDir, args, SystemClock(), out, err, reportDrawing());
    return stock(workingDir, args, out, err, reportDrawing());
}

} // namespace ph::cli
