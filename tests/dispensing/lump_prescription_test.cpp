#include "core/error.h"
#include "core/scripted_prompter.h"
#include "dispensing/lump_prescription.h"
#include "pharmacy_fixture.h"
#include "support/audit_entries.h"
#include "support/test_database.h"

#include <QSet>
#include <QSqlRecord>
#include <QTest>

#include <thread>

using namespace ph;
using ph::test::exec;
using ph::test::TestDatabase;

namespace {

const QString kToday = QStringLiteral("85/07/01");

// A lump prescription that passes every check.
LumpPrescription complete(const QString& insurer = QStringLiteral("5"), const QString& date = QStringLiteral("85/06/15"),
                          const QString& booklet = QStringLiteral("7788990")) {
    LumpPrescription p;
    p.insurer = insurer;
    p.date = date;
    p.booklet = booklet;
    p.family = QStringLiteral("كريمي");
    p.name = QStringLiteral("زهرا");
    p.validity = QStringLiteral("1385/12/29");
    p.council = QStringLiteral("31415");
    p.prescriberFamily = QStringLiteral("نوري");
    p.prescriberName = QStringLiteral("حسن");
    p.total = QStringLiteral("10000");
    p.insurerShare = QStringLiteral("7000");
    p.patientShare = QStringLiteral("3000");
    return p;
}

} // namespace

class LumpPrescriptionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void codesAndCounter();
    void shares_data();
    void shares();
    void checksInOrder_data();
    void checksInOrder();
    void storedAsTheInsuranceListReadsIt();
    void duplicateAndPrescriber();
    void editRenumbersOnlyWhenDateOrInsurerChange();
    void deleteRefusesADispensedPrescription();
    void twoWorkstationsSaveAtOnce();

private:
    std::unique_ptr<TestDatabase> m_t;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<LumpPrescriptionSession> m_session;
};

void LumpPrescriptionTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Database& db = m_t->db();
    ph::test::fillPharmacy(db);
    for (const char* table : {"heading_noskhe", "details_noskhe"})
        db.exec(QStringLiteral("delete from ") + QLatin1String(table));
    for (const auto& [insurer, deduct] : QList<QPair<int, int>>{{5, 70}, {12, 65}, {123, 70}}) {
        exec(db, QStringLiteral("insert into organs_m (code, name, orj_flag) values (?, ?, 0)"),
             {insurer, QStringLiteral("بيمه %1").arg(insurer)});
        exec(db, QStringLiteral("insert into organs_s (code, row, from_d, to_d, deduct, fani_flag) "
                                "values (?, 1, '85/01/01', '85/12/29', ?, 0)"),
             {insurer, deduct});
    }
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_session = std::make_unique<LumpPrescriptionSession>(db, *m_prompter);
}

void LumpPrescriptionTest::cleanup() {
    m_session.reset();
    m_t.reset();
}

void LumpPrescriptionTest::codesAndCounter() {
    Database& db = m_t->db();
    const struct {
        int user;
        const char* insurer;
        const char* booklet;
        int number;
        const char* code;
    } saves[] = {
        {7, "5", "100001", 1, "07-005-06-15-0001"},
        {7, "05", "100002", 2, "07-005-06-15-0002"},
        {12, "12", "100003", 3, "12-0012-06-15-0001"},
        {3, "123", "100004", 4, "03-123-06-15-0001"},
    };
    for (const auto& s : saves) {
        const auto outcome = m_session->save(complete(QString::fromLatin1(s.insurer), QStringLiteral("85/06/15"),
                                                      QString::fromLatin1(s.booklet)),
                                             AuditOrigin{s.user, {}, {}}, kToday);
        QVERIFY2(outcome.done, qPrintable(m_prompter->texts().join(u'|')));
        QCOMPARE(outcome.saved->invoiceNumber, s.number);
        QCOMPARE(outcome.saved->code, QString::fromLatin1(s.code));
        QCOMPARE(db.scalar("select code_no from heading_noskhe where sh_factor=?", {s.number}).toString(),
                 QString::fromLatin1(s.code));
    }
    QCOMPARE(db.scalar("select m6 from code_noskhe where code_bimeh=5 and rooz=15").toInt(), 2);
    QCOMPARE(m_session->store().nextNumber(), 5);
}

