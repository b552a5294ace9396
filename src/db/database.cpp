#include "db/database.h"

#include "db/statement_watchdog.h"

#include <QAtomicInt>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>
#include <QThread>

#include <unistd.h>

#include <algorithm>

namespace ph {
namespace {

const QString kLostNotStored = QStringLiteral(
    "ارتباط با پايگاه داده قطع شد و اين سند ذخيره نشد. پس از برقراري ارتباط آن را دوباره ذخيره كنيد.");
const QString kLostUnknown = QStringLiteral(
    "ارتباط با پايگاه داده هنگام ذخيره قطع شد و معلوم نيست سند ذخيره شده باشد. پيش از ذخيره دوباره، آن را "
    "جستجو كنيد.");
const QString kLostRead = QStringLiteral("ارتباط با پايگاه داده قطع شد. دوباره تلاش كنيد.");
const QString kNoReconnect = QStringLiteral("ارتباط با پايگاه داده قطع شده است و دوباره برقرار نشد (%1).");
// A document's transaction could not even begin again on a new connection: nothing of it
// reached the server, and the user is told so.
const QString kNoReconnectNotStored =
    kNoReconnect + QStringLiteral(" اين سند ذخيره نشد. پس از برقراري ارتباط آن را دوباره ذخيره كنيد.");
// The server did not answer within the statement bound (StatementWatchdog).
const QString kTimedOutNotStored = QStringLiteral(
    "پايگاه داده در زمان مقرر پاسخ نداد و اين سند ذخيره نشد. پس از برقراري ارتباط آن را دوباره ذخيره كنيد.");
const QString kTimedOutRead = QStringLiteral("پايگاه داده در زمان مقرر پاسخ نداد. دوباره تلاش كنيد.");

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

// The statement's first word, in lower case.
QString leadingWord(const QString& sql) {
    int start = 0;
    while (start < sql.size() && (sql.at(start).isSpace() || sql.at(start) == u'('))
        ++start;
    int end = start;
    while (end < sql.size() && sql.at(end).isLetter())
        ++end;
    return sql.mid(start, end - start).toLower();
}

// Statements kept prepared: those every engine can prepare. Schema work, transaction
// control and settings are sent as they are, and so is a select of "*", whose columns
// change when another connection changes the table (a kept statement would go on
// describing the old columns).
bool isCacheable(const QString& word, const QString& sql) {
    if (word != QLatin1String("select") && word != QLatin1String("insert") && word != QLatin1String("update") &&
        word != QLatin1String("delete") && word != QLatin1String("with"))
        return false;
    static const QRegularExpression allColumns(QStringLiteral("\\bselect\\s+(all\\s+|distinct\\s+)?\\*|\\.\\*|,\\s*\\*"),
                                               QRegularExpression::CaseInsensitiveOption);
    return !allColumns.match(sql).hasMatch();
}

bool changesSchema(const QString& word) {
    return word == QLatin1String("create") || word == QLatin1String("alter") || word == QLatin1String("drop");
}

// Statements that write nothing, so that running one again after a lost connection is safe.
bool isSafeToRepeat(const QString& word) {
    return word == QLatin1String("select") || word == QLatin1String("begin") || word == QLatin1String("start");
}

// Whether a kept query is in a caller's hands: the pool's share and the Rows' copies.
bool isHeldByCaller(const std::shared_ptr<QSqlQuery>& query) { return query.use_count() > 1; }

bool isSame(const std::weak_ptr<QSqlQuery>& handed, const std::shared_ptr<QSqlQuery>& query) {
    return !handed.owner_before(query) && !query.owner_before(handed);
}

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                             QFileDevice::ReadOther | QFileDevice::WriteOther;

} // namespace

void makeOwnerOnlyFile(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        // NewOnly: when another process creates it at the same moment, its file stands.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerOnly))
            file.close();
        return;
    }
    const QFileInfo info(path);
    if ((info.permissions() & kOthers) && info.ownerId() == ::getuid())
        QFile::setPermissions(path, (info.permissions() & ~kOthers) | kOwnerOnly);
}

DbError DbError::connectionLost(const QString& message, const QString& detail, Lost outcome) {
    DbError error(message);
    error.m_lost = outcome;
    error.m_detail = detail;
    return error;
}

Database::Database(ConnectionSettings settings, QString connectionName)
    : m_settings(std::move(settings)), m_dialect(m_settings.engine),
      m_connectionName(connectionName.isEmpty() ? uniqueConnectionName() : std::move(connectionName)) {}

