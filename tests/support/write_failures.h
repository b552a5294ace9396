#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace ph::test {

// While it lives, no file of this process may grow past `bytes`: a write beyond fails as
// it does on a full disk (the kernel refuses it; the signal it would send is ignored).
// Works without root, unlike a full file system.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// Sets the process's umask while it lives.
class Umask {
public:
    explicit Umask(mode_t mask) : m_old(::umask(mask)) {}
    ~Umask() { ::umask(m_old); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t m_old;
};

// The permission bits of a file (0600 for a file only its owner reads and writes).
inline int fileMode(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return -1;
    return int(info.st_mode & 07777);
}

// Every entry of a folder, hidden ones too, to see that a failed write left nothing.
inline QStringList everyEntry(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The places a file cannot be written to, by the name of a test row: "parent is a file"
// (a path under an ordinary file), "device" (/dev/full: never replaced by a file) and
// "full disk" (an ordinary place, written while FileSizeLimit holds).
inline QStringList failingPlaces() {
    return {QStringLiteral("parent is a file"), QStringLiteral("device"), QStringLiteral("full disk")};
}

// The target for a place inside `folder` (`name` is the file's own name); creates what the
// place needs.
inline QString failingTarget(const QString& place, const QString& folder, const QString& name) {
    if (place == QLatin1String("parent is a file")) {
        QFile blocker(QDir(folder).filePath(QStringLiteral("blocker")));
        blocker.open(QIODevice::WriteOnly);
        return QDir(folder).filePath(QStringLiteral("blocker/") + name);
    }
    if (place == QLatin1String("device")) return QStringLiteral("/dev/full");
    return QDir(folder).filePath(name);
}

} // namespace ph::test
