// The backup, restore and social-security repair windows and the structure repair command.
#include "admin/ui/backup_windows.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/schema.h"
#include "support/scripted_picker.h"
#include "support/test_database.h"
#include "support/window_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace ph;
using ph::test::child;
using ph::test::TestDatabase;
using Kind = ScriptedPrompter::Kind;

namespace {

const QString kNoAccess = QStringLiteral("امکان دسترسي به اين فرم براي شما وجودندارد");

struct Fixture {
    TestDatabase t;
    AppContext context;
    ScriptedPrompter prompter;
    FixedClock clock{QDateTime(QDate(2021, 3, 5), QTime(10, 0))};
    test::ScriptedPicker picker;
    WindowContext windows{context, t.db(), prompter, clock, &picker};

    Fixture() {
        Schema(t.db()).ensure();
        context.current_date = QStringLiteral("99/12/15");
        context.rights.insert(QStringLiteral("disk_b"), true);
    }
    int goods() { return t.db().scalar(QStringLiteral("select count(*) from mosh_kala_anbar")).toInt(); }
    void addGoods(int code) {
        t.db().exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala) values (?, ?)"), {double(code), QStringLiteral("x")});
    }
};

} // namespace

class BackupWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void backupToTheDefaultAndAChosenFile();
    void restoreNeedsTheRightAndAFileThatChecksOut();
    void socialSecurityRepairWindow();
    void structureRepairNeedsTheRight();
};

void BackupWindowsTest::backupToTheDefaultAndAChosenFile() {
    Fixture f;
    f.addGoods(1);
    Tf_disk_bimeh window(f.windows, f.t.workingDir());
    QString proposed;
    window.setFileChooser([&](const QString& path) {
        proposed = path;
        return QString();
    });
    QVERIFY(test::showActive(window));
    QVERIFY(child<QRadioButton>(window, QStringLiteral("rb_default"))->isChecked());
    // The same day's second backup replaces the first.
    for (int run = 0; run < 2; ++run)
        QTest::keyClick(&window, Qt::Key_F2, Qt::ShiftModifier);
    const QDir folder(QDir(f.t.workingDir()).absoluteFilePath(QStringLiteral("backup")));
    const QStringList files = folder.entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(files.size(), 1);
    QVERIFY2(files.first().startsWith(QLatin1String("backup991215.")), qPrintable(files.first()));
    QCOMPARE(f.prompter.texts(Kind::Information).size(), 2);
    QVERIFY(f.prompter.texts(Kind::Information).first().startsWith(QStringLiteral("تهيه گرديدC فايل پشتيبان دردرايو")));
    QVERIFY(!child<QLabel>(window, QStringLiteral("lbl_wait"))->isVisible());

    // A chosen place: the dialog proposes the day's name; cancelling it does nothing.
    f.prompter.clear();
    child<QRadioButton>(window, QStringLiteral("rb_chosen"))->setChecked(true);
    child<QPushButton>(window, QStringLiteral("but_ok2"))->click();
    QVERIFY(QFileInfo(proposed).fileName().startsWith(QLatin1String("backup991215.")));
    QVERIFY(f.prompter.texts().isEmpty());
    const QString chosen = QDir(f.t.workingDir()).absoluteFilePath(QStringLiteral("mine.bak"));
    window.setFileChooser([&](const QString&) { return chosen; });
    child<QPushButton>(window, QStringLiteral("but_ok2"))->click();
    QVERIFY(QFileInfo(chosen).isFile());
    QCOMPARE(f.prompter.texts(Kind::Information), QStringList{QStringLiteral("از اطلاعات فايل پشتيبان تهيه گرديد")});
    window.hide();
    QVERIFY(test::showActive(window));
    QVERIFY(child<QRadioButton>(window, QStringLiteral("rb_default"))->isChecked());
}

