#include "core/error.h"
#include "core/scripted_prompter.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/line_pricer.h"
#include "dispensing/prescription_lines.h"
#include "fake_pricing_data.h"

#include <QTest>

using namespace ph;
using ph::test::FakePricingData;
using ph::test::ruleFrom;
using Col = PrescriptionLines::Column;
using Kind = ScriptedPrompter::Kind;

namespace {

constexpr double kDrug = 1010001; // an ordinary drug
constexpr double kOtherDrug = 1010002;
constexpr double kGoods = 3050001; // goods of group 3
constexpr double kCompounded = 1700001;
constexpr double kSyringe = 2100001; // companions
constexpr double kSwab = 2100002;
constexpr int kInsurer = 3;
constexpr int kEndedInsurer = 5;

// Cells 6 to 10 (unit price, total, insurer, patient, free) joined by blanks.
QString amounts(const QStringList& row) {
    return row.mid(Col::UnitPrice, 5).join(u' ');
}

// A small prescription being entered: an insurer at 70 % whose contract runs until the
// year's end, an insurer at 90 % whose contract has ended, and a few drugs.
struct Counter {
    FakePricingData data;
    ScriptedPrompter prompter;
    LinePricer pricer{data, prompter};
    PrescriptionLines lines;
    PricingContext context;

    Counter() {
        data.addContract(kInsurer, QStringLiteral("05/12/29"), 70);
        data.addContract(kEndedInsurer, QStringLiteral("05/06/14"), 90);
        data.addDrug(kDrug, QStringLiteral(" آموكسي سيلين 500 "), 1000);
        data.addDrug(kOtherDrug, QStringLiteral("سفكسيم"), 2000);
        data.addDrug(kGoods, QStringLiteral("سرنگ 5 سي سي"), 500, 30, 3);
        data.addDrug(kCompounded, QStringLiteral("پماد تركيبي"), 1000, 70);
        data.formulas[kCompounded] = 300;
        context.insurer = InsurerCode::fromText(QString::number(kInsurer));
        context.specialtyCode = QStringLiteral("1");
        context.currentDate = QStringLiteral("05/06/15");
    }

    LineResult add(double code, const QString& quantity, const QString& kind, const QString& price = {}) {
        return pricer.add(lines, context, data.drugs.value(code), {quantity, kind, price});
    }
};

} // namespace

class LinePricerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void insuredRowTexts_data();
    void insuredRowTexts();
    void freeGoodsOtcRowsKeepUnroundedAmounts_data();
    void freeGoodsOtcRowsKeepUnroundedAmounts();
    void insurerZeroPricesFreeWithoutQuestion();
    void endedContract_data();
    void endedContract();
    void compoundedDrugLeavesItsFreeMaterialsToThePatient();
    void companionRowsByTheMainLinesKind_data();
    void companionRowsByTheMainLinesKind();
    void companionsOnlyWhenAdding();
    void insurerChangeRepricesEveryLine();
    void insurerChangeKeepsHotelingAndCompoundedPrices();
    void insurerChangeDeclinedChangesNothing();
    void insurerChangeToNoCodeMakesEveryLineOtc();
    void insurerChangeKeepsTheKindOfALineItCannotPrice();
    void lineChecks_data();
    void lineChecks();
    void stockWarningStillAddsTheLine();
    void replaceNeedsTheDrugInTheList();
    void lineListKeepsOneEmptyRowAndRenumbers();
};

