// Backups and restores of the whole database, the structure repair and the
// social-security repair, on the engine of the test run.
#include "admin/backup.h"
#include "admin/structure_repair.h"
#include "audit/audit_log.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "support/cli_run.h"
#include "support/test_database.h"

#include <QCryptographicHash>
#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QSqlField>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

using namespace ph;
using ph::test::TestDatabase;
using ph::test::pharmacyctl;

namespace {

using Snapshot = QMap<QString, QStringList>;

// Every row of every table of the program, each table's rows sorted.
Snapshot snapshot(Database& db) {
    Snapshot all;
    for (const TableDef& table : schemaTables()) {
        // The history gains the restore's own entry: the tests look at it apart.
        if (!db.hasTable(table.name) || table.name == QLatin1String("audit_log"))
            continue;
        QStringList rows;
        Rows query = db.exec(QStringLiteral("select * from ") + table.name);
        while (query.next()) {
            QStringList values;
            for (int i = 0; i < query.record().count(); ++i)
                values.append(query.isNull(i) ? QStringLiteral("<null>") : query.value(i).toString());
            rows.append(values.join(u'|'));
        }
        rows.sort();
        all.insert(table.name, rows);
    }
    return all;
}

// A prescription of `lines` lines, saved in one transaction as the dispensing window does.
void savePrescription(Database& db, int lines) {
    Transaction transaction(db);
    const int number = db.scalar(QStringLiteral("select coalesce(max(sh_factor), 0) + 1 from heading_noskhe")).toInt();
    db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, date_no, name_b, sh_bimeh, code_bimeh, price_koll) "
                           "values (?, ?, ?, ?, ?, ?)"),
            {number, QStringLiteral("05/01/20"), QStringLiteral("بيمار %1").arg(number), QStringLiteral("123456789012345678"),
             1, 1000.0 * lines});
    for (int row = 1; row <= lines; ++row)
        db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, tedad, price_one, price_koll) "
                               "values (?, ?, ?, ?, ?, ?)"),
                {number, row, 1010001.0 + row, 1.0, 1000.0, 1000.0});
    transaction.commit();
}

void fillWorkingSet(TestDatabase& t) {
    const auto demo = pharmacyctl({QStringLiteral("--dir"), t.workingDir(), QStringLiteral("demo")});
    QVERIFY2(demo.status == 0, qPrintable(demo.err));
    for (int i = 0; i < 5; ++i)
        savePrescription(t.db(), 3);
}

// What the live database is: its file's bytes on the embedded engine; on a server every
// row, table, view and index it holds.
QByteArray fingerprint(TestDatabase& t) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (t.engine() == Engine::Sqlite) {
        for (const char* suffix : {"", "-wal"}) {
            QFile file(t.settings().database + QLatin1String(suffix));
            if (file.open(QIODevice::ReadOnly)) hash.addData(&file);
        }
        return hash.result();
    }
    Database& db = t.db();
    QStringList names = db.tableNames() + db.indexNames();
    names.sort();
    hash.addData(names.join(u',').toUtf8());
    hash.addData(QByteArray::number(Schema(db).storedVersion()));
    const Snapshot rows = snapshot(db);
    for (auto it = rows.cbegin(); it != rows.cend(); ++it) hash.addData((it.key() + it.value().join(u'\n')).toUtf8());
    return hash.result();
}

// A backup of a database the program made: the six tables it must hold, with columns of
// another program's.
void writeDecoy(const QString& file) {
    TestDatabase other;
    for (const QString& table : backupRequiredTables())
        other.db().exec(QStringLiteral("create table %1 (id integer, label varchar(20))").arg(table));
    other.db().exec(QStringLiteral("insert into heading_noskhe values (1, 'x')"));
    BackupService(other.db()).backup(file);
}

// A backup taken by an older version, before invoice numbers were made unique, of a
// database that holds one number twice.
void writeOlderWithDuplicateInvoice(const QString& file) {
    TestDatabase other;
    Schema(other.db()).ensure();
    other.db().exec(QStringLiteral("drop index ix_heading_noskhe_sh_factor"));
    other.db().exec(QStringLiteral("insert into heading_noskhe (sh_factor, name_b) values (7, 'a'), (7, 'b')"));
    other.db().exec(QStringLiteral("update schema_version set version = 1"));
    BackupService(other.db()).backup(file);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class BackupTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTripRestoresEveryTable();
    void filesThatDoNotCheckOutAreRefused_data();
    void filesThatDoNotCheckOutAreRefused();
    void backupWhileAnotherConnectionSavesIsConsistent();
    void commandLineBackupAndRestore();
    void theLiveDatabaseIsNeverATarget_data();
    void theLiveDatabaseIsNeverATarget();
    void structureRepairUpgradesAnOldLayoutOnce();
};

