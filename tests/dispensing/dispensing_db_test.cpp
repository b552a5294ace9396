#include "cli/commands.h"
#include "db/schema.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/drug_list.h"
#include "core/scripted_prompter.h"
#include "dispensing/prescription_session.h"
#include "dispensing/prescription_store.h"
#include "dispensing/pricing_store.h"
#include "pharmacy_fixture.h"
#include "support/cli_run.h"
#include "support/test_database.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace ph;
using ph::test::TestDatabase;
using ph::test::fillPharmacy;

namespace {

using ph::test::pharmacyctl;
using ph::test::exec;
using Run = ph::test::CliRun;

QStringList cellTexts(const QJsonValue& array) {
    QStringList out;
    for (const QJsonValue& v : array.toArray())
        out.append(v.toString());
    return out;
}

} // namespace

class DispensingDbTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void storesReadTheReferenceTables();
    void stockKeepingModeTakesThePharmacyUnitsPrices();
    void sameDayRuleOverTheView();
    void sessionReadsTheContractOncePerPrescription();
    void sessionKeepsItsInsurerWhenTheChangeIsDeclined();
    void quoteOfARealisticPrescription();
    void quoteRefusesUnknownCodes_data();
    void quoteRefusesUnknownCodes();

private:
    std::unique_ptr<TestDatabase> m_t;
};

void DispensingDbTest::init() {
    m_t = std::make_unique<TestDatabase>();
    fillPharmacy(m_t->db());
}

void DispensingDbTest::cleanup() {
    m_t.reset();
}

void DispensingDbTest::storesReadTheReferenceTables() {
    Database& db = m_t->db();
    PricingStore pricing(db);
    QVERIFY(pricing.insurerTerms(6).emergency && !pricing.insurerTerms(2).emergency);
    const InsurerTerms terms = pricing.insurerTerms(2);
    QCOMPARE(terms.lastDay, std::optional<QString>(QStringLiteral("05/12/29")));
    QCOMPARE(terms.first->row, 1);
    QCOMPARE(terms.first->percent, 70.0);
    QVERIFY(terms.first->feeInCommitment);
    QCOMPARE(terms.latest->row, 2);
    QCOMPARE(terms.latest->gpApproval, 11000.0);
    QCOMPARE(terms.latest->gpAddress, 10000.0);
    const InsurerTerms unknown = pricing.insurerTerms(3);
    QVERIFY(!unknown.lastDay && !unknown.first && !unknown.latest);

    const auto rule = pricing.rule(2, 1010002);
    QVERIFY(rule);
    QCOMPARE(rule->limitKind, 1);
    QCOMPARE(rule->quantity, 2.0);
    QVERIFY(pricing.rule(2, 1400002)->hospitalOnly);
    QVERIFY(!pricing.rule(4, 1010002));
    QCOMPARE(pricing.formulaFreePart(1700001), std::optional<double>(300));
    QVERIFY(!pricing.formulaFreePart(1010001));
    QVERIFY(pricing.isHoteling(2, 1400001));
    QVERIFY(!pricing.isHoteling(4, 1400001));
    const QList<CompanionItem> companions = pricing.companions(1010001, false);
    QCOMPARE(companions.size(), 2);
    QCOMPARE(companions.at(0).code, 3300001.0); // in code order
    QCOMPARE(companions.at(0).name, QStringLiteral("سرنگ 5 سي سي"));
    QCOMPARE(companions.at(0).formName, QStringLiteral("عدد"));
    QCOMPARE(companions.at(0).price, 150.5);
    QCOMPARE(companions.at(0).condition, texts::kInsured);
    QCOMPARE(companions.at(1).condition, texts::kFree);
    QVERIFY(!pricing.pharmacyStock(1010001));

    const auto drug = pricing.findDrug(1700001, false);
    QVERIFY(drug);
    QCOMPARE(drug->name, QStringLiteral("پماد تركيبي"));
    QCOMPARE(drug->formName, compoundedFormName());
    QVERIFY(drug->isCompounded());
    QCOMPARE(drug->listPrice, std::optional<double>(1200));
    QCOMPARE(DrugList(db).load(false).size(), 8);

    QCOMPARE(TariffStore(db).inForce()->dayDown, 3000.0); // the first row
    PrescriptionStore prescriptions(db);
    QCOMPARE(prescriptions.nextInvoiceNumber(), 10);
    const PrescriptionStore::SaveSettings settings = prescriptions.saveSettings();
    QVERIFY(settings.thresholds.approvalMessages && settings.thresholds.addressMessages);
    QVERIFY(!settings.separateCashDesk);
}