void LinePricerTest::insuredRowTexts_data() {
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("specialty");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<double>("price");
    QTest::addColumn<double>("deduct");
    QTest::addColumn<bool>("hoteling");
    QTest::addColumn<QString>("amounts");
    QTest::addColumn<QString>("hotelingPrice");

    QTest::newRow("quantity limit 2 of 5") << "1 2 0 0"
                                           << "1"
                                           << "5" << 1000.0 << 70.0 << false << "1000 5000 1400 600 3000"
                                           << "";
    QTest::newRow("tariff limit 800") << "2 0 800 0"
                                      << "1"
                                      << "3" << 1000.0 << 90.0 << false << "1000 3000 2160 240 600"
                                      << "";
    QTest::newRow("tariff limit 1200") << "2 0 1200 0"
                                       << "1"
                                       << "3" << 1000.0 << 90.0 << false << "1000 3000 2700 300 0"
                                       << "";
    QTest::newRow("half Rial to the even 1400") << "-"
                                                << "1"
                                                << "1" << 2801.0 << 50.0 << false << "2801 2801 1400 1400 0"
                                                << "";
    QTest::newRow("half Rial to the even 1402") << "-"
                                                << "1"
                                                << "1" << 2803.0 << 50.0 << false << "2803 2803 1402 1402 0"
                                                << "";
    QTest::newRow("fractions of a Rial") << "-"
                                         << "1"
                                         << "1" << 1001.0 << 70.0 << false << "1001 1001 701 300 0"
                                         << "";
    QTest::newRow("midwife: contract share whatever the limits")
        << "1 2 0 0"
        << "2"
        << "5" << 1000.0 << 70.0 << false << "1000 5000 3500 1500 0"
        << "";
    QTest::newRow("hoteling: only the hoteling price") << "-"
                                                       << "1"
                                                       << "2" << 1000.0 << 70.0 << true << "0 0 0 0 0"
                                                       << "1000";
    QTest::newRow("hoteling after a limit") << "1 1 0 0"
                                            << "3"
                                            << "2" << 1000.0 << 70.0 << true << "0 0 0 0 0"
                                            << "1000";
}

void LinePricerTest::insuredRowTexts() {
    QFETCH(QString, rule);
    QFETCH(QString, specialty);
    QFETCH(QString, quantity);
    QFETCH(double, price);
    QFETCH(double, deduct);
    QFETCH(bool, hoteling);
    QFETCH(QString, amounts);
    QFETCH(QString, hotelingPrice);
    Counter c;
    c.data.contracts[kInsurer].first().percent = deduct;
    c.data.drugs[kDrug].listPrice = price;
    if (const auto r = ruleFrom(rule)) c.data.rules[{kInsurer, kDrug}] = *r;
    if (hoteling) c.data.hoteling.append({kInsurer, kDrug});
    c.context.specialtyCode = specialty;

    const LineResult result = c.add(kDrug, quantity, texts::kInsured);
    QVERIFY(result.written());
    QCOMPARE(result.row, 1);
    QCOMPARE(c.prompter.texts(), QStringList());
    const QStringList row = c.lines.row(1);
    QCOMPARE(row.mid(0, 6),
             (QStringList{"1", "آموكسي سيلين 500", "1010001", "قرص", texts::kInsured, quantity}));
    QCOMPARE(::amounts(row), amounts);
    QCOMPARE(row.mid(Col::OtcAmount, 6), (QStringList{"0", "0", "0", "0", "0", "0"}));
    QCOMPARE(row.at(Col::HotelingPrice), hotelingPrice);
    QCOMPARE(c.lines.rowCount(), 3); // captions, the line, the empty row
}

void LinePricerTest::freeGoodsOtcRowsKeepUnroundedAmounts_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("amountColumn");
    QTest::addColumn<QString>("hotelingPrice");
    QTest::newRow("free") << texts::kFree << int(Col::FreeAmount) << "0";
    QTest::newRow("goods") << texts::kGoods << int(Col::GoodsAmount) << "";
    QTest::newRow("OTC") << texts::kOtc << int(Col::OtcAmount) << "";
}

void LinePricerTest::freeGoodsOtcRowsKeepUnroundedAmounts() {
    QFETCH(QString, kind);
    QFETCH(int, amountColumn);
    QFETCH(QString, hotelingPrice);
    Counter c;
    c.data.drugs[kDrug].listPrice = 1234.5;
    QVERIFY(c.add(kDrug, QStringLiteral(" 3 "), kind).written());
    const QStringList row = c.lines.row(1);
    QCOMPARE(row.at(Col::Kind), kind);
    QCOMPARE(row.at(Col::Quantity), QStringLiteral("3"));
    QCOMPARE(row.at(Col::UnitPrice), QStringLiteral("1234.5"));
    QCOMPARE(row.at(Col::Total), QStringLiteral("3703.5"));
    for (int col = Col::InsurerShare; col <= Col::MainDrugPrice; ++col)
        QCOMPARE(row.at(col), col == amountColumn ? QStringLiteral("3703.5") : QStringLiteral("0"));
    QCOMPARE(row.at(Col::HotelingPrice), hotelingPrice);
}

