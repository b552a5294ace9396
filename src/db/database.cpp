#include "db/database.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlRecord>
#include <QThread>

namespace ph {
namespace {

QString uniqueConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("ph_connection_%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

QString odbcConnectionString(const ConnectionSettings& s) {
    QString text = QStringLiteral("DRIVER={FreeTDS};SERVER=%1;DATABASE=%2;TDS_Version=7.4;ClientCharset=UTF-8;")
                       .arg(s.server.isEmpty() ? QStringLiteral("localhost") : s.server, s.database);
    if (s.port > 0)
        text += QStringLiteral("PORT=%1;").arg(s.port);
    if (s.serverLogin) {
        text += QStringLiteral("UID=%1;").arg(s.user);
        if (!s.password.isEmpty())
            text += QStringLiteral("PWD={%1};").arg(s.password);
    } else {
        text += QStringLiteral("Trusted_Connection=yes;");
    }
    return text;
}

} // namespace

Database::Database(ConnectionSettings settings, QString connectionName)
    : m_settings(std::move(settings)), m_dialect(m_settings.engine),
      m_connectionName(connectionName.isEmpty() ? uniqueConnectionName() : std::move(connectionName)) {}

Database::~Database() {
    close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase Database::handle() const { return QSqlDatabase::database(m_connectionName, false); }

bool Database::isOpen() const { return QSqlDatabase::contains(m_connectionName) && handle().isOpen(); }

void Database::close() {
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::database(m_connectionName, false).close();
}

void Database::open() {
    if (!QSqlDatabase::isDriverAvailable(m_dialect.qtDriverName()))
        throw DbError(QStringLiteral("راه انداز پايگاه داده %1 روي اين سيستم نصب نشده است (%2)")
                          .arg(engineDisplayName(m_settings.engine), m_dialect.qtDriverName()));
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
                          ? QSqlDatabase::database(m_connectionName, false)
                          : QSqlDatabase::addDatabase(m_dialect.qtDriverName(), m_connectionName);
    switch (m_settings.engine) {
    case Engine::Sqlite:
        db.setDatabaseName(m_settings.database);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        break;
    case Engine::Postgres:
        db.setHostName(m_settings.server);
        if (m_settings.port > 0)
            db.setPort(m_settings.port);
        db.setDatabaseName(m_settings.database);
        if (m_settings.serverLogin) {
            db.setUserName(m_settings.user);
            if (!m_settings.password.isEmpty())
                db.setPassword(m_settings.password);
        }
        db.setConnectOptions(QStringLiteral("connect_timeout=10"));
        break;
    case Engine::SqlServer:
        db.setDatabaseName(odbcConnectionString(m_settings));
        break;
    }
    if (!db.open())
        throw DbError(QStringLiteral("اتصال به پايگاه داده برقرار نشد (%1): %2")
                          .arg(m_settings.describe(), db.lastError().text()));
    if (m_settings.engine == Engine::Sqlite) {
        // Several readers beside one writer, and a database file that is never left half-written.
        exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    }
}

QSqlQuery Database::exec(const QString& sql, const QVariantList& params) {
    QSqlQuery query(handle());
    query.setForwardOnly(true);
    bool ok;
    if (params.isEmpty()) {
        ok = query.exec(sql);
    } else {
        ok = query.prepare(sql);
        if (ok) {
            for (const QVariant& value : params)
                query.addBindValue(value);
            ok = query.exec();
        }
    }
    if (!ok) {
        const QSqlError error = query.lastError();
        m_lastFailed = std::move(query);
        throw DbError(error.text() + QStringLiteral("\n") + sql, m_dialect.isUniqueViolation(error));
    }
    m_lastFailed.reset();
    return query;
}

QVariant Database::scalar(const QString& sql, const QVariantList& params) {
    QSqlQuery query = exec(sql, params);
    return query.next() ? query.value(0) : QVariant();
}

QStringList Database::tableNames() {
    QStringList names;
    QSqlQuery query = exec(m_dialect.listTablesSql());
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

bool Database::hasTable(const QString& name) {
    const QStringList names = tableNames();
    return names.contains(name, Qt::CaseInsensitive);
}

QStringList Database::columnNames(const QString& table) {
    QStringList names;
    QSqlQuery query = exec(m_dialect.listColumnsSql(), {table});
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

bool Database::hasColumn(const QString& table, const QString& column) {
    return columnNames(table).contains(column, Qt::CaseInsensitive);
}

} // namespace ph
