#pragma once

#include "audit/audit_origin.h"
#include "core/ci_config.h"
#include "core/error.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace ph {

class Database;

// Reports how far a backup or a restore has come (done of total steps); returning false
// stops it where stopping loses nothing (before anything of the live database changes).
using BackupProgress = std::function<bool(int done, int total)>;

// A backup file that does not check out (it does not open, fails its integrity check,
// or lacks the program's tables). The live database was not touched.
class BackupRefused : public Error {
public:
    using Error::Error;
};

// The user stopped the work before it changed anything.
class BackupCancelled : public Error {
public:
    using Error::Error;
};

// The tables a backup must hold to be taken for one of this program's databases.
const QStringList& backupRequiredTables();

// Full backups of the database to a file and the restore of one.
//
// The embedded database is copied page by page through SQLite's online backup from a
// connection that holds one snapshot, so workstations keep saving meanwhile and the copy
// is that moment's database. A server database is dumped by pg_dump in its custom format
// (PostgreSQL) or by the server's own BACKUP statement (SQL Server, which writes the file
// on its own side). Files written here are readable by their owner only and appear under
// their final name only once complete.
//
// A restore first checks the file completely, makes a copy of it beside the live database,
// brings that copy to the current schema and checks it there, and only then replaces the
// live database in one step: on SQLite the prepared copy (a temporary file in the live
// database's folder) is written into the live file inside one write transaction of the
// library's backup; on PostgreSQL the dump is restored into the database <name>_restore,
// prepared there, and the two names are switched in one transaction. A file that does not
// check out, or that the schema upgrade refuses, throws BackupRefused and leaves the live
// database as it was, byte for byte. A backup file is never the live database or a file
// the library keeps beside it, and a restore never reads from one of them.
class BackupService {
public:
    // Backups and restores go to the history of changes as `origin`'s.
    explicit BackupService(Database& db, AuditOrigin origin = {});

    // "backupYYMMDD" and the engine's extension, for a day given as yy/mm/dd.
    QString proposedFileName(const QString& currentDate) const;
    // The default backup file: backup/<proposed name> in the working folder.
    QString defaultPath(const QString& workingDir, const QString& currentDate) const;

    // Writes a full backup to `path` (replacing a file of that name once complete).
    // Throws Error (BackupCancelled when the progress asked to stop, BackupRefused when
    // `path` is the live database or a file beside it).
    void backup(const QString& path, const BackupProgress& progress = {});

    // Replaces the live database with the backup in `path`, then brings its schema up to
    // date. The connection is opened again on the restored database.
    void restore(const QString& path, const BackupProgress& progress = {});
    // Throws BackupRefused when `path` is no file that can be read, or is the live database
    // (or a file beside it): what a restore checks before it asks anything.
    void checkRestoreFile(const QString& path) const;

private:
    // The history's entry of a backup or a restore done, in a transaction of its own.
    void record(QLatin1StringView kind, const QString& path);
    void backupSqlite(const QString& path, const BackupProgress& progress);
    void restoreSqlite(const QString& path, const BackupProgress& progress);
    void backupPostgres(const QString& path, const BackupProgress& progress);
    void restorePostgres(const QString& path, const BackupProgress& progress);
    void backupSqlServer(const QString& path);
    void restoreSqlServer(const QString& path);
    static void bringSchemaUpToDate(Database& db);
    // Brings the staged copy of the backup in `path` to the current schema and checks it is
    // whole there: every table, column, index and view. Throws BackupRefused.
    static void prepareStagedCopy(const ConnectionSettings& staged, const QString& path);

    Database& m_db;
    AuditOrigin m_origin;
};

} // namespace ph
