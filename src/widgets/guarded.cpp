#include "widgets/guarded.h"

#include "core/error.h"
#include "core/prompter.h"

#include <new>

namespace ph {

QString unexpectedFailureMessage(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return QStringLiteral("حافظه كافي براي اين كار نبود و كار متوقف شد.");
    return QStringLiteral("اين كار با خطاي پيش بيني نشده متوقف شد: %1").arg(QString::fromLocal8Bit(error.what()));
}

bool guarded(Prompter& prompter, const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const Error& error) {
        prompter.errorReport(error.message());
        return false;
    } catch (const std::exception& error) {
        prompter.errorReport(unexpectedFailureMessage(error));
        return false;
    }
}

} // namespace ph
