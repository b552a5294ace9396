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

QTEST_GUILESS_MAIN(CliTest)
#include "cli_test.moc"
