#include "db/key_allocator.h"
#include "db/schema.h"
#include "support/test_database.h"

#include <QFile>
#include <QSqlRecord>
#include <QThread>

#include <functional>
#include <QTest>

using namespace ph;
using ph::test::TestDatabase;

namespace {

// Ends a connection's server session from another connection, as a server restart or
// a dropped network does, and waits until the server has let it go.
void cutConnection(Database& victim, Database& other) {
    const QVariant pid = victim.scalar(QStringLiteral("select pg_backend_pid()"));
    QVERIFY(other.scalar(QStringLiteral("select pg_terminate_backend(?)"), {pid}).toBool());
    while (other.scalar(QStringLiteral("select count(*) from pg_stat_activity where pid=?"), {pid}).toInt() > 0)
        QThread::yieldCurrentThread();
}

void saveHeader(Database& db, int code, const std::function<void()>& midway = {}) {
    saveInTransaction(db, [&] {
        const qint64 number = nextKey(db, QStringLiteral("heading_noskhe"), QStringLiteral("sh_factor"));
        db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, code_opr) values (?, ?)"), {number, code});
        if (midway)
            midway();
        db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row) values (?, 1)"), {number});
    });
}

int count(Database& db, const QString& sql) { return db.scalar(sql).toInt(); }

const QString kNotStored = QStringLiteral(
    "ارتباط با پايگاه داده قطع شد و اين سند ذخيره نشد. پس از برقراري ارتباط آن را دوباره ذخيره كنيد.");

} // namespace

class DatabaseTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void statementsArePreparedOncePerConnection();
    void aLostConnectionIsReopenedByTheNextStatement();
    void aSaveCutOffIsRunAgainOrReportedNotStored();
    void aNewDatabaseFileIsPrivate();

private:
    std::unique_ptr<TestDatabase> m_t;
};

void DatabaseTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Schema(m_t->db()).ensure();
}

void DatabaseTest::cleanup() { m_t.reset(); }

void DatabaseTest::statementsArePreparedOncePerConnection() {
    auto db = m_t->connect();
    const QString insert = QStringLiteral("insert into group_kala (code, name) values (?, ?)");
    const QString select = QStringLiteral("select name from group_kala where code=?");
    const int before = db->preparedCount();
    for (int code = 1; code <= 300; ++code) {
        db->exec(insert, {code, QStringLiteral("گروه %1").arg(code)});
        QCOMPARE(db->scalar(select, {code}).toString(), QStringLiteral("گروه %1").arg(code));
    }
    QCOMPARE(db->preparedCount() - before, 2);

    // A query the caller still reads keeps its rows while the same statement runs again.
    {
        Rows first = db->exec(select, {7});
        Rows second = db->exec(select, {8});
        QVERIFY(first.next() && second.next());
        QCOMPARE(first.value(0).toString(), QStringLiteral("گروه 7"));
        QCOMPARE(second.value(0).toString(), QStringLiteral("گروه 8"));
        QVERIFY(!first.next() && !second.next());
    }
    QCOMPARE(db->preparedCount() - before, 3);

    // Inside a transaction and after its commit, with half-read queries let go.
    {
        Transaction transaction(*db);
        for (int code = 301; code <= 310; ++code) {
            db->exec(insert, {code, QStringLiteral("x")});
            QVERIFY(db->exec(select, {code - 300}).next());
        }
        transaction.commit();
    }
    QCOMPARE(count(*db, QStringLiteral("select count(*) from group_kala")), 310);

    // A connection opened again prepares its statements again.
    db->close();
    QCOMPARE(db->cachedStatementCount(), 0);
    db->open();
    QCOMPARE(db->scalar(select, {300}).toString(), QStringLiteral("گروه 300"));
    QCOMPARE(db->cachedStatementCount(), 1);

    // Schema work drops what was planned on the older layout.
    QCOMPARE(db->exec(QStringLiteral("select * from group_kala where code=?"), {1}).record().count(), 2);
    db->exec(QStringLiteral("alter table group_kala add extra integer"));
    QCOMPARE(db->exec(QStringLiteral("select * from group_kala where code=?"), {1}).record().count(), 3);
    // So does schema work of another workstation that changes what a kept statement returns.
    if (m_t->engine() == Engine::Postgres) {
        db->exec(QStringLiteral("create table kept (k integer, v text)"));
        db->exec(QStringLiteral("insert into kept (k, v) values (?, ?)"), {1, QStringLiteral("یک")});
        const QString read = QStringLiteral("select v from kept where k=?");
        QCOMPARE(db->scalar(read, {1}).toString(), QStringLiteral("یک"));
        m_t->db().exec(QStringLiteral("alter table kept alter column v type varchar(300)"));
        QCOMPARE(db->scalar(read, {1}).toString(), QStringLiteral("یک"));
    }
}