void LumpPrescriptionTest::shares_data() {
    QTest::addColumn<QString>("insurer");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("insurerShare");
    QTest::addColumn<QString>("patientShare");
    QTest::newRow("70 %") << "5" << "10000" << "7000" << "3000";
    QTest::newRow("65 %, not rounded") << "12" << "1001" << "650.65" << "350.35";
    QTest::newRow("empty total") << "5" << "" << "" << "";
    QTest::newRow("no contract") << "2000" << "500" << "0" << "500";
}

void LumpPrescriptionTest::shares() {
    QFETCH(QString, insurer);
    QFETCH(QString, total);
    const LumpPrescriptionSession::Shares s = m_session->shares(total, insurer);
    QTEST(s.insurer, "insurerShare");
    QTEST(s.patient, "patientShare");
}

void LumpPrescriptionTest::checksInOrder_data() {
    QTest::addColumn<int>("emptied"); // how many fields, in check order, are left empty
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    const char* rows[][2] = {
        {"کد بيمه مشخص نشده است", "me_code_bime"},
        {"تاريخ نسخه مشخص نشده است", "me_date_no1"},
        {"شماره دفترچه بيمه مشخص نشده است", "me_sh_bime"},
        {"نام خانوادگي بيمار وارد نشده است", "me_family"},
        {"نام بيمار مشخص نشده است", "me_name_bimar"},
        {"نظام پزشکي مشخص نشده است", "me_nezam_pe"},
        {"نام خانوادگي پزشک مشخص نشده است", "me_family_pe"},
        {"جمع کل نسخه مشخص نشده است", "me_koll"},
        {"سهم سازمان مشخص نشده است", "me_sazman"},
        {"سهم بيمار مشخص نشده است", "me_bimar"},
    };
    for (int i = 0; i < 10; ++i)
        QTest::newRow(rows[i][1]) << i << QString::fromUtf8(rows[i][0]) << QString::fromLatin1(rows[i][1]);
}

void LumpPrescriptionTest::checksInOrder() {
    QFETCH(int, emptied);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    // The field at fault and every one after it are empty: the first of them is reported.
    LumpPrescription p = complete();
    QString* fields[] = {&p.insurer, &p.date,  &p.booklet,     &p.family,       &p.name,
                         &p.council, &p.prescriberFamily, &p.total, &p.insurerShare, &p.patientShare};
    for (int i = emptied; i < 10; ++i)
        fields[i]->clear();
    const auto outcome = m_session->save(p, AuditOrigin{1, {}, {}}, kToday);
    QVERIFY(!outcome.done);
    QCOMPARE(outcome.focus, focus);
    QCOMPARE(m_prompter->texts(), QStringList{message});
    QCOMPARE(m_t->db().scalar("select count(*) from heading_noskhe").toInt(), 0);
}

