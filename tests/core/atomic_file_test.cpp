// The one writer of every file: whole or nothing, the owner's only, and what a killed
// writer left behind is cleaned away while a writer at work keeps its file.
#include "core/atomic_file.h"
#include "support/write_failures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ph;
using namespace ph::test;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class AtomicFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replacesWholeAndPrivately();
    void aWriteThatFailsLeavesTheOlderFile();
    void abandonedFilesAreCleanedAndWorkingOnesKept();
};

void AtomicFileTest::replacesWholeAndPrivately() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    const Umask open(0);
    writeFileWhole(path, "first");
    writeFileWhole(path, "second");
    QCOMPARE(contents(path), QByteArray("second"));
    QCOMPARE(fileMode(path), 0600);
    QCOMPARE(everyEntry(dir.path()), QStringList{QStringLiteral("list.csv")});
    // A link is followed: the file it names is replaced, the link stays a link.
    QVERIFY(QFile::link(path, dir.filePath(QStringLiteral("link.csv"))));
    writeFileWhole(dir.filePath(QStringLiteral("link.csv")), "third");
    QCOMPARE(contents(path), QByteArray("third"));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("link.csv"))).isSymLink());
}

void AtomicFileTest::aWriteThatFailsLeavesTheOlderFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nos1.txt"));
    writeFileWhole(path, "older");
    {
        const FileSizeLimit full(64);
        QVERIFY_THROWS_EXCEPTION(FileWriteError, writeFileWhole(path, QByteArray(4096, 'x')));
    }
    QVERIFY_THROWS_EXCEPTION(FileWriteError, writeFileWhole(dir.path(), "a folder is not replaced"));
    {
        // Never committed: the target is untouched and the temporary file goes.
        AtomicFile unfinished(path);
        unfinished.open();
        unfinished.device().write("half");
    }
    QCOMPARE(contents(path), QByteArray("older"));
    QCOMPARE(everyEntry(dir.path()), QStringList{QStringLiteral("nos1.txt")});
}

void AtomicFileTest::abandonedFilesAreCleanedAndWorkingOnesKept() {
    QTemporaryDir dir;
    // What a killed backup or restore leaves: its temporary file and a database's log beside it.
    touch(dir.filePath(QStringLiteral(".backup050101.db.a1b2c3.part")));
    touch(dir.filePath(QStringLiteral(".pharmacy.db.d4e5f6.part")));
    touch(dir.filePath(QStringLiteral(".pharmacy.db.d4e5f6.part-wal")));
    touch(dir.filePath(QStringLiteral("kept.txt")));
    AtomicFile working(dir.filePath(QStringLiteral("backup050102.db")));
    working.open();
    removeAbandonedPartFiles(dir.path());
    QCOMPARE(everyEntry(dir.path()), (QStringList{QFileInfo(working.temporaryPath()).fileName(), QStringLiteral("kept.txt")}));
    working.device().write("whole");
    working.commit();
    QCOMPARE(contents(dir.filePath(QStringLiteral("backup050102.db"))), QByteArray("whole"));
}

QTEST_GUILESS_MAIN(AtomicFileTest)
#include "atomic_file_test.moc"
