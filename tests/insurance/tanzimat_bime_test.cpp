#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/schema.h"
#include "insurance/print_setting_store.h"
#include "insurance/ui/tanzimat_bime.h"
#include "support/scripted_picker.h"
#include "support/test_database.h"
#include "support/typing.h"
#include "support/window_fixture.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QSqlRecord>
#include <QTableView>
#include <QtTest>

using namespace ph;
using Kind = ScriptedPrompter::Kind;
using ph::test::child;
using ph::test::focusName;
using ph::test::press;
using ph::test::typeText;

namespace {

// The position fields in the order of the stored columns x_noskhe, y_noskhe, ... y_pardakht.
const QStringList kPositionFields = {"me_xcode", "me_ycode", "me_xprice", "me_yprice", "me_xkoll", "me_ykoll",
                                     "me_xbimar", "me_ybimar", "me_xazad", "me_yazad", "me_xpar", "me_ypar"};

QVariantList row(Database& db, const QString& sql, const QVariantList& params = {}) {
    Rows q = db.exec(sql, params);
    QVariantList values;
    if (q.next())
        for (int i = 0; i < q.record().count(); ++i)
            values.append(q.value(i).isNull() ? QVariant() : q.value(i)); // a null reads alike on every engine
    return values;
}

} // namespace

class TanzimatBimeTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void refusalsInOrder_data();
    void refusalsInOrder();
    void oneRowPerInsurerWithOneChoice();
    void gridRowLoadsAndEnterReachesThePositions();

private:
    WindowContext windows() { return {m_context, m_t->db(), m_prompter, m_clock, &m_picker}; }
    void typeCode(Tf_tanzimat_bime& window, const QString& code);
    void fillPositions(Tf_tanzimat_bime& window, const QStringList& values);

    std::unique_ptr<test::TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    test::ScriptedPicker m_picker;
    FixedClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
};

void TanzimatBimeTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    Schema(m_t->db()).ensure();
    const QString insurer = QStringLiteral("insert into organs_m (code, name, code_bimeh, code_pharmacy, orj_flag) "
                                           "values (?, ?, '0', '0', 0)");
    m_t->db().exec(insurer, {2, QStringLiteral("بيمه سلامت")});
    m_t->db().exec(insurer, {3, QStringLiteral("نيروهاي مسلح")});
    m_context = AppContext(); // no rights: the window checks none
    m_prompter.clear();
}

void TanzimatBimeTest::cleanup() {
    m_t.reset();
}

void TanzimatBimeTest::typeCode(Tf_tanzimat_bime& window, const QString& code) {
    auto* field = child<QLineEdit>(window, "me_code_bime");
    field->setFocus();
    field->clear();
    typeText(field, code);
}

void TanzimatBimeTest::fillPositions(Tf_tanzimat_bime& window, const QStringList& values) {
    for (int i = 0; i < kPositionFields.size(); ++i)
        child<QLineEdit>(window, kPositionFields.at(i))->setText(values.value(i));
}

void TanzimatBimeTest::refusalsInOrder_data() {
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("empty"); // position fields left empty
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    const QStringList all = kPositionFields;
    QTest::newRow("no insurer") << "rb_custom" << "" << QStringList{} << "نام بيمه وارد نشده است" << "me_code_bime";
    QTest::newRow("custom, no x of the code") << "rb_custom" << "2" << all << "محل چاپ كدنسخه مشخص نشده است"
                                              << "me_xcode";
    // The x column is checked top down, then the y column bottom up, the paid amount's y last.
    QTest::newRow("x of paid before y of free")
        << "rb_custom" << "2" << QStringList{"me_xpar", "me_yazad"} << "محل چاپ مبلغ پرداختي مشخص نشده است"
        << "me_xpar";
    QTest::newRow("y of free before y of code")
        << "rb_custom" << "2" << QStringList{"me_yazad", "me_ycode"} << "محل چاپ مبلغ آزاد مشخص نشده است"
        << "me_yazad";
    QTest::newRow("y of paid last") << "rb_custom" << "2" << QStringList{"me_ypar"}
                                    << "محل چاپ  مبلغ پرداختي مشخص نشده است" << "me_ypar";
    QTest::newRow("no choice needs the positions too")
        << "" << "2" << QStringList{"me_ykoll"} << "محل چاپ جمع كل مشخص نشده است" << "me_ykoll";
    QTest::newRow("no choice with every position") << "" << "2" << QStringList{} << "نوع تنظيم چاپ مشخص نشده است"
                                                    << "";
    QTest::newRow("a position that is not a number") << "rb_custom" << "2" << QStringList{} << "" << "";
}

void TanzimatBimeTest::refusalsInOrder() {
    QFETCH(QString, choice);
    QFETCH(QString, code);
    QFETCH(QStringList, empty);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Tf_tanzimat_bime window(windows());
    QVERIFY(test::showActive(window));
    typeCode(window, code);
    if (!choice.isEmpty()) child<QRadioButton>(window, choice)->setChecked(true);
    fillPositions(window, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "11", "12"});
    for (const QString& name : empty)
        child<QLineEdit>(window, name)->clear();
    const bool badNumber = message.isEmpty();
    if (badNumber) child<QLineEdit>(window, "me_xkoll")->setText("1,5a");
    press(window, Qt::Key_F2);
    if (badNumber) {
        QCOMPARE(m_prompter.texts(Kind::ErrorReport).size(), 1);
    } else {
        QCOMPARE(m_prompter.texts(), QStringList{message});
        if (!focus.isEmpty()) QCOMPARE(focusName(window), focus);
    }
    QCOMPARE(m_t->db().scalar("select count(*) from tanzimat_bimeh").toInt(), 0);
    QCOMPARE(child<QLineEdit>(window, "me_code_bime")->text(), code); // the form keeps what was typed
}