void DispensingDbTest::stockKeepingModeTakesThePharmacyUnitsPrices() {
    Database& db = m_t->db();
    DrugList drugs(db);
    QVERIFY(!drugs.stockKeepingMode());
    const QString stock = QStringLiteral(
        "insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (?, ?, ?, ?)");
    exec(db, stock, {1010002, 10, 50, 3900}); // another unit's stock
    QVERIFY(!drugs.stockKeepingMode());
    exec(db, stock, {1010001, 20, 3, 1100});
    exec(db, stock, {3300001, 20, 100, 160});
    QVERIFY(drugs.stockKeepingMode());

    QCOMPARE(drugs.find(1010001, true)->listPrice, std::optional<double>(1100));
    QCOMPARE(drugs.find(1010001, false)->listPrice, std::optional<double>(1000));
    QVERIFY(!drugs.find(1010002, true)); // not held by the pharmacy
    // A compounded drug is never stocked: listed at its goods row's price, with or without
    // a row of the unit.
    QCOMPARE(drugs.find(1700001, true)->listPrice, std::optional<double>(1200));
    QCOMPARE(drugs.load(true).size(), 3);
    exec(db, stock, {1700001, 20, 0, 900});
    QCOMPARE(drugs.find(1700001, true)->listPrice, std::optional<double>(1200));
    QCOMPARE(drugs.load(true).size(), 3);
    exec(db, QStringLiteral("delete from moj_kala_vah where code_kala=?"), {1700001});

    PricingStore pricing(db);
    const QList<CompanionItem> companions = pricing.companions(1010001, true);
    QCOMPARE(companions.size(), 1); // only the companion the pharmacy holds
    QCOMPARE(companions.first().price, 160.0);
    QCOMPARE(pricing.pharmacyStock(1010001), std::optional<double>(3));

    // The quote prices at the unit's prices and warns of the short stock.
    const Run run = pharmacyctl({"--dir", m_t->workingDir(), "quote", "--insurer", "0", "--today", "05/06/15",
                                 "--time", "10:00", "--line", "1010001,4"});
    QCOMPARE(run.status, 0);
    const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
    const QJsonArray lines = json.value(QStringLiteral("lines")).toArray();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(cellTexts(lines.at(0)).mid(4, 4), (QStringList{texts::kFree, "4", "1100", "4400"}));
    QCOMPARE(cellTexts(lines.at(1)).mid(4, 4), (QStringList{texts::kGoods, "4", "160", "640"}));
    QCOMPARE(cellTexts(json.value(QStringLiteral("messages"))),
             QStringList{texts::kStockShort + QStringLiteral("'3'")});
}

void DispensingDbTest::sameDayRuleOverTheView() {
    PrescriptionStore prescriptions(m_t->db());
    QCOMPARE(prescriptions.firstInvoiceOfDay(QStringLiteral("05/06/15"), QStringLiteral("1234567890")),
             std::optional<int>(7));
    QCOMPARE(prescriptions.firstInvoiceOfDay(QStringLiteral("05/06/15"), QStringLiteral("999")),
             std::optional<int>(8));
    QVERIFY(!prescriptions.firstInvoiceOfDay(QStringLiteral("05/06/16"), QStringLiteral("1234567890")));
    QVERIFY(!prescriptions.firstInvoiceOfDay(QStringLiteral("05/06/15"), QString()));
    // Lump prescriptions (headers without lines) of the patient, before his own of the day
    // and alone on another day, are not prescriptions of the day.
    exec(m_t->db(),
         QStringLiteral("insert into heading_noskhe (sh_factor, date_no, sh_bimeh, code_bimeh, price_koll) "
                        "values (3, '05/06/15', '1234567890', 2, 5000), (4, '05/06/16', '1234567890', 2, 5000)"),
         {});
    QCOMPARE(prescriptions.firstInvoiceOfDay(QStringLiteral("05/06/15"), QStringLiteral("1234567890")),
             std::optional<int>(7));
    QVERIFY(!prescriptions.firstInvoiceOfDay(QStringLiteral("05/06/16"), QStringLiteral("1234567890")));

    // The emergency insurer's amounts are the fee, at night too; the patient's later
    // prescription of the day carries none, the first one does.
    ScriptedPrompter prompter;
    PrescriptionSession session(m_t->db(), prompter);
    session.start({QStringLiteral("05/06/15"), QStringLiteral("22:00")});
    QCOMPARE(session.header().invoiceNumber, QStringLiteral("10"));
    session.changeInsurer(InsurerCode::fromText(QStringLiteral("6")));
    session.header().prescriptionDate = QStringLiteral(" 05/06/15 ");
    QCOMPARE(session.totals().fee, QStringLiteral("7000"));
    session.header().insNo.base = QStringLiteral("1234567890");
    QCOMPARE(session.totals().fee, QStringLiteral("0"));
    session.header().invoiceNumber = QStringLiteral("7");
    QCOMPARE(session.totals().fee, QStringLiteral("7000"));

    // The day or night fee follows the hour of the recomputation, not of the start.
    session.start({QStringLiteral("05/06/15"), QStringLiteral("20:50")});
    session.changeInsurer(InsurerCode::fromText(QStringLiteral("2")));
    const DrugItem drug = *session.findDrug(1010003);
    QVERIFY(session.addLine(drug, {QStringLiteral("1"), texts::kInsured, {}}).written());
    // Insurer 2's contract pays part of the fee, which the panel shows inside the shares.
    QCOMPARE(session.totals().feeAmount, 3000.0);
    session.setTime(QStringLiteral("21:05"));
    QCOMPARE(session.totals().feeAmount, 5000.0);
}