void LinePricerTest::insurerZeroPricesFreeWithoutQuestion() {
    Counter c;
    c.context.insurer = InsurerCode::fromText(QStringLiteral("0"));
    c.data.rules[{0, kDrug}] = *ruleFrom(QStringLiteral("0 0 0 0 h"));
    QVERIFY(c.add(kDrug, QStringLiteral("2"), texts::kInsured).written());
    QCOMPARE(c.prompter.shown().size(), 0);
    QCOMPARE(c.lines.cell(1, Col::Kind), texts::kFree);
    QCOMPARE(c.lines.cell(1, Col::FreeAmount), QStringLiteral("2000"));
}

void LinePricerTest::endedContract_data() {
    QTest::addColumn<int>("insurer");
    QTest::addColumn<QString>("today");
    QTest::addColumn<QString>("answer"); // "" when nothing is asked
    QTest::addColumn<QString>("kind");   // of the row written, "" for none
    QTest::newRow("last day of the contract") << kInsurer << "05/12/29"
                                              << "" << texts::kInsured;
    QTest::newRow("ended, priced free") << kEndedInsurer << "05/06/15"
                                        << "yes" << texts::kFree;
    QTest::newRow("ended, refused") << kEndedInsurer << "05/06/15"
                                    << "no"
                                    << "";
    QTest::newRow("no contract at all") << 9 << "05/06/15"
                                        << "yes" << texts::kFree;
}

void LinePricerTest::endedContract() {
    QFETCH(int, insurer);
    QFETCH(QString, today);
    QFETCH(QString, answer);
    QFETCH(QString, kind);
    Counter c;
    c.context.insurer = InsurerCode::fromText(QString::number(insurer));
    c.context.currentDate = today;
    c.data.companionsOf[kDrug] = {
        {kSyringe, QStringLiteral("سرنگ"), QStringLiteral("عدد"), 100, texts::kFree}};
    if (!answer.isEmpty()) answer == QLatin1String("yes") ? c.prompter.answerYes() : c.prompter.answerNo();
    const LineResult result = c.add(kDrug, QStringLiteral("2"), texts::kInsured);
    const QStringList asked =
        answer.isEmpty() ? QStringList() : QStringList{texts::kEndedContract, texts::kPriceFreeQuestion};
    QCOMPARE(c.prompter.texts(), asked);
    QCOMPARE(result.written(), !kind.isEmpty());
    if (kind.isEmpty()) {
        QCOMPARE(result.status, LineResult::Status::Declined);
        QCOMPARE(c.lines.rowCount(), 2); // nothing written, no companion either
        return;
    }
    QCOMPARE(c.lines.cell(1, Col::Kind), kind);
    QCOMPARE(c.lines.cell(1, Col::Total), QStringLiteral("2000"));
    QCOMPARE(c.lines.rowCount(), 4); // the line and its companion
}

void LinePricerTest::compoundedDrugLeavesItsFreeMaterialsToThePatient() {
    Counter c;
    // Insured: the formula's free materials (300 a unit) are taken off the typed price
    // and go to the free amount, for every unit.
    QVERIFY(c.add(kCompounded, QStringLiteral("2"), texts::kInsured, QStringLiteral("1200")).written());
    QCOMPARE(amounts(c.lines.row(1)), QStringLiteral("900 1800 1260 540 600"));
    // Free: the typed price as it stands.
    QVERIFY(c.add(kCompounded, QStringLiteral("2"), texts::kFree, QStringLiteral("1200")).written());
    QCOMPARE(amounts(c.lines.row(2)), QStringLiteral("1200 2400 0 0 2400"));
    // A compounded drug without a formula is insured at the typed price.
    c.data.formulas.remove(kCompounded);
    QVERIFY(c.add(kCompounded, QStringLiteral("1"), texts::kInsured, QStringLiteral("1200")).written());
    QCOMPARE(amounts(c.lines.row(3)), QStringLiteral("1200 1200 840 360 0"));
    QCOMPARE(c.prompter.shown().size(), 0);
}

