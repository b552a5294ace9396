#include "core/error.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/prescription_lines.h"
#include "dispensing/prescription_totals.h"

#include <QTest>

using namespace ph;
using Col = PrescriptionLines::Column;

namespace {

// A line with its kind, total and the amounts of columns 8 to 12.
void addLine(PrescriptionLines& lines, const QString& kind, const QString& total,
             const QStringList& amounts) {
    QStringList cells(PrescriptionLines::kColumns);
    cells[Col::Name] = QStringLiteral("دارو");
    cells[Col::Code] = QStringLiteral("1010001");
    cells[Col::Kind] = kind;
    cells[Col::Total] = total;
    for (int i = 0; i < amounts.size(); ++i)
        cells[Col::InsurerShare + i] = amounts.at(i);
    lines.append(cells);
}

TariffPeriod tariff() {
    TariffPeriod t;
    t.feeCeiling = 100000;
    t.dayDown = 3000;
    t.dayUp = 4000;
    t.nightDown = 5000;
    t.nightUp = 6000;
    t.otcPercent = 10;
    t.otcMax = 5000;
    t.emergencyCeiling = 50000;
    t.emergencyDown = 7000;
    t.emergencyUp = 8000;
    return t;
}

FeeFacts facts(int hour = 10) {
    FeeFacts f;
    f.tariff = tariff();
    f.hour = hour;
    f.currentInvoice = QStringLiteral("12");
    return f;
}

} // namespace

class PrescriptionTotalsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sumsOfTheLines();
    void otcFeeUpToItsCap_data();
    void otcFeeUpToItsCap();
    void technicalFeeByHourAndAmount_data();
    void technicalFeeByHourAndAmount();
    void emergencyInsurerFeeEvenWithoutAmount();
    void insurerFeePartUnderFeeFlag();
    void sameDaySecondPrescriptionHasNoFee();
    void noTariffMeansNoFees();
    void payableRoundsHalfToEven();
    void cellThatIsNotANumberStops();
};

void PrescriptionTotalsTest::sumsOfTheLines() {
    PrescriptionLines lines;
    addLine(lines, texts::kInsured, "5000", {"1400", "600", "3000", "0", "0"});
    addLine(lines, texts::kInsured, "0", {"0", "0", "300", "0", "0"}); // a hoteling compounded drug
    addLine(lines, texts::kFree, "1234.5", {"0", "0", "1234.5", "0", "0"});
    addLine(lines, texts::kGoods, "700", {"0", "0", "0", "0", "700"});
    addLine(lines, texts::kOtc, "20000", {"0", "0", "0", "20000", "0"});
    const Totals totals = PrescriptionTotals::compute(lines, facts());
    QCOMPARE(totals.insurerShare, QStringLiteral("1400"));
    QCOMPARE(totals.patientShare, QStringLiteral("600"));
    QCOMPARE(totals.insuredTotal, QStringLiteral("2000"));
    QCOMPARE(totals.free, QStringLiteral("4534.5"));
    QCOMPARE(totals.goods, QStringLiteral("700"));
    QCOMPARE(totals.tariffTotal, QStringLiteral("5000"));
    QCOMPARE(totals.otc, QStringLiteral("22000")); // 10 % fee, under its cap
    QCOMPARE(totals.fee, QStringLiteral("3000"));  // day, A = 6534.5 below the ceiling
    QCOMPARE(totals.feeAmount, 3000.0);
    // 22000 + 600 + 4534.5 + 700 + 3000 = 30834.5, to the even neighbour. The insurer's share is not paid
    // here.
    QCOMPARE(totals.payable, QStringLiteral("30834"));
}

void PrescriptionTotalsTest::otcFeeUpToItsCap_data() {
    QTest::addColumn<double>("cap");
    QTest::addColumn<QString>("otc");
    QTest::newRow("fee above the cap") << 5000.0 << "105000";
    QTest::newRow("fee below the cap") << 20000.0 << "110000";
    QTest::newRow("fee equal to the cap") << 10000.0 << "110000";
}

void PrescriptionTotalsTest::otcFeeUpToItsCap() {
    QFETCH(double, cap);
    QFETCH(QString, otc);
    PrescriptionLines lines;
    addLine(lines, texts::kOtc, "100000", {"0", "0", "0", "100000", "0"});
    FeeFacts f = facts();
    f.tariff->otcMax = cap;
    const Totals totals = PrescriptionTotals::compute(lines, f);
    QCOMPARE(totals.otc, otc);
    QCOMPARE(totals.fee, QStringLiteral("0")); // OTC and goods are no fee base
    QCOMPARE(totals.payable, otc);
}

void PrescriptionTotalsTest::technicalFeeByHourAndAmount_data() {
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("patientShare");
    QTest::addColumn<QString>("fee");
    QTest::newRow("20:59 day, below") << 20 << "40000"
                                      << "3000";
    QTest::newRow("21:00 night, below") << 21 << "40000"
                                        << "5000";
    QTest::newRow("06:59 night, above") << 6 << "40001"
                                        << "6000";
    QTest::newRow("07:00 day, above") << 7 << "40001"
                                      << "4000";
    QTest::newRow("at the ceiling: down") << 12 << "40000"
                                          << "3000";
    QTest::newRow("midnight, at the ceiling") << 0 << "40000"
                                              << "5000";
}