Database::~Database() {
    close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase Database::handle() const { return QSqlDatabase::database(m_connectionName, false); }

bool Database::isOpen() const { return QSqlDatabase::contains(m_connectionName) && handle().isOpen(); }

void Database::setStatementCacheEnabled(bool enabled) {
    m_cacheWanted = enabled;
    if (!enabled)
        clearStatementCache();
}

int Database::cachedStatementCount() const { return int(m_statements.size()); }

void Database::close() {
    if (isOpen() && !m_lost && !m_inTransaction) {
        try {
            optimizeStatistics();
        } catch (const Error&) {
            // Statistics wait for the next start.
        }
    }
    clearStatementCache();
    m_lastFailed.reset();
    m_inTransaction = false;
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        StatementWatchdog::detach(db);
        db.close();
    }
}

void Database::open() {
    if (!QSqlDatabase::isDriverAvailable(m_dialect.qtDriverName()))
        throw DbError(QStringLiteral("راه انداز پايگاه داده %1 روي اين سيستم نصب نشده است (%2)")
                          .arg(engineDisplayName(m_settings.engine), m_dialect.qtDriverName()));
    if (m_settings.engine == Engine::Sqlite && !m_settings.database.isEmpty() &&
        m_settings.database != QLatin1String(":memory:")) {
        // Patients' names and insurance numbers: readable by the pharmacy's own account only.
        // The library gives its -wal and -shm files the mode of the database file.
        makeOwnerOnlyFile(m_settings.database);
        for (const char* suffix : {"-wal", "-shm"})
            if (QFile::exists(m_settings.database + QLatin1String(suffix)))
                makeOwnerOnlyFile(m_settings.database + QLatin1String(suffix));
    }
    openConnection();
}

void Database::openConnection() {
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
                          ? QSqlDatabase::database(m_connectionName, false)
                          : QSqlDatabase::addDatabase(m_dialect.qtDriverName(), m_connectionName);
    switch (m_settings.engine) {
    case Engine::Sqlite:
        db.setDatabaseName(m_settings.database);
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
        break;
    case Engine::SqlServer:
        db.setDatabaseName(odbcConnectionString(m_settings));
        break;
    }
    db.setConnectOptions(m_dialect.connectOptions());
    if (!db.open())
        throw DbError(QStringLiteral("اتصال به پايگاه داده برقرار نشد (%1): %2")
                          .arg(m_settings.describe(), db.lastError().text()));
    m_lost = false;
    m_inTransaction = false;
    m_transactionId.clear();
    StatementWatchdog::attach(db);
    if (m_settings.engine == Engine::Sqlite) {
        // Several readers beside one writer. The mode is kept in the file: only the first
        // start switches it, and a start that meets another one switching waits its turn.
        if (scalar(QStringLiteral("PRAGMA journal_mode")).toString().toLower() != QLatin1String("wal")) {
            const QDeadlineTimer deadline(10000);
            for (;;) {
                try {
                    if (scalar(QStringLiteral("PRAGMA journal_mode=WAL")).toString().toLower() == QLatin1String("wal"))
                        break;
                } catch (const DbError&) {
                    if (deadline.hasExpired())
                        throw;
                }
                if (deadline.hasExpired())
                    throw DbError(QStringLiteral("پايگاه داده %1 در حالت WAL قرار نگرفت").arg(m_settings.database));
                QThread::msleep(20);
            }
        }
        // A save is acknowledged only once it is on the disk: a power cut keeps every
        // prescription the user saw saved.
        exec(QStringLiteral("PRAGMA synchronous=FULL"));
    }
}

void Database::dropStatement(const QString& sql) {
    const auto found = m_statements.find(sql);
    if (found == m_statements.end())
        return;
    for (const auto& query : found->second)
        std::erase_if(m_handedOut, [&](const auto& handed) { return isSame(handed, query); });
    m_statements.erase(found);
}

void Database::clearStatementCache() {
    m_handedOut.clear();
    m_statements.clear();
}

void Database::releaseIdleQueries() {
    if (m_handedOut.empty())
        return;
    std::vector<std::weak_ptr<QSqlQuery>> held;
    for (std::weak_ptr<QSqlQuery>& handed : m_handedOut) {
        // Held while a caller's Rows shares it with the pool.
        if (handed.use_count() > 1)
            held.push_back(std::move(handed));
        else if (const std::shared_ptr<QSqlQuery> query = handed.lock(); query && query->isActive())
            query->finish();
    }
    m_handedOut.swap(held);
}

