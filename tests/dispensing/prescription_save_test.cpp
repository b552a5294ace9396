#include "admin/users.h"
#include "core/error.h"
#include "core/scripted_prompter.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/prescription_fields.h"
#include "dispensing/prescription_print_data.h"
#include "dispensing/prescription_session.h"
#include "lots/lots.h"
#include "pharmacy_fixture.h"
#include "support/audit_entries.h"
#include "support/cli_run.h"
#include "support/test_database.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlRecord>
#include <QTest>

#include <thread>

using namespace ph;
using ph::test::exec;
using ph::test::TestDatabase;

namespace {

const QString kToday = QStringLiteral("05/07/15");
constexpr double kVitaminC = 1010003; // 2500 Rials, no rule, no companion
constexpr double kCefixime = 1010002; // 4000 Rials
constexpr double kOintment = 1700001; // compounded

// A valid outpatient header for the insurer, with a patient of the given family name.
void fillHeader(PrescriptionSession& s, const QString& insurer, const QString& family = QStringLiteral("رضايي")) {
    s.changeInsurer(InsurerCode::fromText(insurer));
    PrescriptionHeader& h = s.header();
    const QString shownNumber = h.invoiceNumber; // kept: a started edit shows the stored one
    h = ph::test::completeHeader();
    h.family = family;
    h.invoiceNumber = shownNumber;
}

void addLine(PrescriptionSession& s, double code, const QString& quantity, const QString& price = {}) {
    const DrugItem drug = *s.findDrug(code);
    QVERIFY(s.addLine(drug, {quantity, s.kindForChosen(drug), price}).written());
}

SaveContext by(int user) {
    return {user, 40, kToday, QStringLiteral("10:30")};
}

QVariantList row(Database& db, const QString& sql, const QVariantList& params = {}) {
    Rows q = db.exec(sql, params);
    QVariantList values;
    if (q.next())
        for (int i = 0; i < q.record().count(); ++i)
            values.append(q.value(i));
    return values;
}

int count(Database& db, const QString& table) {
    return db.scalar(QStringLiteral("select count(*) from ") + table).toInt();
}

} // namespace

class PrescriptionSaveTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void numbersAndCodes();
    void amountColumnsForTheFeeAndStaff_data();
    void amountColumnsForTheFeeAndStaff();
    void editSettlesTheCashDifference();
    void duplicateIsAskedAndMayBeRefused();
    void refusalsAndFailuresWriteNothing();
    void foundStoredInTheSaveTakesNothing();
    void stockMovesOnceAndEditsSettleIt();
    void twoWorkstationsSaveAtOnce();
    void storedPrescriptionShownAndCorrected();
    void deletingAndStepping();
    void saveCommand_data();
    void saveCommand();

private:
    std::unique_ptr<TestDatabase> m_t;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<PrescriptionSession> m_session;
};

void PrescriptionSaveTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Database& db = m_t->db();
    ph::test::fillPharmacy(db);
    // No stored prescriptions, no threshold messages, and more insurers at 50 %.
    for (const char* table : {"heading_noskhe", "details_noskhe"})
        db.exec(QStringLiteral("delete from ") + QLatin1String(table));
    db.exec(QStringLiteral("update tanzimat set message_taeed=0, message_address=0, cash=0"));
    for (int insurer : {5, 12, 123}) {
        exec(db, QStringLiteral("insert into organs_m (code, name, orj_flag) values (?, ?, 0)"),
             {insurer, QStringLiteral("بيمه %1").arg(insurer)});
        exec(db,
             QStringLiteral("insert into organs_s (code, row, from_d, to_d, deduct, fani_flag) "
                            "values (?, 1, '05/01/01', '05/12/29', 50, 0)"),
             {insurer});
    }
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_session = std::make_unique<PrescriptionSession>(db, *m_prompter);
    m_session->start({kToday, QStringLiteral("10:30")});
}

void PrescriptionSaveTest::cleanup() {
    m_session.reset();
    m_t.reset();
}

