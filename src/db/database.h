#pragma once

#include "core/ci_config.h"
#include "core/error.h"
#include "db/rows.h"
#include "db/sql_dialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace ph {

// A statement or connection failure. A statement failure carries the server's own text
// with the statement; a lost connection carries a Persian text for the user and keeps
// the server's text in detail() for the log.
class DbError : public Error {
public:
    DbError(const QString& message, bool uniqueViolation = false, bool deadlock = false)
        : Error(message), m_uniqueViolation(uniqueViolation), m_deadlock(deadlock) {}
    // What became of the work in hand when the connection to the server was lost.
    enum class Lost { No, NotStored, Unknown };
    static DbError connectionLost(const QString& message, const QString& detail, Lost outcome);

    // The statement would have duplicated a unique key (another workstation took the number).
    bool isUniqueViolation() const { return m_uniqueViolation; }
    // The server chose this transaction to end a deadlock with another workstation's: it
    // has been rolled back and may be run again.
    bool isDeadlock() const { return m_deadlock; }
    // The connection broke; it is opened again by the next statement.
    bool isConnectionLost() const { return m_lost != Lost::No; }
    // The connection broke inside a transaction that the server has rolled back:
    // nothing of it was stored and it may be run again.
    bool isLostAndNotStored() const { return m_lost == Lost::NotStored; }
    const QString& detail() const { return m_detail; }

private:
    bool m_uniqueViolation;
    bool m_deadlock = false;
    Lost m_lost = Lost::No;
    QString m_detail;
};

// Creates the file readable and writable by its owner only, or takes the others' access
// away from an existing file of this account (databases, their journals, backups).
void makeOwnerOnlyFile(const QString& path);

// The one connection of a workstation (the program may open more, e.g. in tests, each
// with a name of its own). Every statement binds its values in order of appearance.
//
// Statements are prepared once per connection: each distinct text keeps its prepared
// query, which later calls execute again with new values (on PostgreSQL a named
// prepared statement that stays prepared). The Rows handed out by exec() keep their query
// the caller's while any copy of them lives; a call with the same text meanwhile gets a
// query of its own. Queries the callers have let go are finished before the next
// statement, so no finished read holds a snapshot or a lock.
class Database {
public:
    explicit Database(ConnectionSettings settings, QString connectionName = {});
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the connection; throws DbError naming the engine and server on failure.
    // A new embedded database file is created readable by its owner only.
    void open();
    bool isOpen() const;
    void close();

    const ConnectionSettings& settings() const { return m_settings; }
    const SqlDialect& dialect() const { return m_dialect; }
    QSqlDatabase handle() const;

    // Runs a statement with its values bound in order; throws DbError on failure.
    // The returned rows are read forward from before the first row.
    // After a lost connection the next call opens it again; a read outside a
    // transaction that meets a lost connection is run once more on the new one.
    Rows exec(const QString& sql, const QVariantList& params = {});
    // The first column of the first row, or a null QVariant when there is no row.
    QVariant scalar(const QString& sql, const QVariantList& params = {});

    // The transaction of a Transaction object (use that rather than these).
    void beginTransaction();
    // When the connection breaks at the commit, asks the server once reconnected
    // whether the transaction was stored: returns normally when it was.
    void commitTransaction();
    void rollbackTransaction();
    bool inTransaction() const { return m_inTransaction; }
    // Takes the dialect's transaction lock on (kind, key), held until the transaction ends;
    // nothing where the engine needs none. The server's number of the transaction comes
    // back with the first lock, saving it a statement of its own.
    void lockInTransaction(qint32 kind, qint32 key);
    // The server's number of the open transaction, when a statement of the caller's took the
    // transaction's first lock and read it (see SqlDialect::auditTailSql()).
    void rememberTransactionId(const QVariant& id) {
        if (m_inTransaction && !m_transactionId.isValid() && !id.isNull()) m_transactionId = id;
    }

    // Names of the tables and views, as the server reports them.
    QStringList tableNames();
    bool hasTable(const QString& name);
    // Column names of a table in order (empty when it does not exist).
    QStringList columnNames(const QString& table);
    bool hasColumn(const QString& table, const QString& column);
    // Names of the indexes, in lower case.
    QStringList indexNames();

    // Brings the planner's statistics up to date after bulk work (many rows added,
    // changed or removed). Takes the write lock on the embedded database.
    void refreshStatistics();
    // The light statistics check of a start: analyses what has grown since the last
    // time, bounded in time. Skipped, never waited for, when another connection writes.
    void optimizeStatistics();

    // Statements prepared, and statements executed, by this object (for measurements).
    int preparedCount() const { return m_preparedCount; }
    int executedCount() const { return m_executedCount; }
    // Called before each statement is sent, the commit included (a test stops a process
    // at a chosen statement of a save).
    void setBeforeStatement(std::function<void()> hook) { m_beforeStatement = std::move(hook); }
    // Whether statements are kept prepared (on unless switched off to measure without).
    void setStatementCacheEnabled(bool enabled);
    // Distinct statements held prepared.
    int cachedStatementCount() const;

private:
    // A kept query is held by a caller while a Rows shares it with the pool.
    using Pool = std::vector<std::shared_ptr<QSqlQuery>>;

    void openConnection();
    void reopenAfterLoss();
    void clearStatementCache();
    void dropStatement(const QString& sql);
    void releaseIdleQueries();
    std::shared_ptr<QSqlQuery> preparedQuery(const QString& sql, std::optional<QSqlQuery>& failed);
    bool runUncached(QSqlQuery& query, const QString& sql, const QVariantList& params);
    bool connectionLostBy(const QSqlError& error);
    std::optional<bool> wasCommitted(const QVariant& transactionId);
    [[noreturn]] void throwFailure(const QSqlError& error, const QString& sql, std::optional<QSqlQuery> failed);
    // A statement the watchdog cancelled (or whose connection it gave up) as the error to raise.
    [[noreturn]] void throwUnanswered(bool abandoned, long long boundMs, const QSqlError& error, const QString& sql,
                                      std::optional<QSqlQuery> failed);
    // After a lost connection: opens it again when the statement may simply run again (a read
    // outside a transaction, first attempt); otherwise throws what was lost.
    void reopenOrThrowLost(const QSqlError& error, const QString& sql, int attempt);
    [[noreturn]] void throwLost(const QSqlError& error, const QString& sql, const QString& message,
                                DbError::Lost outcome);

    ConnectionSettings m_settings;
    SqlDialect m_dialect;
    QString m_connectionName;
    // A failed statement is kept until the transaction it broke has ended: some servers
    // refuse to release a statement inside an aborted transaction.
    std::optional<QSqlQuery> m_lastFailed;

    std::unordered_map<QString, Pool> m_statements;
    std::vector<std::weak_ptr<QSqlQuery>> m_handedOut; // kept queries given to callers since the last release
    bool m_cacheWanted = true;
    int m_preparedCount = 0;
    int m_executedCount = 0;
    std::function<void()> m_beforeStatement;
    bool m_inTransaction = false;
    bool m_lost = false;
    QVariant m_transactionId; // the server's number of the open transaction, where it has one
};

} // namespace ph