void LumpPrescriptionTest::storedAsTheInsuranceListReadsIt() {
    Database& db = m_t->db();
    LumpPrescription p = complete();
    p.typeCode.clear();
    QVERIFY(m_session->save(p, AuditOrigin{7, {}, {}}, kToday).done);
    // Outpatient, the booklet as the insured number, the long validity date, type 1, no
    // fee, no lines and no cash row.
    Rows q = db.exec(QStringLiteral(
        "select paz_type, insnotamin, sh_bimeh, date_bimeh, type_no, price_koll, price_bimeh, price_bimar, price_azad, "
        "price_otc, fani, fani2, price_kala, flag_taeed, code_opr, date_sabt, date_no, code_bimeh, nezam_p "
        "from heading_noskhe"));
    QVERIFY(q.next());
    QStringList got;
    for (int i = 0; i < q.record().count(); ++i)
        got.append(q.value(i).toString());
    QCOMPARE(got, (QStringList{"1", "7788990", "7788990", "1385/12/29", "1", "10000", "7000", "3000", "0", "0", "0", "0",
                               "0", "0", "7", "85/07/01", "85/06/15", "5", "31415"}));
    q.finish();
    QCOMPARE(db.scalar("select count(*) from details_noskhe").toInt(), 0);
    QCOMPARE(db.scalar("select count(*) from cash").toInt(), 0);
    // The insurance list's view sees it among the insurer's outpatient prescriptions.
    QCOMPARE(db.scalar("select insnotamin from v_list_bimeh where paz_type=1 and code_bimeh=5").toString(),
             QStringLiteral("7788990"));
    // The patient is remembered with his booklet, insurer and long validity date.
    const std::optional<BookletPatient> patient = m_session->store().patientByBooklet(QStringLiteral("7788990"));
    QVERIFY(patient);
    QCOMPARE(patient->family, QStringLiteral("كريمي"));
    QCOMPARE(patient->validity, QStringLiteral("1385/12/29"));
    QCOMPARE(db.scalar("select insnotamin from mosh_bimaran where sh_bimeh='7788990'").toString(), QStringLiteral("7788990"));
    // Shown again as it was saved.
    const std::optional<LumpPrescription> shown = m_session->store().load(1);
    QVERIFY(shown);
    QCOMPARE(shown->validity, QStringLiteral("1385/12/29"));
    QCOMPARE(shown->total, QStringLiteral("10000"));
    QCOMPARE(shown->typeCode, QStringLiteral("1"));
}

void LumpPrescriptionTest::duplicateAndPrescriber() {
    Database& db = m_t->db();
    QVERIFY(m_session->save(complete(), AuditOrigin{1, {}, {}}, kToday).done);
    QCOMPARE(db.scalar("select typeno from doctor_s where order1='31415'").toInt(), 0);
    // The same insurer, date, council number, total and booklet: refused.
    const auto again = m_session->save(complete(), AuditOrigin{1, {}, {}}, kToday);
    QVERIFY(!again.done);
    QCOMPARE(again.focus, QStringLiteral("me_code_bime"));
    QCOMPARE(m_prompter->texts(), QStringList{"اطلاعات اين نسخه يک بار وارد شده است"});
    // Another total is another prescription; a new council number without a first name
    // registers nobody.
    LumpPrescription other = complete();
    other.total = QStringLiteral("12000");
    other.council = QStringLiteral("27182");
    other.prescriberName.clear();
    QVERIFY(m_session->save(other, AuditOrigin{1, {}, {}}, kToday).done);
    QCOMPARE(db.scalar("select count(*) from heading_noskhe").toInt(), 2);
    QCOMPARE(db.scalar("select count(*) from doctor_s where order1='27182'").toInt(), 0);
    QCOMPARE(db.scalar("select count(*) from mosh_bimaran").toInt(), 1);
}

void LumpPrescriptionTest::editRenumbersOnlyWhenDateOrInsurerChange() {
    Database& db = m_t->db();
    const LumpPrescription saved = *m_session->save(complete(), AuditOrigin{7, {}, {}}, kToday).saved;
    LumpPrescription p = *m_session->store().load(saved.invoiceNumber);
    p.prescriberFamily = QStringLiteral("نوري");
    p.total = QStringLiteral("20000");
    m_prompter->answerYes();
    QVERIFY(m_session->edit(p, AuditOrigin{7, {}, {}}, kToday).done);
    QCOMPARE(db.scalar("select code_no from heading_noskhe").toString(), QStringLiteral("07-005-06-15-0001"));
    QCOMPARE(db.scalar("select price_koll from heading_noskhe").toDouble(), 20000.0);
    p.insurer = QStringLiteral("12");
    m_prompter->answerYes();
    QVERIFY(m_session->edit(p, AuditOrigin{7, {}, {}}, kToday).done);
    QCOMPARE(db.scalar("select code_no from heading_noskhe").toString(), QStringLiteral("07-0012-06-15-0001"));
    // Declined, or gone meanwhile: nothing written.
    p.total = QStringLiteral("1");
    m_prompter->answerNo();
    QVERIFY(!m_session->edit(p, AuditOrigin{7, {}, {}}, kToday).done);
    p.invoiceNumber = 40;
    m_prompter->answerYes();
    QVERIFY(!m_session->edit(p, AuditOrigin{7, {}, {}}, kToday).done);
    QCOMPARE(m_prompter->texts().last(), QStringLiteral("شماره فاكتورمورد نظر يافت نشد"));
    QCOMPARE(db.scalar("select price_koll from heading_noskhe").toDouble(), 20000.0);
    // The history: the save and the two corrections, each with what changed, as user 7.
    const QList<QJsonObject> history =
        test::auditChanges(db, QStringLiteral("lump_prescription"), QString::number(saved.invoiceNumber));
    QCOMPARE(history.size(), 3);
    QCOMPARE(test::auditField(history[1], QStringLiteral("price_koll"), "before").toDouble(),
             test::auditField(history[0], QStringLiteral("price_koll"), "after").toDouble());
    QCOMPARE(test::auditField(history[1], QStringLiteral("price_koll"), "after").toDouble(), 20000.0);
    QCOMPARE(test::auditField(history[2], QStringLiteral("code_bimeh"), "after").toDouble(), 12.0);
    QVERIFY(!history[2][QStringLiteral("fields")].toObject().contains(QStringLiteral("price_koll")));
    QCOMPARE(AuditLog(db).entries({}).last().userCode, 7);
}

