#include "core/error.h"
#include "db/schema.h"
#include "core/amounts.h"
#include "insurance/doctor_store.h"
#include "insurance/drug_rule_store.h"
#include "insurance/insurer_store.h"
#include "insurance/tariff_store.h"
#include "support/audit_entries.h"
#include "support/test_database.h"

#include <QJsonArray>
#include <QtTest>

using namespace ph;
using ph::test::TestDatabase;

namespace {

int count(Database& db, const QString& table, const QString& where = {}, const QVariantList& params = {}) {
    return db
        .scalar(QStringLiteral("select count(*) from ") + table +
                    (where.isEmpty() ? QString() : " where " + where),
                params)
        .toInt();
}

Contract contract(const QString& from, const QString& to, double percent, double base) {
    Contract c;
    c.fromDate = from;
    c.toDate = to;
    c.percent = percent;
    c.gpApproval = base + 1;
    c.gpAddress = base + 2;
    c.specialistApproval = base + 3;
    c.specialistAddress = base + 4;
    c.subSpecialistApproval = base + 5;
    c.subSpecialistAddress = base + 6;
    c.midwifeApproval = base + 7;
    c.dentistApproval = base + 8;
    c.feeInCommitment = true;
    return c;
}

int addInsurer(Database& db, const QString& name) {
    const auto added = InsurerStore(db).add({0, name, QString(), QString(), false});
    if (added.result != InsurerStore::AddResult::Added) qFatal("insurer not added");
    return added.code;
}

} // namespace

class InsuranceRulesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void contractsAsDispensingReadsThem();
    void insurerNamesAndInUseRefusals();
    void tariffFirstRowAndPeriodIdentity();
    void ruleKindsStoredAndReloaded();
    void rulesForSeveralInsurers();
    void doctorsRegister();

private:
    std::unique_ptr<TestDatabase> m_t;
};

void InsuranceRulesTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Schema(m_t->db()).ensure();
}

void InsuranceRulesTest::cleanup() {
    m_t.reset();
}

void InsuranceRulesTest::contractsAsDispensingReadsThem() {
    Database& db = m_t->db();
    InsurerStore store(db);
    const int insurer = addInsurer(db, "تامين اجتماعي");
    QCOMPARE(insurer, 1); // the first insurer of an empty table

    Contract first = contract("83/01/01", "83/12/29", 70, 1000);
    first.insurer = insurer;
    QCOMPARE(store.saveNewContract(first), 1);
    Contract second = contract("84/01/01", "84/12/29", 65, 2000);
    second.insurer = insurer;
    second.feeInCommitment = false;
    QCOMPARE(store.saveNewContract(second), 2);

    // Every threshold is stored as typed, and dispensing reads the first contract for the
    // percentage and the latest for the thresholds.
    const InsurerTerms terms = store.terms(insurer);
    const auto& priced = terms.first;
    const auto& checked = terms.latest;
    QVERIFY(priced && checked);
    QCOMPARE(priced->percent, 70.0);
    QVERIFY(priced->feeInCommitment);
    QCOMPARE(checked->row, 2);
    const double expected[] = {2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008};
    const double read[] = {checked->gpApproval,
                           checked->gpAddress,
                           checked->specialistApproval,
                           checked->specialistAddress,
                           checked->subSpecialistApproval,
                           checked->subSpecialistAddress,
                           checked->midwifeApproval,
                           checked->dentistApproval};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(read[i], expected[i]);
    QCOMPARE(terms.lastDay, std::optional<QString>("84/12/29"));

    // The same dates again replace that contract, keeping its number.
    Contract replacement = contract("83/01/01", "83/12/29", 80, 3000);
    replacement.insurer = insurer;
    QCOMPARE(store.saveNewContract(replacement), 1);
    QList<Contract> stored = store.contracts(insurer);
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored[0].percent, 80.0);
    QCOMPARE(stored[0].dentistApproval, 3008.0);

    // Editing rewrites the contract it was loaded from, and only that one.
    Contract edited = stored[1];
    edited.toDate = "85/06/31";
    edited.midwifeApproval = 9;
    store.updateContract(stored[1], edited);
    const QList<QJsonObject> contractHistory = test::auditChanges(db, QStringLiteral("contract"), QString::number(insurer));
    QCOMPARE(contractHistory.size(), 4); // two saved, one replaced, one corrected
    QCOMPARE(test::auditLines(contractHistory.last(), "before", "rows").size(), 2);
    QVERIFY(test::auditLines(contractHistory.last(), "before", "rows") != test::auditLines(contractHistory.last(), "after", "rows"));
    stored = store.contracts(insurer);
    QCOMPARE(stored[1].toDate, QString("85/06/31"));
    QCOMPARE(stored[1].midwifeApproval, 9.0);
    QCOMPARE(stored[0].toDate, QString("83/12/29"));

    // A contract of an older database without a number is found by its dates.
    db.exec("insert into organs_s (code, from_d, to_d, deduct) values (?, '82/01/01', '82/12/29', 50)",
            {insurer});
    stored = store.contracts(insurer);
    QCOMPARE(stored.size(), 3);
    QVERIFY(!stored[2].row);
    Contract unnumbered = stored[2];
    unnumbered.percent = 55;
    store.updateContract(stored[2], unnumbered);
    QCOMPARE(db.scalar("select deduct from organs_s where row is null").toDouble(), 55.0);
    QCOMPARE(store.terms(insurer).first->percent, 80.0);
}