void LinePricerTest::companionRowsByTheMainLinesKind_data() {
    QTest::addColumn<QString>("mainKind");
    QTest::addColumn<QString>("mainRule");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("amounts"); // cells 6 to 12

    const QString free = texts::kFree, insured = texts::kInsured, goods = texts::kGoods, otc = texts::kOtc;
    QTest::newRow("insured, tariff companion")
        << insured << "-" << insured << insured << "150.5 301 211 90 0 0 0";
    QTest::newRow("insured, free companion") << insured << "-" << free << free << "150.5 301 0 0 301 0 0";
    QTest::newRow("not covered, tariff companion")
        << insured << "0 0 0 0 n" << insured << goods << "150.5 301 0 0 0 0 301";
    QTest::newRow("free, tariff companion") << free << "-" << insured << goods << "150.5 301 0 0 0 0 301";
    QTest::newRow("free, free companion") << free << "-" << free << free << "150.5 301 0 0 301 0 0";
    QTest::newRow("goods, free companion") << goods << "-" << free << goods << "150.5 301 0 0 0 0 301";
    QTest::newRow("OTC, tariff companion") << otc << "-" << insured << otc << "150.5 301 0 0 0 301 0";
}

void LinePricerTest::companionRowsByTheMainLinesKind() {
    QFETCH(QString, mainKind);
    QFETCH(QString, mainRule);
    QFETCH(QString, condition);
    QFETCH(QString, kind);
    QFETCH(QString, amounts);
    Counter c;
    if (const auto r = ruleFrom(mainRule)) c.data.rules[{kInsurer, kDrug}] = *r;
    c.data.companionsOf[kDrug] = {
        {kSyringe, QStringLiteral("سرنگ انسولين"), QStringLiteral("عدد"), 150.5, condition}};
    QVERIFY(c.add(kDrug, QStringLiteral("2"), mainKind).written());
    QCOMPARE(c.lines.rowCount(), 4);
    const QStringList row = c.lines.row(2);
    QCOMPARE(row.mid(0, 6), (QStringList{"2", "سرنگ انسولين", "2100001", "عدد", kind, "2"}));
    QCOMPARE(row.mid(Col::UnitPrice, 7).join(u' '), amounts);
    QCOMPARE(row.mid(Col::Substitute, 4), (QStringList{"0", "0", "0", "0"}));
    QCOMPARE(row.at(Col::HotelingPrice), kind == texts::kFree ? QStringLiteral("0") : QString());
}

void LinePricerTest::companionsOnlyWhenAdding() {
    Counter c;
    c.data.companionsOf[kDrug] = {
        {kSyringe, QStringLiteral("سرنگ"), QStringLiteral("عدد"), 100, texts::kInsured},
        {kSwab, QStringLiteral("پنبه الكل"), QStringLiteral("عدد"), 50, texts::kFree}};
    QVERIFY(c.add(kDrug, QStringLiteral("3"), texts::kInsured).written());
    QCOMPARE(c.lines.lineCount(), 3);
    QCOMPARE(c.lines.cell(2, Col::Total), QStringLiteral("300"));
    QCOMPARE(c.lines.cell(3, Col::Total), QStringLiteral("150"));

    c.prompter.answerYes();
    const LineResult replaced = c.pricer.replace(c.lines, 1, c.context, {"4", texts::kInsured, "1000"});
    QVERIFY(replaced.written());
    QCOMPARE(c.prompter.texts(), QStringList{texts::kConfirmReplace});
    QCOMPARE(c.lines.lineCount(), 3);
    QCOMPARE(c.lines.cell(1, Col::Total), QStringLiteral("4000"));
    QCOMPARE(c.lines.cell(2, Col::Quantity), QStringLiteral("3")); // companions keep their own quantity
}

