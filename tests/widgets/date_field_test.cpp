#include "support/typing.h"
#include "widgets/date_field.h"
#include "widgets/persian_look.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QtTest>

using namespace ph;
using Year = DateField::Year;

Q_DECLARE_METATYPE(ph::DateField::Year)

class DateFieldTest : public QObject {
    Q_OBJECT
private slots:
    void typedDayFirst_data();
    void typedDayFirst();
    void storedTwinShownDayFirst_data();
    void storedTwinShownDayFirst();
    void typedYearFirst_data();
    void typedYearFirst();
    void wholeDateShownWhenSqueezed_data();
    void wholeDateShownWhenSqueezed();
};

void DateFieldTest::typedDayFirst_data() {
    QTest::addColumn<Year>("year");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::newRow("two-digit year") << Year::TwoDigits << QStringLiteral("190905")
                                    << QStringLiteral("19/ 09/ 05") << QStringLiteral("05/09/19");
    QTest::newRow("four-digit year") << Year::FourDigits << QStringLiteral("19091403")
                                     << QStringLiteral("19/ 09/ 1403") << QStringLiteral("1403/09/19");
    QTest::newRow("incomplete") << Year::TwoDigits << QStringLiteral("1909") << QStringLiteral("19/ 09/ ")
                                << QString();
    QTest::newRow("empty") << Year::TwoDigits << QString() << QStringLiteral("/ / ") << QString();
    QTest::newRow("letters and persian digits") << Year::TwoDigits << QStringLiteral("a1۲9x0905")
                                                << QStringLiteral("19/ 09/ 05") << QStringLiteral("05/09/19");
}

void DateFieldTest::typedDayFirst() {
    QFETCH(Year, year);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    DateField field(year);
    ph::test::typeText(&field, typed);
    QCOMPARE(field.text(), shown);
    QCOMPARE(field.storedText(), stored);
    QCOMPARE(field.isComplete(), !stored.isEmpty());
}

void DateFieldTest::storedTwinShownDayFirst_data() {
    QTest::addColumn<Year>("year");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("valid");
    QTest::newRow("yy/mm/dd") << Year::TwoDigits << QStringLiteral("05/09/19") << QStringLiteral("19/ 09/ 05")
                              << true;
    QTest::newRow("yyyy/mm/dd") << Year::FourDigits << QStringLiteral("1403/09/19")
                                << QStringLiteral("19/ 09/ 1403") << true;
    QTest::newRow("last day and month")
        << Year::TwoDigits << QStringLiteral("03/12/31") << QStringLiteral("31/ 12/ 03") << true;
    QTest::newRow("month 13") << Year::TwoDigits << QStringLiteral("05/13/01") << QStringLiteral("01/ 13/ 05")
                              << false;
    QTest::newRow("month 00") << Year::TwoDigits << QStringLiteral("05/00/01") << QStringLiteral("01/ 00/ 05")
                              << false;
    QTest::newRow("day 32") << Year::TwoDigits << QStringLiteral("05/12/32") << QStringLiteral("32/ 12/ 05")
                            << false;
    QTest::newRow("day 00") << Year::FourDigits << QStringLiteral("1405/01/00")
                            << QStringLiteral("00/ 01/ 1405") << false;
    QTest::newRow("empty") << Year::TwoDigits << QString() << QStringLiteral("/ / ") << false;
    QTest::newRow("year of the wrong length")
        << Year::TwoDigits << QStringLiteral("1405/01/02") << QStringLiteral("/ / ") << false;
}

void DateFieldTest::storedTwinShownDayFirst() {
    QFETCH(Year, year);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(bool, valid);
    DateField field(year);
    field.setText(QStringLiteral("01/ 01/ 01")); // what was there before is replaced
    field.setStoredText(stored);
    QCOMPARE(field.text(), shown);
    const bool complete = shown != QStringLiteral("/ / ");
    QCOMPARE(field.storedText(), complete ? stored : QString());
    QCOMPARE(field.isValidDate(), valid);
}

void DateFieldTest::typedYearFirst_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::newRow("whole date") << QStringLiteral("850307") << QStringLiteral("85/03/07") << QStringLiteral("85/03/07");
    QTest::newRow("one-digit parts") << QStringLiteral("85/3/7") << QStringLiteral("85/3 /7 ") << QString();
    QTest::newRow("persian digits") << QStringLiteral("8۵5/0307") << QStringLiteral("85/03/07")
                                    << QStringLiteral("85/03/07");
    QTest::newRow("empty") << QString() << QStringLiteral("  /  /  ") << QString();
}

// The search windows' year-first field: blanks are spaces, and the shown text is the stored one.
void DateFieldTest::typedYearFirst() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    std::unique_ptr<DateField> field(DateField::yearFirst());
    ph::test::typeText(field.get(), typed);
    QCOMPARE(field->displayText(), shown);
    QCOMPARE(field->storedText(), stored);
    field->setStoredText(QStringLiteral("86/12/30"));
    QCOMPARE(field->displayText(), QStringLiteral("86/12/30"));
}

void DateFieldTest::wholeDateShownWhenSqueezed_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("date");
    QTest::newRow("two-digit year") << 0 << QStringLiteral("28/ 08/ 05");
    QTest::newRow("four-digit year") << 1 << QStringLiteral("28/ 08/ 1405");
    QTest::newRow("year first") << 2 << QStringLiteral("05/08/28");
}

// In the program's font, in a row of a narrow window beside fields that take any spare width,
// the field still shows every character of a date: nothing is scrolled out of sight.
void DateFieldTest::wholeDateShownWhenSqueezed() {
    QFETCH(int, kind);
    QFETCH(QString, date);
    ph::applyPersianLook(*static_cast<QApplication*>(QCoreApplication::instance()));
    QWidget window;
    window.setLayoutDirection(Qt::RightToLeft);
    auto* row = new QHBoxLayout(&window);
    DateField* field = kind == 2 ? DateField::yearFirst(&window)
                                 : new DateField(kind == 0 ? Year::TwoDigits : Year::FourDigits, &window);
    row->addWidget(new QLabel(QStringLiteral("از تاريخ"), &window));
    row->addWidget(field);
    row->addWidget(new QLineEdit(&window), 1);
    window.resize(60, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    field->setText(date);
    QCOMPARE(field->displayText(), date);
    const auto cursor = [field] { return field->inputMethodQuery(Qt::ImCursorRectangle).toRect(); };
    field->setCursorPosition(0);
    const int start = cursor().center().x();
    field->setCursorPosition(int(date.size()));
    const int end = cursor().center().x();
    // Unscrolled, the cursor at the end stands the whole text's width from the start.
    QVERIFY2(end - start >= field->fontMetrics().horizontalAdvance(date) - 1,
             qPrintable(QStringLiteral("%1 px shown of %2 in a field %3 px wide")
                            .arg(end - start)
                            .arg(field->fontMetrics().horizontalAdvance(date))
                            .arg(field->width())));
    QVERIFY(end < field->width());
}

QTEST_MAIN(DateFieldTest)
#include "date_field_test.moc"