void PrescriptionSaveTest::numbersAndCodes() {
    Database& db = m_t->db();
    // The month 7, day 15 counter of insurer 12 reached 41 in an earlier year.
    db.exec(QStringLiteral("insert into code_noskhe (code_bimeh, rooz, m7) values (12, 15, 41)"));
    const struct {
        int user;
        const char* insurer;
        int invoice;
        const char* code;
    } saves[] = {
        {3, "5", 1, "03-005-07-15-0001"},   {3, "05", 2, "03-005-07-15-0002"}, {12, "12", 3, "12-0012-07-15-0042"},
        {3, "123", 4, "03-123-07-15-0001"}, {3, "0", 5, "03-000-07-15-0001"},  {3, "0", 6, "03-000-07-15-0001"},
    };
    for (const auto& s : saves) {
        fillHeader(*m_session, QString::fromLatin1(s.insurer), QStringLiteral("بيمار %1").arg(s.invoice));
        addLine(*m_session, kVitaminC, QStringLiteral("1"));
        const SaveOutcome outcome = m_session->save(by(s.user), true);
        QVERIFY2(outcome.isSaved(), qPrintable(m_prompter->texts().join(u'|')));
        QCOMPARE(outcome.saved.invoiceNumber, s.invoice);
        QCOMPARE(outcome.saved.code, QString::fromLatin1(s.code));
        QCOMPARE(db.scalar("select code_no from heading_noskhe where sh_factor=?", {s.invoice}).toString(),
                 QString::fromLatin1(s.code));
        // Saved: the session is at a new prescription with the next number shown.
        QCOMPARE(m_session->lines().lineCount(), 0);
        QCOMPARE(m_session->header().invoiceNumber, QString::number(s.invoice + 1));
    }
    QCOMPARE(db.scalar("select m7 from code_noskhe where code_bimeh=5 and rooz=15").toInt(), 2);
    QCOMPARE(db.scalar("select m7 from code_noskhe where code_bimeh=12 and rooz=15").toInt(), 42);
    QCOMPARE(m_prompter->texts(), QStringList());
}

void PrescriptionSaveTest::amountColumnsForTheFeeAndStaff_data() {
    QTest::addColumn<QString>("insurer");
    QTest::addColumn<bool>("staff");
    QTest::addColumn<bool>("cashDesk"); // sales wait at a cash desk of their own
    // heading: price_bimar, price_bimeh, fani, fani2, price_koll; cash: bimar, fani, koll_daryaft
    QTest::addColumn<QVariantList>("heading");
    QTest::addColumn<QVariantList>("cash");
    // 2 x 2500 at 50 %: patient 2500, insurer 2500; day fee 3000; payable 5500.
    QTest::newRow("contract without fee") << "5" << false << false << QVariantList{2500, 2500, 3000, 3000, 5500}
                                          << QVariantList{2500, 3000, 5500};
    QTest::newRow("staff, at the cash desk") << "5" << true << true << QVariantList{2500, 2500, 0, 0, 2500}
                           << QVariantList{2500, 3000, 5500};
    // At 70 % with the fee in the insurer's commitment: the insurer pays 2100 of the fee.
    QTest::newRow("fee in commitment") << "2" << false << false << QVariantList{1500 + 3000 - 2100, 3500 + 2100, 0, 3000, 4500 - 2100}
                                       << QVariantList{2400, 0, 2400};
    QTest::newRow("fee in commitment, staff")
        << "2" << true << false << QVariantList{2400, 5600, 0, 0, 1500} << QVariantList{2400, 0, 2400};
}

void PrescriptionSaveTest::amountColumnsForTheFeeAndStaff() {
    QFETCH(QString, insurer);
    QFETCH(bool, staff);
    QFETCH(bool, cashDesk);
    QFETCH(QVariantList, heading);
    QFETCH(QVariantList, cash);
    Database& db = m_t->db();
    db.exec(QStringLiteral("update tanzimat set cash=?"), {cashDesk ? 1 : 0});
    fillHeader(*m_session, insurer);
    m_session->header().staff = staff;
    addLine(*m_session, kVitaminC, QStringLiteral("2"));
    QVERIFY(m_session->save(by(1), true).isSaved());
    const QVariantList stored =
        row(db, QStringLiteral("select price_bimar, price_bimeh, fani, fani2, price_koll from heading_noskhe"));
    QCOMPARE(stored.size(), heading.size());
    for (int i = 0; i < heading.size(); ++i)
        QCOMPARE(stored.at(i).toDouble(), heading.at(i).toDouble());
    const QVariantList cashRow = row(db, QStringLiteral("select bimar, fani, koll_daryaft from cash"));
    for (int i = 0; i < cash.size(); ++i)
        QCOMPARE(cashRow.at(i).toDouble(), cash.at(i).toDouble());
    QCOMPARE(row(db, QStringLiteral("select h.personel, c.flag_pa, c.code_cashier, c.type_factor, c.family_b "
                                    "from heading_noskhe h, cash c where c.sh_factor=h.sh_factor")),
             (QVariantList{staff ? 1 : 0, cashDesk ? 0 : 1, cashDesk ? 40 : 1, QStringLiteral("d"),
                           QStringLiteral("رضايي  علي")}));
}