void LinePricerTest::insurerChangeRepricesEveryLine() {
    Counter c;
    QVERIFY(c.add(kDrug, QStringLiteral("2"), texts::kInsured).written());
    QVERIFY(c.add(kOtherDrug, QStringLiteral("1"), texts::kOtc).written());
    QVERIFY(c.add(kGoods, QStringLiteral("4"), texts::kGoods).written());

    // To an insurer whose contract has ended: every line insured at 90 %, no question
    // but the confirmation.
    c.prompter.answerYes();
    c.context.insurer = InsurerCode::fromText(QString::number(kEndedInsurer));
    QCOMPARE(c.pricer.changeInsurer(c.lines, c.context, InsurerCode::fromText(QString::number(kInsurer))),
             LinePricer::InsurerChange::Repriced);
    QCOMPARE(c.prompter.texts(), QStringList{texts::kConfirmInsurerChange});
    QCOMPARE(c.lines.lineCount(), 3);
    QCOMPARE(c.lines.cell(1, Col::Kind), texts::kInsured);
    QCOMPARE(amounts(c.lines.row(1)), QStringLiteral("1000 2000 1800 200 0"));
    QCOMPARE(amounts(c.lines.row(2)), QStringLiteral("2000 2000 1800 200 0"));
    QCOMPARE(amounts(c.lines.row(3)), QStringLiteral("500 2000 1800 200 0"));
    QCOMPARE(c.lines.cell(3, Col::GoodsAmount), QStringLiteral("0"));

    // To no insurer: every line free.
    c.prompter.clear();
    c.prompter.answerYes();
    c.context.insurer = InsurerCode::fromText(QStringLiteral("0"));
    QCOMPARE(c.pricer.changeInsurer(c.lines, c.context, InsurerCode::fromText(QString::number(kEndedInsurer))),
             LinePricer::InsurerChange::Repriced);
    for (int row = 1; row <= 3; ++row) {
        QCOMPARE(c.lines.cell(row, Col::Kind), texts::kFree);
        QCOMPARE(c.lines.cell(row, Col::FreeAmount), c.lines.cell(row, Col::Total));
    }
    QCOMPARE(c.lines.rowCount(), 5);

    // Leaving the field with the same code, or with no lines, asks nothing.
    c.prompter.clear();
    QCOMPARE(c.pricer.changeInsurer(c.lines, c.context, InsurerCode::fromText(QStringLiteral("0"))),
             LinePricer::InsurerChange::Unchanged);
    PrescriptionLines empty;
    QCOMPARE(c.pricer.changeInsurer(empty, c.context, InsurerCode::fromText(QStringLiteral("7"))),
             LinePricer::InsurerChange::Unchanged);
    QCOMPARE(c.prompter.shown().size(), 0);
}

void LinePricerTest::insurerChangeKeepsHotelingAndCompoundedPrices() {
    Counter c;
    c.data.hoteling.append({kInsurer, kDrug});
    QVERIFY(c.add(kDrug, QStringLiteral("2"), texts::kInsured).written());
    QVERIFY(c.add(kCompounded, QStringLiteral("1"), texts::kInsured, QStringLiteral("1200")).written());
    QCOMPARE(amounts(c.lines.row(1)), QStringLiteral("0 0 0 0 0"));
    QCOMPARE(c.lines.cell(1, Col::HotelingPrice), QStringLiteral("1000"));
    QCOMPARE(amounts(c.lines.row(2)), QStringLiteral("900 900 630 270 300"));

    c.data.addContract(7, QStringLiteral("05/12/29"), 50);
    c.prompter.answerYes();
    c.context.insurer = InsurerCode::fromText(QStringLiteral("7"));
    QCOMPARE(c.pricer.changeInsurer(c.lines, c.context, InsurerCode::fromText(QString::number(kInsurer))),
             LinePricer::InsurerChange::Repriced);
    // The hoteling drug is priced again at its own price and no longer carries a hoteling price.
    QCOMPARE(amounts(c.lines.row(1)), QStringLiteral("1000 2000 1000 1000 0"));
    QCOMPARE(c.lines.cell(1, Col::HotelingPrice), QString());
    // The compounded drug's free materials are taken off its price once, not again.
    QCOMPARE(amounts(c.lines.row(2)), QStringLiteral("900 900 450 450 300"));
}

void LinePricerTest::insurerChangeDeclinedChangesNothing() {
    Counter c;
    QVERIFY(c.add(kDrug, QStringLiteral("2"), texts::kOtc).written());
    const QStringList before = c.lines.row(1);
    c.prompter.answerNo();
    c.context.insurer = InsurerCode::fromText(QStringLiteral("0"));
    QCOMPARE(c.pricer.changeInsurer(c.lines, c.context, InsurerCode::fromText(QString::number(kInsurer))),
             LinePricer::InsurerChange::Declined);
    QCOMPARE(c.lines.row(1), before);
}

