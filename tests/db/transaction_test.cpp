#include "db/key_allocator.h"
#include "db/schema.h"
#include "support/test_database.h"

#include <QSet>
#include <QTest>
#include <QThread>

#include <atomic>
#include <latch>
#include <mutex>
#include <thread>

using namespace ph;
using ph::test::TestDatabase;

namespace {

// Saves one small document: a header with a new invoice number and three lines.
int saveDocument(Database& db, int operatorCode, std::atomic<int>* attempts = nullptr) {
    return saveInTransaction(db, [&] {
        if (attempts)
            ++*attempts;
        const int number = int(nextKey(db, QStringLiteral("heading_noskhe"), QStringLiteral("sh_factor")));
        QThread::yieldCurrentThread(); // widen the window in which another workstation reads the same number
        db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, code_opr) values (?, ?)"), {number, operatorCode});
        for (int row = 1; row <= 3; ++row)
            db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row, tedad) values (?, ?, ?)"),
                    {number, row, operatorCode});
        return number;
    });
}

int count(Database& db, const QString& sql) { return db.scalar(sql).toInt(); }

} // namespace

class TransactionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void commitKeepsAndFailureRollsBackEverything();
    void keysStartAtOneAndFollowTheLargest();
    void collisionIsRetriedWithAFreshNumber();
    void aSaveEndedByADeadlockIsRunAgain();
    void twoWorkstationsRacingNeverDuplicateAKey();
    void eightWorkstationsTakeTheirNumbersInTurn();

private:
    std::unique_ptr<TestDatabase> m_t;
};

void TransactionTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Schema(m_t->db()).ensure();
}

void TransactionTest::cleanup() { m_t.reset(); }

void TransactionTest::commitKeepsAndFailureRollsBackEverything() {
    Database& db = m_t->db();
    QCOMPARE(saveDocument(db, 1), 1);
    try {
        saveInTransaction(db, [&] {
            db.exec(QStringLiteral("insert into heading_noskhe (sh_factor) values (?)"), {2});
            db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row) values (?, ?)"), {2, 1});
            db.exec(QStringLiteral("insert into no_such_table values (1)"));
        });
        QFAIL("a failing statement did not stop the save");
    } catch (const DbError& error) {
        QVERIFY(!error.isUniqueViolation());
    }
    QCOMPARE(count(db, QStringLiteral("select count(*) from heading_noskhe")), 1);
    QCOMPARE(count(db, QStringLiteral("select count(*) from details_noskhe")), 3);
    // The connection is usable again after the rollback.
    QCOMPARE(saveDocument(db, 1), 2);
}

void TransactionTest::keysStartAtOneAndFollowTheLargest() {
    Database& db = m_t->db();
    QCOMPARE(nextKey(db, QStringLiteral("organs_m"), QStringLiteral("code")), 1);
    db.exec(QStringLiteral("insert into organs_m (code) values (41)"));
    QCOMPARE(nextKey(db, QStringLiteral("organs_m"), QStringLiteral("code")), 42);
    QCOMPARE(nextKey(db, QStringLiteral("code_noskhe"), QStringLiteral("m7"), QStringLiteral("code_bimeh=? and rooz=?"), {3, 12}), 1);
    QVERIFY_THROWS_EXCEPTION(Error, nextKey(db, QStringLiteral("organs_m; drop table x"), QStringLiteral("code")));
}

void TransactionTest::collisionIsRetriedWithAFreshNumber() {
    Database& db = m_t->db();
    int attempts = 0;
    const int number = saveInTransaction(db, [&] {
        ++attempts;
        const int key = int(nextKey(db, QStringLiteral("heading_noskhe"), QStringLiteral("sh_factor")));
        db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row) values (?, 1)"), {key});
        db.exec(QStringLiteral("insert into heading_noskhe (sh_factor) values (?)"), {key});
        if (attempts == 1) // as if another workstation had stored the same number meanwhile
            db.exec(QStringLiteral("insert into heading_noskhe (sh_factor) values (?)"), {key});
        return key;
    });
    QCOMPARE(attempts, 2);
    QCOMPARE(number, 1);
    QCOMPARE(count(db, QStringLiteral("select count(*) from heading_noskhe")), 1);
    QCOMPARE(count(db, QStringLiteral("select count(*) from details_noskhe")), 1);
}

