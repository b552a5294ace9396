#include "cli/backup_command.h"

#include "admin/backup.h"
#include "core/ci_config.h"
#include "core/clock.h"
#include "core/jalali_date.h"
#include "db/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ph::cli {

const char* const kBackupUsage =
    "  backup [FILE]\n"
    "              write a full backup of the database to FILE (default:\n"
    "              backup/backupYYMMDD.db, .dump on PostgreSQL, in the working folder) and\n"
    "              print its path; the file appears only once complete and is never the\n"
    "              database itself (exit 2)\n"
    "  restore FILE [--yes]\n"
    "              replace the database with the backup in FILE; the file is checked\n"
    "              completely and brought to the current schema beside the database first,\n"
    "              and a file that does not check out changes nothing (exit 2); asks for\n"
    "              \"yes\" on standard input unless --yes is given, once the file is found\n";

int backup(const QString& workingDir, const QStringList& args, const Clock& clock, QTextStream& out,
           QTextStream& err) {
    if (args.size() > 1 || (!args.isEmpty() && args.first().startsWith(QLatin1String("-")))) {
        err << "pharmacyctl backup: takes at most one file name, not \"" << args.join(QLatin1Char(' ')) << "\"\n";
        return 2;
    }
    Database db(readConnectionSettings(workingDir));
    db.open();
    BackupService service(db, AuditOrigin::here(0, QStringLiteral("pharmacyctl backup")));
    // A file named on the command line is read from the current folder, as every command does.
    const QString path = args.isEmpty() ? service.defaultPath(workingDir, todayJalaliText(clock))
                                        : QFileInfo(args.first()).absoluteFilePath();
    try {
        service.backup(path);
    } catch (const BackupRefused& refused) {
        err << "pharmacyctl backup: " << refused.message() << "\n";
        return 2;
    }
    out << QDir::toNativeSeparators(path) << "\n";
    return 0;
}

int restore(const QString& workingDir, const QStringList& argsIn, const std::optional<QByteArray>& answer,
            QTextStream& out, QTextStream& err) {
    QStringList args = argsIn;
    const bool confirmed = args.removeAll(QStringLiteral("--yes")) > 0;
    if (args.size() != 1 || args.first().startsWith(QLatin1String("-"))) {
        err << "pharmacyctl restore: needs one backup file (pharmacyctl restore FILE [--yes])\n";
        return 2;
    }
    const QString path = QFileInfo(args.first()).absoluteFilePath();
    Database db(readConnectionSettings(workingDir));
    db.open();
    // A file that cannot be restored is refused before the question.
    try {
        BackupService(db).checkRestoreFile(path);
    } catch (const BackupRefused& refused) {
        err << "pharmacyctl restore: " << refused.message() << "\n";
        return 2;
    }
    if (!confirmed) {
        err << "Replace the database " << db.settings().describe() << " with " << QDir::toNativeSeparators(path)
            << "? Everything in it now is lost. Type yes to go on: ";
        err.flush();
        QByteArray reply = answer.value_or(QByteArray());
        if (!answer) {
            QFile in;
            if (in.open(stdin, QIODevice::ReadOnly))
                reply = in.readLine();
        }
        if (reply.trimmed() != "yes") {
            err << "\npharmacyctl restore: not confirmed; nothing was changed\n";
            return 3;
        }
    }
    try {
        BackupService(db, AuditOrigin::here(0, QStringLiteral("pharmacyctl restore"))).restore(path);
    } catch (const BackupRefused& refused) {
        err << "pharmacyctl restore: " << refused.message() << "\n";
        return 2;
    }
    out << "restored " << QDir::toNativeSeparators(path) << " into " << db.settings().describe() << "\n";
    return 0;
}

} // namespace ph::cli
