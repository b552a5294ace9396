#include "admin/rights.h"
#include "admin/users.h"
#include "catalogue/formulas.h"
#include "cli/commands.h"
#include "cli/demo_command.h"
#include "core/clock.h"
#include "core/jalali_date.h"
#include "db/schema.h"
#include "dispensing/drug_list.h"
#include "dispensing/settings_store.h"
#include "insurance/doctor_store.h"
#include "insurance/drug_rule_store.h"
#include "insurance/insurer_store.h"
#include "support/cli_run.h"
#include "support/test_database.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtTest>

using namespace ph;
using ph::test::TestDatabase;

namespace {

using ph::test::pharmacyctl;
using Run = ph::test::CliRun;

int count(Database& db, const char* table) {
    return db.scalar(QStringLiteral("select count(*) from ") + QLatin1String(table)).toInt();
}

} // namespace

class DemoCommandTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fillsAnEmptyDatabaseThatPricesAtOnce();
    void refusesANonEmptyDatabase_data();
    void refusesANonEmptyDatabase();

private:
    std::unique_ptr<TestDatabase> m_t;
};

void DemoCommandTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Schema(m_t->db()).ensure();
}

void DemoCommandTest::cleanup() {
    m_t.reset();
}

void DemoCommandTest::fillsAnEmptyDatabaseThatPricesAtOnce() {
    const FixedClock clock(QDateTime(QDate(2026, 12, 10), QTime(10, 0)));
    const QString today = todayJalaliText(clock);
    Run run;
    {
        QTextStream out(&run.out);
        QTextStream err(&run.err);
        run.status = cli::demo(m_t->workingDir(), clock, out, err);
    }
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    // The report is English throughout: no Persian punctuation slips into its first line.
    QVERIFY2(run.out.startsWith(QStringLiteral("demo data written to the ")), qPrintable(run.out.left(80)));
    QVERIFY(!run.out.section(u'\n', 0, 0).contains(QChar(u'\u060C')));

    // The two users sign in with the passwords printed once.
    static const QRegularExpression passwordLine(QStringLiteral("code (\\d+) .* password: (\\S+)"));
    QHash<int, QString> passwords;
    for (auto it = passwordLine.globalMatch(run.out); it.hasNext();) {
        const auto match = it.next();
        passwords.insert(match.captured(1).toInt(), match.captured(2));
    }
    QCOMPARE(passwords.size(), 2);
    Database& db = m_t->db();
    UserStore users(db);
    const auto admin = users.signIn(1, passwords.value(1));
    const auto counter = users.signIn(2, passwords.value(2));
    QVERIFY(admin && counter);
    QSet<QString> counterRights;
    for (std::string_view flag : kRightFlags) {
        const QString name = QString::fromLatin1(flag.data(), qsizetype(flag.size()));
        QVERIFY2(admin->rights.value(name), qPrintable(name));
        if (counter->rights.value(name)) counterRights.insert(name);
    }
    QCOMPARE(counterRights, (QSet<QString>{"froosh_d", "froosh_k", "save_b", "edit_b", "pass_ta"}));

    // The reference data the windows list: insurers with contracts in force, the social
    // security one listed, rules of every kind, doctors with their specialties.
    QCOMPARE(SettingsStore(db).taminCodes(), QStringList{"1"});
    InsurerStore insurers(db);
    QCOMPARE(insurers.all().size(), 3);
    for (const Insurer& insurer : insurers.all()) {
        const QList<Contract> contracts = insurers.contracts(insurer.code);
        QCOMPARE(contracts.size(), 1);
        QVERIFY2(contracts[0].fromDate <= today && today <= contracts[0].toDate,
                 qPrintable(contracts[0].toDate));
    }
    bool kinds[6] = {};
    for (const DrugRuleRow& row : DrugRuleStore(db).rulesOf(1)) {
        kinds[0] |= row.rule.limitKind == 1;
        kinds[1] |= row.rule.limitKind == 2;
        kinds[2] |= row.rule.specialty > 0 && !row.specialtyName.isEmpty();
        kinds[3] |= row.rule.hospitalOnly;
        kinds[4] |= row.rule.notCovered;
        kinds[5] |= row.rule.deduct > 0;
    }
    for (bool kind : kinds)
        QVERIFY(kind);
    QCOMPARE(DoctorStore(db).all().size(), 12);
    QVERIFY(count(db, "mosh_kala_anbar") >= 55);
    QCOMPARE(db.scalar("select count(*) from moj_kala_vah where code_vah=20").toInt(),
             count(db, "mosh_kala_anbar"));
    QCOMPARE(count(db, "tarefeh"), 1);
    QVERIFY(count(db, "place") > 0 && count(db, "type_noskhe") > 0 && count(db, "onvan_darou") == 1);

    // An insured line of the social-security insurer is priced from what demo stored.
    const QString drug =
        db.scalar("select code_kala from mosh_kala_anbar where name_kala_latin='Acetaminophen 500 mg'")
            .toString();
    const Run quote =
        pharmacyctl({"--dir", m_t->workingDir(), "quote", "--insurer", "1", "--specialty", "1", "--today",
                     today, "--time", "10:00", "--line", QString::number(drug.toDouble(), 'f', 0) + ",10"});
    QCOMPARE(quote.err, QString());
    QCOMPARE(quote.status, 0);
    const QJsonObject json = QJsonDocument::fromJson(quote.out.toUtf8()).object();
    const QJsonArray line = json["lines"].toArray().at(0).toArray();
    QCOMPARE(line.at(4).toString(), QString("تعرفه"));
    QCOMPARE(line.at(7).toString(), QString("18000")); // 10 at the demo's 1,800 Rials
    QCOMPARE(line.at(8).toString(), QString("12600")); // the contract's 70 percent
    QCOMPARE(json["totals"].toObject()["fee_amount"].toDouble(), 60000.0); // the tariff's day fee

    // A compounded drug can be made at once: its formula is saved under the compounded
    // drugs' form, and the pharmacy, which keeps stock, dispenses it at its formula's price.
    Formula formula;
    formula.name = QStringLiteral("پماد سوختگي");
    formula.technicalFee = 5000;
    formula.lines = {{1, QString(), QString(), kFreeMaterial, 2, 1000}};
    double code = 0;
    QCOMPARE(FormulaStore(db).add(formula, &code), FormulaStore::Result::Saved);
    QCOMPARE(code, 1700001.0);
    const std::optional<DrugItem> compounded = DrugList(db).find(code, true);
    QVERIFY(compounded);
    QCOMPARE(compounded->formName, compoundedFormName());
    QCOMPARE(compounded->listPrice, std::optional<double>(7000));
}

