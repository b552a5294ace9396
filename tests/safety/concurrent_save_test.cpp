// Eight workstations saving at once, each a `pharmacyctl save` process after another:
// every acknowledged save is stored, no invoice number or prescription code is taken
// twice and the stock went down by every saved quantity. Prints the saves per second of
// eight against one. Eight workstations saving the same prescription at once, answering
// "no" to storing it again, store it once.
#include "admin/users.h"
#include "audit/audit_log.h"
#include "db/database.h"
#include "lots/lots.h"
#include "support/cli_run.h"
#include "support/test_database.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTest>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

using namespace ph;

namespace {

constexpr double kDrug = 1010001; // a drug of the demo working set

// The quantity of the patient's line: varied, so that a stock move lost to another
// workstation's shows in the sum.
int quantityOf(int patient) {
    return 1 + patient % 3;
}

QByteArray prescription(int patient, int user) {
    return QStringLiteral(R"({"user": %5, "me_code_bime": "2", "edtMeliCode": "%1", "me_family": "بيمار %2",
        "me_name_bimar": "علي", "sh_safhe": 1, "me_nezam_pe": "45213", "me_name_pe": "علي", "me_family_pe": "محمدي",
        "me_code_takhasos": "1", "me_ctype_no": "1", "me_date_bime": "1405/12/29", "me_date_no": "05/07/15",
        "me_date_ta": "05/07/15", "lines": [[%3, %4]]})")
        .arg(1000000000 + patient)
        .arg(patient)
        .arg(qint64(kDrug))
        .arg(quantityOf(patient))
        .arg(user)
        .toUtf8();
}

struct Run {
    QList<int> acknowledged;
    int quantity = 0; // of the acknowledged saves
    int refused = 0;  // exit 3
    QStringList failures;
    double seconds = 0;
};

// `clients` workers at once, each running `each` pharmacyctl save processes in turn, of
// patients firstPatient on (all of firstPatient when `samePatient`). Each saves as `user`,
// whose password is in the working folder's file "password".
Run saveAtOnce(const QString& workingDir, int user, int clients, int each, int firstPatient, bool samePatient = false) {
    Run run;
    std::mutex lock;
    std::vector<std::thread> workers;
    QElapsedTimer timer;
    timer.start();
    for (int c = 0; c < clients; ++c)
        workers.emplace_back([&, c] {
            for (int i = 0; i < each; ++i) {
                const int patient = samePatient ? firstPatient : firstPatient + c * each + i;
                QProcess save;
                save.start(QStringLiteral(PHARMACYCTL),
                           {"--dir", workingDir, "save", "--today", "05/07/15", "--time", "10:00",
                            "--password-file", workingDir + QStringLiteral("/password")});
                save.write(prescription(patient, user));
                save.closeWriteChannel();
                const bool finished = save.waitForFinished(60000);
                const QByteArray out = save.readAllStandardOutput();
                const std::lock_guard<std::mutex> guard(lock);
                if (finished && save.exitStatus() == QProcess::NormalExit && save.exitCode() == 3) {
                    ++run.refused;
                    continue;
                }
                if (!finished || save.exitStatus() != QProcess::NormalExit || save.exitCode() != 0) {
                    run.failures.append(QString::fromUtf8(save.readAllStandardError() + out));
                    continue;
                }
                run.acknowledged.append(QJsonDocument::fromJson(out).object().value("sh_factor").toInt());
                run.quantity += quantityOf(patient);
            }
        });
    for (std::thread& worker : workers)
        worker.join();
    run.seconds = timer.nsecsElapsed() / 1e9;
    return run;
}

// A user of all rights who saves, his password in the working folder's file "password".
int addSavingUser(test::TestDatabase& t) {
    const int user = UserStore(t.db()).addUserWithAllRights(QStringLiteral("پيشخوان آزمون"), QStringLiteral("saves-at-once"));
    QFile password(t.workingDir() + QStringLiteral("/password"));
    if (!password.open(QIODevice::WriteOnly) || password.write("saves-at-once\n") < 0) qFatal("password file not written");
    return user;
}

} // namespace

class ConcurrentSaveTest : public QObject {
    Q_OBJECT

private slots:
    void eightWorkstationsAtOnce();
    void samePrescriptionAtOnceIsStoredOnce();
};