void BackupTest::roundTripRestoresEveryTable() {
    TestDatabase t;
    fillWorkingSet(t);
    Database& db = t.db();
    const Snapshot before = snapshot(db);
    QVERIFY(before.value(QStringLiteral("details_noskhe")).size() == 15);

    const QString file = QDir(t.workingDir()).absoluteFilePath(QStringLiteral("out/full.bak"));
    // Stopped at its first report, a backup leaves no file behind.
    QVERIFY_THROWS_EXCEPTION(BackupCancelled, BackupService(db).backup(file, [](int, int) { return false; }));
    QVERIFY(QDir(QFileInfo(file).absolutePath()).isEmpty(QDir::Files | QDir::Hidden));
    int reports = 0;
    BackupService(db).backup(file, [&](int done, int total) {
        ++reports;
        return done <= total;
    });
    QVERIFY(reports > 0);
    QCOMPARE(QFileInfo(file).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther), QFile::Permissions());
    QCOMPARE(QDir(QFileInfo(file).absolutePath()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("full.bak")});

    db.exec(QStringLiteral("delete from details_noskhe where sh_factor = 2"));
    db.exec(QStringLiteral("update mosh_kala_anbar set price_u = price_u * 2"));
    savePrescription(db, 4);
    QVERIFY(snapshot(db) != before);

    BackupService(db).restore(file);
    QVERIFY(db.isOpen());
    const Snapshot after = snapshot(db);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
    QCOMPARE(after.keys(), before.keys());
    // The restored history ends with the restore; the backup's own entry came after the copy.
    const QList<AuditEntry> history = AuditLog(db).entries({});
    QVERIFY(!history.isEmpty());
    QCOMPARE(history.last().kind, QStringLiteral("restore"));
    QCOMPARE(history.last().key, file);
    QVERIFY(std::none_of(history.cbegin(), history.cend(), [](const AuditEntry& e) { return e.kind == QLatin1String("backup"); }));
    QVERIFY(AuditLog(db).verify().holds());
    // The restored database is the live one: work goes on in it.
    savePrescription(db, 1);
}

void BackupTest::filesThatDoNotCheckOutAreRefused_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("truncated") << "truncated";
    QTest::newRow("random") << "random";
    QTest::newRow("empty") << "empty";
    QTest::newRow("another program's backup") << "foreign";
    QTest::newRow("missing") << "missing";
    QTest::newRow("tables of the right names, wrong columns") << "decoy";
    QTest::newRow("older backup with an invoice number twice") << "duplicate";
}

