#pragma once

#include <QApplication>
#include <QWidget>
#include <QtTest>

// Small helpers for tests of keyboard-first widgets placed in a window.
namespace ph::test {

// Shows the window and waits until it is active, so that focus moves are real.
inline bool showActive(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// The widget that has (or will get back) the focus of this window.
inline QString focusName(QWidget& window) {
    QWidget* focus = window.focusWidget();
    return focus ? focus->objectName() : QString();
}

} // namespace ph::test