void ConcurrentSaveTest::eightWorkstationsAtOnce() {
    const int each = qEnvironmentVariableIsSet("PH_CONCURRENT_SAVES") ? qEnvironmentVariableIntValue("PH_CONCURRENT_SAVES")
                                                                      : 12;
    constexpr int kClients = 8;
    test::TestDatabase t;
    const test::CliRun demo = test::pharmacyctl({"--dir", t.workingDir(), "demo"});
    QVERIFY2(demo.status == 0, qPrintable(demo.err));
    Database& db = t.db();
    const QString stockSql = QStringLiteral("select moj_vah from moj_kala_vah where code_kala=? and code_vah=20");
    db.exec(QStringLiteral("update moj_kala_vah set moj_vah=100000 where code_kala=? and code_vah=20"), {kDrug});
    // Ninety of them in three lots, fewer than the saves take: the lots run dry while the
    // workstations draw from them at once.
    const QList<QPair<LotKey, double>> lots = {{{QStringLiteral("A"), QDate(2027, 1, 31)}, 20},
                                               {{QStringLiteral("B"), QDate(2027, 3, 31)}, 30},
                                               {{QStringLiteral("C"), QDate(2027, 6, 30)}, 40}};
    for (const auto& [key, quantity] : lots) LotStore(db).takeIn(kDrug, 20, key, quantity);

    const int user = addSavingUser(t);
    const Run one = saveAtOnce(t.workingDir(), user, 1, each, 0);
    QVERIFY2(one.failures.isEmpty(), qPrintable(one.failures.join(u'\n')));
    const Run eight = saveAtOnce(t.workingDir(), user, kClients, each, 100000);
    QVERIFY2(eight.failures.isEmpty(), qPrintable(eight.failures.join(u'\n')));
    QCOMPARE(eight.acknowledged.size(), kClients * each);
    QCOMPARE(one.refused + eight.refused, 0);

    const int total = (kClients + 1) * each;
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt(), total);
    QCOMPARE(db.scalar(QStringLiteral("select count(distinct sh_factor) from heading_noskhe")).toInt(), total);
    QCOMPARE(db.scalar(QStringLiteral("select count(distinct code_no) from heading_noskhe")).toInt(), total);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from cash where type_factor='d'")).toInt(), total);
    // Every save left one entry in the history, and the entries form one unbroken chain.
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from audit_log where kind='prescription'")).toInt(), total);
    const AuditVerdict chain = AuditLog(db).verify();
    QVERIFY2(chain.holds(), qPrintable(chain.broken ? chain.broken->reason : QString()));
    QCOMPARE(db.scalar(stockSql, {kDrug}).toDouble(), 100000.0 - one.quantity - eight.quantity);
    // Each lot gave exactly what the documents recorded drawing from it, and none went below nothing.
    for (const auto& [key, quantity] : lots) {
        const Lot lot = *LotStore(db).find(kDrug, 20, key);
        const double drawn =
            db.scalar(QStringLiteral("select coalesce(sum(qu), 0) from kala_lot_line where code_lot=?"), {lot.id}).toDouble();
        QVERIFY(lot.quantity >= 0);
        QCOMPARE(lot.quantity + drawn, quantity);
    }
    QCOMPARE(db.scalar(QStringLiteral("select sum(qu) from kala_lot")).toDouble(), 0.0);
    const QSet<int> distinct(eight.acknowledged.begin(), eight.acknowledged.end());
    QCOMPARE(distinct.size(), eight.acknowledged.size());
    for (const int number : eight.acknowledged)
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from details_noskhe where sh_factor=?"), {number}).toInt(), 1);

    qInfo("%s: 1 process %d saves in %.2f s (%.1f/s); %d processes %d saves in %.2f s (%.1f/s); ratio %.2f",
          t.engine() == Engine::Sqlite ? "SQLite" : "PostgreSQL", each, one.seconds, each / one.seconds, kClients,
          kClients * each, eight.seconds, kClients * each / eight.seconds,
          (kClients * each / eight.seconds) / (each / one.seconds));
}

void ConcurrentSaveTest::samePrescriptionAtOnceIsStoredOnce() {
    constexpr int kClients = 8;
    test::TestDatabase t;
    const test::CliRun demo = test::pharmacyctl({"--dir", t.workingDir(), "demo"});
    QVERIFY2(demo.status == 0, qPrintable(demo.err));
    // Each answers "no" to storing a prescription of the patient stored already that day.
    const Run run = saveAtOnce(t.workingDir(), addSavingUser(t), kClients, 1, 7, true);
    QVERIFY2(run.failures.isEmpty(), qPrintable(run.failures.join(u'\n')));
    QCOMPARE(run.acknowledged.size(), 1);
    QCOMPARE(run.refused, kClients - 1);
    QCOMPARE(t.db().scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt(), 1);
    QCOMPARE(t.db().scalar(QStringLiteral("select count(*) from mosh_bimaran where sh_bimeh=?"), {"1000000007"}).toInt(), 1);
}

QTEST_GUILESS_MAIN(ConcurrentSaveTest)
#include "concurrent_save_test.moc"