std::shared_ptr<QSqlQuery> Database::preparedQuery(const QString& sql, std::optional<QSqlQuery>& failed) {
    Pool& pool = m_statements[sql];
    for (const auto& query : pool)
        if (!isHeldByCaller(query))
            return query;
    auto query = std::make_shared<QSqlQuery>(handle());
    query->setForwardOnly(true);
    ++m_preparedCount;
    if (!query->prepare(sql)) {
        if (pool.empty())
            m_statements.erase(sql);
        failed = std::move(*query);
        return nullptr;
    }
    pool.push_back(query);
    return query;
}

bool Database::runUncached(QSqlQuery& query, const QString& sql, const QVariantList& params) {
    query.setForwardOnly(true);
    ++m_preparedCount;
    if (params.isEmpty())
        return query.exec(sql);
    if (!query.prepare(sql))
        return false;
    for (const QVariant& value : params)
        query.addBindValue(value);
    return query.exec();
}

bool Database::connectionLostBy(const QSqlError& error) {
    if (!m_dialect.canLoseConnection() || !m_dialect.isConnectionLoss(error))
        return false;
    if (error.type() == QSqlError::ConnectionError || !error.nativeErrorCode().isEmpty())
        return true;
    // An error without a code: the connection is lost if a trivial statement fails too
    // for want of a connection (not, say, because the transaction is aborted).
    QSqlQuery probe(handle());
    return !probe.exec(QStringLiteral("select 1")) && m_dialect.isConnectionLoss(probe.lastError());
}

void Database::throwFailure(const QSqlError& error, const QString& sql, std::optional<QSqlQuery> failed) {
    if (failed)
        m_lastFailed = std::move(failed);
    throw DbError(error.text() + QStringLiteral("\n") + sql, m_dialect.isUniqueViolation(error), m_dialect.isDeadlock(error));
}

void Database::throwLost(const QSqlError& error, const QString& sql, const QString& message,
                         DbError::Lost outcome) {
    m_lost = true;
    m_inTransaction = false;
    const QString detail = error.text() + QStringLiteral("\n") + sql;
    qWarning("%s: connection lost: %s", qPrintable(m_settings.describe()), qPrintable(detail));
    throw DbError::connectionLost(message, detail, outcome);
}

void Database::reopenAfterLoss() {
    m_lastFailed.reset();
    // The dead connection goes first: its prepared statements die with it instead of
    // each being released over a connection that is gone.
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
    clearStatementCache();
    try {
        openConnection();
    } catch (const DbError& error) {
        m_lost = true;
        qWarning("%s: reconnecting failed: %s", qPrintable(m_settings.describe()), qPrintable(error.message()));
        throw DbError::connectionLost(kNoReconnect.arg(m_settings.describe()), error.message(),
                                      DbError::Lost::Unknown);
    }
}