void PrescriptionSaveTest::editSettlesTheCashDifference() {
    Database& db = m_t->db();
    double fee = 0; // of the last save
    auto saveWith = [&](const QString& quantity, std::optional<int> editing) {
        fillHeader(*m_session, QStringLiteral("0"));
        addLine(*m_session, kVitaminC, quantity);
        if (editing) {
            m_session->startEdit(*editing);
            m_prompter->answerYes();
        }
        const double payable = m_session->totals().payable.toDouble();
        fee = m_session->totals().fee.toDouble();
        const SaveOutcome outcome = m_session->save(by(1), true);
        [&] { QVERIFY2(outcome.isSaved(), qPrintable(m_prompter->texts().join(u'|'))); }();
        return std::pair{outcome.saved.invoiceNumber, payable};
    };
    auto netCash = [&](int invoice) {
        return db.scalar("select sum(koll_daryaft) - sum(koll_bargasht) from cash where sh_factor=?", {invoice})
            .toDouble();
    };
    const auto [invoice, first] = saveWith(QStringLiteral("1"), std::nullopt);
    QCOMPARE(netCash(invoice), first);
    // Up, down and up again: each edit brings what the cash rows hold in sum to the new total.
    const double totals[] = {saveWith(QStringLiteral("3"), invoice).second, saveWith(QStringLiteral("1"), invoice).second,
                             saveWith(QStringLiteral("2"), invoice).second};
    QCOMPARE(netCash(invoice), totals[2]);
    QCOMPARE(count(db, QStringLiteral("cash")), 4);
    QCOMPARE(db.scalar("select koll_bargasht from cash where koll_bargasht > 0").toDouble(), totals[0] - totals[1]);
    for (const double more : {totals[0] - first, totals[2] - totals[1]})
        QCOMPARE(db.scalar("select count(*) from cash where sh_factor=? and koll_daryaft=? and koll_bargasht=0",
                           {invoice, more})
                     .toInt(),
                 1);
    // The rows added carry differences only: each column sums to the last save's amount.
    QVERIFY(fee > 0);
    QCOMPARE(db.scalar("select sum(fani) from cash where sh_factor=?", {invoice}).toDouble(), fee);
    // Edits keep the invoice and its code, and leave one set of lines.
    QCOMPARE(count(db, QStringLiteral("heading_noskhe")), 1);
    QCOMPARE(db.scalar("select tedad from details_noskhe where sh_factor=?", {invoice}).toDouble(), 2.0);
    QCOMPARE(db.scalar("select code_no from heading_noskhe").toString(), QStringLiteral("01-000-07-15-0001"));
}

void PrescriptionSaveTest::duplicateIsAskedAndMayBeRefused() {
    Database& db = m_t->db();
    for (int i = 0; i < 3; ++i) {
        fillHeader(*m_session, QStringLiteral("5"));
        addLine(*m_session, kVitaminC, QStringLiteral("1"));
        if (i == 1) m_prompter->answerNo();
        if (i == 2) m_prompter->answerYes();
        const SaveOutcome outcome = m_session->save(by(1), true);
        QCOMPARE(outcome.isSaved(), i != 1);
        if (i == 1) m_session->start({kToday, QStringLiteral("10:30")});
    }
    QCOMPARE(m_prompter->texts(), (QStringList{texts::kDuplicate, texts::kSaveDuplicateQuestion, texts::kDuplicate,
                                               texts::kSaveDuplicateQuestion}));
    QCOMPARE(count(db, QStringLiteral("heading_noskhe")), 2);
    // The patient and the prescriber were stored once.
    QCOMPARE(count(db, QStringLiteral("mosh_bimaran")), 1);
    QCOMPARE(row(db, QStringLiteral("select name, family, order1, typeno from doctor_s")),
             (QVariantList{QStringLiteral("مريم"), QStringLiteral("احمدي"), QStringLiteral("45213"), 1}));
}

void PrescriptionSaveTest::refusalsAndFailuresWriteNothing() {
    Database& db = m_t->db();
    auto nothingWritten = [&] {
        for (const char* table : {"heading_noskhe", "details_noskhe", "cash", "code_noskhe", "doctor_s", "mosh_bimaran"})
            QVERIFY2(count(db, QString::fromLatin1(table)) == 0, table);
    };
    fillHeader(*m_session, QStringLiteral("5"));
    QCOMPARE(m_session->save(by(1), false).status, SaveOutcome::Status::Refused);
    QCOMPARE(m_session->save(by(1), true).status, SaveOutcome::Status::Refused);
    m_session->header().family.clear();
    const SaveOutcome missing = m_session->save(by(1), true);
    QCOMPARE(missing.focus, QStringLiteral("me_family"));
    // Only the pre-filled year of the expiry: whatever the insurer, not a date.
    fillHeader(*m_session, QStringLiteral("0"));
    m_session->header().expiryDate = QStringLiteral("1405/  /  ");
    QCOMPARE(m_session->save(by(1), true).focus, QStringLiteral("me_date_bime1"));
    QCOMPARE(m_prompter->texts(), (QStringList{texts::kNoSaveRight, texts::kNoLines, texts::kFamilyMissing,
                                               texts::kExpiryInvalid}));
    nothingWritten();

    // A statement failing half-way (a line cell that is no number) rolls everything back.
    PrescriptionRecord broken;
    broken.insurer = 5;
    broken.insurerText = QStringLiteral("5");
    broken.prescriptionDate = kToday;
    broken.shBimeh = QStringLiteral("1234567890");
    broken.prescriberCouncil = QStringLiteral("99999");
    broken.prescriberName = QStringLiteral("نام");
    QStringList cells(PrescriptionLines::kColumns, QStringLiteral("1"));
    cells[PrescriptionLines::Total] = QStringLiteral("x");
    broken.lines = {cells};
    const int entries = count(db, QStringLiteral("audit_log"));
    QVERIFY_THROWS_EXCEPTION(Error, PrescriptionStore(db).saveNew(broken, by(1)));
    nothingWritten();
    QCOMPARE(count(db, QStringLiteral("audit_log")), entries); // the history's entry went with the save
}