void InsuranceRulesTest::insurerNamesAndInUseRefusals() {
    Database& db = m_t->db();
    InsurerStore store(db);
    const int withPrescription = addInsurer(db, "بيمه سلامت");
    const int withRule = addInsurer(db, "نيروهاي مسلح");
    const int withContracts = addInsurer(db, "بيمه ايران");
    QCOMPARE(store.add({0, "  بيمه سلامت ", "", "", false}).result, InsurerStore::AddResult::DuplicateName);
    QCOMPARE(store.add({0, "   ", "", "", false}).result, InsurerStore::AddResult::EmptyName);
    QCOMPARE(store.find(withPrescription)->claimCode, QString("0")); // empty codes are stored as "0"

    db.exec("insert into heading_noskhe (sh_factor, code_bimeh) values (1, ?)", {withPrescription});
    db.exec("insert into bimeh_daru (code_bimeh, code_kala, ty_no) values (?, 1010001, 0)", {withRule});
    Contract c = contract("04/01/01", "04/12/29", 70, 0);
    c.insurer = withContracts;
    store.saveNewContract(c);
    db.exec("insert into hoteling (code_bimeh, code_kala) values (?, 1010001)", {withContracts});

    const struct {
        int code;
        bool inUse;
    } cases[] = {{withPrescription, true}, {withRule, true}, {withContracts, false}};
    for (const auto& c : cases) {
        QCOMPARE(store.inUse(c.code), c.inUse);
        // An insurer in use keeps its name; its codes and emergency flag still change.
        store.update({c.code, "نام تازه", " 77 ", "88", true});
        const Insurer after = *store.find(c.code);
        QCOMPARE(after.name == "نام تازه", !c.inUse);
        QCOMPARE(after.claimCode, QString("77"));
        QVERIFY(after.emergency);
        store.update({c.code, after.name, "77", "88", false}); // back, so the names stay unique
    }
    QCOMPARE(store.remove(withPrescription), InsurerStore::RemoveResult::InUse);
    QCOMPARE(store.remove(withRule), InsurerStore::RemoveResult::InUse);
    QCOMPARE(store.remove(withContracts), InsurerStore::RemoveResult::Removed);
    QVERIFY(!store.find(withContracts));
    QCOMPARE(count(db, "organs_s"), 0);
    QCOMPARE(count(db, "hoteling"), 0);
    QCOMPARE(count(db, "organs_m"), 2);
}