Rows Database::exec(const QString& sql, const QVariantList& params) {
    const QString word = leadingWord(sql);
    if (m_lost) {
        try {
            reopenAfterLoss();
        } catch (const DbError& error) {
            // A transaction being begun is a document being saved: none of it was sent.
            if (word != QLatin1String("begin") && word != QLatin1String("start"))
                throw;
            throw DbError::connectionLost(kNoReconnectNotStored.arg(m_settings.describe()), error.detail(),
                                          DbError::Lost::NotStored);
        }
    }
    releaseIdleQueries();
    const bool cached =
        m_cacheWanted && (m_statements.count(sql) > 0 || isCacheable(word, sql));
    ++m_executedCount;
    if (m_beforeStatement) m_beforeStatement();
    if (changesSchema(word))
        clearStatementCache(); // a prepared statement may not outlive the layout it was planned on
    // Every wait on the server is bounded: a statement the server has not answered in
    // time is cancelled, or its connection given up (see StatementWatchdog).
    StatementWatchdog* watchdog = nullptr; // the connection's, looked up again after reconnecting
    using Waited = StatementWatchdog::Outcome;
    Waited waited = Waited::Quiet;
    const auto watched = [&](auto&& run) {
        if (!watchdog)
            return run();
        watchdog->arm();
        const bool succeeded = run();
        waited = watchdog->disarm();
        if (waited == Waited::Abandoned) {
            m_lost = true; // the next statement opens the connection again
            // A commit the server answered stands; any other statement of a transaction
            // is lost with its connection.
            return succeeded && (word == QLatin1String("commit") || !m_inTransaction);
        }
        if (succeeded)
            waited = Waited::Quiet; // the cancel came too late to matter
        return succeeded;
    };
    for (int attempt = 1;; ++attempt) {
        std::optional<QSqlQuery> failed;
        QSqlError error;
        watchdog = StatementWatchdog::of(handle());
        waited = Waited::Quiet;
        if (cached) {
            // A server prepares a statement as it runs one: it waits on the same locks.
            std::shared_ptr<QSqlQuery> query;
            if (watched([&] { return (query = preparedQuery(sql, failed)) != nullptr; })) {
                for (int i = 0; i < params.size(); ++i)
                    query->bindValue(i, params.at(i));
                if (watched([&] { return query->exec(); })) {
                    m_lastFailed.reset();
                    m_handedOut.push_back(query);
                    return Rows(std::move(query));
                }
                error = query->lastError();
            } else {
                error = failed ? failed->lastError() : query->lastError();
            }
        } else {
            QSqlQuery query(handle());
            if (watched([&] { return runUncached(query, sql, params); })) {
                m_lastFailed.reset();
                return Rows(std::make_shared<QSqlQuery>(std::move(query)));
            }
            error = query.lastError();
            failed = std::move(query);
        }
        if (waited != Waited::Quiet)
            throwUnanswered(waited == Waited::Abandoned, watchdog->bound().count(), error, sql, std::move(failed));
        if (cached && m_dialect.isStalePlan(error)) {
            // Another workstation changed the layout the statement was planned on.
            dropStatement(sql);
            if (!m_inTransaction && attempt == 1)
                continue;
        }
        if (connectionLostBy(error)) {
            failed.reset();
            reopenOrThrowLost(error, sql, attempt); // returns when the statement may run again
            continue;
        }
        throwFailure(error, sql, std::move(failed));
    }
}

void Database::throwUnanswered(bool abandoned, long long boundMs, const QSqlError& error, const QString& sql,
                               std::optional<QSqlQuery> failed) {
    const QString detail = error.text() + QStringLiteral("\n") + sql;
    qWarning("%s: no answer within %lld ms: %s", qPrintable(m_settings.describe()), boundMs, qPrintable(detail));
    const bool read = isSafeToRepeat(leadingWord(sql));
    if (abandoned) {
        // The server never saw a commit: the transaction ends without storing anything once
        // its process runs again.
        failed.reset();
        const bool inTransaction = std::exchange(m_inTransaction, false);
        if (inTransaction || read)
            throw DbError::connectionLost(inTransaction ? kTimedOutNotStored : kTimedOutRead, detail,
                                          DbError::Lost::NotStored);
        throw DbError::connectionLost(kLostUnknown, detail, DbError::Lost::Unknown);
    }
    // Cancelled: the connection still works, and a transaction is left to its owner to roll back.
    if (failed)
        m_lastFailed = std::move(failed);
    throw DbError(read && !m_inTransaction ? kTimedOutRead : kTimedOutNotStored);
}

void Database::reopenOrThrowLost(const QSqlError& error, const QString& sql, int attempt) {
    if (m_inTransaction)
        // The server rolls back a transaction whose connection breaks.
        throwLost(error, sql, kLostNotStored, DbError::Lost::NotStored);
    const bool read = isSafeToRepeat(leadingWord(sql));
    if (attempt == 1 && read) {
        reopenAfterLoss();
        return;
    }
    if (read)
        throwLost(error, sql, kLostRead, DbError::Lost::NotStored);
    // A write outside a transaction may or may not have been carried out.
    throwLost(error, sql, kLostUnknown, DbError::Lost::Unknown);
}

QVariant Database::scalar(const QString& sql, const QVariantList& params) {
    Rows query = exec(sql, params);
    const QVariant value = query.next() ? query.value(0) : QVariant();
    query.finish();
    return value;
}

void Database::beginTransaction() {
    exec(m_dialect.beginTransaction());
    m_inTransaction = true;
    if (StatementWatchdog* watchdog = StatementWatchdog::of(handle()))
        watchdog->transactionEnded(); // a bound lifted for the last transaction applies again
    m_transactionId.clear(); // read with the first lock, or else just before the commit
}

