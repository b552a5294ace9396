#include "core/scripted_prompter.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/insured_pricing.h"
#include "fake_pricing_data.h"

#include <QTest>

using namespace ph;
using ph::test::ruleFrom;

Q_DECLARE_METATYPE(ph::InsuredPath)

namespace {

Contract contract(double deduct) {
    Contract terms;
    terms.percent = deduct;
    return terms;
}

} // namespace

class InsuredPricingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decisionsInOrder_data();
    void decisionsInOrder();
    void shares_data();
    void shares();
};

void InsuredPricingTest::decisionsInOrder_data() {
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("specialty");
    QTest::addColumn<bool>("inpatient");
    QTest::addColumn<QString>("stamp"); // the answer to the hospital-stamp question, "" when not asked
    QTest::addColumn<InsuredPath>("path");

    using P = InsuredPath;
    QTest::newRow("midwife outpatient, rule with limits") << "1 2 0 0"
                                                          << "2" << false << "" << P::ContractPercentage;
    QTest::newRow("midwife outpatient, not-covered rule") << "0 0 0 0 n"
                                                          << "2" << false << "" << P::ContractPercentage;
    QTest::newRow("midwife outpatient, no rule") << "-"
                                                 << "2" << false << "" << P::Free;
    QTest::newRow("midwife inpatient, no rule") << "-"
                                                << "2" << true << "" << P::ContractPercentage;
    QTest::newRow("no rule") << "-"
                             << "4" << false << "" << P::ContractPercentage;
    QTest::newRow("not covered") << "1 2 0 0 n"
                                 << "4" << false << "" << P::Free;
    QTest::newRow("hospital only, no stamp") << "0 0 0 0 h"
                                             << "4" << false << "no" << P::Free;
    QTest::newRow("hospital only, stamped") << "0 0 0 0 h"
                                            << "4" << false << "yes" << P::ContractPercentage;
    QTest::newRow("no limits, inpatient") << "0 0 0 3"
                                          << "1" << true << "" << P::ContractPercentage;
    QTest::newRow("no limits, no specialty, no share") << "0 0 0 0"
                                                       << "1" << false << "" << P::ContractPercentage;
    QTest::newRow("no limits, the asked specialty") << "0 0 0 3"
                                                    << "3" << false << "" << P::ContractPercentage;
    QTest::newRow("no limits, specialty by number") << "0 0 0 3"
                                                    << "03" << false << "" << P::ContractPercentage;
    QTest::newRow("no limits, midwife rule, any prescriber") << "0 0 0 2"
                                                             << "4" << false << "" << P::ContractPercentage;
    QTest::newRow("no limits, another specialty") << "0 0 0 3"
                                                  << "4" << false << "" << P::Free;
    QTest::newRow("no limits, own share") << "0 0 0 0 d80"
                                          << "1" << false << "" << P::LimitSplit;
    QTest::newRow("quantity limit, no specialty") << "1 2 0 0"
                                                  << "1" << false << "" << P::LimitSplit;
    QTest::newRow("quantity limit, inpatient with specialty") << "1 2 0 3"
                                                              << "1" << true << "" << P::LimitSplit;
    QTest::newRow("tariff limit with specialty") << "2 0 800 3"
                                                 << "1" << false << "" << P::LimitSplit;
    QTest::newRow("quantity limit, specialist rule") << "1 2 0 4"
                                                     << "1" << false << "" << P::SpecialtyLimitSplit;
    QTest::newRow("quantity limit, the asked specialty") << "1 2 0 3"
                                                         << "3" << false << "" << P::SpecialtyLimitSplit;
    QTest::newRow("quantity limit, another specialty") << "1 2 0 3"
                                                       << "1" << false << "" << P::Free;
    QTest::newRow("quantity limit, no specialty typed") << "1 2 0 3"
                                                        << "" << false << "" << P::Free;
}

