#include "audit/audit_changes.h"
#include "audit/audit_log.h"
#include "db/database.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "support/cli_run.h"
#include "support/test_database.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace ph;
using ph::test::TestDatabase;

namespace {

const AuditOrigin kOrigin{7, QStringLiteral("desk-2"), QStringLiteral("Tf_froosh_darou")};

void append(Database& db, const QString& key, double before, double after) {
    Transaction transaction(db);
    appendAudit(db, kOrigin,
                {QStringLiteral("prescription"), key,
                 documentChanges({{QStringLiteral("price_koll"), before}}, {{QStringLiteral("price_koll"), after}})});
    transaction.commit();
}

// Runs statements with the server's refusal of changes to the history lifted, as someone
// with the rights to do that could.
void tamper(Database& db, const QStringList& statements) {
    for (const QString& sql : db.dialect().dropAppendOnlyGuardSql(QStringLiteral("audit_log")))
        db.exec(sql);
    for (const QString& sql : statements)
        db.exec(sql);
}

} // namespace

class AuditLogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void entriesChainAndRead();
    void theServerRefusesChangesAndRemovals();
    void tamperingIsFoundWhereItHappened_data();
    void tamperingIsFoundWhereItHappened();
    void aRolledBackSaveLeavesNoEntry();
    void pharmacyctlListsAndVerifies();

private:
    std::unique_ptr<TestDatabase> m_t;
};

void AuditLogTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Schema(m_t->db()).ensure();
    for (int i = 1; i <= 4; ++i)
        append(m_t->db(), QString::number(i), 100 * i, 100 * i + 5);
}

void AuditLogTest::cleanup() { m_t.reset(); }

void AuditLogTest::entriesChainAndRead() {
    AuditLog log(m_t->db());
    const AuditVerdict verdict = log.verify();
    QVERIFY2(verdict.holds(), qPrintable(verdict.broken ? verdict.broken->reason : QString()));
    QCOMPARE(verdict.entries, 4);
    const QList<AuditEntry> all = log.entries({});
    QCOMPARE(all.size(), 4);
    QCOMPARE(all.first().prevHash, auditFirstPrevHash());
    for (int i = 1; i < all.size(); ++i) {
        QCOMPARE(all.at(i).seq, i + 1);
        QCOMPARE(all.at(i).prevHash, all.at(i - 1).hash);
    }
    const AuditEntry& third = all.at(2);
    QCOMPARE(third.userCode, 7);
    QCOMPARE(third.host, QStringLiteral("desk-2"));
    QCOMPARE(third.source, QStringLiteral("Tf_froosh_darou"));
    // The server's clock, in UTC: today's date give or take a day boundary.
    QVERIFY2(qAbs(QDate::fromString(third.changedAt.left(10), QStringLiteral("yyyy-MM-dd"))
                      .daysTo(QDateTime::currentDateTimeUtc().date())) <= 1,
             qPrintable(third.changedAt));
    const QJsonObject price = QJsonDocument::fromJson(third.changes.toUtf8())
                                  .object()[QStringLiteral("fields")]
                                  .toObject()[QStringLiteral("price_koll")]
                                  .toObject();
    QCOMPARE(price[QStringLiteral("before")].toDouble(), 300.0);
    QCOMPARE(price[QStringLiteral("after")].toDouble(), 305.0);

    AuditFilter byKey;
    byKey.kind = QStringLiteral("prescription");
    byKey.key = QStringLiteral("2");
    QCOMPARE(log.entries(byKey).size(), 1);
    AuditFilter byUser;
    byUser.userCode = 8;
    QVERIFY(log.entries(byUser).isEmpty());
    AuditFilter byDays;
    byDays.from = QDateTime::currentDateTimeUtc().addDays(-1);
    byDays.to = QDateTime::currentDateTimeUtc().addDays(1);
    QCOMPARE(log.entries(byDays).size(), 4);
    byDays.to = byDays.from;
    QVERIFY(log.entries(byDays).isEmpty());
}

void AuditLogTest::theServerRefusesChangesAndRemovals() {
    Database& db = m_t->db();
    QVERIFY_THROWS_EXCEPTION(DbError, db.exec(QStringLiteral("update audit_log set user_code=1 where seq=2")));
    QVERIFY_THROWS_EXCEPTION(DbError, db.exec(QStringLiteral("delete from audit_log where seq=4")));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from audit_log where user_code=7")).toInt(), 4);
}