void DispensingDbTest::sessionReadsTheContractOncePerPrescription() {
    Database& db = m_t->db();
    ScriptedPrompter prompter;
    PrescriptionSession session(db, prompter);
    session.start({QStringLiteral("05/06/15"), QStringLiteral("10:00")});
    session.changeInsurer(InsurerCode::fromText(QStringLiteral("02")));
    QCOMPARE(session.insurer().text(), QStringLiteral("2"));
    const DrugItem drug = *session.findDrug(1010003);
    QVERIFY(session.addLine(drug, {QStringLiteral("1"), session.kindForChosen(drug), {}}).written());
    // The contract changes while the prescription is open: its lines keep the terms read
    // for it, and the next prescription reads the new ones.
    db.exec(QStringLiteral("update organs_s set deduct=10 where code=2"));
    QVERIFY(session.addLine(drug, {QStringLiteral("1"), session.kindForChosen(drug), {}}).written());
    QCOMPARE(session.lines().cell(1, PrescriptionLines::InsurerShare), QStringLiteral("1750"));
    QCOMPARE(session.lines().cell(2, PrescriptionLines::InsurerShare), QStringLiteral("1750"));
    session.start({QStringLiteral("05/06/15"), QStringLiteral("10:00")});
    session.changeInsurer(InsurerCode::fromText(QStringLiteral("2")));
    QVERIFY(session.addLine(drug, {QStringLiteral("1"), session.kindForChosen(drug), {}}).written());
    QCOMPARE(session.lines().cell(1, PrescriptionLines::InsurerShare), QStringLiteral("250"));
}

void DispensingDbTest::sessionKeepsItsInsurerWhenTheChangeIsDeclined() {
    ScriptedPrompter prompter;
    PrescriptionSession session(m_t->db(), prompter);
    session.start({QStringLiteral("05/06/15"), QStringLiteral("10:00")});
    session.changeInsurer(InsurerCode::fromText(QStringLiteral("2")));
    const DrugItem drug = *session.findDrug(1010003);
    QCOMPARE(session.kindForChosen(drug), texts::kInsured);
    QVERIFY(session.addLine(drug, {QStringLiteral("2"), texts::kInsured, {}}).written());

    prompter.answerNo();
    QCOMPARE(session.changeInsurer(InsurerCode::fromText(QStringLiteral("0"))), LinePricer::InsurerChange::Declined);
    QCOMPARE(session.insurer().text(), QStringLiteral("2"));
    QCOMPARE(session.lines().cell(1, PrescriptionLines::Kind), texts::kInsured);

    prompter.answerYes();
    QCOMPARE(session.changeInsurer(InsurerCode::fromText(QStringLiteral("0"))), LinePricer::InsurerChange::Repriced);
    QVERIFY(session.insurer().isNone());
    QCOMPARE(session.lines().cell(1, PrescriptionLines::Kind), texts::kFree);
    QCOMPARE(session.totals().free, QStringLiteral("5000"));
    QCOMPARE(session.priceFieldFor(1), QStringLiteral("2500"));
}