void InsuredPricingTest::decisionsInOrder() {
    QFETCH(QString, rule);
    QFETCH(QString, specialty);
    QFETCH(bool, inpatient);
    QFETCH(QString, stamp);
    QFETCH(InsuredPath, path);
    InsuredInput input;
    input.quantity = 3;
    input.unitPrice = 1000;
    input.specialtyCode = specialty;
    input.admission = inpatient ? Admission::Inpatient : Admission::Outpatient;
    input.contract = contract(70);
    input.rule = ruleFrom(rule);
    ScriptedPrompter prompter;
    if (stamp == QLatin1String("yes"))
        prompter.answerYes();
    else if (stamp == QLatin1String("no"))
        prompter.answerNo();
    QCOMPARE(InsuredPricing::choosePath(input, prompter), path);
    QCOMPARE(prompter.texts(), stamp.isEmpty() ? QStringList() : QStringList{texts::kHospitalStampQuestion});
}

void InsuredPricingTest::shares_data() {
    QTest::addColumn<InsuredPath>("path");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<double>("quantity");
    QTest::addColumn<double>("price");
    QTest::addColumn<double>("deduct"); // the contract's
    QTest::addColumn<double>("insurer");
    QTest::addColumn<double>("patient");
    QTest::addColumn<double>("free");

    using P = InsuredPath;
    QTest::newRow("contract percentage")
        << P::ContractPercentage << "-" << 2.0 << 1000.0 << 70.0 << 1400.0 << 600.0 << 0.0;
    QTest::newRow("contract percentage, no contract")
        << P::ContractPercentage << "-" << 2.0 << 1000.0 << -1.0 << 0.0 << 2000.0 << 0.0;
    QTest::newRow("quantity 2 of 5") << P::LimitSplit << "1 2 0 0" << 5.0 << 1000.0 << 70.0 << 1400.0 << 600.0
                                     << 3000.0;
    QTest::newRow("quantity within limit")
        << P::LimitSplit << "1 10 0 0" << 5.0 << 1000.0 << 70.0 << 3500.0 << 1500.0 << 0.0;
    QTest::newRow("tariff 800 under price")
        << P::LimitSplit << "2 0 800 0" << 3.0 << 1000.0 << 90.0 << 2160.0 << 240.0 << 600.0;
    QTest::newRow("tariff 1200 over price")
        << P::LimitSplit << "2 0 1200 0" << 3.0 << 1000.0 << 90.0 << 2700.0 << 300.0 << 0.0;
    QTest::newRow("own share, no limit")
        << P::LimitSplit << "0 0 0 0 d80" << 2.0 << 1000.0 << 70.0 << 1600.0 << 400.0 << 0.0;
    QTest::newRow("own share with quantity limit")
        << P::LimitSplit << "1 2 0 0 d80" << 5.0 << 1000.0 << 70.0 << 1600.0 << 400.0 << 3000.0;
    QTest::newRow("own share, tariff kind without tariff")
        << P::LimitSplit << "2 0 0 0 d80" << 2.0 << 1000.0 << 70.0 << 1600.0 << 400.0 << 0.0;
    QTest::newRow("tariff without a limit kind")
        << P::LimitSplit << "0 0 800 0" << 2.0 << 1000.0 << 70.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("specialty quantity limit at contract share")
        << P::SpecialtyLimitSplit << "1 2 0 4 d80" << 5.0 << 1000.0 << 70.0 << 1400.0 << 600.0 << 3000.0;
    QTest::newRow("specialty tariff limit of 0")
        << P::SpecialtyLimitSplit << "2 3 0 4" << 2.0 << 1000.0 << 70.0 << 0.0 << 0.0 << 2000.0;
    QTest::newRow("specialty rule without a limit kind")
        << P::SpecialtyLimitSplit << "0 3 0 4" << 2.0 << 1000.0 << 70.0 << 0.0 << 0.0 << 0.0;
}

void InsuredPricingTest::shares() {
    QFETCH(InsuredPath, path);
    QFETCH(QString, rule);
    QFETCH(double, quantity);
    QFETCH(double, price);
    QFETCH(double, deduct);
    QFETCH(double, insurer);
    QFETCH(double, patient);
    QFETCH(double, free);
    InsuredInput input;
    input.quantity = quantity;
    input.unitPrice = price;
    if (deduct >= 0) input.contract = contract(deduct);
    input.rule = ruleFrom(rule);
    const InsuredShares out = InsuredPricing::shares(path, input);
    QCOMPARE(out.insurer, insurer);
    QCOMPARE(out.patient, patient);
    QCOMPARE(out.free, free);
}

QTEST_APPLESS_MAIN(InsuredPricingTest)
#include "insured_pricing_test.moc"
