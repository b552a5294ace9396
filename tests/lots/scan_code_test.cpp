#include "lots/scan_code.h"

#include <QTest>

using namespace ph;

class ScanCodeTest : public QObject {
    Q_OBJECT
private slots:
    void readsScans_data();
    void readsScans();
    void checksGtinDigits();
    void writesAPacksLabelText();
};

void ScanCodeTest::readsScans_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("gs1");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("batch");
    QTest::addColumn<QDate>("expiry");
    QTest::addColumn<QString>("serial");

    const QString gs(QChar(0x1D));
    const QString gtin = QStringLiteral("06260001234567");
    QTest::newRow("plain EAN-13") << "6260001234567" << true << false << gtin << "" << QDate() << "";
    QTest::newRow("EAN-8 padded") << "12345670" << true << false << "00000012345670" << "" << QDate() << "";
    QTest::newRow("own code kept as typed") << "A-1203" << true << false << "A-1203" << "" << QDate() << "";
    QTest::newRow("EAN-13 with a wrong check digit is a plain code")
        << "6260001234568" << true << false << "6260001234568" << "" << QDate() << "";
    QTest::newRow("GS1 with GS") << ("01" + gtin + "10AB12" + gs + "17270331" + "21SER9") << true << true << gtin
                                 << "AB12" << QDate(2027, 3, 31) << "SER9";
    QTest::newRow("GS1 with ]d2 and fixed fields needing no GS")
        << ("]d201" + gtin + "17280615" + "10LOT-7") << true << true << gtin << "LOT-7" << QDate(2028, 6, 15) << "";
    QTest::newRow("GS1 with ]C1 and a replaced GS") << ("]C101" + gtin + "21X1<GS>10B2") << true << true << gtin
                                                    << "B2" << QDate() << "X1";
    QTest::newRow("expiry day 00 is the month's end")
        << ("01" + gtin + "17280200" + "10B") << true << true << gtin << "B" << QDate(2028, 2, 29) << "";
    QTest::newRow("expiry after a batch without its GS")
        << ("01" + gtin + "10K5517270100") << true << true << gtin << "K55" << QDate(2027, 1, 31) << "";
    QTest::newRow("Persian layout") << QStringLiteral("۰۱۰۶۲۶۰۰۰۱۲۳۴۵۶۷۱۰ؤش۱~۲۱ئ")
                                    << true << true << gtin << "Aa1" << QDate() << "S";
    QTest::newRow("Persian layout, plain digits") << QStringLiteral("۶۲۶۰۰۰۱۲۳۴۵۶۷") << true << false << gtin << ""
                                                  << QDate() << "";
    QTest::newRow("GS1 with a bad GTIN check digit") << ("]d201" + QStringLiteral("06260001234568") + "10A") << false
                                                     << true << "" << "" << QDate() << "";
    QTest::newRow("GS1 with month 13") << ("01" + gtin + "17271301") << false << true << "" << "" << QDate() << "";
    QTest::newRow("GS1 without a GTIN") << ("]d210ABC") << false << true << "" << "" << QDate() << "";
    QTest::newRow("garbage") << "%$#@!" << false << false << "" << "" << QDate() << "";
    QTest::newRow("Persian words") << QStringLiteral("استامینوفن ۵۰۰") << false << false << "" << "" << QDate() << "";
    QTest::newRow("empty") << "  " << false << false << "" << "" << QDate() << "";
}

void ScanCodeTest::readsScans() {
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    const auto read = readScan(typed);
    QCOMPARE(std::holds_alternative<ScannedCode>(read), accepted);
    if (!accepted) {
        QVERIFY(!std::get<ScanRefusal>(read).message.isEmpty());
        return;
    }
    const ScannedCode& scanned = std::get<ScannedCode>(read);
    QTEST(scanned.gs1, "gs1");
    QTEST(scanned.code, "code");
    QTEST(scanned.batch, "batch");
    QTEST(scanned.expiry, "expiry");
    QTEST(scanned.serial, "serial");
}

// What a pack label's DataMatrix carries, read back as a scanner sends it (the brackets are
// the label's printing of the AIs, not part of the data).
void ScanCodeTest::writesAPacksLabelText() {
    const QString gtin = QStringLiteral("06260001234567");
    const struct {
        QDate expiry;
        QString batch;
        QString text;
    } cases[] = {
        {QDate(2028, 6, 15), QStringLiteral("LOT-7"), "(01)" + gtin + "(17)280615(10)LOT-7"},
        {QDate(), QString(), "(01)" + gtin},
        {QDate(2027, 1, 31), QStringLiteral("B(2)"), "(01)" + gtin + "(17)270131"}, // a bracket cannot be carried
        {QDate(), QString(21, u'X'), "(01)" + gtin},                              // nor 21 characters
    };
    for (const auto& c : cases) {
        const QString text = gs1PackText(gtin, c.expiry, c.batch);
        QCOMPARE(text, c.text);
        const auto read = readScan(QStringLiteral("]d2") + QString(text).remove(u'(').remove(u')'));
        QVERIFY(std::holds_alternative<ScannedCode>(read));
        QCOMPARE(std::get<ScannedCode>(read).code, gtin);
        QCOMPARE(std::get<ScannedCode>(read).expiry, c.expiry);
        QCOMPARE(std::get<ScannedCode>(read).batch, c.text.contains(QLatin1String("(10)")) ? c.batch : QString());
    }
}

void ScanCodeTest::checksGtinDigits() {
    for (const char* good : {"12345670", "036000291452", "6260001234567", "06260001234567"})
        QVERIFY2(hasValidGtinCheckDigit(QString::fromLatin1(good)), good);
    for (const char* bad : {"12345671", "1234567", "626000123456X", ""})
        QVERIFY2(!hasValidGtinCheckDigit(QString::fromLatin1(bad)), bad);
    QCOMPARE(normalizedBarcode(QStringLiteral(" 036000291452 ")), QStringLiteral("00036000291452"));
}

QTEST_GUILESS_MAIN(ScanCodeTest)
#include "scan_code_test.moc"
