#include "admin/backup.h"

#include "audit/audit_kinds.h"
#include "audit/audit_log.h"

#include "core/atomic_file.h"
#include "db/database.h"
#include "db/legacy_upgrades.h"
#include "db/schema.h"
#include "db/transaction.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include <sqlite3.h>

#include <sys/stat.h>

namespace ph {
namespace {

const QString kUnchanged = QStringLiteral("بانک اطلاعاتي فعلي تغييري نكرد.");

// Pages copied per step of an embedded backup or restore: one step between two reports.
constexpr int kPagesPerStep = 64;

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

// The sqlite3 connection under a Qt connection to the embedded database.
sqlite3* sqliteHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw Error(QStringLiteral("اتصال به بانک اطلاعاتي SQLite در دسترس نيست"));
    sqlite3* raw = *static_cast<sqlite3* const*>(handle.data());
    if (!raw)
        throw Error(QStringLiteral("اتصال به بانک اطلاعاتي SQLite باز نيست"));
    return raw;
}

QString sqliteMessage(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

// An embedded database file opened by the library itself (the backup's side of a copy).
class SqliteFile {
public:
    SqliteFile(const QString& path, int flags) {
        m_rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
    }
    ~SqliteFile() { sqlite3_close_v2(m_db); }
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    bool opened() const { return m_rc == SQLITE_OK; }
    sqlite3* get() const { return m_db; }
    QString message() const { return sqliteMessage(m_db); }
    // Runs statements that return nothing; false on failure.
    bool exec(const char* sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    // Every row's first column of a statement; throws the library's text on failure.
    QStringList column(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
            throw Error(message());
        QStringList values;
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            values.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))));
        sqlite3_finalize(statement);
        if (rc != SQLITE_DONE)
            throw Error(message());
        return values;
    }

private:
    sqlite3* m_db = nullptr;
    int m_rc = SQLITE_ERROR;
};

// Copies `source` into `target` with the library's online backup, a few pages per step.
// Waits a bounded time for a lock the other side holds. Returns false when the progress
// asked to stop (the target's write transaction is then rolled back).
bool copyPages(sqlite3* target, sqlite3* source, const BackupProgress& progress) {
    sqlite3_backup* copy = sqlite3_backup_init(target, "main", source, "main");
    if (!copy)
        throw Error(sqliteMessage(target));
    int rc = SQLITE_OK;
    QDeadlineTimer lockWait(10000);
    while (true) {
        rc = sqlite3_backup_step(copy, kPagesPerStep);
        if (rc == SQLITE_DONE)
            break;
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            if (lockWait.hasExpired())
                break;
            QThread::msleep(20);
            continue;
        }
        if (rc != SQLITE_OK)
            break;
        lockWait.setRemainingTime(10000);
        const int total = sqlite3_backup_pagecount(copy);
        if (progress && !progress(total - sqlite3_backup_remaining(copy), total)) {
            sqlite3_backup_finish(copy);
            return false;
        }
    }
    const int total = sqlite3_backup_pagecount(copy);
    sqlite3_backup_finish(copy);
    if (rc != SQLITE_DONE)
        throw Error(QString::fromUtf8(sqlite3_errstr(rc)) + QStringLiteral(" (") + sqliteMessage(target) +
                    QStringLiteral(")"));
    if (progress)
        progress(total, total);
    return true;
}

// The backup file under construction: a temporary file of the backup's folder, readable by
// its owner only, that becomes the backup once complete and is removed when the work fails.
// Temporary files a killed backup left in that folder go first.
class PartFile {
public:
    explicit PartFile(const QString& finalPath) : m_file(finalPath) {
        const QString folder = QFileInfo(finalPath).absolutePath();
        if (!QDir().mkpath(folder))
            throw Error(QStringLiteral("پوشه %1 ساخته نشد").arg(native(folder)));
        removeAbandonedPartFiles(folder);
        m_file.open();
    }
    const QString& path() const { return m_file.temporaryPath(); }
    // Puts the complete file on the disk and gives it its final name, replacing an older one.
    void complete() { m_file.commit(); }

private:
    AtomicFile m_file;
};