void BackupTest::filesThatDoNotCheckOutAreRefused() {
    QFETCH(QString, kind);
    TestDatabase t;
    fillWorkingSet(t);
    Database& db = t.db();
    const QString file = QDir(t.workingDir()).absoluteFilePath(QStringLiteral("candidate"));
    if (kind == QLatin1String("truncated")) {
        BackupService(db).backup(file);
        QFile whole(file);
        QVERIFY(whole.open(QIODevice::ReadWrite));
        QVERIFY(whole.resize(whole.size() / 2));
    } else if (kind == QLatin1String("random")) {
        QByteArray bytes(64 * 1024, '\0');
        QRandomGenerator generator(21);
        for (char& byte : bytes)
            byte = char(generator.bounded(256));
        writeFile(file, bytes);
    } else if (kind == QLatin1String("empty")) {
        writeFile(file, {});
    } else if (kind == QLatin1String("foreign")) {
        TestDatabase other;
        other.db().exec(QStringLiteral("create table customers (id integer, name varchar(40))"));
        other.db().exec(QStringLiteral("insert into customers values (1, 'x')"));
        BackupService(other.db()).backup(file);
    } else if (kind == QLatin1String("decoy")) {
        writeDecoy(file);
    } else if (kind == QLatin1String("duplicate")) {
        writeOlderWithDuplicateInvoice(file);
    }
    const QStringList files = QDir(t.workingDir()).entryList(QDir::Files | QDir::Hidden);
    const QByteArray before = fingerprint(t);
    try {
        BackupService(db).restore(file);
        QFAIL("the file was taken");
    } catch (const BackupRefused& refused) {
        QVERIFY2(refused.message().contains(QStringLiteral("بانک اطلاعاتي فعلي تغييري نكرد")), qPrintable(refused.message()));
        if (kind == QLatin1String("duplicate"))
            QVERIFY2(refused.message().contains(QStringLiteral("شماره هاي تکراري")), qPrintable(refused.message()));
    }
    QVERIFY(db.isOpen());
    QCOMPARE(fingerprint(t), before);
    // Nothing staged is left beside the database, and work goes on in it.
    QCOMPARE(QDir(t.workingDir()).entryList(QDir::Files | QDir::Hidden), files);
    if (t.engine() == Engine::Postgres) {
        Database admin([&] {
            ConnectionSettings server = t.settings();
            server.database = QStringLiteral("postgres");
            return server;
        }());
        admin.open();
        QCOMPARE(admin.scalar(QStringLiteral("select count(*) from pg_database where datname = ?"),
                              {t.settings().database + QStringLiteral("_restore")})
                     .toInt(),
                 0);
    }
    QVERIFY(!Schema(db).needsWork());
    savePrescription(db, 2);
}

void BackupTest::backupWhileAnotherConnectionSavesIsConsistent() {
    TestDatabase t;
    fillWorkingSet(t);
    {
        // Enough pages that the copy takes several steps.
        Transaction bulk(t.db());
        for (int i = 0; i < 400; ++i)
            t.db().exec(QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, vaziat) values (?, ?, ?, ?)"),
                        {100000 + i, 1, 5.0, QString(8, QLatin1Char('x'))});
        for (int i = 0; i < 2000; ++i)
            t.db().exec(QStringLiteral("insert into g_froosh (code_darou, tedad, price, date_sabt) values (?, ?, ?, ?)"),
                        {double(i), 1.0, 1.0, QStringLiteral("05/01/01")});
        bulk.commit();
    }
    auto other = t.connect();
    const QString file = QDir(t.workingDir()).absoluteFilePath(QStringLiteral("busy.bak"));
    int savedDuring = 0;
    BackupService(t.db()).backup(file, [&](int, int) {
        savePrescription(*other, 3);
        ++savedDuring;
        return true;
    });
    QVERIFY(savedDuring > 0);
    other.reset();
    const int liveHeaders = t.db().scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt();

    BackupService(t.db()).restore(file);
    Database& db = t.db();
    // Every prescription in the copy has all its lines. The embedded copy is the database of
    // the moment it began, before the first report; pg_dump takes its snapshot on its own.
    const int headers = db.scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt();
    if (t.engine() == Engine::Sqlite)
        QCOMPARE(headers, liveHeaders - savedDuring);
    QVERIFY(headers >= liveHeaders - savedDuring && headers < liveHeaders);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from heading_noskhe h where (select count(*) from details_noskhe d "
                                      "where d.sh_factor = h.sh_factor) <> 3"))
                 .toInt(),
             0);
}