void BackupWindowsTest::restoreNeedsTheRightAndAFileThatChecksOut() {
    Fixture f;
    f.addGoods(1);
    const QString file = QDir(f.t.workingDir()).absoluteFilePath(QStringLiteral("good.bak"));
    Tf_disk_bimeh backup(f.windows, f.t.workingDir());
    backup.setFileChooser([&](const QString&) { return file; });
    child<QRadioButton>(backup, QStringLiteral("rb_chosen"))->setChecked(true);
    backup.saveBackup();
    f.addGoods(2);
    f.prompter.clear();

    Trestore window(f.windows);
    window.setFileChooser([&](const QString&) { return file; });
    child<QPushButton>(window, QStringLiteral("but_path"))->click();
    QCOMPARE(QDir::fromNativeSeparators(child<QLineEdit>(window, QStringLiteral("me_path"))->text()), file);

    f.context.rights.insert(QStringLiteral("disk_b"), false);
    window.restore();
    QCOMPARE(f.prompter.texts(Kind::Warning), QStringList{kNoAccess});
    QCOMPARE(f.goods(), 2);

    f.context.rights.insert(QStringLiteral("disk_b"), true);
    f.prompter.clear();
    const QString junk = QDir(f.t.workingDir()).absoluteFilePath(QStringLiteral("junk.bak"));
    QFile bytes(junk);
    QVERIFY(bytes.open(QIODevice::WriteOnly));
    bytes.write(QByteArray(4096, 'q'));
    bytes.close();
    child<QLineEdit>(window, QStringLiteral("me_path"))->setText(junk);
    window.restore();
    QCOMPARE(f.prompter.texts(Kind::Warning).size(), 1);
    QVERIFY(f.prompter.texts(Kind::Warning).first().contains(QStringLiteral("بانک اطلاعاتي فعلي تغييري نكرد")));
    QCOMPARE(f.goods(), 2);

    f.prompter.clear();
    child<QLineEdit>(window, QStringLiteral("me_path"))->setText(file);
    child<QPushButton>(window, QStringLiteral("but_restore"))->click();
    QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("بازگرداندن اطلاعات با موفقيت انجام شد")});
    QCOMPARE(f.goods(), 1);
}

void BackupWindowsTest::socialSecurityRepairWindow() {
    Fixture f;
    Database& db = f.t.db();
    db.exec(QStringLiteral("insert into organs_m (code, name) values (1, 'b'), (2, 'a')"));
    for (auto view = schemaViews().crbegin(); view != schemaViews().crend(); ++view)
        db.exec(QStringLiteral("drop view ") + view->name);
    for (const char* table : {"mosh_bimaran", "heading_noskhe", "details_noskhe"})
        db.exec(QStringLiteral("alter table %1 drop column insnotamin").arg(QLatin1String(table)));
    db.exec(QStringLiteral("alter table tanzimat drop column tamincode"));
    db.exec(QStringLiteral("insert into tanzimat (payam) values ('x')"));
    db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, sh_bimeh, code_bimeh) values (1, '123456789000120307', 2)"));

    TfrmTarmim window(f.windows);
    QVERIFY(test::showActive(window));
    auto* names = child<QListWidget>(window, QStringLiteral("lstMain"));
    auto* codes = child<QListWidget>(window, QStringLiteral("lstIDs"));
    child<QPushButton>(window, QStringLiteral("btnTarmim"))->click();
    QCOMPARE(f.prompter.texts(Kind::Warning), QStringList{QStringLiteral("مقدار کد تامين اجتماعي را وارد کنيد")});
    QCOMPARE(test::focusName(window), QStringLiteral("btnFind"));

    for (int code : {2, 2, 1}) {
        f.picker.choose(code);
        child<QPushButton>(window, QStringLiteral("btnFind"))->click();
    }
    QCOMPARE(f.picker.requests().first().rows.first().name1, QStringLiteral("a")); // by name
    QCOMPARE(codes->count(), 2);
    names->setCurrentRow(1);
    child<QPushButton>(window, QStringLiteral("btnDel"))->click();
    QCOMPARE(names->count(), 1);
    QCOMPARE(codes->item(0)->text(), QStringLiteral("2"));

    f.prompter.clear();
    child<QPushButton>(window, QStringLiteral("btnTarmim"))->click();
    QVERIFY(f.prompter.texts().isEmpty());
    QVERIFY(window.isVisible());
    QCOMPARE(db.scalar(QStringLiteral("select tamincode from tanzimat")).toString(), QStringLiteral("2"));
    QCOMPARE(db.scalar(QStringLiteral("select insnotamin from heading_noskhe")).toString(), QStringLiteral("1234567890-0012-03-07"));
    QCOMPARE(f.context.tamin_codes, QStringList{QStringLiteral("2")});
    // Opened again, it starts with empty lists.
    window.hide();
    QVERIFY(test::showActive(window));
    QCOMPARE(names->count(), 0);
    QCOMPARE(codes->count(), 0);
}

void BackupWindowsTest::structureRepairNeedsTheRight() {
    Fixture f;
    f.t.db().exec(QStringLiteral("insert into organs_s (code, row, from_d) values (1, 1, '03/01/01')"));
    f.context.rights.insert(QStringLiteral("disk_b"), false);
    runStructureRepair(f.windows, nullptr);
    QCOMPARE(f.prompter.texts(), QStringList{kNoAccess});
    QCOMPARE(f.t.db().scalar(QStringLiteral("select from_d from organs_s")).toString(), QStringLiteral("03/01/01"));

    f.prompter.clear();
    f.context.rights.insert(QStringLiteral("disk_b"), true);
    runStructureRepair(f.windows, nullptr);
    QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("ok")});
    QCOMPARE(f.t.db().scalar(QStringLiteral("select from_d from organs_s")).toString(), QStringLiteral("00/01/01"));
}

QTEST_MAIN(BackupWindowsTest)
#include "backup_windows_test.moc"