// Whether two paths name one file, however each is written (links, "./", ".."): the same
// file on the disk when both exist, else the same place once the folders are resolved.
bool sameFile(const QString& a, const QString& b) {
    struct stat first {}, second {};
    if (::stat(QFile::encodeName(a).constData(), &first) == 0 && ::stat(QFile::encodeName(b).constData(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    auto place = [](const QString& path) {
        const QFileInfo info(QFileInfo(path).absoluteFilePath());
        if (info.exists()) return info.canonicalFilePath();
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
    };
    return place(a) == place(b);
}

// Whether `path` is the live embedded database or one of the files the library keeps
// beside it: a backup written there, or a restore read from there, would lose its writes.
bool isLiveDatabaseFile(const ConnectionSettings& settings, const QString& path) {
    if (settings.engine != Engine::Sqlite || settings.database.isEmpty()) return false;
    QStringList live{settings.database};
    const QString real = QFileInfo(settings.database).canonicalFilePath();
    if (!real.isEmpty() && real != settings.database) live.append(real);
    for (const QString& database : QStringList(live))
        for (const char* companion : {"-wal", "-shm", "-journal"})
            live.append(database + QLatin1String(companion));
    for (const QString& file : std::as_const(live))
        if (sameFile(path, file)) return true;
    return false;
}

// ---- Server tools ---------------------------------------------------------------

// The PostgreSQL client program: on the path, else the newest installed server's.
QString pgTool(const QString& name) {
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty()) {
        QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        std::sort(versions.begin(), versions.end(), [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
        for (auto it = versions.crbegin(); it != versions.crend() && found.isEmpty(); ++it)
            found = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/lib/postgresql/%1/bin").arg(*it)});
    }
    if (found.isEmpty())
        throw Error(QStringLiteral("برنامه %1 پيدا نشد؛ بسته postgresql-client را نصب کنيد").arg(name));
    return found;
}

// The connection options of the PostgreSQL tools for `settings`, and the password in their
// environment (never on their command line).
QStringList pgConnectionArgs(const ConnectionSettings& settings, QProcessEnvironment& env) {
    QStringList args{QStringLiteral("--no-password")};
    if (!settings.server.isEmpty())
        args << QStringLiteral("--host=") + settings.server;
    if (settings.port > 0)
        args << QStringLiteral("--port=%1").arg(settings.port);
    if (settings.serverLogin && !settings.user.isEmpty())
        args << QStringLiteral("--username=") + settings.user;
    if (settings.serverLogin && !settings.password.isEmpty())
        env.insert(QStringLiteral("PGPASSWORD"), settings.password);
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    return args;
}

struct ToolResult {
    bool cancelled = false;
    bool ok = false;
    QString errors; // what the tool said besides its step lines
};

// Runs a tool to its end; each line of its messages holding `stepMarker` is one step done
// of `total`. A stop asked by the progress ends the tool.
ToolResult runTool(const QString& program, const QStringList& args, const QProcessEnvironment& env, int total,
                   const QString& stepMarker, const BackupProgress& progress) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, args);
    ToolResult result;
    if (!process.waitForStarted(30000)) {
        result.errors = process.errorString();
        return result;
    }
    int done = 0;
    QByteArray pending;
    auto readLines = [&] {
        pending += process.readAllStandardError();
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end)).trimmed();
            pending.remove(0, end + 1);
            if (!stepMarker.isEmpty() && line.contains(stepMarker))
                ++done;
            else if (line.contains(QLatin1String("error"), Qt::CaseInsensitive) ||
                     line.contains(QLatin1String("detail:")))
                result.errors += line + QLatin1Char('\n');
        }
    };
    while (process.state() != QProcess::NotRunning) {
        process.waitForFinished(100);
        readLines();
        if (progress && !progress(std::min(done, total), total)) {
            process.kill();
            process.waitForFinished(-1);
            result.cancelled = true;
            return result;
        }
    }
    pending += '\n';
    readLines();
    result.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!result.ok && result.errors.isEmpty())
        result.errors = QStringLiteral("exit %1").arg(process.exitCode());
    if (result.ok && progress)
        progress(total, total);
    return result;
}

// A server database name used in statements that cannot bind it (create, rename, drop).
QString checkedDatabaseName(const ConnectionSettings& settings) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,49}$"));
    if (!plain.match(settings.database).hasMatch())
        throw Error(QStringLiteral("نام بانک اطلاعاتي \"%1\" براي پشتيبان گيري و بازيابي پذيرفته نيست؛ فقط حروف "
                                   "لاتين، رقم و _ (حداکثر 50 حرف)")
                        .arg(settings.database));
    return settings.database;
}