void PrescriptionTotalsTest::technicalFeeByHourAndAmount() {
    QFETCH(int, hour);
    QFETCH(QString, patientShare);
    QFETCH(QString, fee);
    PrescriptionLines lines;
    addLine(lines, texts::kInsured, "100000", {"60000", patientShare, "0", "0", "0"}); // A = 100000 or 100001
    const Totals totals = PrescriptionTotals::compute(lines, facts(hour));
    QCOMPARE(totals.fee, fee);
    QCOMPARE(totals.payable, QString::number(patientShare.toInt() + fee.toInt()));
}

void PrescriptionTotalsTest::emergencyInsurerFeeEvenWithoutAmount() {
    PrescriptionLines lines;
    addLine(lines, texts::kOtc, "1000", {"0", "0", "0", "1000", "0"});
    FeeFacts f = facts();
    QCOMPARE(PrescriptionTotals::compute(lines, f).fee, QStringLiteral("0"));
    f.emergencyInsurer = true;
    QCOMPARE(PrescriptionTotals::compute(lines, f).fee, QStringLiteral("7000"));
    addLine(lines, texts::kInsured, "60000", {"0", "60000", "0", "0", "0"});
    QCOMPARE(PrescriptionTotals::compute(lines, f).fee, QStringLiteral("8000"));
}

void PrescriptionTotalsTest::insurerFeePartUnderFeeFlag() {
    PrescriptionLines lines;
    addLine(lines, texts::kInsured, "10000", {"10000", "0", "0", "0", "0"});
    FeeFacts f = facts();
    f.contract = Contract{};
    f.contract->percent = 100;
    Totals totals = PrescriptionTotals::compute(lines, f);
    QCOMPARE(totals.insurerFeePart, 0.0);
    // An insurer that pays everything: the patient pays the fee only.
    QCOMPARE(totals.payable, QStringLiteral("3000"));
    f.contract->feeInCommitment = true;
    f.contract->percent = 70;
    totals = PrescriptionTotals::compute(lines, f);
    QCOMPARE(totals.feeAmount, 3000.0);
    QCOMPARE(totals.insurerFeePart, 2100.0);
    // The fee is inside the shares, as stored; the patient pays 30 % of it, as the cash desk asks.
    QCOMPARE((QStringList{totals.insurerShare, totals.patientShare, totals.fee, totals.payable}),
             (QStringList{"12100", "900", "0", "900"}));
}

void PrescriptionTotalsTest::sameDaySecondPrescriptionHasNoFee() {
    PrescriptionLines lines;
    addLine(lines, texts::kInsured, "10000", {"7000", "3000", "0", "0", "0"});
    FeeFacts f = facts();
    f.contract = Contract{};
    f.contract->feeInCommitment = true;
    f.contract->percent = 50;
    f.firstInvoiceOfDay = 9;
    Totals totals = PrescriptionTotals::compute(lines, f);
    QCOMPARE(totals.fee, QStringLiteral("0"));
    QCOMPARE(totals.feeAmount, 0.0);
    QCOMPARE(totals.insurerFeePart, 0.0);
    QCOMPARE(totals.payable, QStringLiteral("3000"));
    // The first prescription of the day keeps its fee when it is edited later.
    f.firstInvoiceOfDay = 12;
    totals = PrescriptionTotals::compute(lines, f);
    QCOMPARE(totals.feeAmount, 3000.0);
    QCOMPARE(totals.insurerFeePart, 1500.0);
}

void PrescriptionTotalsTest::noTariffMeansNoFees() {
    PrescriptionLines lines;
    addLine(lines, texts::kOtc, "1000", {"0", "0", "0", "1000", "0"});
    addLine(lines, texts::kFree, "500", {"0", "0", "500", "0", "0"});
    FeeFacts f = facts();
    f.tariff.reset();
    f.emergencyInsurer = true;
    const Totals totals = PrescriptionTotals::compute(lines, f);
    QCOMPARE(totals.otc, QStringLiteral("1000"));
    QCOMPARE(totals.fee, QStringLiteral("0"));
    QCOMPARE(totals.payable, QStringLiteral("1500"));
}

void PrescriptionTotalsTest::payableRoundsHalfToEven() {
    PrescriptionLines lines;
    addLine(lines, texts::kGoods, "2.5", {"0", "0", "0", "0", "2.5"});
    QCOMPARE(PrescriptionTotals::compute(lines, facts()).payable, QStringLiteral("2"));
    addLine(lines, texts::kGoods, "1", {"0", "0", "0", "0", "1"});
    QCOMPARE(PrescriptionTotals::compute(lines, facts()).payable, QStringLiteral("4"));
    QCOMPARE(PrescriptionTotals::compute(lines, facts()).goods, QStringLiteral("3.5"));
}

void PrescriptionTotalsTest::cellThatIsNotANumberStops() {
    PrescriptionLines lines;
    addLine(lines, texts::kFree, "100", {"0", "0", "1oo", "0", "0"});
    QVERIFY_THROWS_EXCEPTION(Error, PrescriptionTotals::compute(lines, facts()));
}

QTEST_APPLESS_MAIN(PrescriptionTotalsTest)
#include "prescription_totals_test.moc"
