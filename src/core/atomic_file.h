#pragma once

#include "core/error.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QIODevice;
class QTemporaryFile;

namespace ph {

// A file that could not be written whole: the message names the file and the reason. Nothing
// of it was left on the disk (an older file of that name is as it was).
class FileWriteError : public Error {
public:
    FileWriteError(const QString& path, const QString& reason);
    // Why, without the file's name.
    const QString& reason() const { return m_reason; }

private:
    QString m_reason;
};

// Every file the program writes goes through this: it is written under a hidden temporary
// name beside the target (".name.XXXXXX.part"), readable by its owner only whatever the
// umask (claim files, lists and backups hold patients' names and insurance numbers), put
// on the disk, checked, and only then renamed over the target in one step. A failure at
// any point (no folder, a full disk, a target that is not an ordinary file) throws
// FileWriteError and removes the temporary file, so no truncated or half-written file ever
// stands under the target's name.
//
// While the object lives it holds a lock on its temporary file; a temporary file left by a
// process that was killed carries no lock, and removeAbandonedPartFiles() takes it away.
class AtomicFile {
public:
    explicit AtomicFile(QString path);
    ~AtomicFile(); // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file. Throws FileWriteError when the target cannot be written.
    void open();
    // The open temporary file to write into.
    QIODevice& device();
    // The temporary file's path, for a library that writes a file by its name (after open()).
    const QString& temporaryPath() const { return m_temporary; }
    // The target the file becomes.
    const QString& path() const { return m_target; }

    // Puts the written file on the disk and gives it the target's name, replacing an older
    // file. Throws FileWriteError (the temporary file is removed, the target is untouched).
    void commit();
    // Removes the temporary file; the target is untouched.
    void discard();

private:
    [[noreturn]] void fail(const QString& reason);

    QString m_target;
    QString m_temporary;
    std::unique_ptr<QTemporaryFile> m_file;
    bool m_committed = false;
};

// Writes `bytes` as the whole file `path` through an AtomicFile. Throws FileWriteError.
void writeFileWhole(const QString& path, const QByteArray& bytes);

// Removes the temporary files (and a database's -wal, -shm or -journal beside them) that a
// killed or failed writer left in `folder`; those of a writer still at work are kept.
void removeAbandonedPartFiles(const QString& folder);

// The message of a file that was not written: the file and the reason.
QString fileNotWrittenText(const QString& path, const QString& reason);

} // namespace ph