void BackupTest::commandLineBackupAndRestore() {
    TestDatabase t;
    fillWorkingSet(t);
    const QString dir = t.workingDir();
    // What a backup killed half-way left: the next backup takes it away.
    const QString abandoned = QDir(dir).absoluteFilePath(QStringLiteral("backup/.backup991215.db.Ab12Cd.part"));
    QVERIFY(QDir(dir).mkpath(QStringLiteral("backup")));
    writeFile(abandoned, QByteArray(100, 'p'));
    const auto backup = pharmacyctl({QStringLiteral("--dir"), dir, QStringLiteral("backup")});
    QVERIFY2(backup.status == 0, qPrintable(backup.err));
    QVERIFY(!QFile::exists(abandoned));
    const QString file = backup.out.trimmed();
    QVERIFY2(QFileInfo(file).isFile(), qPrintable(file));
    QCOMPARE(QFileInfo(file).absolutePath(), QDir(dir).absoluteFilePath(QStringLiteral("backup")));
    QVERIFY(QFileInfo(file).fileName().startsWith(QLatin1String("backup")));
    QCOMPARE(QFileInfo(file).fileName().size(), QStringLiteral("backup").size() + 6 + QFileInfo(file).suffix().size() + 1);
    QCOMPARE(pharmacyctl({QStringLiteral("--dir"), dir, QStringLiteral("backup"), QStringLiteral("a"), QStringLiteral("b")}).status, 2);

    t.db().exec(QStringLiteral("delete from details_noskhe"));
    // Not confirmed: nothing happens.
    const auto unconfirmed = pharmacyctl({QStringLiteral("--dir"), dir, QStringLiteral("restore"), file}, "no\n");
    QCOMPARE(unconfirmed.status, 3);
    QCOMPARE(t.db().scalar(QStringLiteral("select count(*) from details_noskhe")).toInt(), 0);
    const QString junk = QDir(dir).absoluteFilePath(QStringLiteral("junk.bak"));
    writeFile(junk, QByteArray(5000, 'z'));
    const auto refused = pharmacyctl({QStringLiteral("--dir"), dir, QStringLiteral("restore"), junk, QStringLiteral("--yes")});
    QCOMPARE(refused.status, 2);

    // A missing file is refused before the question, and nothing is asked.
    const auto missing = pharmacyctl({QStringLiteral("--dir"), dir, QStringLiteral("restore"), QStringLiteral("nowhere.db")}, "yes\n");
    QCOMPARE(missing.status, 2);
    QVERIFY2(!missing.err.contains(QLatin1String("Type yes")), qPrintable(missing.err));

    // A relative name is read from the current folder, as every command reads its files,
    // not from --dir.
    QTemporaryDir elsewhere;
    QVERIFY(QFile::copy(file, elsewhere.filePath(QStringLiteral("copy.bak"))));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    t.db().close(); // another workstation's connection would stop the switch on a server
    const auto restored = pharmacyctl({QStringLiteral("--dir"), dir, QStringLiteral("restore"), QStringLiteral("copy.bak"), QStringLiteral("--yes")});
    QDir::setCurrent(previous);
    QVERIFY2(restored.status == 0, qPrintable(restored.err));
    t.db().open();
    QCOMPARE(t.db().scalar(QStringLiteral("select count(*) from details_noskhe")).toInt(), 15);
}

void BackupTest::theLiveDatabaseIsNeverATarget_data() {
    QTest::addColumn<QString>("name"); // the live database's path written another way
    QTest::newRow("itself") << "pharmacy.db";
    QTest::newRow("through ./") << "./pharmacy.db";
    QTest::newRow("through a folder and ..") << "sub/../pharmacy.db";
    QTest::newRow("through a link") << "link.db";
    QTest::newRow("its write-ahead log") << "pharmacy.db-wal";
    QTest::newRow("its shared memory") << "./pharmacy.db-shm";
    QTest::newRow("its journal") << "pharmacy.db-journal";
}

// A backup written over the live database (or a file the library keeps beside it) would
// be renamed over it while workstations write to the old file; a restore from it would
// copy the database onto itself. Both are refused and nothing changes.
void BackupTest::theLiveDatabaseIsNeverATarget() {
    QFETCH(QString, name);
    TestDatabase t;
    if (t.engine() != Engine::Sqlite) QSKIP("a server database is no file of this machine");
    fillWorkingSet(t);
    const QDir dir(t.workingDir());
    QVERIFY(dir.mkdir(QStringLiteral("sub")));
    QVERIFY(QFile::link(t.settings().database, dir.filePath(QStringLiteral("link.db"))));
    const QStringList files = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const QByteArray before = fingerprint(t);
    const QString target = dir.filePath(name);
    QVERIFY_THROWS_EXCEPTION(BackupRefused, BackupService(t.db()).backup(target));
    if (QFileInfo::exists(target)) QVERIFY_THROWS_EXCEPTION(BackupRefused, BackupService(t.db()).restore(target));
    QCOMPARE(fingerprint(t), before);
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), files);

    const QString previous = QDir::currentPath();
    QDir::setCurrent(t.workingDir());
    const auto backup = pharmacyctl({QStringLiteral("--dir"), t.workingDir(), QStringLiteral("backup"), name});
    const auto restore = pharmacyctl({QStringLiteral("--dir"), t.workingDir(), QStringLiteral("restore"), name}, "yes\n");
    QDir::setCurrent(previous);
    QCOMPARE(backup.status, 2);
    QCOMPARE(restore.status, 2);
    QVERIFY(!restore.err.contains(QLatin1String("Type yes"))); // refused before the question
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), files);
    QCOMPARE(t.db().scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt(), 5);
}

