#include "db/sql_dialect.h"

#include <QSqlError>

namespace ph {

QString SqlDialect::qtDriverName() const {
    switch (m_engine) {
    case Engine::Sqlite:
        return QStringLiteral("QSQLITE");
    case Engine::Postgres:
        return QStringLiteral("QPSQL");
    case Engine::SqlServer:
        return QStringLiteral("QODBC");
    }
    return {};
}

QString SqlDialect::typeName(ColumnType type, int width) const {
    const bool mssql = m_engine == Engine::SqlServer;
    switch (type) {
    case ColumnType::Int:
        return QStringLiteral("integer");
    case ColumnType::Bit:
        return mssql ? QStringLiteral("bit") : QStringLiteral("smallint");
    case ColumnType::Float:
        return mssql ? QStringLiteral("float") : QStringLiteral("double precision");
    case ColumnType::Text:
        return mssql ? QStringLiteral("nvarchar(max)") : QStringLiteral("text");
    case ColumnType::NVarchar:
        return QStringLiteral("%1(%2)").arg(mssql ? QStringLiteral("nvarchar") : QStringLiteral("varchar")).arg(width);
    }
    return {};
}

QString SqlDialect::concat(const QStringList& expressions) const {
    return expressions.join(m_engine == Engine::SqlServer ? QStringLiteral(" + ") : QStringLiteral(" || "));
}

QString SqlDialect::selectLimited(const QString& selectBody, int n) const {
    if (m_engine == Engine::SqlServer)
        return QStringLiteral("select top %1 %2").arg(n).arg(selectBody);
    return QStringLiteral("select %1 limit %2").arg(selectBody).arg(n);
}

QString SqlDialect::beginTransaction() const {
    switch (m_engine) {
    case Engine::Sqlite:
        // A plain BEGIN takes the write lock only at the first write, where a busy
        // database then fails at once; IMMEDIATE waits for the lock up front.
        return QStringLiteral("BEGIN IMMEDIATE");
    case Engine::Postgres:
        return QStringLiteral("BEGIN");
    case Engine::SqlServer:
        return QStringLiteral("BEGIN TRANSACTION");
    }
    return {};
}

QString SqlDialect::listTablesSql() const {
    switch (m_engine) {
    case Engine::Sqlite:
        return QStringLiteral("select name from sqlite_master where type in ('table','view')");
    case Engine::Postgres:
        return QStringLiteral(
            "select table_name from information_schema.tables where table_schema = current_schema()");
    case Engine::SqlServer:
        return QStringLiteral("select table_name from information_schema.tables");
    }
    return {};
}

QString SqlDialect::listColumnsSql() const {
    switch (m_engine) {
    case Engine::Sqlite:
        return QStringLiteral("select name from pragma_table_info(lower(?)) order by cid");
    case Engine::Postgres:
        return QStringLiteral("select column_name from information_schema.columns where table_schema = "
                              "current_schema() and table_name = lower(?) order by ordinal_position");
    case Engine::SqlServer:
        return QStringLiteral(
            "select column_name from information_schema.columns where table_name = ? order by ordinal_position");
    }
    return {};
}

bool SqlDialect::isUniqueViolation(const QSqlError& error) const {
    const QString code = error.nativeErrorCode();
    switch (m_engine) {
    case Engine::Sqlite:
        // SQLITE_CONSTRAINT_UNIQUE / _PRIMARYKEY, or the plain constraint code of older drivers.
        return code == QLatin1String("2067") || code == QLatin1String("1555") ||
               (code == QLatin1String("19") && error.databaseText().contains(QLatin1String("UNIQUE")));
    case Engine::Postgres:
        return code == QLatin1String("23505");
    case Engine::SqlServer:
        return code.contains(QLatin1String("2627")) || code.contains(QLatin1String("2601"));
    }
    return false;
}

} // namespace ph