void PrescriptionSaveTest::foundStoredInTheSaveTakesNothing() {
    // Another workstation stored the prescription after this one's questions: the save finds
    // it under the numbering lock, after drawing its lots, and leaves everything as it was.
    Database& db = m_t->db();
    exec(db, QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (?, 20, 10, 2500)"),
         {kVitaminC});
    LotStore(db).takeIn(kVitaminC, 20, {QStringLiteral("A"), QDate(2027, 6, 30)}, 5);
    const QString state = QStringLiteral(
        "select (select moj_vah from moj_kala_vah where code_kala=1010003), (select sum(qu) from kala_lot), "
        "(select count(*) from kala_lot_line), (select m7 from code_noskhe where code_bimeh=5 and rooz=15), "
        "(select count(*) from heading_noskhe), (select count(*) from audit_log)");
    const struct {
        PrescriptionRecord::Duplicates refused;
        const char* family;
    } cases[] = {{PrescriptionRecord::Duplicates::RefusedByNames, "رضايي"},
                 {PrescriptionRecord::Duplicates::RefusedWithInsurer, "احمدي"}};
    for (const auto& c : cases) {
        PrescriptionRecord r;
        r.insurer = 5;
        r.insurerText = QStringLiteral("5");
        r.prescriptionDate = kToday;
        r.name = QStringLiteral("علي");
        r.family = QString::fromUtf8(c.family);
        r.shBimeh = QStringLiteral("1234567890");
        r.prescriberCouncil = QStringLiteral("45213");
        QStringList cells(PrescriptionLines::kColumns, QStringLiteral("1"));
        cells[PrescriptionLines::Code] = QString::number(kVitaminC, 'f', 0);
        r.lines = {cells};
        r.stockKeeping = true;
        r.stock = {{kVitaminC, 2, {}}};
        r.duplicates = c.refused;
        PrescriptionStore store(db);
        QVERIFY(store.saveNew(r, by(1)));
        const QVariantList before = row(db, state);
        QVERIFY(!store.saveNew(r, by(1)));
        QCOMPARE(row(db, state), before);
    }
    QCOMPARE(db.scalar("select sum(qu) from kala_lot").toDouble(), 1.0); // two saves of two
    QVERIFY(AuditLog(db).verify().holds());
}