void Database::lockInTransaction(qint32 kind, qint32 key) {
    const QString lock = m_dialect.transactionLockSql();
    if (lock.isEmpty())
        return;
    if (!m_inTransaction || m_transactionId.isValid() || m_dialect.transactionIdSql().isEmpty()) {
        exec(lock, {kind, key});
        return;
    }
    Rows query = exec(m_dialect.transactionLockAndIdSql(), {kind, key});
    if (query.next())
        m_transactionId = query.value(1);
    query.finish();
}

std::optional<bool> Database::wasCommitted(const QVariant& transactionId) {
    const QString statusSql = m_dialect.transactionStatusSql();
    if (statusSql.isEmpty() || !transactionId.isValid())
        return std::nullopt;
    try {
        const QString status = scalar(statusSql, {transactionId}).toString();
        if (status == QLatin1String("committed"))
            return true;
        if (status == QLatin1String("aborted"))
            return false;
    } catch (const DbError&) {
        // Still no server: the outcome stays unknown.
    }
    return std::nullopt;
}

void Database::commitTransaction() {
    // The server's number of the transaction, when no lock has brought it yet: without it a
    // connection lost at the commit would leave the outcome unknown.
    const QString idSql = m_dialect.transactionIdSql();
    if (!idSql.isEmpty() && !m_transactionId.isValid())
        m_transactionId = scalar(idSql);
    releaseIdleQueries(); // no finished read may hold its statement open across the commit
    const QVariant transactionId = m_transactionId;
    try {
        exec(m_dialect.commitTransaction());
    } catch (const DbError& error) {
        if (!error.isConnectionLost())
            throw; // still in the transaction: the caller rolls it back
        m_inTransaction = false;
        m_transactionId.clear();
        // The commit may have reached the server before the connection broke: ask it.
        const std::optional<bool> committed = wasCommitted(transactionId);
        if (committed == true) {
            qWarning("%s: the connection broke at a commit that the server had carried out",
                     qPrintable(m_settings.describe()));
            return;
        }
        if (committed == false)
            throw DbError::connectionLost(kLostNotStored, error.detail(), DbError::Lost::NotStored);
        throw DbError::connectionLost(kLostUnknown, error.detail(), DbError::Lost::Unknown);
    }
    m_inTransaction = false;
    m_transactionId.clear();
    if (StatementWatchdog* watchdog = StatementWatchdog::of(handle()))
        watchdog->transactionEnded();
}

void Database::rollbackTransaction() {
    if (!m_inTransaction)
        return; // never begun, or dropped by the server with its connection
    m_inTransaction = false;
    m_transactionId.clear();
    if (StatementWatchdog* watchdog = StatementWatchdog::of(handle()))
        watchdog->transactionEnded();
    releaseIdleQueries();
    try {
        exec(m_dialect.rollbackTransaction());
    } catch (const DbError& error) {
        if (!error.isConnectionLost())
            throw;
    }
}

QStringList Database::tableNames() {
    QStringList names;
    Rows query = exec(m_dialect.listTablesSql());
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
    Rows query = exec(m_dialect.listColumnsSql(), {table});
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

bool Database::hasColumn(const QString& table, const QString& column) {
    return columnNames(table).contains(column, Qt::CaseInsensitive);
}

QStringList Database::indexNames() {
    QStringList names;
    Rows query = exec(m_dialect.listIndexesSql());
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

void Database::refreshStatistics() {
    // Analysing a large database takes longer than any statement of a document.
    StatementWatchdog* const watchdog = StatementWatchdog::of(handle());
    const bool lifted = watchdog && watchdog->setLifted(true);
    try {
        for (const QString& sql : m_dialect.refreshStatisticsSql())
            exec(sql);
    } catch (...) {
        if (watchdog && StatementWatchdog::of(handle()) == watchdog)
            watchdog->setLifted(lifted);
        throw;
    }
    if (watchdog && StatementWatchdog::of(handle()) == watchdog)
        watchdog->setLifted(lifted);
}

void Database::optimizeStatistics() {
    const QStringList statements = m_dialect.optimizeStatisticsSql();
    if (statements.isEmpty())
        return;
    const QString noWait = m_dialect.noLockWaitSql();
    if (!noWait.isEmpty())
        exec(noWait);
    try {
        for (const QString& sql : statements)
            exec(sql);
    } catch (const DbError&) {
        // Another connection is writing: the statistics wait for another time.
    }
    const QString wait = m_dialect.lockWaitSql();
    if (!wait.isEmpty())
        exec(wait);
}

} // namespace ph
