#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace ph {

// Makes each window the first time it is opened and keeps it for the whole run, so it
// keeps its fields between showings. Windows are known by their class name.
class WindowPlaces;

class WindowRegistry {
public:
    using Factory = std::function<QWidget*(QWidget* parent)>;

    // `closesMainWindow`: leaving the window also closes the main window (user and
    // password changes), so the next work starts with a fresh sign-in.
    void add(const QString& windowClass, Factory factory, bool closesMainWindow = false);
    bool has(const QString& windowClass) const { return m_factories.contains(windowClass); }
    QStringList windowClasses() const { return m_factories.keys(); }
    bool closesMainWindow(const QString& windowClass) const { return m_closesMain.value(windowClass, false); }

    // Windows made from now on keep their size and place between runs there (none: not kept).
    void setPlaces(WindowPlaces* places) { m_places = places; }

    // The window, made now if it was never opened; null when no such window is built.
    QWidget* window(const QString& windowClass, QWidget* parent);

private:
    QHash<QString, Factory> m_factories;
    QHash<QString, bool> m_closesMain;
    QHash<QString, QPointer<QWidget>> m_windows;
    WindowPlaces* m_places = nullptr;
};

} // namespace ph
