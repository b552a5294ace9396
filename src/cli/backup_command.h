#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace ph {
class Clock;
}

namespace ph::cli {

// The usage lines of the backup and restore commands, for pharmacyctl's help text.
extern const char* const kBackupUsage;

// `pharmacyctl backup [FILE]`: writes a full backup of the database to FILE (default
// backup/backupYYMMDD.<ext> in the working folder, for today) and prints its path.
int backup(const QString& workingDir, const QStringList& args, const Clock& clock, QTextStream& out,
           QTextStream& err);

// `pharmacyctl restore FILE [--yes]`: replaces the database with the backup in FILE once
// the file has checked out. Without --yes it asks first and reads the answer from
// `answer` (standard input when absent); anything but "yes" changes nothing (exit 3).
// A file that does not check out is refused with exit 2, the database untouched.
int restore(const QString& workingDir, const QStringList& args, const std::optional<QByteArray>& answer,
            QTextStream& out, QTextStream& err);

} // namespace ph::cli