ConnectionSettings onDatabase(ConnectionSettings settings, const QString& name) {
    settings.database = name;
    return settings;
}

QStringList missingTables(Database& db) {
    QStringList present;
    for (const QString& name : db.tableNames())
        present.append(name.toLower());
    QStringList missing;
    for (const QString& table : backupRequiredTables())
        if (!present.contains(table))
            missing.append(table);
    return missing;
}

} // namespace

const QStringList& backupRequiredTables() {
    static const QStringList tables = {QStringLiteral("u_pharmacy"),     QStringLiteral("onvan_darou"),
                                       QStringLiteral("mosh_kala_anbar"), QStringLiteral("organs_m"),
                                       QStringLiteral("heading_noskhe"),  QStringLiteral("details_noskhe")};
    return tables;
}

BackupService::BackupService(Database& db, AuditOrigin origin) : m_db(db), m_origin(std::move(origin)) {}

void BackupService::record(QLatin1StringView kind, const QString& path) {
    // A database the program has not made its own (no schema of its own yet) keeps no history.
    if (!m_db.hasTable(QStringLiteral("audit_log"))) return;
    Transaction transaction(m_db);
    const QString file = QFileInfo(path).absoluteFilePath();
    appendAudit(m_db, m_origin, {QString(kind), file, QJsonObject{{QStringLiteral("file"), file}}});
    transaction.commit();
}

QString BackupService::proposedFileName(const QString& currentDate) const {
    QString digits = currentDate;
    digits.remove(QLatin1Char('/'));
    digits.remove(QLatin1Char(' '));
    QString extension;
    switch (m_db.settings().engine) {
    case Engine::Sqlite:
        extension = QStringLiteral(".db");
        break;
    case Engine::Postgres:
        extension = QStringLiteral(".dump");
        break;
    case Engine::SqlServer:
        extension = QStringLiteral(".bak");
        break;
    }
    return QStringLiteral("backup") + digits + extension;
}

QString BackupService::defaultPath(const QString& workingDir, const QString& currentDate) const {
    return QDir(workingDir).absoluteFilePath(QStringLiteral("backup/") + proposedFileName(currentDate));
}

// Each engine backs up and restores its own way; this is the one place that tells them apart.
void BackupService::backup(const QString& path, const BackupProgress& progress) {
    if (isLiveDatabaseFile(m_db.settings(), path))
        throw BackupRefused(QStringLiteral("فايل پشتيبان نمي تواند خود بانک اطلاعاتي (%1) يا فايل هاي کنار آن باشد؛ "
                                           "نام ديگري انتخاب کنيد.")
                                .arg(native(path)));
    switch (m_db.settings().engine) {
    case Engine::Sqlite:
        backupSqlite(path, progress);
        break;
    case Engine::Postgres:
        backupPostgres(path, progress);
        break;
    case Engine::SqlServer:
        backupSqlServer(path);
        break;
    }
    // Recorded once the file is whole: the backup itself holds the history up to before it.
    record(audit_kind::kBackup, path);
}

void BackupService::checkRestoreFile(const QString& path) const {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw BackupRefused(QStringLiteral("فايل %1 پيدا نشد يا خوانده نمي شود. ").arg(native(path)) + kUnchanged);
    if (isLiveDatabaseFile(m_db.settings(), path))
        throw BackupRefused(QStringLiteral("فايل %1 خود بانک اطلاعاتي فعلي است، نه فايل پشتيبان. ").arg(native(path)) +
                            kUnchanged);
}

void BackupService::restore(const QString& path, const BackupProgress& progress) {
    checkRestoreFile(path);
    switch (m_db.settings().engine) {
    case Engine::Sqlite:
        // The copy was brought to the current schema before it went in.
        restoreSqlite(path, progress);
        break;
    case Engine::Postgres:
        restorePostgres(path, progress);
        break;
    case Engine::SqlServer:
        restoreSqlServer(path);
        bringSchemaUpToDate(m_db);
        break;
    }
    // The restored database's history goes on from its own last entry.
    record(audit_kind::kRestore, path);
}

void BackupService::bringSchemaUpToDate(Database& db) {
    Schema(db).ensure();
    upgradeUsersTable(db);
    upgradeSettingsTable(db);
}

