#pragma once

#include "core/ci_config.h"
#include "core/error.h"
#include "db/sql_dialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

#include <optional>

namespace ph {

// A statement or connection failure; the text is the server's own, with the statement.
class DbError : public Error {
public:
    DbError(const QString& message, bool uniqueViolation = false)
        : Error(message), m_uniqueViolation(uniqueViolation) {}
    // The statement would have duplicated a unique key (another workstation took the number).
    bool isUniqueViolation() const { return m_uniqueViolation; }

private:
    bool m_uniqueViolation;
};

// The one connection of a workstation (the program may open more, e.g. in tests, each
// with a name of its own). Every statement binds its values in order of appearance.
class Database {
public:
    explicit Database(ConnectionSettings settings, QString connectionName = {});
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the connection; throws DbError naming the engine and server on failure.
    void open();
    bool isOpen() const;
    void close();

    const ConnectionSettings& settings() const { return m_settings; }
    const SqlDialect& dialect() const { return m_dialect; }
    QSqlDatabase handle() const;

    // Runs a statement with its values bound in order; throws DbError on failure.
    // The returned query is forward-only and positioned before its first row.
    QSqlQuery exec(const QString& sql, const QVariantList& params = {});
    // The first column of the first row, or a null QVariant when there is no row.
    QVariant scalar(const QString& sql, const QVariantList& params = {});

    // Names of the tables and views, as the server reports them.
    QStringList tableNames();
    bool hasTable(const QString& name);
    // Column names of a table in order (empty when it does not exist).
    QStringList columnNames(const QString& table);
    bool hasColumn(const QString& table, const QString& column);

private:
    ConnectionSettings m_settings;
    SqlDialect m_dialect;
    QString m_connectionName;
    // A failed statement is kept until the transaction it broke has ended: some servers
    // refuse to release a statement inside an aborted transaction.
    std::optional<QSqlQuery> m_lastFailed;
};

} // namespace ph
