// A workstation killed at any moment of a save leaves whole prescriptions only: a child
// process saves prescriptions in a loop and is killed (SIGKILL) before each statement of
// a save in turn, then at random moments; then the database passes its integrity check,
// every prescription has its header, its lines, its cash row and its stock moves or none
// of them, no number is taken twice, and every save the child acknowledged is there.
#include "audit/audit_log.h"
#include "core/scripted_prompter.h"
#include "db/database.h"
#include "support/cli_run.h"
#include "support/sample_prescription.h"
#include "support/test_database.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <QTest>

#include <csignal>
#include <cstdio>

#include <unistd.h>

using namespace ph;

namespace {

constexpr int kLines = 3;

// The child: saves prescriptions until it is killed, printing each saved number. With
// `killBefore` > 0 it kills itself just before the killBefore-th statement of its second
// save, and ends (exit 0) when that save has fewer statements.
int saveForever(const QString& workingDir, qint64 firstPatient, int killBefore) {
    Database db(readConnectionSettings(workingDir));
    db.open();
    int statementsToGo = 0; // counts down during the second save
    db.setBeforeStatement([&] {
        if (statementsToGo > 0 && --statementsToGo == 0) ::kill(::getpid(), SIGKILL);
    });
    const QList<DrugItem> drugs = DrugList(db).load(true);
    ScriptedPrompter prompter;
    prompter.setYesNoFallback([](const QString&) { return true; });
    PrescriptionSession session(db, prompter);
    for (qint64 patient = firstPatient;; ++patient) {
        test::enterSamplePrescription(session, drugs, kLines, patient);
        const bool second = patient == firstPatient + 1;
        if (second && killBefore > 0) statementsToGo = killBefore;
        const SaveOutcome outcome = session.save({1, 0, QStringLiteral("05/07/15"), QStringLiteral("10:00")}, true);
        if (!outcome.isSaved()) {
            std::fprintf(stderr, "refused: %s\n", qPrintable(prompter.texts().join(u'|')));
            return 1;
        }
        std::printf("%d\n", outcome.saved.invoiceNumber);
        std::fflush(stdout);
        if (second && killBefore > 0) return 0;
    }
}

} // namespace

class CrashTest : public QObject {
    Q_OBJECT

private slots:
    void killedSavesLeaveWholePrescriptions();
};