void BackupService::prepareStagedCopy(const ConnectionSettings& staged, const QString& path) {
    Database db(staged);
    db.open();
    const QString refused = QStringLiteral("فايل %1 به ساختار فعلي بانک اطلاعاتي برنامه درنمي آيد: %2. ");
    try {
        bringSchemaUpToDate(db);
    } catch (const DbError& error) {
        const QString why = error.isUniqueViolation()
                                ? QStringLiteral("در آن شماره هاي تکراري هست که برنامه نمي پذيرد (%1)").arg(error.message())
                                : error.message();
        throw BackupRefused(refused.arg(native(path), why) + kUnchanged);
    } catch (const Error& error) {
        throw BackupRefused(refused.arg(native(path), error.message()) + kUnchanged);
    }
    if (Schema(db).needsWork())
        throw BackupRefused(refused.arg(native(path), QStringLiteral("ساختار آن کامل نشد")) + kUnchanged);
    // Every column the program reads, in every table it keeps.
    for (const TableDef& table : schemaTables()) {
        QStringList present;
        for (const QString& column : db.columnNames(table.name))
            present.append(column.toLower());
        for (const QString& spec : table.columns.split(u',')) {
            const QString column = spec.simplified().section(u' ', 0, 0).toLower();
            if (!present.contains(column))
                throw BackupRefused(refused.arg(native(path), QStringLiteral("جدول %1 ستون %2 را ندارد").arg(table.name, column)) +
                                    kUnchanged);
        }
    }
}

// ---- SQLite -----------------------------------------------------------------------