void LinePricerTest::insurerChangeToNoCodeMakesEveryLineOtc() {
    Counter c;
    c.data.hoteling.append({kInsurer, kOtherDrug});
    QVERIFY(c.add(kDrug, QStringLiteral("2"), texts::kInsured).written());
    QVERIFY(c.add(kOtherDrug, QStringLiteral("1"), texts::kInsured).written());
    QVERIFY(c.add(kCompounded, QStringLiteral("1"), texts::kInsured, QStringLiteral("1200")).written());
    QVERIFY(c.add(kGoods, QStringLiteral("3"), texts::kGoods).written());
    c.prompter.answerYes();
    c.context.insurer = InsurerCode::fromText(QString());
    QCOMPARE(c.pricer.changeInsurer(c.lines, c.context, InsurerCode::fromText(QString::number(kInsurer))),
             LinePricer::InsurerChange::Repriced);
    QCOMPARE(c.prompter.texts(), QStringList{texts::kConfirmInsurerChange});
    // Every line over the counter, its whole total in the OTC column: the hoteling drug
    // at its own price, the compounded drug with its free materials.
    const QStringList totals{"2000", "2000", "1200", "1500"};
    for (int row = 1; row <= 4; ++row) {
        QCOMPARE(c.lines.cell(row, Col::Kind), texts::kOtc);
        QCOMPARE(c.lines.row(row).mid(Col::Total, 6),
                 (QStringList{totals.at(row - 1), "0", "0", "0", totals.at(row - 1), "0"}));
    }
}

void LinePricerTest::insurerChangeKeepsTheKindOfALineItCannotPrice() {
    Counter c;
    QVERIFY(c.add(kDrug, QStringLiteral("2"), texts::kOtc).written());
    QVERIFY(c.add(kOtherDrug, QStringLiteral("1"), texts::kOtc).written());
    const QStringList gone = c.lines.row(1);
    c.data.drugs.remove(kDrug);
    c.prompter.answerYes();
    c.context.insurer = InsurerCode::fromText(QStringLiteral("0"));
    QCOMPARE(c.pricer.changeInsurer(c.lines, c.context, InsurerCode::fromText(QString::number(kInsurer))),
             LinePricer::InsurerChange::Repriced);
    QCOMPARE(c.prompter.texts(), (QStringList{texts::kConfirmInsurerChange, texts::kCannotEditLine}));
    QCOMPARE(c.lines.row(1), gone);
    QCOMPARE(c.lines.cell(2, Col::Kind), texts::kFree);
    QCOMPARE(c.lines.cell(2, Col::FreeAmount), QStringLiteral("2000"));
    QCOMPARE(c.lines.rowCount(), 4);
}

void LinePricerTest::lineChecks_data() {
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QVariant>("price"); // the list price; null for none
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no quantity") << " " << texts::kFree << QVariant(1000.0) << texts::kQuantityMissing
                                 << "me_tedad";
    QTest::newRow("no kind") << "2"
                             << "" << QVariant(1000.0) << texts::kKindMissing << "cb_vaziat";
    QTest::newRow("price 0") << "2" << texts::kFree << QVariant(0.0) << texts::kPriceMissing << "DBGrid2";
    QTest::newRow("no price") << "2" << texts::kOtc << QVariant() << texts::kPriceMissing << "DBGrid2";
}

void LinePricerTest::lineChecks() {
    QFETCH(QString, quantity);
    QFETCH(QString, kind);
    QFETCH(QVariant, price);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Counter c;
    c.data.drugs[kDrug].listPrice = price.isNull() ? std::nullopt : std::optional<double>(price.toDouble());
    const LineResult result = c.add(kDrug, quantity, kind);
    QCOMPARE(result.status, LineResult::Status::NotValid);
    QCOMPARE(result.focus, focus);
    QCOMPARE(c.prompter.texts(Kind::Warning), QStringList{message});
    QCOMPARE(c.lines.rowCount(), 2);
}

