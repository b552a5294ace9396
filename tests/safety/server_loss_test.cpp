// The database server stops in the middle of a save: the save fails with the Persian
// message of a lost connection and leaves nothing behind; once the server is back the
// next save of the same program (the same connection object) succeeds. The server's
// process for this workstation freezes in the middle of a save: the save gives up
// within the statement bound, stores nothing, and the next save succeeds.
#include "core/scripted_prompter.h"
#include "db/database.h"
#include "support/cli_run.h"
#include "support/sample_prescription.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <future>
#include <thread>

using namespace ph;

namespace {

bool server(const QStringList& args, QString* output = nullptr) {
    QProcess script;
    script.start(QStringLiteral("bash"), QStringList{QStringLiteral(PG_TEST_SERVER)} + args);
    if (!script.waitForFinished(120000)) return false;
    if (output) *output = QString::fromLocal8Bit(script.readAllStandardOutput()).trimmed();
    if (script.exitCode() != 0) qWarning("%s", script.readAllStandardError().constData());
    return script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
}

} // namespace

class ServerLossTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void frozenServerProcessBoundsTheSave();
    void saveFailsCleanlyAndTheNextOneSucceeds();

private:
    QString m_folder; // the server's socket folder
};

void ServerLossTest::initTestCase() {
    if (!server({QStringLiteral("start")}, &m_folder) || m_folder.isEmpty())
        QSKIP("no PostgreSQL server could be started here");
}

void ServerLossTest::cleanupTestCase() {
    if (!m_folder.isEmpty()) server({QStringLiteral("stop"), m_folder});
}

void ServerLossTest::frozenServerProcessBoundsTheSave() {
    QTemporaryDir dir;
    ConnectionSettings settings;
    settings.engine = Engine::Postgres;
    settings.serverLogin = true;
    settings.server = m_folder;
    settings.port = 5432;
    settings.user = QStringLiteral("postgres");
    settings.database = QStringLiteral("postgres");
    {
        Database admin(settings, QStringLiteral("admin"));
        admin.open();
        admin.exec(QStringLiteral("create database frozen"));
    }
    {
        QFile ci(dir.filePath(QStringLiteral("ci.txt")));
        QVERIFY(ci.open(QIODevice::WriteOnly));
        ci.write(QStringLiteral("1-%1:5432-postgres--frozen-postgres*").arg(m_folder).toUtf8());
    }
    const test::CliRun demo = test::pharmacyctl({"--dir", dir.path(), "demo"});
    QVERIFY2(demo.status == 0, qPrintable(demo.err));

    // A bound of two seconds for every connection this test opens.
    qputenv("PH_STATEMENT_BOUND_MS", "2000");
    const auto restore = qScopeGuard([] { qunsetenv("PH_STATEMENT_BOUND_MS"); });
    Database db(readConnectionSettings(dir.path()), QStringLiteral("frozen"));
    db.open();
    const QList<DrugItem> drugs = DrugList(db).load(true);
    ScriptedPrompter prompter;
    prompter.setYesNoFallback([](const QString&) { return true; });
    PrescriptionSession session(db, prompter);
    const SaveContext context{1, 0, QStringLiteral("05/07/15"), QStringLiteral("10:00")};
    const QString stockSql = QStringLiteral("select sum(moj_vah) from moj_kala_vah");
    const double stock = db.scalar(stockSql).toDouble();
    const qint64 backend = db.scalar(QStringLiteral("select pg_backend_pid()")).toLongLong();

    // Another workstation holds the cash table, so the save waits half-way (header and
    // lines written); its server process is frozen while it waits. The save gives the
    // connection up after the bound and tries once more on a new one, which waits for the
    // numbering lock the frozen process holds, until the bound cancels that too.
    settings.database = QStringLiteral("frozen");
    QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("cash holder"));
    holder.setHostName(settings.server);
    holder.setPort(settings.port);
    holder.setUserName(settings.user);
    holder.setDatabaseName(settings.database);
    QVERIFY(holder.open());
    QSqlQuery hold(holder);
    QVERIFY(hold.exec(QStringLiteral("begin")));
    QVERIFY(hold.exec(QStringLiteral("lock table cash in exclusive mode")));
    std::promise<bool> frozen;
    std::thread freezer([&, settings] {
        bool stopped = false;
        {
            QSqlDatabase watch = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("freezer"));
            watch.setHostName(settings.server);
            watch.setPort(settings.port);
            watch.setUserName(settings.user);
            watch.setDatabaseName(settings.database);
            QSqlQuery q(watch);
            const QDeadlineTimer deadline(30000);
            while (watch.open() && !deadline.hasExpired()) {
                if (q.exec(QStringLiteral("select count(*) from pg_locks where not granted and pid=%1").arg(backend)) &&
                    q.next() && q.value(0).toInt() > 0) {
                    stopped = ::kill(pid_t(backend), SIGSTOP) == 0;
                    break;
                }
                QThread::msleep(10);
            }
            watch.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("freezer"));
        frozen.set_value(stopped);
    });

    test::enterSamplePrescription(session, drugs, 3, 1);
    QString message;
    try {
        session.save(context, true);
    } catch (const DbError& error) {
        message = error.message();
    }
    freezer.join();
    const bool stopped = frozen.get_future().get();
    ::kill(pid_t(backend), SIGCONT);
    hold.exec(QStringLiteral("rollback"));
    hold.finish();
    holder.close();
    QVERIFY(stopped);
    QVERIFY2(message.contains(QStringLiteral("پايگاه داده در زمان مقرر پاسخ نداد و اين سند ذخيره نشد")),
             qPrintable(message));

    {
        Database check(readConnectionSettings(dir.path()), QStringLiteral("frozen check"));
        check.open();
        // The frozen process, once running again, ends its transaction without storing it.
        const QDeadlineTimer deadline(30000);
        while (check.scalar(QStringLiteral("select count(*) from pg_stat_activity where pid=?"), {backend}).toInt() > 0 &&
               !deadline.hasExpired())
            QThread::msleep(20);
        for (const char* table : {"heading_noskhe", "details_noskhe", "cash", "code_noskhe"})
            QVERIFY2(check.scalar(QStringLiteral("select count(*) from %1").arg(QLatin1String(table))).toInt() == 0,
                     table);
        QCOMPARE(check.scalar(stockSql).toDouble(), stock);
    }

    const SaveOutcome again = session.save(context, true);
    QVERIFY2(again.isSaved(), qPrintable(prompter.texts().join(u'|')));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from details_noskhe where sh_factor=1")).toInt(), 3);
}

