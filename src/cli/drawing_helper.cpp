#include "cli/drawing_commands.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace ph::cli {

int runDrawingCommand(const QString& /*command*/, const QString& /*workingDir*/, const QStringList& /*args*/,
                      const QStringList& allArgs, QTextStream& out, QTextStream& err) {
    const QString helper = QCoreApplication::applicationDirPath() + QStringLiteral("/pharmacyctl-print");
    QList<QByteArray> bytes{QFile::encodeName(helper)};
    for (const QString& arg : allArgs) bytes.append(QFile::encodeName(arg));
    std::vector<char*> argv;
    for (QByteArray& arg : bytes) argv.push_back(arg.data());
    argv.push_back(nullptr);
    out.flush();
    err.flush();
    ::execv(argv.front(), argv.data());
    err << "pharmacyctl: cannot start " << helper << ": " << std::strerror(errno) << "\n";
    return 1;
}

} // namespace ph::cli