void InsuranceRulesTest::tariffFirstRowAndPeriodIdentity() {
    Database& db = m_t->db();
    TariffStore store(db);
    TariffPeriod older{"83/01/01", "83/12/29", 1000, 10, 20, 30, 40, 5, 500, 2000, 50, 60};
    TariffPeriod newer{"84/01/01", "84/12/29", 2000, 11, 21, 31, 41, 6, 600, 3000, 51, 61};
    QCOMPARE(store.save(older), TariffStore::SaveResult::Stored);
    QCOMPARE(store.save(newer), TariffStore::SaveResult::Stored);
    // Dispensing takes the first row, whatever its dates.
    const auto tariff = store.inForce();
    QVERIFY(tariff);
    QCOMPARE(tariff->feeCeiling, 1000.0);
    QCOMPARE(tariff->emergencyUp, 60.0);
    // Editing the first period keeps it first, though the server may move the row it rewrites.
    TariffPeriod olderEdited = older;
    olderEdited.dayUp = 25;
    store.save(olderEdited, &older);
    QCOMPARE(store.inForce()->dayUp, 25.0);
    // The history: the period added, then only the changed field of its correction.
    const QList<QJsonObject> tariffHistory = test::auditChanges(db, QStringLiteral("tariff"), QStringLiteral("83/01/01-83/12/29"));
    QCOMPARE(tariffHistory.size(), 2);
    QCOMPARE(test::auditField(tariffHistory[0], QStringLiteral("from_d"), "after").toString(), older.fromDate);
    const QJsonObject corrected = tariffHistory[1][QStringLiteral("fields")].toObject();
    QCOMPARE(corrected.size(), 1);
    QCOMPARE(corrected.begin()->toObject()[QStringLiteral("after")].toDouble(), 25.0);
    QCOMPARE(store.all().at(0).fromDate, older.fromDate);

    // A missing date stores nothing.
    QCOMPARE(store.save({"85/01/01", "", 1}), TariffStore::SaveResult::MissingDate);
    QCOMPARE(store.save({"", "85/12/29", 1}), TariffStore::SaveResult::MissingDate);
    // A new period with the dates of a stored one replaces it.
    TariffPeriod replaced = newer;
    replaced.dayDown = 99;
    store.save(replaced);
    QCOMPARE(store.all().size(), 2);
    QCOMPARE(store.all().at(1).dayDown, 99.0);
    // Edited to the dates of the other period, the two become one.
    TariffPeriod moved = older;
    moved.fromDate = newer.fromDate;
    moved.toDate = newer.toDate;
    store.save(moved, &older);
    QCOMPARE(store.all().size(), 1);
    QCOMPARE(store.all().at(0).feeCeiling, 1000.0);
    store.remove(newer.fromDate, newer.toDate);
    QVERIFY(store.all().isEmpty());
    QVERIFY(!store.inForce());
}

void InsuranceRulesTest::ruleKindsStoredAndReloaded() {
    Database& db = m_t->db();
    const int insurer = addInsurer(db, "تامين اجتماعي");
    db.exec("insert into doctor_type (code, doc_type) values (4, 'متخصص')");
    db.exec("insert into type_kala (code, name, num) values (1, 'قرص', 0)");
    const struct {
        const char* kind;
        DrugRuleEntry rule;
        QString specialtyShown;
    } cases[] = {
        {"none, hospital only", {0, 1010001, 0, 0, 0, 0, true, false, 0}, ""},
        {"quantity limit", {0, 1010002, 1, 30, 0, 0, false, false, 0}, ""},
        {"tariff price limit", {0, 1010003, 2, 0, 600000, 0, false, false, 0}, ""},
        {"required specialty", {0, 1010004, 1, 2, 0, 4, false, false, 0}, "متخصص"},
        {"not covered", {0, 1010005, 0, 0, 0, 0, false, true, 0}, ""},
        {"own share", {0, 1010006, 0, 0, 0, 0, false, false, 90}, ""},
        {"specialty not in the list", {0, 1010007, 0, 0, 0, 9, false, false, 0}, ""},
    };
    DrugRuleStore store(db);
    for (const auto& c : cases) {
        db.exec(
            "insert into mosh_kala_anbar (code_kala, name_kala, type_code, group_code) values (?, ?, 1, 1)",
            {c.rule.drug, QString::fromLatin1(c.kind)});
        QCOMPARE(store.addForInsurers({insurer}, c.rule), QList<int>{insurer});
        const auto read = store.find(insurer, c.rule.drug);
        QVERIFY2(read, c.kind);
        QCOMPARE(read->limitKind, c.rule.limitKind);
        QCOMPARE(read->quantity, c.rule.quantity);
        QCOMPARE(read->tariff, c.rule.tariff);
        QCOMPARE(read->specialty, c.rule.specialty);
        QCOMPARE(read->hospitalOnly, c.rule.hospitalOnly);
        QCOMPARE(read->notCovered, c.rule.notCovered);
        QCOMPARE(read->deduct, c.rule.deduct);
    }
    // Every rule is listed, those asking no specialty and one whose specialty is gone included.
    const QList<DrugRuleRow> rows = store.rulesOf(insurer);
    QCOMPARE(rows.size(), int(std::size(cases)));
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i].rule.drug, cases[i].rule.drug);
        QCOMPARE(rows[i].drugName, QString::fromLatin1(cases[i].kind));
        QCOMPARE(rows[i].formName, QString("قرص"));
        QCOMPARE(rows[i].specialtyName, cases[i].specialtyShown);
    }

    // How the window's choices become the limit kind: new asks for a value other than "0".
    QCOMPARE(limitKindForNew(true, "0", false, "0"), 0);
    QCOMPARE(limitKindForNew(true, "5", false, "0"), 1);
    QCOMPARE(limitKindForNew(false, "0", true, "1200"), 2);
    QCOMPARE(limitKindForNew(false, "0", true, "0"), 0);
    QCOMPARE(limitKindForEdit(true, false), 1);
    QCOMPARE(limitKindForEdit(false, true), 2);
    QCOMPARE(limitKindForEdit(false, false), 0);

    // Editing rewrites a rule but never creates one.
    DrugRuleEntry edited = cases[1].rule;
    edited.insurer = insurer;
    edited.quantity = 60;
    QVERIFY(store.update(edited));
    QCOMPARE(store.find(insurer, edited.drug)->quantity, 60.0);
    edited.drug = 1019999;
    QVERIFY(!store.update(edited));
    QVERIFY(!store.find(insurer, 1019999));
}