// Two saves moving the same two items in opposite order: the server ends one to break the
// deadlock, and that one runs again after the other's commit.
void TransactionTest::aSaveEndedByADeadlockIsRunAgain() {
    if (m_t->db().settings().engine == Engine::Sqlite) QSKIP("one writer at a time: no deadlock");
    m_t->db().exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah) values (1, 20, 10), (2, 20, 10)"));
    std::latch bothHoldTheirFirst(2);
    std::atomic<int> attempts{0};
    QStringList errors;
    std::mutex errorsLock;
    auto workstation = [&](int first, int second) {
        try {
            auto db = m_t->connect();
            bool waited = false;
            saveInTransaction(*db, [&] {
                ++attempts;
                const QString move = QStringLiteral("update moj_kala_vah set moj_vah=moj_vah-1 where code_kala=?");
                db->exec(move, {first});
                if (!waited) {
                    waited = true;
                    bothHoldTheirFirst.arrive_and_wait();
                }
                db->exec(move, {second});
            });
        } catch (const Error& error) {
            std::lock_guard lock(errorsLock);
            errors.append(error.message());
        }
    };
    std::thread one(workstation, 1, 2);
    std::thread other(workstation, 2, 1);
    one.join();
    other.join();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
    QCOMPARE(attempts.load(), 3);
    QCOMPARE(count(m_t->db(), QStringLiteral("select sum(moj_vah) from moj_kala_vah")), 16);
}

void TransactionTest::twoWorkstationsRacingNeverDuplicateAKey() {
    constexpr int kSavesEach = 40;
    std::atomic<int> failures{0};
    QStringList errors;
    std::mutex errorsLock;
    auto workstation = [&](int operatorCode) {
        try {
            auto db = m_t->connect();
            for (int i = 0; i < kSavesEach; ++i)
                saveDocument(*db, operatorCode);
        } catch (const Error& error) {
            ++failures;
            std::lock_guard lock(errorsLock);
            errors.append(error.message());
        }
    };
    std::thread first(workstation, 1);
    std::thread second(workstation, 2);
    first.join();
    second.join();
    QVERIFY2(failures == 0, qPrintable(errors.join(u'\n')));

    Database& db = m_t->db();
    QCOMPARE(count(db, QStringLiteral("select count(*) from heading_noskhe")), 2 * kSavesEach);
    QCOMPARE(count(db, QStringLiteral("select count(distinct sh_factor) from heading_noskhe")), 2 * kSavesEach);
    QCOMPARE(count(db, QStringLiteral("select max(sh_factor) from heading_noskhe")), 2 * kSavesEach);
    QCOMPARE(count(db, QStringLiteral("select count(*) from details_noskhe")), 6 * kSavesEach);
    // Every line belongs to the header saved with it.
    QCOMPARE(count(db, QStringLiteral("select count(*) from details_noskhe d join heading_noskhe h "
                                      "on h.sh_factor = d.sh_factor where d.tedad <> h.code_opr")),
             0);
}

void TransactionTest::eightWorkstationsTakeTheirNumbersInTurn() {
    constexpr int kWorkstations = 8;
    constexpr int kSavesEach = 60;
    std::atomic<int> failures{0};
    std::atomic<int> attempts{0};
    QStringList errors;
    std::mutex errorsLock;
    std::latch start(kWorkstations);
    auto workstation = [&](int operatorCode) {
        try {
            auto db = m_t->connect();
            start.arrive_and_wait();
            for (int i = 0; i < kSavesEach; ++i)
                saveDocument(*db, operatorCode, &attempts);
        } catch (const Error& error) {
            ++failures;
            std::lock_guard lock(errorsLock);
            errors.append(error.message());
        }
    };
    std::vector<std::thread> threads;
    for (int code = 1; code <= kWorkstations; ++code)
        threads.emplace_back(workstation, code);
    for (std::thread& thread : threads)
        thread.join();
    QVERIFY2(failures == 0, qPrintable(errors.join(u'\n')));
    // The saves queued for the numbers: none had to be run again after a collision.
    QCOMPARE(attempts.load(), kWorkstations * kSavesEach);

    Database& db = m_t->db();
    QCOMPARE(count(db, QStringLiteral("select count(distinct sh_factor) from heading_noskhe")), kWorkstations * kSavesEach);
    QCOMPARE(count(db, QStringLiteral("select max(sh_factor) from heading_noskhe")), kWorkstations * kSavesEach);
    QCOMPARE(count(db, QStringLiteral("select count(*) from details_noskhe d join heading_noskhe h "
                                      "on h.sh_factor = d.sh_factor where d.tedad <> h.code_opr")),
             0);
}

QTEST_GUILESS_MAIN(TransactionTest)
#include "transaction_test.moc"
