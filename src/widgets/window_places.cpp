#include "widgets/window_places.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace ph {
namespace {
constexpr const char* kPlacedProperty = "ph_placed";
} // namespace

QSize fittedWindowSize(QSize wanted, QSize minimum, QSize available, QSize frame) {
    const QSize room(std::max(1, available.width() - frame.width()), std::max(1, available.height() - frame.height()));
    QSize size = wanted.expandedTo(minimum);
    return size.boundedTo(room);
}

WindowPlaces::WindowPlaces(QSettings& settings, QObject* parent) : QObject(parent), m_settings(settings) {}

QString WindowPlaces::key(const QWidget* window) const {
    const QString name = window->objectName().isEmpty() ? QString::fromLatin1(window->metaObject()->className())
                                                        : window->objectName();
    return QStringLiteral("windows/") + name;
}

void WindowPlaces::watch(QWidget* window) {
    if (!window || m_windows.contains(window)) return;
    m_windows.append(window);
    window->installEventFilter(this);
}

void WindowPlaces::saveAll() {
    for (const QPointer<QWidget>& window : std::as_const(m_windows))
        if (window && window->isVisible()) save(window);
}

bool WindowPlaces::eventFilter(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QWidget*>(watched);
    if (window && window->isWindow()) {
        if (event->type() == QEvent::Show && !window->property(kPlacedProperty).toBool()) place(window);
        if (event->type() == QEvent::Hide || event->type() == QEvent::Close) save(window);
    }
    return QObject::eventFilter(watched, event);
}

void WindowPlaces::place(QWidget* window) {
    window->setProperty(kPlacedProperty, true);
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    const QByteArray saved = m_settings.value(key(window)).toByteArray();
    if (!saved.isEmpty() && window->restoreGeometry(saved) && available.intersects(window->frameGeometry())) {
        // A place saved on a larger screen is fitted again.
        const QSize fitted = fittedWindowSize(window->size(), window->minimumSizeHint(), available.size());
        if (fitted != window->size()) window->resize(fitted);
        return;
    }
    if (window->layout()) window->layout()->activate();
    const QSize wanted = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
    window->resize(fittedWindowSize(wanted, window->minimumSizeHint(), available.size()));
    QRect frame = window->frameGeometry();
    frame.moveCenter(available.center());
    window->move(std::max(frame.left(), available.left()), std::max(frame.top(), available.top()));
}

void WindowPlaces::save(QWidget* window) {
    if (!window->property(kPlacedProperty).toBool()) return;
    // A place that did not change leaves the file alone: setting it would write the whole
    // file again (and wait for the disk) at every close.
    const QByteArray geometry = window->saveGeometry();
    if (m_settings.value(key(window)).toByteArray() != geometry) m_settings.setValue(key(window), geometry);
}

} // namespace ph
