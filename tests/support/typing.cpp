#include "support/typing.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

namespace ph::test {

void typeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        int key = Qt::Key_unknown;
        if (c.isDigit() && c.unicode() < 128)
            key = Qt::Key_0 + (c.unicode() - '0');
        else if (c.unicode() >= 'a' && c.unicode() <= 'z')
            key = Qt::Key_A + (c.unicode() - 'a');
        else if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            key = Qt::Key_A + (c.unicode() - 'A');
        else if (c == u' ')
            key = Qt::Key_Space;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

void typeKeys(QWidget* widget, const QString& keys) {
    for (QChar c : keys) {
        if (c == u'\b')
            QTest::keyClick(widget, Qt::Key_Backspace);
        else
            typeText(widget, QString(c));
    }
}

} // namespace ph::test