void CrashTest::killedSavesLeaveWholePrescriptions() {
    test::TestDatabase t;
    const test::CliRun demo = test::pharmacyctl({"--dir", t.workingDir(), "demo"});
    QVERIFY2(demo.status == 0, qPrintable(demo.err));
    Database& db = t.db();
    const QList<DrugItem> drugs = DrugList(db).load(true);
    QVERIFY(drugs.size() >= kLines);
    auto stockOf = [&](double code) {
        return db.scalar(QStringLiteral("select moj_vah from moj_kala_vah where code_kala=? and code_vah=20"), {code})
            .toDouble();
    };
    QList<double> stockBefore;
    for (int i = 0; i < kLines; ++i)
        stockBefore.append(stockOf(drugs.at(i).code));

    QSet<int> acknowledged;
    const auto readNumbers = [&](QProcess& child) {
        const QList<QByteArray> numbers = child.readAllStandardOutput().split('\n');
        for (const QByteArray& number : numbers)
            if (!number.trimmed().isEmpty()) acknowledged.insert(number.trimmed().toInt());
    };
    // Killed before the first statement of a save, then before the second, and so on to
    // its end: every point between two statements, inside the transaction or around it.
    int round = 0;
    for (int killBefore = 1;; ++killBefore, ++round) {
        QVERIFY2(killBefore < 100, "a save without end");
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--save-forever"), t.workingDir(), QString::number(round * 100000),
                     QString::number(killBefore)});
        QVERIFY(child.waitForFinished(60000));
        readNumbers(child);
        if (child.exitStatus() == QProcess::NormalExit) {
            QVERIFY2(child.exitCode() == 0, qPrintable(child.readAllStandardError()));
            QVERIFY(killBefore > 5); // the save ran past several kill points
            break;
        }
    }
    // And at random moments of a few saves.
    QRandomGenerator random(20261210);
    for (int randomRound = 0; randomRound < 12; ++randomRound) {
        ++round;
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--save-forever"), t.workingDir(), QString::number(round * 100000)});
        QVERIFY(child.waitForStarted());
        // Once it has saved, let it go on for a random part of a few saves, then kill it.
        QVERIFY2(child.waitForReadyRead(20000), qPrintable(child.readAllStandardError()));
        QThread::usleep(random.bounded(1, 60000));
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        readNumbers(child);
    }
    QVERIFY(!acknowledged.isEmpty());

    if (t.engine() == Engine::Sqlite) {
        QCOMPARE(db.scalar(QStringLiteral("pragma integrity_check")).toString(), QStringLiteral("ok"));
    } else {
        // The server's own check of every index of the tables, where amcheck is installed.
        try {
            db.exec(QStringLiteral("create extension if not exists amcheck"));
            Rows q = db.exec(QStringLiteral(
                "select count(bt_index_check(c.oid)) from pg_index i join pg_class c on c.oid = i.indexrelid "
                "join pg_am a on a.oid = c.relam join pg_namespace n on n.oid = c.relnamespace "
                "where a.amname = 'btree' and n.nspname = current_schema()"));
            QVERIFY(q.next());
            QVERIFY(q.value(0).toInt() > 0);
        } catch (const DbError& error) {
            qWarning("amcheck not available: %s", qPrintable(error.message()));
        }
    }

    const int saved = db.scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt();
    QVERIFY(saved >= acknowledged.size());
    for (const int number : acknowledged)
        QVERIFY2(db.scalar(QStringLiteral("select count(*) from heading_noskhe where sh_factor=?"), {number}).toInt() == 1,
                 qPrintable(QStringLiteral("acknowledged prescription %1 is missing").arg(number)));
    // Whole prescriptions: every header has its lines and its cash row, and nothing else is left.
    const QList<std::pair<const char*, QString>> broken = {
        {"a header without its lines",
         "select count(*) from heading_noskhe h where (select count(*) from details_noskhe d "
         "where d.sh_factor = h.sh_factor) <> 3"},
        {"lines without a header",
         "select count(*) from details_noskhe d where not exists "
         "(select 1 from heading_noskhe h where h.sh_factor = d.sh_factor)"},
        {"a header without its cash row",
         "select count(*) from heading_noskhe h where (select count(*) from cash c "
         "where c.sh_factor = h.sh_factor and c.type_factor = 'd') <> 1"},
        {"a cash row without a header",
         "select count(*) from cash c where not exists (select 1 from heading_noskhe h where h.sh_factor = c.sh_factor)"},
        {"an invoice number taken twice", "select count(*) - count(distinct sh_factor) from heading_noskhe"},
        {"a prescription code taken twice", "select count(*) - count(distinct code_no) from heading_noskhe"},
        {"a patient registered twice", "select count(*) - count(distinct sh_bimeh) from mosh_bimaran"},
    };
    for (const auto& [what, sql] : broken)
        QVERIFY2(db.scalar(sql).toInt() == 0, what);
    // The stock moved with the saved lines and only with them.
    for (int i = 0; i < kLines; ++i)
        QCOMPARE(stockOf(drugs.at(i).code), stockBefore.at(i) - saved);
    // The day counter went as far as the codes did.
    QCOMPARE(db.scalar(QStringLiteral("select m7 from code_noskhe where code_bimeh=2 and rooz=15")).toInt(), saved);
    // A killed save left no entry in the history; each stored one left one, in an unbroken chain.
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from audit_log where kind='prescription'")).toInt(), saved);
    QVERIFY(AuditLog(db).verify().holds());

    // And the next save goes on from there.
    ScriptedPrompter prompter;
    prompter.setYesNoFallback([](const QString&) { return true; });
    PrescriptionSession session(db, prompter);
    test::enterSamplePrescription(session, drugs, kLines, 9999999);
    const SaveOutcome next = session.save({1, 0, QStringLiteral("05/07/15"), QStringLiteral("10:00")}, true);
    QVERIFY(next.isSaved());
    QCOMPARE(next.saved.invoiceNumber, db.scalar(QStringLiteral("select max(sh_factor) from heading_noskhe")).toInt());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt(), saved + 1);
}

int main(int argc, char** argv) {
    if ((argc == 4 || argc == 5) && qstrcmp(argv[1], "--save-forever") == 0) {
        QCoreApplication app(argc, argv);
        try {
            return saveForever(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong(),
                               argc == 5 ? QByteArray(argv[4]).toInt() : 0);
        } catch (const Error& error) {
            std::fprintf(stderr, "%s\n", qPrintable(error.message()));
            return 1;
        }
    }
    QCoreApplication app(argc, argv);
    CrashTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "crash_test.moc"