void PrescriptionSaveTest::stockMovesOnceAndEditsSettleIt() {
    Database& db = m_t->db();
    const QString stock =
        QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (?, 20, ?, ?)");
    exec(db, stock, {kCefixime, 10, 4000});
    exec(db, stock, {kOintment, 5, 1200});
    exec(db, stock, {kVitaminC, 50, 2500});
    auto stockOf = [&](double code) {
        return db.scalar("select moj_vah from moj_kala_vah where code_kala=? and code_vah=20", {code}).toDouble();
    };
    // Six of the vitamin's fifty are in lots: an expired one, one near its expiry, a later one.
    LotStore lots(db);
    const QList<LotKey> keys = {{QStringLiteral("X"), QDate(2026, 9, 1)},
                                {QStringLiteral("A"), QDate(2026, 12, 31)},
                                {QStringLiteral("B"), QDate(2027, 6, 30)}};
    lots.takeIn(kVitaminC, 20, keys[0], 2);
    lots.takeIn(kVitaminC, 20, keys[1], 1);
    lots.takeIn(kVitaminC, 20, keys[2], 3);
    auto lotQuantities = [&] {
        QList<double> held;
        for (const LotKey& key : keys) held.append(lots.find(kVitaminC, 20, key)->quantity);
        return held;
    };
    m_session->start({kToday, QStringLiteral("10:30")});
    QVERIFY(m_session->stockKeeping());
    fillHeader(*m_session, QStringLiteral("0"));
    addLine(*m_session, kCefixime, QStringLiteral("1"));
    addLine(*m_session, kOintment, QStringLiteral("1"), QStringLiteral("1500"));
    addLine(*m_session, kVitaminC, QStringLiteral("2"));
    const int invoice = m_session->save(by(1), true).saved.invoiceNumber;
    // The compounded drug keeps no stock; the line after it still leaves stock.
    QCOMPARE(stockOf(kCefixime), 9.0);
    QCOMPARE(stockOf(kOintment), 5.0);
    QCOMPARE(stockOf(kVitaminC), 48.0);
    // First expiry first, split over two lots, the expired one passed over.
    QCOMPARE(lotQuantities(), (QList<double>{2, 0, 2}));

    // The edit puts the stored lines back and takes the new ones out, in its own save.
    fillHeader(*m_session, QStringLiteral("0"));
    addLine(*m_session, kVitaminC, QStringLiteral("5"));
    m_session->startEdit(invoice);
    QCOMPARE(stockOf(kVitaminC), 48.0); // beginning an edit writes nothing
    m_prompter->answerYes();
    QVERIFY(m_session->save(by(1), true).isSaved());
    QCOMPARE(stockOf(kCefixime), 10.0);
    QCOMPARE(stockOf(kOintment), 5.0);
    QCOMPARE(stockOf(kVitaminC), 45.0);
    // The lots drawn before are drawn again, the rest of the five comes from the untracked stock.
    QCOMPARE(lotQuantities(), (QList<double>{2, 0, 0}));

    // Deleting it puts its lines back, in the same transaction as the deletion.
    QCOMPARE(StoredPrescriptions(db).remove(invoice, {3, QStringLiteral("desk"), QStringLiteral("Tf_froosh_darou")}),
             StoredPrescriptions::RemoveResult::Removed);
    QCOMPARE(stockOf(kVitaminC), 50.0);
    QCOMPARE(lotQuantities(), (QList<double>{2, 1, 3}));
    QCOMPARE(count(db, QStringLiteral("kala_lot_line")), 0);

    // The history holds the three changes, each with the values before and after.
    const QList<QJsonObject> history = test::auditChanges(db, QStringLiteral("prescription"), QString::number(invoice));
    QCOMPARE(history.size(), 3);
    const QString family = QStringLiteral("رضايي");
    QCOMPARE(test::auditField(history[0], QStringLiteral("family_b"), "after").toString(), family);
    QVERIFY(test::auditField(history[0], QStringLiteral("family_b"), "before").isNull());
    QVERIFY(test::auditLines(history[0], "before").isEmpty());
    QCOMPARE(test::auditLines(history[0], "after").size(), 3);
    QCOMPARE(test::auditLines(history[0], "after", "cash").size(), 1);
    // The correction: the header's unchanged fields are left out, the lines go from three to one.
    QVERIFY(!history[1][QStringLiteral("fields")].toObject().contains(QStringLiteral("family_b")));
    QVERIFY(test::auditField(history[1], QStringLiteral("price_koll"), "before").toDouble() !=
            test::auditField(history[1], QStringLiteral("price_koll"), "after").toDouble());
    QCOMPARE(test::auditLines(history[1], "before").size(), 3);
    QCOMPARE(test::auditLines(history[1], "after").size(), 1);
    QCOMPARE(test::auditLines(history[1], "after").first()[QStringLiteral("tedad")].toDouble(), 5.0);
    // The deletion: what it held, and nothing after.
    QCOMPARE(test::auditField(history[2], QStringLiteral("family_b"), "before").toString(), family);
    QVERIFY(test::auditField(history[2], QStringLiteral("family_b"), "after").isNull());
    QCOMPARE(test::auditLines(history[2], "before").size(), 1);
    QVERIFY(test::auditLines(history[2], "after").isEmpty());
    const QList<AuditEntry> entries = AuditLog(db).entries({});
    QCOMPARE(entries.last().userCode, 3);
    QCOMPARE(entries.last().source, QStringLiteral("Tf_froosh_darou"));
    QVERIFY(AuditLog(db).verify().holds());
}

void PrescriptionSaveTest::twoWorkstationsSaveAtOnce() {
    Database& db = m_t->db();
    exec(db, QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (?, 20, 1000, 2500)"),
         {kVitaminC});
    constexpr int kEach = 50;
    QStringList failures[2];
    auto workstation = [&](int n) {
        try {
            Database own(m_t->settings(), QStringLiteral("workstation%1").arg(n));
            own.open();
            ScriptedPrompter prompter;
            PrescriptionSession session(own, prompter);
            for (int i = 0; i < kEach; ++i) {
                session.start({kToday, QStringLiteral("10:30")});
                fillHeader(session, QStringLiteral("5"), QStringLiteral("بيمار %1-%2").arg(n).arg(i));
                const DrugItem drug = *session.findDrug(kVitaminC);
                session.addLine(drug, {QStringLiteral("1"), session.kindForChosen(drug), {}});
                if (!session.save(by(n + 1), true).isSaved()) failures[n].append(prompter.texts().join(u'|'));
            }
        } catch (const Error& error) {
            failures[n].append(error.message());
        }
    };
    std::thread first(workstation, 0), second(workstation, 1);
    first.join();
    second.join();
    QCOMPARE(failures[0], QStringList());
    QCOMPARE(failures[1], QStringList());
    QCOMPARE(count(db, QStringLiteral("heading_noskhe")), 2 * kEach);
    QCOMPARE(db.scalar("select count(distinct sh_factor) from heading_noskhe").toInt(), 2 * kEach);
    QCOMPARE(db.scalar("select max(sh_factor) from heading_noskhe").toInt(), 2 * kEach);
    // The day counter is shared by both workstations: each code's counter is taken once.
    QSet<QString> counters;
    Rows codes = db.exec(QStringLiteral("select code_no from heading_noskhe"));
    while (codes.next())
        counters.insert(codes.value(0).toString().right(4));
    QCOMPARE(counters.size(), 2 * kEach);
    QCOMPARE(db.scalar("select m7 from code_noskhe where code_bimeh=5 and rooz=15").toInt(), 2 * kEach);
    QCOMPARE(count(db, QStringLiteral("cash")), 2 * kEach);
    QCOMPARE(db.scalar("select moj_vah from moj_kala_vah where code_kala=?", {kVitaminC}).toDouble(),
             1000.0 - 2 * kEach);
}

