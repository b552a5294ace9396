#include "support/cli_run.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using ph::test::pharmacyctl;

class CliTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void usageAndUnknownCommands();
    void initCreatesTheWorkingFolderAndIsRepeatable();
    void brokenConnectionFileFailsWithItsMessage();
    void aFolderWithoutADatabaseIsRefused();
};

void CliTest::usageAndUnknownCommands() {
    const auto help = pharmacyctl({QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    for (const char* command : {"init", "demo", "quote"})
        QVERIFY2(help.out.contains(QLatin1String(command)), command);
    QCOMPARE(pharmacyctl({}).status, 2);
    const auto unknown = pharmacyctl({QStringLiteral("bogus")});
    QCOMPARE(unknown.status, 2);
    QVERIFY(unknown.err.contains(QLatin1String("bogus")));
}

void CliTest::initCreatesTheWorkingFolderAndIsRepeatable() {
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).absoluteFilePath(QStringLiteral("new/pharmacy"));
    for (int run = 0; run < 2; ++run) {
        const auto init = pharmacyctl({QStringLiteral("--dir"), folder, QStringLiteral("init")});
        QCOMPARE(init.status, 0);
        QVERIFY(init.out.contains(QLatin1String("schema ready")));
    }
    QVERIFY(QFile::exists(QDir(folder).absoluteFilePath(QStringLiteral("pharmacy.db"))));
}

void CliTest::brokenConnectionFileFailsWithItsMessage() {
    QTemporaryDir dir;
    QFile ci(QDir(dir.path()).absoluteFilePath(QStringLiteral("ci.txt")));
    QVERIFY(ci.open(QIODevice::WriteOnly));
    ci.write("1-SRV-sa--pharmacy");
    ci.close();
    const auto init = pharmacyctl({QStringLiteral("--dir"), dir.path(), QStringLiteral("init")});
    QCOMPARE(init.status, 1);
    QVERIFY(init.err.contains(QLatin1String("ci.txt")));
}

void CliTest::aFolderWithoutADatabaseIsRefused() {
    QTemporaryDir dir;
    const QString missing = QDir(dir.path()).absoluteFilePath(QStringLiteral("missing"));
    const QString named = QDir(dir.path()).absoluteFilePath(QStringLiteral("named"));
    QVERIFY(QDir().mkpath(named));
    QFile ci(QDir(named).absoluteFilePath(QStringLiteral("ci.txt")));
    QVERIFY(ci.open(QIODevice::WriteOnly));
    ci.write("0----shop.db-sqlite*");
    ci.close();
    const QStringList quote = {QStringLiteral("quote"), QStringLiteral("--insurer"), QStringLiteral("0"),
                               QStringLiteral("--line"), QStringLiteral("1010001,1")};

    // An empty folder, a folder that does not exist, and a ci.txt naming a file that is not there.
    const auto empty = pharmacyctl(QStringList{QStringLiteral("--dir"), dir.path()} + quote);
    QCOMPARE(empty.status, 2);
    QVERIFY2(empty.err.contains(QLatin1String("no database")) && empty.err.contains(QLatin1String("init")),
             qPrintable(empty.err));
    QCOMPARE(pharmacyctl(QStringList{QStringLiteral("--dir"), missing} + quote).status, 2);
    const auto unnamed = pharmacyctl(QStringList{QStringLiteral("--dir"), named} + quote);
    QCOMPARE(unnamed.status, 2);
    QVERIFY2(unnamed.err.contains(QLatin1String("shop.db")), qPrintable(unnamed.err));
    // Nothing was created on the way.
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{QStringLiteral("named")});
    QCOMPARE(QDir(named).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{QStringLiteral("ci.txt")});

    // Once the database exists the command runs (the code 1010001 is unknown in an empty catalogue).
    QCOMPARE(pharmacyctl({QStringLiteral("--dir"), named, QStringLiteral("init")}).status, 0);
    const auto ready = pharmacyctl(QStringList{QStringLiteral("--dir"), named} + quote);
    QVERIFY2(!ready.err.contains(QLatin1String("no database")), qPrintable(ready.err));
}

QTEST_GUILESS_MAIN(CliTest)
#include "cli_test.moc"
