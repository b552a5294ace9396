#include "widgets/key_nav.h"
#include "support/window_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace ph;
using ph::test::focusName;
using ph::test::press;

namespace {

template <typename T> T* add(QWidget& window, const char* name) {
    auto* widget = new T(&window);
    widget->setObjectName(QString::fromLatin1(name));
    window.layout()->addWidget(widget);
    return widget;
}

} // namespace

class KeyNavTest : public QObject {
    Q_OBJECT
private slots:
    void enterAndUpSkipUnusableFields();
    void enterHandlerDecidesAndButtonsArePressed();
};

void KeyNavTest::enterAndUpSkipUnusableFields() {
    QWidget window;
    new QVBoxLayout(&window);
    auto* a = add<QLineEdit>(window, "a");
    auto* b = add<QLineEdit>(window, "b");
    auto* c = add<QLineEdit>(window, "c");
    auto* hidden = add<QLineEdit>(window, "hidden");
    auto* d = add<QComboBox>(window, "d");
    d->addItems({QStringLiteral("تعرفه"), QStringLiteral("آزاد"), QStringLiteral("OTC")});
    d->setCurrentIndex(1);
    b->setEnabled(false);
    hidden->hide();
    int lastActions = 0;
    KeyNav nav({a, b, c, hidden, d});
    nav.setLastAction([&] { ++lastActions; });
    QVERIFY(ph::test::showActive(window));
    a->setFocus();

    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QStringLiteral("c"));
    press(window, Qt::Key_Enter); // the keypad's Enter too
    QCOMPARE(focusName(window), QStringLiteral("d"));

    // The combo box keeps Up for its items.
    press(window, Qt::Key_Up);
    QCOMPARE(focusName(window), QStringLiteral("d"));
    QCOMPARE(d->currentIndex(), 0);

    // Enter on the last field runs the last action and stays.
    press(window, Qt::Key_Return);
    QCOMPARE(lastActions, 1);
    QCOMPARE(focusName(window), QStringLiteral("d"));

    c->setFocus();
    press(window, Qt::Key_Up);
    QCOMPARE(focusName(window), QStringLiteral("a"));
    press(window, Qt::Key_Up); // nothing before the first field
    QCOMPARE(focusName(window), QStringLiteral("a"));

    // A field enabled again is back in the order.
    b->setEnabled(true);
    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QStringLiteral("b"));
}

void KeyNavTest::enterHandlerDecidesAndButtonsArePressed() {
    QWidget window;
    new QVBoxLayout(&window);
    auto* code = add<QLineEdit>(window, "code");
    auto* add_line = add<QPushButton>(window, "but_sabt1");
    int handled = 0, clicked = 0;
    bool valid = false;
    connect(add_line, &QPushButton::clicked, [&] { ++clicked; });
    KeyNav nav;
    nav.addField(code);
    nav.addField(add_line);
    nav.setEnterHandler(code, [&] {
        ++handled;
        return valid;
    });
    QVERIFY(ph::test::showActive(window));
    code->setFocus();

    press(window, Qt::Key_Return);
    QCOMPARE(handled, 1);
    QCOMPARE(focusName(window), QStringLiteral("code"));

    valid = true;
    press(window, Qt::Key_Return);
    QCOMPARE(handled, 2);
    QCOMPARE(focusName(window), QStringLiteral("but_sabt1"));

    press(window, Qt::Key_Return);
    QCOMPARE(clicked, 1);
    QCOMPARE(focusName(window), QStringLiteral("but_sabt1"));
}

QTEST_MAIN(KeyNavTest)
#include "key_nav_test.moc"