void DispensingDbTest::quoteOfARealisticPrescription() {
    const QString dir = m_t->workingDir();
    const QStringList args{"--dir",
                           dir,
                           "quote",
                           "--insurer",
                           "02",
                           "--specialty",
                           "1",
                           "--today",
                           "05/06/15",
                           "--time",
                           "20:59",
                           "--prescription-date",
                           "05/06/15",
                           "--insurance-number",
                           "5555",
                           "--hospital-stamp",
                           "yes",
                           "--approval-stamp",
                           "yes",
                           "--line",
                           "1010001,2",
                           "--line",
                           "1010002,5",
                           "--line",
                           "1010003,1,OTC",
                           "--line",
                           "1700001,1",
                           "--line",
                           "1400001,1",
                           "--line",
                           "1400002,1",
                           "--line",
                           "3300002,3"};
    const Run run = pharmacyctl(args);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);

    const QString t = texts::kInsured, f = texts::kFree, g = texts::kGoods, o = texts::kOtc;
    const QList<QStringList> expected = {
        {"1", "آموكسي سيلين 500", "1010001", "قرص", t, "2", "1000", "2000", "1400", "600", "0", "0", "0", "0",
         "0", "0", "0", ""},
        {"2", "سرنگ 5 سي سي", "3300001", "عدد", t, "2", "150.5", "301", "211", "90", "0", "0", "0", "0", "0",
         "0", "0", ""},
        {"3", "پنبه الكل", "3300002", "عدد", f, "2", "80", "160", "0", "0", "160", "0", "0", "0", "0", "0",
         "0", "0"},
        {"4", "سفكسيم 400", "1010002", "قرص", t, "5", "4000", "20000", "5600", "2400", "12000", "0", "0", "0",
         "0", "0", "0", ""},
        {"5", "ويتامين ث", "1010003", "قرص", o, "1", "2500", "2500", "0", "0", "0", "2500", "0", "0", "0",
         "0", "0", ""},
        {"6", "پماد تركيبي", "1700001", "داروهاي ساختني", t, "1", "900", "900", "630", "270", "300", "0", "0", "0",
         "0", "0", "0", ""},
        {"7", "انسولين", "1400001", "ويال", t, "1", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0",
         "50000"},
        {"8", "هپارين", "1400002", "ويال", t, "1", "3000", "3000", "2100", "900", "0", "0", "0", "0", "0",
         "0", "0", ""},
        {"9", "پنبه الكل", "3300002", "عدد", g, "3", "80", "240", "0", "0", "0", "0", "240", "0", "0", "0",
         "0", ""},
    };
    const QJsonArray lines = json.value(QStringLiteral("lines")).toArray();
    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(cellTexts(lines.at(i)), expected.at(i));

    // Insurer 9941, patient 4260, free 12460, OTC 2500 + 10 %, goods 240; fee base 26661 at
    // 20:59 is a day fee below the ceiling, 70 % of it the insurer's. The contract pays that
    // part, so the panel shows the fee inside the shares, as the prescription is stored and
    // the cash desk asks: insurer 9941 + 2100, patient 4260 + 3000 - 2100, payable less 2100.
    const QJsonObject totals = json.value(QStringLiteral("totals")).toObject();
    const QStringList keys{"me_sahme_bime", "me_sahme_bimar",  "MedtKol", "me_azad", "me_otc",
                           "me_kala",       "me_koll_tarefeh", "me_fani", "me_koll"};
    QStringList values;
    for (const QString& key : keys)
        values.append(totals.value(key).toString());
    QCOMPARE(values,
             (QStringList{"12041", "5160", "17201", "12460", "2750", "240", "26201", "0", "20610"}));
    QCOMPARE(totals.value(QStringLiteral("fee_amount")).toDouble(), 3000.0);
    QCOMPARE(totals.value(QStringLiteral("insurer_fee_part")).toDouble(), 2100.0);
    // 14201 is above the latest period's approval threshold of 11000.
    QCOMPARE(totals.value(QStringLiteral("save_permitted")), QJsonValue(true));
    QCOMPARE(totals.value(QStringLiteral("flag_taeed")), QJsonValue(true));
    QCOMPARE(
        cellTexts(json.value(QStringLiteral("messages"))),
        (QStringList{texts::kHospitalStampQuestion, texts::kApprovalNeeded, texts::kApprovalStampQuestion}));

    // The same patient's second prescription of the day carries no fee. Without the
    // answers the hospital-only drug is priced free, and the prescription, still above
    // the approval threshold at 11201, cannot be stored.
    QStringList again = args;
    again[again.indexOf("5555")] = QStringLiteral("1234567890");
    again.removeAt(again.indexOf("--hospital-stamp") + 1);
    again.removeAt(again.indexOf("--hospital-stamp"));
    again.removeAt(again.indexOf("--approval-stamp") + 1);
    again.removeAt(again.indexOf("--approval-stamp"));
    const Run second = pharmacyctl(again);
    QCOMPARE(second.status, 0);
    const QJsonObject json2 = QJsonDocument::fromJson(second.out.toUtf8()).object();
    const QJsonObject totals2 = json2.value(QStringLiteral("totals")).toObject();
    QCOMPARE(totals2.value(QStringLiteral("me_fani")).toString(), QStringLiteral("0"));
    QCOMPARE(totals2.value(QStringLiteral("fee_amount")).toDouble(), 0.0);
    QCOMPARE(cellTexts(json2.value(QStringLiteral("lines")).toArray().at(7)).mid(4, 7),
             (QStringList{f, "1", "3000", "3000", "0", "0", "3000"}));
    QCOMPARE(totals2.value(QStringLiteral("save_permitted")), QJsonValue(false));
    QCOMPARE(cellTexts(json2.value(QStringLiteral("messages"))),
             (QStringList{texts::kHospitalStampQuestion, texts::kApprovalNeeded,
                          texts::kApprovalStampQuestion, texts::kCannotSave}));
    // Nothing was stored.
    QCOMPARE(m_t->db().scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt(), 3);
}

