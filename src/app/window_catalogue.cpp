#include "app/window_catalogue.h"

#include "app/main_window.h"
#include "app/window_registry.h"
#include "widgets/window_context.h"

namespace ph {

void registerWindows(WindowRegistry& registry, const WindowContext& windows, Tf_main& main) {
    Q_UNUSED(registry);
    Q_UNUSED(windows);
    Q_UNUSED(main);
}

} // namespace ph