void BackupTest::structureRepairUpgradesAnOldLayoutOnce() {
    TestDatabase t;
    Database& db = t.db();
    Schema(db).ensure();
    // The layout before the repair: no director's number, drug percentage, emergency flag,
    // dashed insurance numbers or insurer list, and a narrower prescriber number.
    for (auto view = schemaViews().crbegin(); view != schemaViews().crend(); ++view)
        db.exec(QStringLiteral("drop view ") + view->name);
    const QList<QPair<QString, QString>> added = {
        {"onvan_darou", "fani_nezam"},  {"bimeh_daru", "deduct"},        {"organs_m", "orj_flag"},
        {"tanzimat", "tamincode"},      {"mosh_bimaran", "insnotamin"}, {"heading_noskhe", "insnotamin"},
        {"details_noskhe", "insnotamin"}};
    for (const auto& [table, column] : added)
        db.exec(QStringLiteral("alter table %1 drop column %2").arg(table, column));
    const QString widen = db.dialect().widenColumnSql(QStringLiteral("heading_noskhe"), QStringLiteral("nezam_p"),
                                                      db.dialect().typeName(ColumnType::NVarchar, 20));
    if (!widen.isEmpty())
        db.exec(widen);

    db.exec(QStringLiteral("insert into organs_s (code, row, from_d) values (1, 1, '03/01/01'), (2, 1, '04/05/06')"));
    db.exec(QStringLiteral("insert into tanzimat (payam) values ('x')"));
    db.exec(QStringLiteral("insert into list_koli (count, name_b) values (1, 'a')"));
    const QString a = QStringLiteral("123456789000120307"); // 18 characters
    const QString b = QStringLiteral("99999999990001020"); // 17
    db.exec(QStringLiteral("insert into mosh_bimaran (code, sh_bimeh, code_bimeh) values (1, ?, 2), (2, ?, 3), (3, ?, 2)"),
            {a, a, b});
    db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, sh_bimeh, code_bimeh) values (1, ?, 2), (2, ?, 3)"), {a, a});
    db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row, sh_bimeh) values (1, 1, ?), (2, 1, ?), (2, 2, ?)"),
            {a, a, b});

    int windows = 0;
    for (int run = 0; run < 2; ++run) {
        StructureRepair(db).run([&] {
            ++windows;
            SocialSecurityRepair(db).run({2, 5});
        });
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from list_koli")).toInt(), 0);
        db.exec(QStringLiteral("insert into list_koli (count, name_b) values (2, 'b')"));
    }
    QCOMPARE(windows, 1);
    for (const auto& [table, column] : added)
        QVERIFY2(db.hasColumn(table, column), qPrintable(table + QLatin1Char('.') + column));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from organs_s where from_d <> '00/01/01'")).toInt(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select tamincode from tanzimat")).toString(), QStringLiteral("2,5"));
    const QString dashed = QStringLiteral("1234567890-0012-03-07");
    auto numbers = [&](const QString& sql) {
        QStringList out;
        Rows query = db.exec(sql);
        while (query.next())
            out.append(query.value(0).toString());
        return out;
    };
    QCOMPARE(numbers(QStringLiteral("select insnotamin from mosh_bimaran order by code")), (QStringList{dashed, a, b}));
    QCOMPARE(numbers(QStringLiteral("select insnotamin from heading_noskhe order by sh_factor")), (QStringList{dashed, a}));
    QCOMPARE(numbers(QStringLiteral("select insnotamin from details_noskhe order by sh_factor, row")),
             (QStringList{dashed, dashed, b}));
    if (!widen.isEmpty()) {
        QCOMPARE(db.handle().record(QStringLiteral("heading_noskhe")).field(QStringLiteral("nezam_p")).length(), 30);
        QVERIFY(db.hasTable(QStringLiteral("v_see_noskhe")));
    }
}

QTEST_GUILESS_MAIN(BackupTest)
#include "backup_test.moc"