void LumpPrescriptionTest::deleteRefusesADispensedPrescription() {
    Database& db = m_t->db();
    QVERIFY(m_session->save(complete(), AuditOrigin{1, {}, {}}, kToday).done);
    exec(db, QStringLiteral("insert into heading_noskhe (sh_factor, date_no) values (2, '85/06/15')"), {});
    exec(db, QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, tedad) values (2, 1, 1010001, 1)"), {});
    m_prompter->answerYes();
    QVERIFY(!m_session->remove(2, {}).done);
    QCOMPARE(m_prompter->texts().last(), QStringLiteral("اين نسخه با اقلام دارو ثبت شده است و از اين فرم حذف نمي شود"));
    QCOMPARE(db.scalar("select count(*) from heading_noskhe").toInt(), 2);
    m_prompter->answerNo();
    QVERIFY(!m_session->remove(1, {}).done);
    m_prompter->answerYes();
    QVERIFY(m_session->remove(1, {}).done);
    QCOMPARE(db.scalar("select count(*) from heading_noskhe").toInt(), 1);
    // Stepping reaches every stored prescription, the dispensed one too.
    QCOMPARE(m_session->store().first(), std::optional<int>(2));
    QCOMPARE(m_session->store().next(2), std::nullopt);
}

void LumpPrescriptionTest::twoWorkstationsSaveAtOnce() {
    Database& db = m_t->db();
    constexpr int kEach = 25;
    QStringList failures[2];
    auto workstation = [&](int n) {
        try {
            Database own(m_t->settings(), QStringLiteral("workstation%1").arg(n));
            own.open();
            ScriptedPrompter prompter;
            LumpPrescriptionSession session(own, prompter);
            for (int i = 0; i < kEach; ++i) {
                const LumpPrescription p =
                    complete(QStringLiteral("5"), QStringLiteral("85/06/15"), QStringLiteral("9%1%2").arg(n).arg(i, 5, 10, QLatin1Char('0')));
                if (!session.save(p, AuditOrigin{n + 1, {}, {}}, kToday).done) failures[n].append(prompter.texts().join(u'|'));
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
    QCOMPARE(db.scalar("select count(distinct sh_factor) from heading_noskhe").toInt(), 2 * kEach);
    QCOMPARE(db.scalar("select max(sh_factor) from heading_noskhe").toInt(), 2 * kEach);
    QSet<QString> serials;
    Rows codes = db.exec(QStringLiteral("select code_no from heading_noskhe"));
    while (codes.next())
        serials.insert(codes.value(0).toString().right(4));
    QCOMPARE(serials.size(), 2 * kEach);
    QCOMPARE(db.scalar("select m6 from code_noskhe where code_bimeh=5 and rooz=15").toInt(), 2 * kEach);
    QCOMPARE(db.scalar("select count(*) from mosh_bimaran").toInt(), 2 * kEach);
}

QTEST_GUILESS_MAIN(LumpPrescriptionTest)
#include "lump_prescription_test.moc"