void PrescriptionSaveTest::storedPrescriptionShownAndCorrected() {
    Database& db = m_t->db();
    m_session->setTaminCodes({QStringLiteral("1")});
    exec(db, QStringLiteral("insert into organs_m (code, name, orj_flag) values (1, 'تامين اجتماعي', 0)"), {});
    exec(db, QStringLiteral("insert into organs_s (code, row, from_d, to_d, deduct, fani_flag) "
                            "values (1, 1, '05/01/01', '05/12/29', 70, 0)"),
         {});
    fillHeader(*m_session, QStringLiteral("1"));
    m_session->header().pageNumber.clear(); // social security has no page field
    addLine(*m_session, kVitaminC, QStringLiteral("2"));
    addLine(*m_session, kCefixime, QStringLiteral("1"));
    const QList<QStringList> entered = m_session->lines().lines();
    const PrescriptionHeader header = m_session->header();
    const Totals totals = m_session->totals();
    const SaveOutcome saved = m_session->save(by(1), true);
    QVERIFY2(saved.isSaved(), qPrintable(m_prompter->texts().join(u'|')));

    // Shown again as it was entered: header, four-part number, lines, stored totals.
    const auto stored = StoredPrescriptions(db).load(saved.saved.invoiceNumber);
    QVERIFY(stored);
    QCOMPARE(stored->code, saved.saved.code);
    // Shown as stored lines show: no substitution is "0" with the prescribed drug's cells
    // empty, and an empty hoteling price "0".
    QCOMPARE(stored->lines.size(), entered.size());
    for (int i = 0; i < entered.size(); ++i) {
        QCOMPARE(stored->lines[i].mid(0, PrescriptionLines::MainDrugCode), entered[i].mid(0, PrescriptionLines::MainDrugCode));
        QCOMPARE(stored->lines[i].mid(PrescriptionLines::MainDrugCode), (QStringList{"", "", "", "0"}));
    }
    QCOMPARE(stored->totals.payable, totals.payable);
    QCOMPARE(stored->totals.insurerShare, totals.insurerShare);
    QCOMPARE(stored->totals.tariffTotal, totals.tariffTotal);
    m_session->load(*stored);
    QCOMPARE(m_session->insurer().text(), QStringLiteral("1"));
    QCOMPARE(m_session->header().insNo, header.insNo);
    for (const auto member : {&PrescriptionHeader::family, &PrescriptionHeader::name, &PrescriptionHeader::prescriptionDate,
                              &PrescriptionHeader::expiryDate, &PrescriptionHeader::prescriberCouncil,
                              &PrescriptionHeader::prescriberName, &PrescriptionHeader::prescriberFamily,
                              &PrescriptionHeader::specialtyCode, &PrescriptionHeader::typeCode})
        QCOMPARE(m_session->header().*member, header.*member);

    // Corrected: a line replaced, saved over the same number and code.
    m_session->startEdit(stored->invoiceNumber);
    m_prompter->answerYes();
    QVERIFY(m_session->replaceLine(2, {QStringLiteral("3"), texts::kInsured, QStringLiteral("4000")}).written());
    m_prompter->answerYes();
    const SaveOutcome corrected = m_session->save(by(1), true);
    QVERIFY2(corrected.isSaved(), qPrintable(m_prompter->texts().join(u'|')));
    QCOMPARE(corrected.saved.invoiceNumber, saved.saved.invoiceNumber);
    QCOMPARE(corrected.saved.code, saved.saved.code);
    QCOMPARE(StoredPrescriptions(db).load(saved.saved.invoiceNumber)->lines.at(1).at(PrescriptionLines::Quantity),
             QStringLiteral("3"));

    // A line whose drug has left the catalogue is not shown but is printed without a name; a header
    // without lines (a lump prescription) is not shown but prints.
    const int invoice = saved.saved.invoiceNumber;
    exec(db, QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, vaziat, tedad) values (?, 9, 999999, ?, 1)"),
         {invoice, texts::kInsured});
    QCOMPARE(StoredPrescriptions(db).load(invoice)->lines.size(), 2);
    const auto printed = PrescriptionPrintReader(db).read(invoice);
    QCOMPARE(printed->lines.size(), 3);
    QVERIFY(printed->lines.at(0).name && !printed->lines.at(2).name);
    exec(db, QStringLiteral("insert into heading_noskhe (sh_factor, family_b) values (77, 'x')"), {});
    QVERIFY(!StoredPrescriptions(db).load(77));
    const auto lump = PrescriptionPrintReader(db).read(77);
    QVERIFY(lump && lump->lines.isEmpty() && lump->family == QStringLiteral("x"));
}