void AuditLogTest::tamperingIsFoundWhereItHappened_data() {
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<qint64>("brokenAt");
    QTest::newRow("a value edited") << QStringList{QStringLiteral(
                                           "update audit_log set changes=replace(changes, '205', '200') where seq=2")}
                                    << qint64(2);
    QTest::newRow("the user edited") << QStringList{QStringLiteral("update audit_log set user_code=1 where seq=3")}
                                     << qint64(3);
    QTest::newRow("an entry deleted") << QStringList{QStringLiteral("delete from audit_log where seq=2")} << qint64(2);
    QTest::newRow("deleted and renumbered")
        << QStringList{QStringLiteral("delete from audit_log where seq=2"),
                       QStringLiteral("update audit_log set seq=seq-1 where seq>2")}
        << qint64(2);
    QTest::newRow("two entries swapped") << QStringList{QStringLiteral("update audit_log set seq=-2 where seq=2"),
                                                        QStringLiteral("update audit_log set seq=2 where seq=3"),
                                                        QStringLiteral("update audit_log set seq=3 where seq=-2")}
                                         << qint64(2);
}

void AuditLogTest::tamperingIsFoundWhereItHappened() {
    QFETCH(QStringList, statements);
    QFETCH(qint64, brokenAt);
    tamper(m_t->db(), statements);
    const AuditVerdict verdict = AuditLog(m_t->db()).verify();
    QVERIFY(!verdict.holds());
    QCOMPARE(verdict.broken->seq, brokenAt);
    QVERIFY2(verdict.broken->reason.contains(QString::number(brokenAt)), qPrintable(verdict.broken->reason));
}

void AuditLogTest::aRolledBackSaveLeavesNoEntry() {
    Database& db = m_t->db();
    try {
        Transaction transaction(db);
        db.exec(QStringLiteral("insert into heading_noskhe (sh_factor) values (?)"), {99});
        appendAudit(db, kOrigin, {QStringLiteral("prescription"), QStringLiteral("99"), QJsonObject{}});
        db.exec(QStringLiteral("insert into no_such_table (x) values (1)"));
        transaction.commit();
        QFAIL("the save went through");
    } catch (const DbError&) {
    }
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from audit_log")).toInt(), 4);
    QVERIFY(db.scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt() == 0);
    // The next entry follows the last kept one.
    append(db, QStringLiteral("5"), 1, 2);
    QVERIFY(AuditLog(db).verify().holds());
    QCOMPARE(db.scalar(QStringLiteral("select max(seq) from audit_log")).toInt(), 5);
}

void AuditLogTest::pharmacyctlListsAndVerifies() {
    const QString dir = m_t->workingDir();
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    const QString tomorrow = QDate::currentDate().addDays(1).toString(QStringLiteral("yyyy-MM-dd"));
    // Entries are kept in UTC: the local days around now hold them whatever the time zone.
    const QString yesterday = QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyy-MM-dd"));

    test::CliRun run = test::pharmacyctl({QStringLiteral("--dir"), dir, QStringLiteral("audit"), QStringLiteral("--from"),
                                          yesterday, QStringLiteral("--to"), tomorrow, QStringLiteral("--document"),
                                          QStringLiteral("prescription:3"), QStringLiteral("--json")});
    QCOMPARE(run.status, 0);
    const QJsonArray listed = QJsonDocument::fromJson(run.out.toUtf8()).array();
    QCOMPARE(listed.size(), 1);
    QCOMPARE(listed.first()[QStringLiteral("user")].toInt(), 7);
    QCOMPARE(listed.first()[QStringLiteral("changes")][QStringLiteral("fields")][QStringLiteral("price_koll")]
                 [QStringLiteral("after")]
                     .toDouble(),
             305.0);

    run = test::pharmacyctl({QStringLiteral("--dir"), dir, QStringLiteral("audit"), QStringLiteral("--from"), today,
                             QStringLiteral("--to"), today, QStringLiteral("--user"), QStringLiteral("7"),
                             QStringLiteral("--csv")});
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.startsWith(QStringLiteral("seq,changed_at,user,host,source,kind,key,changes,hash\n")));

    run = test::pharmacyctl({QStringLiteral("--dir"), dir, QStringLiteral("audit"), QStringLiteral("--from"), today,
                             QStringLiteral("--csv")});
    QCOMPARE(run.status, 2);

    run = test::pharmacyctl({QStringLiteral("--dir"), dir, QStringLiteral("audit"), QStringLiteral("verify")});
    QCOMPARE(run.status, 0);
    QCOMPARE(QJsonDocument::fromJson(run.out.toUtf8())[QStringLiteral("entries")].toInt(), 4);

    tamper(m_t->db(), {QStringLiteral("delete from audit_log where seq=3")});
    run = test::pharmacyctl({QStringLiteral("--dir"), dir, QStringLiteral("audit"), QStringLiteral("verify")});
    QCOMPARE(run.status, 3);
    QCOMPARE(QJsonDocument::fromJson(run.out.toUtf8())[QStringLiteral("broken_at")].toInt(), 3);
    QVERIFY2(run.err.contains(QStringLiteral("entry 3")), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(AuditLogTest)
#include "audit_log_test.moc"