void DemoCommandTest::refusesANonEmptyDatabase_data() {
    QTest::addColumn<QString>("sql");
    QTest::newRow("goods") << "insert into mosh_kala_anbar (code_kala, name_kala) values (1010001, 'x')";
    QTest::newRow("insurer") << "insert into organs_m (code, name) values (1, 'x')";
    QTest::newRow("user") << "insert into u_pharmacy (code, name) values (1, 'x')";
    // Reference lists and registers kept before any goods: demo would mix its rows into them.
    QTest::newRow("doctor")
        << "insert into doctor_s (code, family, order1, typeno) values (1, 'x', '45213', 1)";
    QTest::newRow("specialty") << "insert into doctor_type (code, doc_type) values (1, 'x')";
    QTest::newRow("tariff")
        << "insert into tarefeh (from_d, to_d, mab_day_down) values ('04/01/01', '04/12/29', 1)";
    QTest::newRow("ward") << "insert into place (code, name, active) values (1, 'x', 1)";
    QTest::newRow("prescription type") << "insert into type_noskhe (code, name) values (1, 'x')";
    QTest::newRow("drug form") << "insert into type_kala (code, name, num) values (1, 'x', 0)";
    QTest::newRow("goods group") << "insert into group_kala (code, name) values (1, 'x')";
}

void DemoCommandTest::refusesANonEmptyDatabase() {
    QFETCH(QString, sql);
    Database& db = m_t->db();
    db.exec(sql);
    const char* const tables[] = {"mosh_kala_anbar", "moj_kala_vah", "group_kala", "type_kala",   "organs_m",
                                  "organs_s",        "bimeh_daru",   "tarefeh",    "doctor_type", "doctor_s",
                                  "place",           "type_noskhe",  "u_pharmacy", "onvan_darou", "tanzimat"};
    QList<int> before;
    for (const char* table : tables)
        before.append(count(db, table));
    const Run run = pharmacyctl({"--dir", m_t->workingDir(), "demo"});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains("demo fills only an empty database"), qPrintable(run.err));
    QCOMPARE(run.out, QString());
    for (int i = 0; i < int(std::size(tables)); ++i)
        QVERIFY2(count(db, tables[i]) == before[i], tables[i]);
}

QTEST_GUILESS_MAIN(DemoCommandTest)
#include "demo_command_test.moc"