void DatabaseTest::aLostConnectionIsReopenedByTheNextStatement() {
    if (m_t->engine() == Engine::Sqlite)
        QSKIP("an embedded database has no connection to lose");
    auto db = m_t->connect();
    auto other = m_t->connect();
    const QString select = QStringLiteral("select count(*) from heading_noskhe where code_opr=?");
    saveHeader(*db, 5);
    QCOMPARE(db->scalar(select, {5}).toInt(), 1);
    const int pidBefore = db->scalar(QStringLiteral("select pg_backend_pid()")).toInt();

    cutConnection(*db, *other);
    // A read is run again on a new connection, with its statement prepared anew.
    const int prepared = db->preparedCount();
    QCOMPARE(db->scalar(select, {5}).toInt(), 1);
    QVERIFY(db->preparedCount() > prepared);
    QVERIFY(db->scalar(QStringLiteral("select pg_backend_pid()")).toInt() != pidBefore);
    // The new connection has the same limits: a statement runs at most a minute.
    QCOMPARE(db->scalar(QStringLiteral("show statement_timeout")).toString(), QStringLiteral("1min"));

    // A save that starts on a cut connection is stored on the new one.
    cutConnection(*db, *other);
    saveHeader(*db, 5);
    QCOMPARE(other->scalar(select, {5}).toInt(), 2);
    // And the cache goes on serving after the reconnection.
    for (int i = 0; i < 20; ++i)
        QCOMPARE(db->scalar(select, {5}).toInt(), 2);
}

void DatabaseTest::aSaveCutOffIsRunAgainOrReportedNotStored() {
    if (m_t->engine() == Engine::Sqlite)
        QSKIP("an embedded database has no connection to lose");
    auto db = m_t->connect();
    auto other = m_t->connect();
    Database* victim = db.get();

    // Cut once in the middle: the server dropped the whole transaction, so the save
    // runs again on a new connection and is stored once.
    int cuts = 0;
    saveHeader(*db, 1, [&] {
        if (cuts++ == 0)
            cutConnection(*victim, *other);
    });
    QCOMPARE(cuts, 2);
    QCOMPARE(count(*other, QStringLiteral("select count(*) from heading_noskhe")), 1);
    QCOMPARE(count(*other, QStringLiteral("select count(*) from details_noskhe")), 1);

    // Cut every time: the user is told in Persian that nothing was stored.
    try {
        saveHeader(*db, 2, [&] { cutConnection(*victim, *other); });
        QFAIL("a save on a connection that keeps breaking was reported stored");
    } catch (const DbError& error) {
        QVERIFY(error.isConnectionLost());
        QCOMPARE(error.message(), kNotStored);
        QVERIFY(!error.detail().isEmpty());
    }
    QCOMPARE(count(*other, QStringLiteral("select count(*) from heading_noskhe")), 1);
    QCOMPARE(count(*other, QStringLiteral("select count(*) from details_noskhe")), 1);
    // The next save works.
    saveHeader(*db, 3);
    QCOMPARE(count(*other, QStringLiteral("select count(*) from heading_noskhe")), 2);
}

void DatabaseTest::aNewDatabaseFileIsPrivate() {
    if (m_t->engine() != Engine::Sqlite)
        QSKIP("the server keeps its own files");
    const QString path = m_t->settings().database;
    saveHeader(m_t->db(), 1);
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    for (const QString& file : {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")}) {
        QVERIFY2(QFile::exists(file), qPrintable(file));
        QVERIFY2(!(QFile::permissions(file) & others), qPrintable(file));
    }
    // A file left readable by an older version is closed to others when opened.
    m_t.reset();
    TestDatabase t;
    QFile old(t.settings().database);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.close();
    QVERIFY(old.setPermissions(old.permissions() | QFileDevice::ReadOther | QFileDevice::ReadGroup));
    t.db().exec(QStringLiteral("create table x (a integer)"));
    QVERIFY(!(QFile::permissions(t.settings().database) & others));
    m_t = std::make_unique<TestDatabase>();
}

QTEST_GUILESS_MAIN(DatabaseTest)
#include "database_test.moc"