void LinePricerTest::stockWarningStillAddsTheLine() {
    Counter c;
    c.context.stockKeeping = true;
    c.data.stock[kDrug] = 1;
    c.data.stock[kOtherDrug] = 5;
    const LineResult shortOfStock = c.add(kDrug, QStringLiteral("2"), texts::kInsured);
    QVERIFY(shortOfStock.written());
    QCOMPARE(shortOfStock.focus, QStringLiteral("me_tedad"));
    QCOMPARE(c.prompter.texts(), QStringList{texts::kStockShort + QStringLiteral("'1'")});
    c.prompter.clear();
    QVERIFY(c.add(kOtherDrug, QStringLiteral("5"), texts::kFree).written());
    QVERIFY(c.add(kCompounded, QStringLiteral("3"), texts::kFree, QStringLiteral("1000")).written());
    QCOMPARE(c.prompter.shown().size(), 0);
    QVERIFY(c.add(kGoods, QStringLiteral("1"), texts::kGoods).written()); // no stock row: none in stock
    QCOMPARE(c.prompter.texts(), QStringList{texts::kStockShort + QStringLiteral("'0'")});
    QCOMPARE(c.lines.lineCount(), 4);
}

void LinePricerTest::replaceNeedsTheDrugInTheList() {
    Counter c;
    QVERIFY(c.add(kDrug, QStringLiteral("2"), texts::kFree).written());
    const QStringList before = c.lines.row(1);
    c.data.drugs.remove(kDrug);
    const LineResult gone = c.pricer.replace(c.lines, 1, c.context, {"3", texts::kFree, "1000"});
    QCOMPARE(gone.status, LineResult::Status::NotInDrugList);
    QCOMPARE(c.prompter.texts(Kind::Information), QStringList{texts::kCannotEditLine});
    QCOMPARE(c.lines.row(1), before);

    c.data.addDrug(kDrug, QStringLiteral("آموكسي سيلين"), 1000);
    c.prompter.clear();
    c.prompter.answerNo();
    QCOMPARE(c.pricer.replace(c.lines, 1, c.context, {"3", texts::kFree, "1000"}).status,
             LineResult::Status::Declined);
    QCOMPARE(c.lines.row(1), before);
    // A quantity that is not a number stops with a conversion error.
    c.prompter.answerYes();
    QVERIFY_THROWS_EXCEPTION(Error, c.pricer.replace(c.lines, 1, c.context, {"3x", texts::kFree, "1000"}));
}

void LinePricerTest::lineListKeepsOneEmptyRowAndRenumbers() {
    PrescriptionLines lines;
    QCOMPARE(lines.rowCount(), 2);
    QCOMPARE(lines.row(0), texts::kLineCaptions);
    QCOMPARE(lines.row(0).size(), 18);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(lines.append({"", QStringLiteral("دارو %1").arg(i), QString::number(100 + i)}), i + 1);
    QCOMPARE(lines.rowCount(), 6);
    QCOMPARE(lines.row(5), QStringList(18, QString()));

    lines.remove(2);
    QCOMPARE(lines.lineCount(), 3);
    QCOMPARE(lines.cell(2, Col::Code), QStringLiteral("102"));
    QCOMPARE(lines.cell(2, Col::RowNumber), QStringLiteral("2"));
    QCOMPARE(lines.cell(3, Col::RowNumber), QStringLiteral("3"));
    QCOMPARE(lines.row(4), QStringList(18, QString()));
    lines.remove(4); // the empty row stays
    QCOMPARE(lines.rowCount(), 5);

    lines.setCell(1, Col::Code, QString());
    lines.setCell(1, Col::Name, QString());
    lines.compact();
    QCOMPARE(lines.lines().size(), 2);
    QCOMPARE(lines.cell(1, Col::Code), QStringLiteral("102"));
    QCOMPARE(lines.cell(1, Col::RowNumber), QStringLiteral("1"));
    QCOMPARE(lines.cell(2, Col::RowNumber), QStringLiteral("2"));
    QCOMPARE(lines.rowCount(), 4);
    QVERIFY(!lines.isLine(lines.lastRow()));
}

QTEST_APPLESS_MAIN(LinePricerTest)
#include "line_pricer_test.moc"