void PrescriptionSaveTest::deletingAndStepping() {
    Database& db = m_t->db();
    StoredPrescriptions stored(db);
    QVERIFY(!stored.first() && !stored.last());
    for (int i = 0; i < 3; ++i) {
        fillHeader(*m_session, QStringLiteral("0"), QStringLiteral("بيمار %1").arg(i));
        addLine(*m_session, kVitaminC, QStringLiteral("1"));
        QVERIFY(m_session->save(by(1), true).isSaved());
    }
    QCOMPARE(stored.first(), std::optional<int>(1));
    QCOMPARE(stored.last(), std::optional<int>(3));
    // A goods invoice of the same number keeps its cash row; one the cash desk closed stays.
    exec(db, QStringLiteral("insert into cash (sh_factor, type_factor, koll_daryaft, ekhtetam) values (2, 'k', 900, 1)"),
         {});
    db.exec(QStringLiteral("update cash set ekhtetam=1 where sh_factor=3 and type_factor='d'"));
    QCOMPARE(stored.remove(3, {}), StoredPrescriptions::RemoveResult::ClosedByCashDesk);
    QCOMPARE(stored.remove(9, {}), StoredPrescriptions::RemoveResult::NotFound);
    QCOMPARE(stored.remove(2, {}), StoredPrescriptions::RemoveResult::Removed);
    QVERIFY(!stored.load(2));
    QCOMPARE(db.scalar("select count(*) from details_noskhe where sh_factor=2").toInt(), 0);
    QCOMPARE(row(db, QStringLiteral("select type_factor, koll_daryaft from cash where sh_factor=2")),
             (QVariantList{QStringLiteral("k"), 900}));
    QCOMPARE(stored.remove(1, {}), StoredPrescriptions::RemoveResult::Removed);
    QCOMPARE(stored.first(), std::optional<int>(3));
    QCOMPARE(count(db, QStringLiteral("heading_noskhe")), 1);
}

void PrescriptionSaveTest::saveCommand_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("cashDesk"); // sales wait at a cash desk of their own
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("shown"); // the messages, or the error on standard error
    QTest::addColumn<QByteArray>("password"); // in the file --password-file names
    const QByteArray patient = R"("user": 1, "me_code_bime": "5", "edtMeliCode": "1234567890", "me_family": "رضايي",
        "me_name_bimar": "علي", "sh_safhe": 12, "me_nezam_pe": "45213", "me_ctype_no": "1", "me_date_bime": "1405/12/29",
        "me_date_no": "05/07/15", "me_date_ta": "05/07/15")";
    const QByteArray header = patient + R"(, "me_name_pe": "مريم", "me_family_pe": "احمدي", "me_code_takhasos": "1")";
    const QByteArray lines = R"(, "lines": [[1010003, 2], ["1010002", "1", "آزاد"]]})";
    const QByteArray secret = "secret-1\n";
    QTest::newRow("saved") << "{" + header + lines << false << 0 << QString() << secret;
    // The prescriber of the register brings his names and specialty, as leaving the field does.
    QTest::newRow("prescriber's names from the register") << "{" + patient + lines << false << 0 << QString() << secret;
    QTest::newRow("at a separate cash desk") << "{" + header + lines << true << 0 << QString() << secret;
    QTest::newRow("no lines") << "{" + header + "}" << false << 3 << texts::kNoLines << secret;
    QTest::newRow("header check of a line")
        << QByteArray(R"({"user": 1, "me_code_bime": "5", "lines": [[1010003, 1]]})") << false << 3
        << texts::kInsuranceNumberMissing << secret;
    // An OTC line needs no header; the save still does, the outpatient's dates first.
    QTest::newRow("OTC line without a header") << QByteArray(R"({"user": 1, "lines": [[1010003, 1, "OTC"]]})") << false
                                               << 3 << texts::kPrescriptionDateMissing << secret;
    QTest::newRow("malformed") << QByteArray("{\"user\": 1,") << false << 2 << QStringLiteral("not JSON") << secret;
    QTest::newRow("unknown drug") << "{" + header + R"(, "lines": [[1999999, 1]]})" << false << 2
                                  << QStringLiteral("unknown drug code") << secret;
    QTest::newRow("negative quantity") << "{" + header + R"(, "lines": [[1010003, -1]]})" << false << 2
                                       << QStringLiteral("not a quantity") << secret;

    // The prescription with one key changed.
    const auto with = [&](const char* key, const QJsonValue& value) {
        QJsonObject json = QJsonDocument::fromJson("{" + header + lines).object();
        json[QLatin1String(key)] = value;
        return QJsonDocument(json).toJson(QJsonDocument::Compact);
    };
    // The user named is the saving user only with that user's password.
    QTest::newRow("unknown user") << with("user", 9) << false << 3
                                  << QStringLiteral("کد کاربر اشتباه وارد شده است") << secret;
    QTest::newRow("wrong password") << "{" + header + lines << false << 3
                                    << QStringLiteral("کلمه عبور اشتباه وارد شده است") << QByteArray("secret-2\n");
    QTest::newRow("no password") << "{" + header + lines << false << 2 << QStringLiteral("holds no password")
                                 << QByteArray();

    // Every field is judged against its column before anything is written, the same on
    // both engines (the embedded one would store the text whole, a server refuse it).
    QTest::newRow("council number past its width")
        << with("me_nezam_pe", QString(31, u'7')) << false << 2 << QStringLiteral("نظام پزشكي بيش از 30 نويسه است")
        << secret;
    QTest::newRow("NUL in a name") << with("me_family", QStringLiteral("رضا") + QChar(0) + QStringLiteral("يي")) << false
                                   << 2 << QStringLiteral("نام خانوادگي بيمار نويسه نامعتبر دارد") << secret;
    QTest::newRow("page number not a number") << with("sh_safhe", QStringLiteral("NaN")) << false << 2
                                              << QStringLiteral("شماره صفحه بايد عدد باشد") << secret;
    QTest::newRow("ward past the integer range") << with("me_code_bakhsh", QStringLiteral("99999999999")) << false << 2
                                                 << QStringLiteral("بخش بيش از اندازه مجاز است") << secret;
    QByteArray many = R"(, "lines": [)";
    for (int i = 0; i <= kMaxPrescriptionLines; ++i) many += i ? ", [1010003, 1]" : "[1010003, 1]";
    QTest::newRow("too many lines") << "{" + header + many + "]}" << false << 2
                                    << kTooManyLines.arg(kMaxPrescriptionLines) << secret;
}