void TanzimatBimeTest::oneRowPerInsurerWithOneChoice() {
    Database& db = m_t->db();
    Tf_tanzimat_bime window(windows());
    QVERIFY(test::showActive(window));
    auto* grid = child<QTableView>(window, "DBGrid1");
    const QString stored = "select custom, defult1, defult2, x_noskhe, y_noskhe, x_pardakht, y_pardakht "
                           "from tanzimat_bimeh where code_bimeh=2";
    const QString columns = "select count(*), sum(custom + defult1 + defult2) from tanzimat_bimeh where code_bimeh=2";

    // Layout 1 on a new row: the flags only, whatever the position fields hold.
    typeCode(window, "2");
    QCOMPARE(child<QLineEdit>(window, "me_name_bime")->text(), QString("بيمه سلامت"));
    child<QRadioButton>(window, "rb_defult1")->setChecked(true);
    child<QLineEdit>(window, "me_xcode")->setText("7");
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(), QStringList{"اطلاعات شما ثبت گرديد"});
    QCOMPARE(row(db, stored),
             (QVariantList{0, 1, 0, QVariant(), QVariant(), QVariant(), QVariant()}));
    QCOMPARE(child<QLineEdit>(window, "me_code_bime")->text(), QString()); // emptied after the save
    QCOMPARE(grid->model()->rowCount(), 0); // a fixed layout is not listed

    // Custom with "0" as a position: listed in the grid.
    typeCode(window, "2");
    child<QRadioButton>(window, "rb_custom")->setChecked(true);
    fillPositions(window, {"0", "6.6", "82.6", "10", "82.6", "60", "82.6", "65", "82.6", "70", "82.6", "75.5"});
    press(window, Qt::Key_F2);
    QCOMPARE(row(db, stored),
             (QVariantList{1, 0, 0, 0.0, 6.6, 82.6, 75.5}));
    QCOMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(grid->model()->index(0, 1).data().toString(), QString("بيمه سلامت"));

    // Back to layout 2: the positions stay in the row, the grid drops the insurer.
    typeCode(window, "2");
    press(window, Qt::Key_Return); // leaves the code: its custom setting comes back
    QVERIFY(child<QRadioButton>(window, "rb_custom")->isChecked());
    QCOMPARE(child<QLineEdit>(window, "me_ypar")->text(), QString("75.5"));
    QCOMPARE(focusName(window), QString("me_xcode"));
    child<QRadioButton>(window, "rb_defult2")->setChecked(true);
    press(window, Qt::Key_F2);
    QCOMPARE(row(db, stored),
             (QVariantList{0, 0, 1, 0.0, 6.6, 82.6, 75.5}));
    QCOMPARE(row(db, columns), (QVariantList{1, 1}));
    QCOMPARE(grid->model()->rowCount(), 0);

    // Leaving the code of an insurer without a setting empties the positions and the choice.
    fillPositions(window, {"1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1"});
    child<QRadioButton>(window, "rb_custom")->setChecked(true);
    typeCode(window, "3");
    press(window, Qt::Key_Return);
    QCOMPARE(child<QLineEdit>(window, "me_xcode")->text(), QString());
    QVERIFY(!child<QRadioButton>(window, "rb_custom")->isChecked());
    // An unknown code is refused on leaving.
    m_prompter.clear();
    typeCode(window, "9");
    press(window, Qt::Key_Return);
    QCOMPARE(m_prompter.texts(), QStringList{"اين كد موجود نمي باشد"});
    QCOMPARE(focusName(window), QString("me_code_bime"));
}

void TanzimatBimeTest::gridRowLoadsAndEnterReachesThePositions() {
    PrintPositions p;
    p.code = {2.6, 6.6};
    p.price = {82.6, 20};
    p.total = {82.6, 60};
    p.patient = {82.6, 65};
    p.free = {82.6, 70};
    p.paid = {82.6, 75};
    QCOMPARE(PrintSettingStore(m_t->db()).save(3, PrintChoice::Custom, p), PrintSettingStore::SaveResult::Stored);
    Tf_tanzimat_bime window(windows());
    QVERIFY(test::showActive(window));
    auto* grid = child<QTableView>(window, "DBGrid1");
    QCOMPARE(grid->model()->rowCount(), 1);
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 1));
    press(window, Qt::Key_Return);
    QCOMPARE(child<QLineEdit>(window, "me_code_bime")->text(), QString("3"));
    QCOMPARE(child<QLineEdit>(window, "me_name_bime")->text(), QString("نيروهاي مسلح"));
    QVERIFY(child<QRadioButton>(window, "rb_custom")->isChecked());
    QCOMPARE(child<QLineEdit>(window, "me_xcode")->text(), QString("2.6"));
    QCOMPARE(child<QLineEdit>(window, "me_ypar")->text(), QString("75"));
    QCOMPARE(focusName(window), QString("me_xcode"));
    // The store refuses a custom choice without every position, and no choice at all.
    p.paid.y.reset();
    QCOMPARE(PrintSettingStore(m_t->db()).save(3, PrintChoice::Custom, p),
             PrintSettingStore::SaveResult::MissingPosition);
    QCOMPARE(PrintSettingStore(m_t->db()).save(3, PrintChoice::None, p), PrintSettingStore::SaveResult::NoChoice);
    QCOMPARE(PrintSettingStore(m_t->db()).forInsurer(3)->positions.paid.y, std::optional<double>(75));
}

QTEST_MAIN(TanzimatBimeTest)
#include "tanzimat_bime_test.moc"
