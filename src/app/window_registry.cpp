#include "app/window_registry.h"

#include "widgets/window_places.h"

namespace ph {

void WindowRegistry::add(const QString& windowClass, Factory factory, bool closesMainWindow) {
    m_factories.insert(windowClass, std::move(factory));
    m_closesMain.insert(windowClass, closesMainWindow);
}

QWidget* WindowRegistry::window(const QString& windowClass, QWidget* parent) {
    QPointer<QWidget>& slot = m_windows[windowClass];
    if (!slot) {
        const auto factory = m_factories.constFind(windowClass);
        if (factory == m_factories.constEnd())
            return nullptr;
        slot = (*factory)(parent);
        if (slot && m_places) m_places->watch(slot);
    }
    return slot;
}

} // namespace ph
