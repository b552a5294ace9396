#include "widgets/scan_catcher.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <optional>

using namespace ph;

class ScanCatcherTest : public QObject {
    Q_OBJECT
private slots:
    void tellsAScanFromAPerson_data();
    void tellsAScanFromAPerson();
};

void ScanCatcherTest::tellsAScanFromAPerson_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("gapMs");   // between two keys as the window handles them
    QTest::addColumn<int>("stampMs"); // between the window system's stamps; 0: keys a program sends, unstamped
    QTest::addColumn<bool>("scan");
    QTest::newRow("a scanner's code") << "6260001234567" << 4 << 0 << true;
    // Upper-case letters come with Shift pressed and released around them.
    QTest::newRow("a scanner's code with shifted letters") << "6260001234567SN1" << 4 << 0 << true;
    QTest::newRow("a person typing the same code") << "6260001234567" << 90 << 0 << false;
    QTest::newRow("fast but too short") << "6260001" << 4 << 0 << false;
    QTest::newRow("fast but not code-shaped") << "aspirin tabs" << 4 << 0 << false;
    // The stamps tell when a key was typed, whatever kept the window busy in between.
    QTest::newRow("a scanner's keys handled late by a busy window") << "6260001234567" << 90 << 4 << true;
    QTest::newRow("a person's keys handled at once") << "6260001234567" << 4 << 90 << false;
}

void ScanCatcherTest::tellsAScanFromAPerson() {
    QFETCH(QString, typed);
    QFETCH(int, gapMs);
    QFETCH(int, stampMs);
    QFETCH(bool, scan);
    qint64 now = 1000;
    QWidget area;
    auto* field = new QLineEdit(&area);
    auto* enterSeen = new QSignalSpy(field, &QLineEdit::returnPressed);
    (new QVBoxLayout(&area))->addWidget(field);
    ScanCatcher catcher(&area, [](const QString& text) { return text.front().isDigit(); }, [&] { return now; });
    catcher.watch(&area);
    QSignalSpy scans(&catcher, &ScanCatcher::scanned);
    field->setText(QStringLiteral("قبلي"));
    field->setCursorPosition(2);

    ulong stamp = 5000;
    // A character, or Enter for none.
    const auto press = [&](std::optional<QChar> c) {
        if (stampMs == 0) {
            if (c && c->isUpper()) {
                QTest::keyPress(field, Qt::Key_Shift);
                QTest::keyClick(field, c->toLatin1(), Qt::ShiftModifier);
                QTest::keyRelease(field, Qt::Key_Shift, Qt::ShiftModifier);
            } else if (c) {
                QTest::keyClick(field, c->toLatin1());
            } else
                QTest::keyClick(field, Qt::Key_Return);
            return;
        }
        QKeyEvent key(QEvent::KeyPress, c ? Qt::Key_unknown : Qt::Key_Return, Qt::NoModifier, c ? QString(*c) : QString());
        key.setTimestamp(stamp);
        QApplication::sendEvent(field, &key);
        stamp += ulong(stampMs);
    };
    for (const QChar c : typed) {
        press(c);
        now += gapMs;
    }
    press(std::nullopt);

    QCOMPARE(scans.size(), scan ? 1 : 0);
    QCOMPARE(enterSeen->size(), scan ? 0 : 1);
    if (scan) {
        QCOMPARE(scans.front().front().toString(), typed);
        QCOMPARE(field->text(), QStringLiteral("قبلي")); // the field as it was before the scan
        QCOMPARE(field->cursorPosition(), 2);
    } else {
        QCOMPARE(field->text(), QStringLiteral("قب") + typed + QStringLiteral("لي"));
    }
    delete enterSeen;
}

QTEST_MAIN(ScanCatcherTest)
#include "scan_catcher_test.moc"