void InsuranceRulesTest::rulesForSeveralInsurers() {
    Database& db = m_t->db();
    const int a = addInsurer(db, "الف");
    const int b = addInsurer(db, "ب");
    const int c = addInsurer(db, "ج");
    DrugRuleStore store(db);
    store.addForInsurers({b}, {0, 1010001, 1, 10, 0, 0, false, false, 0});
    // Three checked insurers, one of which already has a rule: two new rules, the third unchanged.
    const DrugRuleEntry tariffRule{0, 1010001, 2, 0, 5000, 0, false, false, 0};
    QCOMPARE(store.addForInsurers({a, b, c}, tariffRule), (QList<int>{a, c}));
    QCOMPARE(count(db, "bimeh_daru"), 3);
    QCOMPARE(store.find(b, 1010001)->quantity, 10.0);
    QCOMPARE(store.find(c, 1010001)->tariff, 5000.0);
    // The history holds the drug's rules of every insurer before and after the change.
    const QList<QJsonObject> rules = test::auditChanges(db, QStringLiteral("insurer_drug_rule"), QStringLiteral("1010001"));
    QCOMPARE(rules.size(), 2);
    QCOMPARE(test::auditField(rules[0], QStringLiteral("code_bimeh"), "after").toDouble(), double(b)); // one row: by field
    QCOMPARE(test::auditLines(rules[1], "before", "rows").size(), 1);
    QCOMPARE(test::auditLines(rules[1], "after", "rows").size(), 3);
    // Deleting acts on the drug for every insurer named.
    store.removeForInsurers(1010001, {a, b});
    QCOMPARE(count(db, "bimeh_daru"), 1);
    QVERIFY(store.find(c, 1010001));
}

void InsuranceRulesTest::doctorsRegister() {
    Database& db = m_t->db();
    db.exec("insert into doctor_type (code, doc_type) values (1, 'پزشك عمومي')");
    DoctorStore store(db);
    QCOMPARE(store.nextCode(), 1);
    QCOMPARE(store.add({1, " علي ", " محمدي ", " 45213 ", 1}), DoctorStore::AddResult::Added);
    QCOMPARE(store.nextCode(), 2);
    // The same council number, or the same code, is a duplicate.
    QCOMPARE(store.add({2, "", "رضايي", "45213", 1}), DoctorStore::AddResult::Duplicate);
    QCOMPARE(store.add({1, "", "رضايي", "99999", 1}), DoctorStore::AddResult::Duplicate);
    QCOMPARE(store.add({2, "", "رضايي", "38804", 1}), DoctorStore::AddResult::Added);
    QVERIFY(
        db.scalar("select name from doctor_s where code=2").isNull()); // an empty first name is not stored
    const auto found = store.findByCouncilNumber("45213");
    QVERIFY(found);
    QCOMPARE(found->family, QString("محمدي"));
    // A prescriber met on a prescription joins the register once.
    QCOMPARE(store.registerPrescriber({0, "", "كريمي", "62417", 1}), 3);
    QCOMPARE(store.registerPrescriber({0, "", "كريمي", " 62417", 1}), 3);
    db.exec("delete from doctor_s where code=3");
    QCOMPARE(store.all().size(), 2);
    QCOMPARE(store.all().at(0).specialtyName, QString("پزشك عمومي"));

    // A doctor named by a prescription cannot be deleted; after his number changes he can.
    db.exec("insert into heading_noskhe (sh_factor, nezam_p) values (1, '45213')");
    QCOMPARE(store.remove(1), DoctorStore::RemoveResult::InUse);
    store.update({1, "علي", "محمدي", "45214", 1});
    QCOMPARE(store.remove(1), DoctorStore::RemoveResult::Removed);
    QCOMPARE(store.all().size(), 1);
}

QTEST_GUILESS_MAIN(InsuranceRulesTest)
#include "insurance_rules_test.moc"