void DispensingDbTest::quoteRefusesUnknownCodes_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown drug") << QStringList{"--insurer", "2",      "--line",
                                                 "1010001,1", "--line", "1999999,1"}
                                  << "unknown drug code 1999999";
    QTest::newRow("unknown insurer") << QStringList{"--insurer", "3", "--line", "1010001,1"}
                                     << "unknown insurer code 3";
    QTest::newRow("no lines") << QStringList{"--insurer", "2"} << "--line";
    QTest::newRow("bad kind") << QStringList{"--line", "1010001,1,x"} << "unknown line kind";
    QTest::newRow("bad quantity") << QStringList{"--line", "1010001,two"} << "not a quantity";
    // Codes are whole numbers, not negative: a sign does not make another insurer's code.
    QTest::newRow("negative insurer") << QStringList{"--insurer", "-1", "--line", "1010001,1"} << "insurer code";
    QTest::newRow("signed insurer") << QStringList{"--insurer", "+2", "--line", "1010001,1"} << "insurer code";
    QTest::newRow("specialty") << QStringList{"--specialty", "1a", "--line", "1010001,1"} << "specialty code";
    QTest::newRow("drug code") << QStringList{"--line", "-1010001,1"} << "not a drug code";
    // Dates are real solar dates, not just the pattern.
    QTest::newRow("today 99/99/99") << QStringList{"--today", "99/99/99", "--line", "1010001,1"} << "real date";
    QTest::newRow("today 00/00/00") << QStringList{"--today", "00/00/00", "--line", "1010001,1"} << "real date";
    QTest::newRow("prescription date")
        << QStringList{"--prescription-date", "05/07/31", "--line", "1010001,1"} << "real date";
    // Quantities and prices are positive and bounded; a huge value is cut in the message.
    QTest::newRow("zero quantity") << QStringList{"--line", "1010001,0"} << "not a quantity";
    QTest::newRow("huge quantity") << QStringList{"--line", "1010001," + QString(400, u'9')}
                                   << QStringLiteral("\"%1…\" is not a quantity").arg(QString(24, u'9'));
    QTest::newRow("price 1e13") << QStringList{"--line", "1700001,1,free,10000000000000"} << "not a unit price";
}

void DispensingDbTest::quoteRefusesUnknownCodes() {
    QFETCH(QStringList, args);
    QFETCH(QString, error);
    const Run run =
        pharmacyctl(QStringList{"--dir", m_t->workingDir(), "quote", "--today", "05/06/15"} + args);
    QCOMPARE(run.status, 2);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith(QLatin1String("pharmacyctl quote: ")) && run.err.contains(error),
             qPrintable(run.err));
    QVERIFY(run.err.size() < 200);
}

QTEST_GUILESS_MAIN(DispensingDbTest)
#include "dispensing_db_test.moc"
