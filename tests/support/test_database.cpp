#include "support/test_database.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace ph::test {
namespace {

ConnectionSettings pgServer(const QString& database) {
    const QByteArray host = qgetenv("PH_PG_HOST");
    if (host.isEmpty())
        qFatal("PH_TEST_ENGINE=postgres needs PH_PG_HOST (run the tests through ./test, which starts the server)");
    ConnectionSettings s;
    s.engine = Engine::Postgres;
    s.serverLogin = true;
    s.server = QString::fromLocal8Bit(host);
    s.port = qEnvironmentVariableIntValue("PH_PG_PORT");
    if (s.port <= 0)
        s.port = 5432;
    s.user = qEnvironmentVariable("PH_PG_USER", QStringLiteral("postgres"));
    s.database = database;
    return s;
}

} // namespace

Engine testEngine() {
    return qgetenv("PH_TEST_ENGINE") == "postgres" ? Engine::Postgres : Engine::Sqlite;
}

TestDatabase::TestDatabase() : m_dir(QDir::tempPath() + QStringLiteral("/phtestXXXXXX")) {
    if (!m_dir.isValid())
        qFatal("cannot create a temporary folder");
    if (testEngine() == Engine::Sqlite) {
        m_settings.engine = Engine::Sqlite;
        m_settings.database = QDir(m_dir.path()).absoluteFilePath(QStringLiteral("pharmacy.db"));
        return;
    }
    static QAtomicInt counter;
    m_pgName = QStringLiteral("ph_t_%1_%2").arg(QCoreApplication::applicationPid()).arg(counter.fetchAndAddRelaxed(1));
    {
        Database admin(pgServer(QStringLiteral("postgres")));
        admin.open();
        admin.exec(QStringLiteral("create database %1 template template0 encoding 'UTF8'").arg(m_pgName));
    }
    m_settings = pgServer(m_pgName);
    QFile ci(QDir(m_dir.path()).absoluteFilePath(QStringLiteral("ci.txt")));
    if (!ci.open(QIODevice::WriteOnly))
        qFatal("cannot write ci.txt");
    ci.write(QStringLiteral("1-%1:%2-%3--%4-postgres*\r\n")
                 .arg(m_settings.server)
                 .arg(m_settings.port)
                 .arg(m_settings.user, m_pgName)
                 .toLocal8Bit());
}

TestDatabase::~TestDatabase() {
    m_db.reset();
    if (!m_pgName.isEmpty()) {
        try {
            Database admin(pgServer(QStringLiteral("postgres")));
            admin.open();
            admin.exec(QStringLiteral("drop database if exists %1 with (force)").arg(m_pgName));
        } catch (const Error& error) {
            qWarning("could not drop test database: %s", qPrintable(error.message()));
        }
    }
}

std::unique_ptr<Database> TestDatabase::connect() const {
    auto db = std::make_unique<Database>(m_settings);
    db->open();
    return db;
}

Database& TestDatabase::db() {
    if (!m_db)
        m_db = connect();
    return *m_db;
}

} // namespace ph::test
