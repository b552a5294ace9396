#include "core/amount_words.h"
#include "core/amounts.h"
#include "core/error.h"
#include "core/clock.h"
#include "core/comma_text.h"
#include "core/jalali_date.h"

#include <QTest>

using namespace ph;

class TextAndDatesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void todayFromTheClock_data();
    void todayFromTheClock();
    void jalaliRoundTrip();
    void storedDates_data();
    void storedDates();
    void commaText_data();
    void commaText();
    void rounding();
    void plainDecimal_data();
    void plainDecimal();
    void amountFromFieldText();
    void amountWords_data();
    void amountWords();
};

void TextAndDatesTest::todayFromTheClock_data() {
    QTest::addColumn<QDate>("gregorian");
    QTest::addColumn<QString>("expected");
    QTest::newRow("new year 1404") << QDate(2025, 3, 21) << QStringLiteral("04/01/01");
    QTest::newRow("last day of 1403") << QDate(2025, 3, 20) << QStringLiteral("03/12/30");
    QTest::newRow("today") << QDate(2026, 12, 10) << QStringLiteral("05/09/19");
    QTest::newRow("1399") << QDate(2020, 3, 20) << QStringLiteral("99/01/01");
    QTest::newRow("leap esfand 30 of 1399") << QDate(2021, 3, 20) << QStringLiteral("99/12/30");
}

void TextAndDatesTest::todayFromTheClock() {
    QFETCH(QDate, gregorian);
    QFETCH(QString, expected);
    // Late in the evening: the civil date, not a UTC shift of it, decides the day.
    const FixedClock clock(QDateTime(gregorian, QTime(23, 30)));
    QCOMPARE(todayJalaliText(clock), expected);
}

void TextAndDatesTest::jalaliRoundTrip() {
    for (QDate d(2024, 1, 1); d < QDate(2026, 1, 1); d = d.addDays(1)) {
        const JalaliDate j = toJalali(d);
        QVERIFY(j.isValid());
        QCOMPARE(fromJalali(j), d);
    }
    QCOMPARE(toJalali(QDate(2026, 12, 10)).longText(), QStringLiteral("1405/09/19"));
}

void TextAndDatesTest::storedDates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("real");
    QTest::newRow("today") << QStringLiteral("05/09/19") << true;
    QTest::newRow("last day of a 31-day month") << QStringLiteral("05/06/31") << true;
    QTest::newRow("31st of a 30-day month") << QStringLiteral("05/07/31") << false;
    QTest::newRow("esfand 30 of leap 1399") << QStringLiteral("99/12/30") << true;
    QTest::newRow("esfand 30 of 1404") << QStringLiteral("04/12/30") << false;
    QTest::newRow("month 13") << QStringLiteral("05/13/01") << false;
    QTest::newRow("all nines") << QStringLiteral("99/99/99") << false;
    QTest::newRow("all zeros") << QStringLiteral("00/00/00") << false;
    QTest::newRow("four-digit year") << QStringLiteral("1405/01/01") << false;
    QTest::newRow("blank mask") << QStringLiteral("  /  /  ") << false;
}

void TextAndDatesTest::storedDates() {
    QFETCH(QString, text);
    QFETCH(bool, real);
    const std::optional<JalaliDate> date = jalaliFromShortText(text);
    QCOMPARE(date.has_value(), real);
    if (real) QCOMPARE(date->shortText(), text);
}

void TextAndDatesTest::commaText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("plain") << QStringLiteral("12,13,5") << QStringList{"12", "13", "5"};
    QTest::newRow("blanks separate too") << QStringLiteral(" 12, 13 5") << QStringList{"12", "13", "5"};
    QTest::newRow("quotes group") << QStringLiteral("\"a b\",\"c,d\",e") << QStringList{"a b", "c,d", "e"};
    QTest::newRow("doubled quote") << QStringLiteral("\"say \"\"hi\"\"\"") << QStringList{"say \"hi\""};
    QTest::newRow("empty items") << QStringLiteral("1,,2,") << QStringList{"1", "", "2", ""};
}

void TextAndDatesTest::commaText() {
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    QCOMPARE(splitCommaText(text), items);
}

void TextAndDatesTest::rounding() {
    const struct {
        double in, out;
    } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {1234.4999, 1234}, {0.5, 0}, {1.5, 2}, {1e12 + 0.5, 1e12}};
    for (const auto& c : cases)
        QCOMPARE(roundRial(c.in), c.out);
}

void TextAndDatesTest::plainDecimal_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 115.0 << QStringLiteral("115");
    QTest::newRow("fraction") << 1234.5 << QStringLiteral("1234.5");
    QTest::newRow("no exponent") << 1e15 << QStringLiteral("1000000000000000");
    QTest::newRow("shortest") << 0.1 + 0.2 << QStringLiteral("0.30000000000000004");
    QTest::newRow("small") << 0.000001 << QStringLiteral("0.000001");
    QTest::newRow("negative zero") << -0.0 << QStringLiteral("0");
    QTest::newRow("negative") << -37.25 << QStringLiteral("-37.25");
}

void TextAndDatesTest::plainDecimal() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(plainDecimalText(value), text);
}

void TextAndDatesTest::amountFromFieldText() {
    QCOMPARE(amountFromText(" 1250 "), 1250.0);
    QCOMPARE(amountFromText("12.5"), 12.5);
    QCOMPARE(amountFromText("-3"), -3.0);
    QCOMPARE(amountFromText("۱۲۰۰"), 1200.0);
    for (const char* bad : {"", "12a", "1,200", ".", "1e5", "inf"})
        QVERIFY_THROWS_EXCEPTION(Error, amountFromText(QString::fromUtf8(bad)));
}

void TextAndDatesTest::amountWords_data() {
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("words");
    QTest::newRow("one group keeps its blank") << "115" << QStringLiteral("يكصد و پانزده ");
    QTest::newRow("empty groups add nothing") << "2000000" << QStringLiteral("دو ميليون");
    QTest::newRow("thousand") << "1000" << QStringLiteral("يك هزار");
    QTest::newRow("tens without units") << "30" << QStringLiteral("سي ");
    QTest::newRow("ten") << "10" << QStringLiteral("ده ");
    QTest::newRow("twelve digits") << "123456789012"
                                   << QStringLiteral("يكصد و بيست و سه ميليارد و چهارصد و پنجاه و شش ميليون و "
                                                     "هفتصد و هشتاد و نه هزار و دوازده");
    QTest::newRow("two keeps its last letter") << "2" << QStringLiteral("دو ");
    QTest::newRow("hundreds alone") << "200" << QStringLiteral("دويست ");
    QTest::newRow("teen inside") << "1019" << QStringLiteral("يك هزار و نوزده");
}

void TextAndDatesTest::amountWords() {
    QFETCH(QString, digits);
    QFETCH(QString, words);
    QCOMPARE(amountInWords(digits), words);
    QVERIFY_THROWS_EXCEPTION(Error, amountInWords(QStringLiteral("1234567890123")));
    QVERIFY_THROWS_EXCEPTION(Error, amountInWords(QStringLiteral("12a")));
}

QTEST_GUILESS_MAIN(TextAndDatesTest)
#include "text_and_dates_test.moc"
