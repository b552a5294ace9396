#include "widgets/guarded.h"

#include "core/error.h"
#include "core/prompter.h"

namespace ph {

bool guarded(Prompter& prompter, const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const Error& error) {
        prompter.errorReport(error.message());
        return false;
    }
}

} // namespace ph
