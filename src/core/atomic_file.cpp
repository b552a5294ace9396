#include "core/atomic_file.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace ph {
namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The reason of the last failed system call, in Persian where it is a common one.
QString systemReason(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("جاي خالي روي ديسک کافي نيست");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("اجازه نوشتن در اين پوشه نيست");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("پوشه آن وجود ندارد");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

// Puts a folder's entries (a new name) on the disk.
void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The file a write of `path` replaces: a symbolic link is followed to what it names.
QString resolvedTarget(const QString& path) {
    QFileInfo info(QFileInfo(path).absoluteFilePath());
    for (int hops = 0; info.isSymLink() && hops < 16; ++hops)
        info = QFileInfo(QDir(info.absolutePath()).absoluteFilePath(info.symLinkTarget()));
    return info.absoluteFilePath();
}

} // namespace

QString fileNotWrittenText(const QString& path, const QString& reason) {
    return QStringLiteral("فايل %1 نوشته نشد: %2").arg(QDir::toNativeSeparators(path), reason);
}

FileWriteError::FileWriteError(const QString& path, const QString& reason)
    : Error(fileNotWrittenText(path, reason)), m_reason(reason) {}

AtomicFile::AtomicFile(QString path) : m_target(std::move(path)) {}

AtomicFile::~AtomicFile() { discard(); }

void AtomicFile::fail(const QString& reason) {
    discard();
    throw FileWriteError(m_target, reason);
}

void AtomicFile::open() {
    if (m_target.isEmpty()) fail(QStringLiteral("نام فايل داده نشده است"));
    const QString target = resolvedTarget(m_target);
    const QFileInfo info(target);
    // A folder, a device or a pipe under that name is not replaced by a file.
    if (info.exists() && !info.isFile()) fail(QStringLiteral("اين نام يک فايل معمولي نيست"));
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir()) fail(systemReason(folder.exists() ? ENOTDIR : ENOENT));
    m_target = target;

    m_file = std::make_unique<QTemporaryFile>(QDir(info.absolutePath())
                                                  .filePath(QStringLiteral(".%1.XXXXXX.part").arg(info.fileName())));
    m_file->setAutoRemove(false);
    errno = 0;
    if (!m_file->open()) {
        const int error = errno;
        m_file.reset();
        fail(error ? systemReason(error) : QStringLiteral("فايل موقت ساخته نشد"));
    }
    m_temporary = m_file->fileName();
    // Marks the file as in use: only an abandoned one can be locked by another process.
    ::flock(m_file->handle(), LOCK_EX | LOCK_NB);
    m_file->setPermissions(kOwnerOnly);
}

QIODevice& AtomicFile::device() { return *m_file; }

void AtomicFile::commit() {
    if (!m_file) fail(QStringLiteral("فايل موقت ساخته نشد"));
    errno = 0;
    if (!m_file->flush() || m_file->error() != QFileDevice::NoError)
        fail(errno ? systemReason(errno) : m_file->errorString());
    if (::fsync(m_file->handle()) != 0) fail(systemReason(errno));
    // A library that wrote the file by its name may have created it anew.
    if (!QFile::setPermissions(m_temporary, kOwnerOnly)) fail(QStringLiteral("فايل موقت پيدا نشد"));
    if (std::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) != 0)
        fail(systemReason(errno));
    m_committed = true;
    m_file->close();
    m_file.reset();
    syncFolder(QFileInfo(m_target).absolutePath());
}

void AtomicFile::discard() {
    if (m_file) {
        m_file->close();
        m_file.reset();
    }
    if (!m_committed && !m_temporary.isEmpty()) {
        QFile::remove(m_temporary);
        for (const char* companion : {"-wal", "-shm", "-journal"})
            QFile::remove(m_temporary + QLatin1String(companion));
    }
    m_temporary.clear();
}

void writeFileWhole(const QString& path, const QByteArray& bytes) {
    AtomicFile file(path);
    file.open();
    file.device().write(bytes); // a failed write is reported by the commit, with its reason
    file.commit();
}

void removeAbandonedPartFiles(const QString& folder) {
    const QDir dir(folder);
    if (!dir.exists()) return;
    const QStringList parts = dir.entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : parts) {
        const QString path = dir.filePath(name);
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        const bool abandoned = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (abandoned) QFile::remove(path);
        ::close(fd);
    }
    // A database's companions whose file is gone.
    const QStringList companions = dir.entryList({QStringLiteral(".*.part-wal"), QStringLiteral(".*.part-shm"),
                                                  QStringLiteral(".*.part-journal")},
                                                 QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : companions)
        if (!QFileInfo::exists(dir.filePath(name.left(name.lastIndexOf(u'-')))))
            QFile::remove(dir.filePath(name));
}

} // namespace ph
