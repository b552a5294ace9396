#pragma once

#include "support/typing.h"

#include <QApplication>
#include <QWidget>
#include <QtTest>

// Small helpers for tests of keyboard-first windows: finding their widgets by object name
// and sending keys where a user's keys would go.
namespace ph::test {

// Shows the window and waits until it is active, so that focus moves are real.
inline bool showActive(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// The widget that has the focus in this window (the window itself when none does): where
// the user's next key goes.
inline QWidget* focusIn(QWidget& window) {
    return window.focusWidget() ? window.focusWidget() : &window;
}

// The widget that has (or will get back) the focus of this window.
inline QString focusName(QWidget& window) {
    QWidget* focus = window.focusWidget();
    return focus ? focus->objectName() : QString();
}

// A key pressed and released in the widget that has the focus.
inline void press(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(focusIn(window), key, modifiers);
}

// Text typed into the widget that has the focus, one key event per character.
inline void typeIn(QWidget& window, const QString& text) {
    typeText(focusIn(window), text);
}

// The child with this object name; a test that asks for one the window lacks stops at once.
template <typename T = QWidget> T* child(const QObject& parent, const QString& name) {
    T* found = parent.findChild<T*>(name);
    if (!found) qFatal("%s has no child %s", qPrintable(parent.objectName()), qPrintable(name));
    return found;
}

template <typename T = QWidget> T* child(const QObject* parent, const QString& name) {
    return child<T>(*parent, name);
}

} // namespace ph::test