void ServerLossTest::saveFailsCleanlyAndTheNextOneSucceeds() {
    QTemporaryDir dir;
    {
        QFile ci(dir.filePath(QStringLiteral("ci.txt")));
        QVERIFY(ci.open(QIODevice::WriteOnly));
        ci.write(QStringLiteral("1-%1:5432-postgres--postgres-postgres*").arg(m_folder).toUtf8());
    }
    const test::CliRun demo = test::pharmacyctl({"--dir", dir.path(), "demo"});
    QVERIFY2(demo.status == 0, qPrintable(demo.err));

    Database db(readConnectionSettings(dir.path()));
    db.open();
    const QList<DrugItem> drugs = DrugList(db).load(true);
    ScriptedPrompter prompter;
    prompter.setYesNoFallback([](const QString&) { return true; });
    PrescriptionSession session(db, prompter);
    const SaveContext context{1, 0, QStringLiteral("05/07/15"), QStringLiteral("10:00")};
    const QString stockSql = QStringLiteral("select sum(moj_vah) from moj_kala_vah");
    const double stock = db.scalar(stockSql).toDouble();
    const int patients = db.scalar(QStringLiteral("select count(*) from mosh_bimaran")).toInt();

    // Another workstation holds the cash table, so the save waits half-way (its header
    // and lines written); the server is stopped while it waits.
    std::promise<void> locked;
    std::promise<bool> halted;
    std::thread other([&, settings = db.settings()] {
        bool stopped = false;
        {
            QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("holder"));
            holder.setHostName(settings.server);
            holder.setPort(settings.port);
            holder.setUserName(settings.user);
            holder.setDatabaseName(settings.database);
            QSqlQuery q(holder);
            if (holder.open() && q.exec(QStringLiteral("begin")) &&
                q.exec(QStringLiteral("lock table cash in exclusive mode"))) {
                locked.set_value();
                const QDeadlineTimer deadline(30000);
                while (!deadline.hasExpired()) {
                    if (q.exec(QStringLiteral("select count(*) from pg_locks where not granted")) && q.next() &&
                        q.value(0).toInt() > 0)
                        break;
                    QThread::msleep(10);
                }
                stopped = !deadline.hasExpired() && server({QStringLiteral("halt"), m_folder});
            } else {
                locked.set_value();
            }
            holder.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        halted.set_value(stopped);
    });
    locked.get_future().wait();

    test::enterSamplePrescription(session, drugs, 3, 1);
    bool lost = false;
    try {
        session.save(context, true);
    } catch (const DbError& error) {
        lost = error.isConnectionLost();
        // Whether the new connection came or not, the user learns the document was not stored.
        QVERIFY2(error.message().contains(QStringLiteral("ارتباط با پايگاه داده")) &&
                     error.message().contains(QStringLiteral("اين سند ذخيره نشد")),
                 qPrintable(error.message()));
    }
    other.join();
    QVERIFY(halted.get_future().get());
    QVERIFY(lost);

    QVERIFY(server({QStringLiteral("resume"), m_folder}));
    {
        Database check(readConnectionSettings(dir.path()), QStringLiteral("check"));
        check.open();
        for (const char* table : {"heading_noskhe", "details_noskhe", "cash", "code_noskhe"})
            QVERIFY2(check.scalar(QStringLiteral("select count(*) from %1").arg(QLatin1String(table))).toInt() == 0,
                     table);
        QCOMPARE(check.scalar(QStringLiteral("select count(*) from mosh_bimaran")).toInt(), patients);
        QCOMPARE(check.scalar(stockSql).toDouble(), stock);
    }

    // The same program saves again, on a connection opened anew.
    const SaveOutcome again = session.save(context, true);
    QVERIFY2(again.isSaved(), qPrintable(prompter.texts().join(u'|')));
    QCOMPARE(again.saved.invoiceNumber, 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from details_noskhe where sh_factor=1")).toInt(), 3);
    QCOMPARE(db.scalar(stockSql).toDouble(), stock - 3);
}

QTEST_GUILESS_MAIN(ServerLossTest)
#include "server_loss_test.moc"
