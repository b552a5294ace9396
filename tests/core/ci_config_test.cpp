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
    void malformedFilesAreRefused_data();
    void malformedFilesAreRefused();
    void persianTextInEitherEncoding_data();
    void persianTextInEitherEncoding();
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
    QTest::newRow("six fields, the last empty") << QByteArray("0-SRV--x-pharmacy-*") << integrated;
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

void CiConfigTest::malformedFilesAreRefused_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("says");
    QTest::newRow("NUL in a name") << QByteArray("0---x-evil\0.db-sqlite*", 22) << QStringLiteral("NUL");
    QTest::newRow("seven fields") << QByteArray("0-SRV--x-pharmacy--7*") << QStringLiteral("بيش از 6 فيلد");
    QTest::newRow("more fields still") << QByteArray("0-SRV--x-pharmacy--7-8*") << QStringLiteral("بيش از 6 فيلد");
    QTest::newRow("only the terminator") << QByteArray("*") << QStringLiteral("هيچ سرور");
    QTest::newRow("blank fields") << QByteArray(" \r\n- - -\t-*") << QStringLiteral("هيچ سرور");
}

void CiConfigTest::malformedFilesAreRefused() {
    QFETCH(QByteArray, text);
    QFETCH(QString, says);
    try {
        CiConfig::parse(text, QStringLiteral("/work/ci.txt"));
        QFAIL("the file was accepted");
    } catch (const ConfigError& error) {
        QVERIFY2(error.message().contains(says) && error.message().contains(QLatin1String("/work/ci.txt")),
                 qPrintable(error.message()));
    }
}

// Files written by this program are UTF-8; older installations wrote code page 1256.
void CiConfigTest::persianTextInEitherEncoding_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("database");
    const QString name = QStringLiteral("داروخانه.db");
    QTest::newRow("UTF-8") << (QStringLiteral("1-SRV-sa-رمز€-") + name + QStringLiteral("-postgres*")).toUtf8()
                           << QStringLiteral("رمز€") << name;
    QTest::newRow("UTF-8 with a byte order mark")
        << QByteArray("\xEF\xBB\xBF") + (QStringLiteral("1-SRV-sa-x-") + name + QStringLiteral("*")).toUtf8()
        << QStringLiteral("x") << name;
    QTest::newRow("code page 1256") << QByteArray("1-SRV-sa-\xD1\xE3\xD2-\xCF\xC7\xD1\xE6\xCE\xC7\xE4\xE5.db*")
                                    << QStringLiteral("رمز") << name;
    // What follows the terminator decides nothing, whatever its bytes.
    QTest::newRow("UTF-8, odd bytes after the terminator")
        << (QStringLiteral("1-SRV-sa-x-") + name + QStringLiteral("*")).toUtf8() + QByteArray("\xFF\0\xC3", 3)
        << QStringLiteral("x") << name;
}

void CiConfigTest::persianTextInEitherEncoding() {
    QFETCH(QByteArray, text);
    QFETCH(QString, password);
    QFETCH(QString, database);
    const ConnectionSettings s = CiConfig::parse(text).connectionSettings(QStringLiteral("/w"));
    QCOMPARE(s.password, password);
    QCOMPARE(s.database, database);
    QCOMPARE(s.user, QStringLiteral("sa"));
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