void PrescriptionSaveTest::saveCommand() {
    QFETCH(QByteArray, input);
    QFETCH(bool, cashDesk);
    QFETCH(int, status);
    QFETCH(QString, shown);
    QFETCH(QByteArray, password);
    Database& db = m_t->db();
    UserStore(db).addUserWithAllRights(QStringLiteral("مدير"), QStringLiteral("secret-1"));
    exec(db, QStringLiteral("insert into doctor_s (code, name, family, order1, typeno) values (1, ?, ?, '45213', 1)"),
         {QStringLiteral("مريم"), QStringLiteral("احمدي")});
    db.exec(QStringLiteral("update tanzimat set cash=?"), {cashDesk ? 1 : 0});
    const QString passwordFile = m_t->workingDir() + QStringLiteral("/password");
    {
        QFile file(passwordFile);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(password);
    }
    const ph::test::CliRun run = ph::test::pharmacyctl(
        {"--dir", m_t->workingDir(), "save", "--today", "05/07/15", "--time", "10:30", "--password-file", passwordFile},
        input);
    QCOMPARE(run.status, status);
    if (status == 2 || run.out.isEmpty()) { // bad input, or refused before the prescription is read
        QVERIFY2(run.err.startsWith(QLatin1String("pharmacyctl save: ")) && run.err.contains(shown),
                 qPrintable(run.err));
        QCOMPARE(count(db, QStringLiteral("heading_noskhe")), 0);
        return;
    }
    QCOMPARE(run.err, QString());
    const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QCOMPARE(json.value(QStringLiteral("messages")).toVariant().toStringList(),
             shown.isEmpty() ? QStringList() : QStringList{shown});
    QCOMPARE(json.contains(QStringLiteral("sh_factor")), status == 0);
    QCOMPARE(count(db, QStringLiteral("heading_noskhe")), status == 0 ? 1 : 0);
    if (status == 0) {
        QCOMPARE(json.value(QStringLiteral("code_no")).toString(), QStringLiteral("01-005-07-15-0001"));
        QCOMPARE(db.scalar("select count(*) from details_noskhe where sh_factor=?", {json.value("sh_factor").toInt()})
                     .toInt(),
                 2);
        QCOMPARE(count(db, QStringLiteral("doctor_s")), 1); // the known prescriber, not a new one
        // The signed-in user keeps the till: a separate cash desk's row names him, to collect.
        QCOMPARE(row(db, QStringLiteral("select code_cashier, flag_pa from cash")),
                 (QVariantList{1, cashDesk ? 0 : 1}));
    }
}

QTEST_GUILESS_MAIN(PrescriptionSaveTest)
#include "prescription_save_test.moc"
