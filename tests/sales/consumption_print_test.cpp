#include "../print/pdf_reading.h"
#include "sales/print/consumption_print.h"
#include "core/amounts.h"
#include "print/report_output.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace ph;

// The ward consumption sheet: its amounts grouped by thousands, and the sheet read back from
// its PDF.
class ConsumptionPrintTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void groupedAmounts_data();
    void groupedAmounts();
    void sheetShowsTheConsumption();
    void longConsumptionRunsOnto2Pages();

private:
    static WardConsumptionPrint consumption(int lines);
    QTemporaryDir m_out;
};

void ConsumptionPrintTest::initTestCase() {
    QVERIFY2(test::popplerPresent(), "poppler-utils (pdftotext, pdfinfo) are needed: scripts/install-deps.sh");
}

void ConsumptionPrintTest::groupedAmounts_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("three digits") << 999.0 << "999";
    QTest::newRow("four digits") << 1000.0 << "1,000";
    QTest::newRow("seven digits") << 1234567.0 << "1,234,567";
    QTest::newRow("fraction kept") << 12345.5 << "12,345.5";
    QTest::newRow("negative") << -1234567.0 << "-1,234,567";
    QTest::newRow("negative six digits") << -123456.0 << "-123,456";
}

void ConsumptionPrintTest::groupedAmounts() {
    QFETCH(double, amount);
    QFETCH(QString, text);
    QCOMPARE(groupedAmountText(amount), text);
}

WardConsumptionPrint ConsumptionPrintTest::consumption(int lines) {
    WardConsumptionPrint data;
    data.number = 42;
    data.date = QStringLiteral("05/07/21");
    data.requestNumber = QStringLiteral("7788");
    data.wardCode = QStringLiteral("3");
    data.wardName = QStringLiteral("جراحي");
    data.lines.append({QStringLiteral("سرم قندي"), QStringLiteral("1010001"), QStringLiteral("ويال"),
                       QStringLiteral("تعرفه"), 3, 1250000, 3750000});
    for (int i = 1; i < lines; ++i)
        data.lines.append({QStringLiteral("گاز استريل"), QString::number(2020000 + i), QStringLiteral("بسته"),
                           QStringLiteral("كالا"), 2, 500, 1000});
    for (const WardConsumptionPrint::Line& line : data.lines) data.total += line.total;
    return data;
}

void ConsumptionPrintTest::sheetShowsTheConsumption() {
    const QString path = m_out.filePath(QStringLiteral("consumption.pdf"));
    QVERIFY(print::writePdf(wardConsumptionReport(consumption(2), QStringLiteral("داروخانه شفا")), path).done());
    QCOMPARE(test::pdfPages(path), 1);
    // Letters that join on both sides do not always read back from the PDF, so the words
    // checked are ones that read back whole.
    const QString text = test::pdfText(path);
    for (const QString& expected :
         {QStringLiteral("داروخانه شفا"), QStringLiteral("برگ داروي مصرفي بخش"), QStringLiteral("42"),
          QStringLiteral("05/07/21"), QStringLiteral("جراحي"), QStringLiteral("7788"), QStringLiteral("سرم قندي"),
          QStringLiteral("1010001"), QStringLiteral("ويال"), QStringLiteral("تعرفه"), QStringLiteral("1,250,000"),
          QStringLiteral("3,750,000"), QStringLiteral("2020001"), QStringLiteral("كالا"), QStringLiteral("1,000"),
          QStringLiteral("500"), QStringLiteral("3,751,000"), QStringLiteral("جمع كل"), QStringLiteral("امضاي مسئول بخش")})
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing from:\n") + text));
}

void ConsumptionPrintTest::longConsumptionRunsOnto2Pages() {
    // Every page repeats the heading; the total is printed once, after the last line.
    const QString path = m_out.filePath(QStringLiteral("long.pdf"));
    QVERIFY(print::writePdf(wardConsumptionReport(consumption(60), QStringLiteral("داروخانه شفا")), path).done());
    QCOMPARE(test::pdfPages(path), 2);
    const QString text = test::pdfText(path);
    QCOMPARE(text.count(QStringLiteral("برگ داروي مصرفي بخش")), 2);
    QCOMPARE(text.count(QStringLiteral("جمع كل")), 1);
    QVERIFY(text.contains(QStringLiteral("3,809,000")));
}

QTEST_MAIN(ConsumptionPrintTest)
#include "consumption_print_test.moc"
