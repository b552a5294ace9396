#include "core/ci_config.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ph;

class CiConfigTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void connectionForms_data();
    void connectionForms();
    void fieldsAreTrimmedAndEmptyFieldsAllowed();
    void missingTerminatorNamesTheFile();
    void engineField_data();
    void engineField();
    void noFileMeansEmbeddedDatabase();
    void postgresSettingsFromFields();
};

void CiConfigTest::connectionForms_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");
    const QString integrated = QStringLiteral(
        "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=pharmacy;Data Source=SRV");
    QTest::newRow("integrated, text after the terminator ignored")
        << QByteArray("0-SRV--x-pharmacy*1-OTHER-sa--db*") << integrated;
    QTest::newRow("1 between blanks selects the named login")
        << QByteArray(" 1 -SRV-sa--pharmacy*")
        << QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Initial Catalog=pharmacy;Data Source=SRV");
    QTest::newRow("01 is not the named login") << QByteArray("01-SRV-sa--pharmacy*") << integrated;
    QTest::newRow("line breaks belong to the field and are trimmed")
        << QByteArray("0\r\n-\r\nSRV\r\n-\r\n-x-\tpharmacy\r\n*\r\n") << integrated;
    QTest::newRow("fields after the sixth are ignored") << QByteArray("0-SRV--x-pharmacy--7-8*") << integrated;
}

void CiConfigTest::connectionForms() {
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    const CiConfig config = CiConfig::parse(text);
    QCOMPARE(config.oleDbConnectionString(), expected);
    QVERIFY(!config.oleDbConnectionString().contains(QLatin1String("=x;")));
}

void CiConfigTest::fieldsAreTrimmedAndEmptyFieldsAllowed() {
    const CiConfig config = CiConfig::parse(QByteArray("1-SRV-sa--pharmacy*"));
    QCOMPARE(config.field(3), QStringLiteral("sa"));
    QCOMPARE(config.field(4), QString());
    QCOMPARE(config.field(5), QStringLiteral("pharmacy"));
    QCOMPARE(config.engine(), Engine::SqlServer);
    // Field 4 is carried and sent only as the password of a named login.
    const ConnectionSettings s = CiConfig::parse(QByteArray("1-SRV-sa-secret-pharmacy*")).connectionSettings("/w");
    QCOMPARE(s.password, QStringLiteral("secret"));
    QVERIFY(CiConfig::parse(QByteArray("0-SRV-sa-secret-pharmacy*")).connectionSettings("/w").password.isEmpty());
}

void CiConfigTest::missingTerminatorNamesTheFile() {
    try {
        CiConfig::parse(QByteArray("0-SRV--x-pharmacy"), QStringLiteral("/work/ci.txt"));
        QFAIL("a file without its terminator was accepted");
    } catch (const ConfigError& error) {
        QVERIFY(error.message().contains(QLatin1String("/work/ci.txt")));
        QVERIFY(error.message().contains(QLatin1String("*")));
    }
}

void CiConfigTest::engineField_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("engine");
    QTest::newRow("five fields") << QByteArray("1-SRV-sa--pharmacy*") << int(Engine::SqlServer);
    QTest::newRow("sqlserver") << QByteArray("1-SRV-sa--pharmacy-sqlserver*") << int(Engine::SqlServer);
    QTest::newRow("postgres, any case") << QByteArray("1-SRV-sa--pharmacy- Postgres\n*") << int(Engine::Postgres);
    QTest::newRow("sqlite") << QByteArray("0----shop.db-sqlite*") << int(Engine::Sqlite);
    QTest::newRow("unknown") << QByteArray("0----x-oracle*") << -1;
}

void CiConfigTest::engineField() {
    QFETCH(QByteArray, text);
    QFETCH(int, engine);
    if (engine < 0) {
        QVERIFY_THROWS_EXCEPTION(ConfigError, CiConfig::parse(text));
        return;
    }
    QCOMPARE(int(CiConfig::parse(text).engine()), engine);
}

void CiConfigTest::noFileMeansEmbeddedDatabase() {
    QTemporaryDir dir;
    ConnectionSettings s = readConnectionSettings(dir.path());
    QCOMPARE(s.engine, Engine::Sqlite);
    QCOMPARE(s.database, QDir(dir.path()).absoluteFilePath(QStringLiteral("pharmacy.db")));

    QFile file(QDir(dir.path()).absoluteFilePath(QStringLiteral("ci.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("0----shop.db-sqlite*");
    file.close();
    s = readConnectionSettings(dir.path());
    QCOMPARE(s.database, QDir(dir.path()).absoluteFilePath(QStringLiteral("shop.db")));
}

void CiConfigTest::postgresSettingsFromFields() {
    const ConnectionSettings s =
        CiConfig::parse(QByteArray("1-db.local:6543-clerk-pw-pharmacy-postgres*")).connectionSettings("/w");
    QCOMPARE(s.engine, Engine::Postgres);
    QCOMPARE(s.server, QStringLiteral("db.local"));
    QCOMPARE(s.port, 6543);
    QCOMPARE(s.user, QStringLiteral("clerk"));
    QCOMPARE(s.password, QStringLiteral("pw"));
    QCOMPARE(s.database, QStringLiteral("pharmacy"));
    QVERIFY(s.describe().contains(QLatin1String("PostgreSQL")));
    QVERIFY(s.describe().contains(QLatin1String("db.local")));
}

QTEST_GUILESS_MAIN(CiConfigTest)
#include "ci_config_test.moc"