void BackupService::backupSqlite(const QString& path, const BackupProgress& progress) {
    PartFile part(path);
    {
        // A connection of its own holds one read snapshot for the whole copy: others keep
        // writing beside it (WAL), and the copy is the database of the moment it began.
        Database source(m_db.settings());
        source.open();
        sqlite3* from = sqliteHandle(source.handle());
        if (sqlite3_exec(from, "BEGIN; SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr) != SQLITE_OK)
            throw Error(sqliteMessage(from));
        struct EndRead {
            sqlite3* db;
            ~EndRead() { sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr); }
        } endRead{from};

        SqliteFile target(part.path(), SQLITE_OPEN_READWRITE);
        if (!target.opened())
            throw Error(QStringLiteral("فايل پشتيبان %1 نوشته نمي شود: %2").arg(native(path), target.message()));
        if (!copyPages(target.get(), from, progress))
            throw BackupCancelled(QStringLiteral("تهيه فايل پشتيبان متوقف شد؛ فايلي نوشته نشد."));
        // The copy stands alone: one file, no write-ahead log beside it.
        target.exec("PRAGMA journal_mode=DELETE");
    }
    part.complete();
}

void BackupService::restoreSqlite(const QString& path, const BackupProgress& progress) {
    SqliteFile backup(path, SQLITE_OPEN_READONLY);
    const QString refused = QStringLiteral("فايل %1 پشتيبان بانک اطلاعاتي اين برنامه نيست (%2). ");
    if (!backup.opened())
        throw BackupRefused(refused.arg(native(path), backup.message()) + kUnchanged);
    // One read snapshot: what is checked is what is copied.
    if (!backup.exec("BEGIN"))
        throw BackupRefused(refused.arg(native(path), backup.message()) + kUnchanged);
    QStringList tables;
    try {
        const QStringList check = backup.column("PRAGMA integrity_check(5)");
        if (check.value(0) != QLatin1String("ok"))
            throw BackupRefused(QStringLiteral("فايل پشتيبان %1 آسيب ديده است (%2). ")
                                    .arg(native(path), check.join(QStringLiteral("; "))) +
                                kUnchanged);
        tables = backup.column("SELECT lower(name) FROM sqlite_master WHERE type='table'");
    } catch (const BackupRefused&) {
        throw;
    } catch (const Error& error) {
        throw BackupRefused(refused.arg(native(path), error.message()) + kUnchanged);
    }
    for (const QString& table : backupRequiredTables())
        if (!tables.contains(table))
            throw BackupRefused(QStringLiteral("فايل %1 پشتيبان اين برنامه نيست: جدول %2 در آن نيست. ")
                                    .arg(native(path), table) +
                                kUnchanged);

    // The copy is made, brought to the current schema and checked beside the live database;
    // only a copy that is whole at the current schema goes in.
    AtomicFile stage(m_db.settings().database);
    removeAbandonedPartFiles(QFileInfo(m_db.settings().database).absolutePath());
    stage.open();
    const auto firstHalf = [&](int done, int total) { return !progress || progress(done, 2 * total); };
    const auto secondHalf = [&](int done, int total) { return !progress || progress(total + done, 2 * total); };
    {
        SqliteFile staged(stage.temporaryPath(), SQLITE_OPEN_READWRITE);
        if (!staged.opened())
            throw Error(staged.message());
        if (!copyPages(staged.get(), backup.get(), firstHalf))
            throw BackupCancelled(QStringLiteral("بازيابي متوقف شد. ") + kUnchanged);
    }
    backup.exec("COMMIT");
    ConnectionSettings stagedSettings = m_db.settings();
    stagedSettings.database = stage.temporaryPath();
    prepareStagedCopy(stagedSettings, path);
    {
        // The prepared copy goes into the live file in one write transaction of the
        // library's backup: every connection sees the old database or the new one.
        SqliteFile prepared(stage.temporaryPath(), SQLITE_OPEN_READWRITE);
        if (!prepared.opened() || !prepared.exec("BEGIN"))
            throw Error(prepared.message());
        Database target(m_db.settings());
        target.open();
        if (!copyPages(sqliteHandle(target.handle()), prepared.get(), secondHalf))
            throw BackupCancelled(QStringLiteral("بازيابي متوقف شد. ") + kUnchanged);
        prepared.exec("COMMIT");
    }
    stage.discard();
    m_db.close();
    m_db.open();
}

// ---- PostgreSQL -------------------------------------------------------------------

void BackupService::backupPostgres(const QString& path, const BackupProgress& progress) {
    const int tables = m_db.scalar(QStringLiteral("select count(*) from information_schema.tables where "
                                                  "table_schema = current_schema() and table_type = 'BASE TABLE'"))
                           .toInt();
    PartFile part(path);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QStringList args = pgConnectionArgs(m_db.settings(), env);
    args << QStringLiteral("--format=custom") << QStringLiteral("--verbose") << QStringLiteral("--file=") + part.path()
         << QStringLiteral("--dbname=") + m_db.settings().database;
    const ToolResult result =
        runTool(pgTool(QStringLiteral("pg_dump")), args, env, tables, QStringLiteral("dumping contents of table"), progress);
    if (result.cancelled)
        throw BackupCancelled(QStringLiteral("تهيه فايل پشتيبان متوقف شد؛ فايلي نوشته نشد."));
    if (!result.ok)
        throw Error(QStringLiteral("فايل پشتيبان تهيه نشد: %1").arg(result.errors.trimmed()));
    part.complete();
}

void BackupService::restorePostgres(const QString& path, const BackupProgress& progress) {
    const ConnectionSettings live = m_db.settings();
    const QString name = checkedDatabaseName(live);
    const QString staged = name + QStringLiteral("_restore");
    const QString replaced = name + QStringLiteral("_replaced");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QStringList connection = pgConnectionArgs(live, env);
    const QString pgRestore = pgTool(QStringLiteral("pg_restore"));

    // Its table of contents: a file that is no dump at all stops here.
    QProcess list;
    list.setProcessEnvironment(env);
    list.setStandardInputFile(QProcess::nullDevice());
    list.start(pgRestore, {QStringLiteral("--list"), path});
    list.waitForFinished(60000);
    const QString contents = QString::fromUtf8(list.readAllStandardOutput());
    if (list.exitStatus() != QProcess::NormalExit || list.exitCode() != 0)
        throw BackupRefused(QStringLiteral("فايل %1 پشتيبان بانک اطلاعاتي نيست (%2). ")
                                .arg(native(path), QString::fromUtf8(list.readAllStandardError()).trimmed()) +
                            kUnchanged);
    const int tables = int(contents.count(QLatin1String(" TABLE DATA ")));

    Database admin(onDatabase(live, QStringLiteral("postgres")));
    admin.open();
    auto dropStaged = [&] {
        try {
            admin.exec(QStringLiteral("drop database if exists %1 with (force)").arg(staged));
        } catch (const DbError&) {
            // Left for the next restore, which drops it first.
        }
    };
    admin.exec(QStringLiteral("drop database if exists %1 with (force)").arg(staged));
    admin.exec(QStringLiteral("create database %1 template template0 encoding 'UTF8'").arg(staged));

    // The whole dump goes into the new database in one transaction: any fault in it
    // (a truncated or damaged file) leaves that database empty and is reported.
    QStringList args = connection;
    args << QStringLiteral("--dbname=") + staged << QStringLiteral("--exit-on-error")
         << QStringLiteral("--single-transaction") << QStringLiteral("--verbose") << path;
    const ToolResult result = runTool(pgRestore, args, env, tables, QStringLiteral("processing data for table"), progress);
    if (result.cancelled) {
        dropStaged();
        throw BackupCancelled(QStringLiteral("بازيابي متوقف شد. ") + kUnchanged);
    }
    if (!result.ok) {
        dropStaged();
        throw BackupRefused(QStringLiteral("فايل پشتيبان %1 بازيابي نمي شود (%2). ")
                                .arg(native(path), result.errors.trimmed()) +
                            kUnchanged);
    }
    QStringList missing;
    {
        Database restored(onDatabase(live, staged));
        restored.open();
        missing = missingTables(restored);
    }
    if (!missing.isEmpty()) {
        dropStaged();
        throw BackupRefused(QStringLiteral("فايل %1 پشتيبان اين برنامه نيست: جدول %2 در آن نيست. ")
                                .arg(native(path), missing.first()) +
                            kUnchanged);
    }
    try {
        prepareStagedCopy(onDatabase(live, staged), path);
    } catch (const Error&) {
        dropStaged();
        throw;
    }

    // The switch: both names change in one transaction, or neither does.
    m_db.close();
    try {
        admin.exec(QStringLiteral("drop database if exists %1").arg(replaced));
        Transaction switchNames(admin);
        admin.exec(QStringLiteral("alter database %1 rename to %2").arg(name, replaced));
        admin.exec(QStringLiteral("alter database %1 rename to %2").arg(staged, name));
        switchNames.commit();
    } catch (const DbError& error) {
        dropStaged();
        m_db.open();
        const bool inUse = error.message().contains(QLatin1String("other users"));
        throw Error((inUse ? QStringLiteral("بانک اطلاعاتي جايگزين نشد: ايستگاه هاي ديگري به آن وصل هستند؛ برنامه را "
                                            "در آنها ببنديد و دوباره بازيابي کنيد (%1). ")
                           : QStringLiteral("بانک اطلاعاتي جايگزين نشد (%1). "))
                        .arg(error.message()) +
                    kUnchanged);
    }
    try {
        admin.exec(QStringLiteral("drop database if exists %1").arg(replaced));
    } catch (const DbError&) {
        // The replaced database stays under its new name until the next restore.
    }
    m_db.open();
}

// ---- SQL Server -------------------------------------------------------------------
// The server reads and writes the file on its own side.

void BackupService::backupSqlServer(const QString& path) {
    const QString name = checkedDatabaseName(m_db.settings());
    // WITH INIT: a second backup of the day replaces the first rather than being appended
    // behind it (a restore reads the first set of a file).
    m_db.exec(QStringLiteral("BACKUP DATABASE [%1] TO DISK = :p1 WITH INIT").arg(name), {path});
}

void BackupService::restoreSqlServer(const QString& path) {
    const QString name = checkedDatabaseName(m_db.settings());
    try {
        m_db.exec(QStringLiteral("RESTORE VERIFYONLY FROM DISK = :p1"), {path});
    } catch (const DbError& error) {
        throw BackupRefused(QStringLiteral("فايل پشتيبان %1 آسيب ديده است (%2). ").arg(native(path), error.message()) +
                            kUnchanged);
    }
    m_db.exec(QStringLiteral("use master"));
    m_db.exec(QStringLiteral("ALTER DATABASE [%1] SET SINGLE_USER WITH ROLLBACK IMMEDIATE").arg(name));
    try {
        m_db.exec(QStringLiteral("RESTORE DATABASE [%1] FROM DISK = :p1 WITH REPLACE").arg(name), {path});
    } catch (const DbError&) {
        m_db.exec(QStringLiteral("ALTER DATABASE [%1] SET MULTI_USER").arg(name));
        throw;
    }
    m_db.exec(QStringLiteral("ALTER DATABASE [%1] SET MULTI_USER").arg(name));
    m_db.close();
    m_db.open();
}

} // namespace ph
