#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/schema.h"
#include "insurance/drug_rule_store.h"
#include "insurance/insurer_store.h"
#include "insurance/ui/doctor.h"
#include "insurance/ui/fmbimeh.h"
#include "insurance/ui/fmbimeh_daru.h"
#include "insurance/ui/fmtarefeh.h"
#include "widgets/number_delegate.h"
#include "support/scripted_picker.h"
#include "support/test_database.h"
#include "support/typing.h"
#include "widgets/command_bar.h"
#include "support/window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlRecord>
#include <QTableView>
#include <QtTest>

using namespace ph;
using Kind = ScriptedPrompter::Kind;
using ph::test::child;
using ph::test::focusName;
using ph::test::press;
using ph::test::typeIn;
using ph::test::typeText;

namespace {

const QString kNoSave = QStringLiteral("دسترسي به کليد ثبت براي شما امکان پذير نمي باشد");

// Enter in the field that has the focus.
// A grid cell's text as the grid draws it.
QString drawnText(QTableView* grid, int row, int column) {
    const QModelIndex index = grid->model()->index(row, column);
    auto* delegate = qobject_cast<NumberDelegate*>(grid->itemDelegateForIndex(index));
    if (!delegate) return index.data().toString();
    QStyleOptionViewItem option;
    delegate->initStyleOption(&option, index);
    return option.text;
}

void enter(QWidget& window) {
    press(window, Qt::Key_Return);
}

// Replaces the text of the field that has the focus by typing, then presses Enter.
void typeAndEnter(QWidget& window, const QString& text) {
    auto* field = qobject_cast<QLineEdit*>(window.focusWidget());
    QVERIFY2(field, qPrintable(focusName(window)));
    field->selectAll();
    typeText(field, text);
    enter(window);
}

QVariantList row(Database& db, const QString& sql, const QVariantList& params = {}) {
    Rows q = db.exec(sql, params);
    QVariantList values;
    if (q.next())
        for (int i = 0; i < q.record().count(); ++i)
            values.append(q.value(i));
    return values;
}

} // namespace

class InsuranceWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void insurersAndContracts();
    void tariffs();
    void drugRules();
    void doctors();
    void insurersByKeyboardAlone();
    void tariffsByKeyboardAlone();
    void drugRulesByKeyboardAlone();
    void doctorsByKeyboardAlone();

private:
    WindowContext windows() { return {m_context, m_t->db(), m_prompter, m_clock, &m_picker}; }

    std::unique_ptr<test::TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    test::ScriptedPicker m_picker;
    FixedClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
};

void InsuranceWindowsTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    Schema(m_t->db()).ensure();
    m_context = AppContext();
    m_context.rights = {{"save_b", true}, {"edit_b", true}, {"delete_b", true}};
    m_prompter.clear();
}

void InsuranceWindowsTest::cleanup() {
    m_t.reset();
}

void InsuranceWindowsTest::insurersAndContracts() {
    Database& db = m_t->db();
    Tfmbimeh window(windows());
    QVERIFY(test::showActive(window));
    auto* name = child<QLineEdit>(window, "name_bimeh");
    auto* insurerPanel = child<QFrame>(window, "Panel1");

    // New insurer, typed through in the Enter order.
    QTest::keyClick(window.focusWidget(), Qt::Key_F2);
    QVERIFY(insurerPanel->isVisible());
    QCOMPARE(focusName(window), QString("name_bimeh"));
    typeText(name, "بيمه تست");
    enter(window);
    QCOMPARE(focusName(window), QString("code_bimeh"));
    typeAndEnter(window, "12");
    QCOMPARE(focusName(window), QString("code_pharma"));
    enter(window);
    QTest::keyClick(window.focusWidget(), Qt::Key_Space);
    enter(window);
    QCOMPARE(focusName(window), QString("but_taeed1"));
    enter(window);
    QVERIFY(!insurerPanel->isVisible());
    QCOMPARE(row(db, "select code, name, code_bimeh, code_pharmacy, orj_flag from organs_m"),
             (QVariantList{1, "بيمه تست", "12", "0", 1}));

    // The same name again is refused.
    QTest::keyClick(window.focusWidget(), Qt::Key_F2);
    typeText(name, "بيمه تست");
    child<QPushButton>(window, "but_taeed1")->click();
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{"نام بيمه تكراري مي باشد"});
    QVERIFY(!insurerPanel->isVisible());

    // The contract keys act although the insurer grid in use disables their buttons.
    child<QTableView>(window, "DBGrid1")->setFocus();
    QVERIFY(!window.contractBar()->isEnabled(CommandBar::Save));
    QTest::keyClick(window.focusWidget(), Qt::Key_F2, Qt::ControlModifier);
    QVERIFY(child<QFrame>(window, "Panel2")->isVisible());
    QCOMPARE(focusName(window), QString("v_from_d1"));
    typeText(window.focusWidget(), "051283"); // day 05, month 12, year 83
    enter(window);
    typeText(window.focusWidget(), "291283");
    enter(window);
    const QStringList amounts = {"70",       "3000000", "2000000", "6000000", "4000000",
                                 "10000000", "7000000", "2000000", "2500000"};
    for (const QString& amount : amounts)
        typeAndEnter(window, amount);
    // Enter in the last threshold goes to "تاييد"; the fee box is reached with Up.
    QCOMPARE(focusName(window), QString("but_taeed2"));
    QTest::keyClick(window.focusWidget(), Qt::Key_Up);
    QCOMPARE(focusName(window), QString("fani_flag"));
    QTest::keyClick(window.focusWidget(), Qt::Key_Space);
    enter(window);
    QCOMPARE(focusName(window), QString("but_taeed2"));
    enter(window);
    const char* contractSql =
        "select from_d, to_d, deduct, goksaghf, gadresssag, toksaghf, tadresssag, foghok, "
        "foghaddress, msaghf, dsaghf, fani_flag, row from organs_s where code=1";
    QVariantList expected = {"83/12/05", "83/12/29"};
    for (const QString& amount : amounts)
        expected.append(amount.toDouble());
    expected << 1 << 1;
    QVariantList stored = row(db, contractSql);
    for (int i = 2; i < 11; ++i)
        stored[i] = stored[i].toDouble();
    QCOMPARE(stored, expected);

    // Esc leaves a panel without saving; the window stays.
    QTest::keyClick(window.focusWidget(), Qt::Key_F2, Qt::ControlModifier);
    QTest::keyClick(window.focusWidget(), Qt::Key_Escape);
    QVERIFY(!child<QFrame>(window, "Panel2")->isVisible());
    QVERIFY(window.isVisible());

    // An insurer with prescriptions keeps its name and cannot be deleted.
    db.exec("insert into heading_noskhe (sh_factor, code_bimeh) values (1, 1)");
    QTest::keyClick(window.focusWidget(), Qt::Key_F3);
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QString("تغيير نام بيمه امكان پذير نيست"));
    QVERIFY(!name->isEnabled());
    QCOMPARE(focusName(window), QString("code_bimeh"));
    typeAndEnter(window, "34");
    child<QPushButton>(window, "but_taeed1")->click();
    QCOMPARE(row(db, "select name, code_bimeh from organs_m"), (QVariantList{"بيمه تست", "34"}));
    // An emptied code stores nothing and leaves the panel open.
    QTest::keyClick(window.focusWidget(), Qt::Key_F3);
    child<QLineEdit>(window, "code_pharma")->clear();
    child<QPushButton>(window, "but_taeed1")->click();
    QVERIFY(insurerPanel->isVisible());
    QCOMPARE(db.scalar("select code_pharmacy from organs_m").toString(), QString("0"));
    QTest::keyClick(window.focusWidget(), Qt::Key_Escape);
    m_prompter.answerYes();
    window.insurerBar()->button(CommandBar::Delete)->click();
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QString("حذف بيمه مورد نطر امكان پذير نمي باشد"));
    QCOMPARE(db.scalar("select count(*) from organs_s").toInt(), 1);

    // Without the save right nothing opens.
    m_context.rights.remove("save_b");
    QTest::keyClick(window.focusWidget(), Qt::Key_F2);
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), kNoSave);
    QVERIFY(!insurerPanel->isVisible());
}

void InsuranceWindowsTest::tariffs() {
    Database& db = m_t->db();
    Tfmtarefeh window(windows());
    QVERIFY(test::showActive(window));
    auto* panel = child<QFrame>(window, "Panel1");

    // The from date alone: nothing is stored and the panel closes.
    QTest::keyClick(window.focusWidget(), Qt::Key_F2);
    QCOMPARE(focusName(window), QString("v_from_d1"));
    typeText(window.focusWidget(), "010183");
    child<QPushButton>(window, "but_taeed")->click();
    QVERIFY(!panel->isVisible());
    QCOMPARE(db.scalar("select count(*) from tarefeh").toInt(), 0);

    QTest::keyClick(window.focusWidget(), Qt::Key_F2);
    typeText(window.focusWidget(), "010183");
    enter(window);
    typeText(window.focusWidget(), "291283");
    enter(window);
    typeAndEnter(window, "1000000");
    typeAndEnter(window, "60000");
    child<QPushButton>(window, "but_taeed")->click();
    QCOMPARE(row(db, "select from_d, to_d, mab_fani_saghf, mab_day_down, mab_day_up from tarefeh"),
             (QVariantList{"83/01/01", "83/12/29", 1000000.0, 60000.0, 0.0}));
    QCOMPARE(child<QTableView>(window, "DBGrid1")->model()->rowCount(), 1);

    // An amount that is not a number stops the save with the error report; the panel stays.
    QTest::keyClick(window.focusWidget(), Qt::Key_F2);
    typeText(window.focusWidget(), "010184");
    enter(window);
    typeText(window.focusWidget(), "291284");
    enter(window);
    typeAndEnter(window, "12x");
    child<QPushButton>(window, "but_taeed")->click();
    QCOMPARE(m_prompter.texts(Kind::ErrorReport).size(), 1);
    QVERIFY(panel->isVisible());
    QCOMPARE(db.scalar("select count(*) from tarefeh").toInt(), 1);
    QTest::keyClick(window.focusWidget(), Qt::Key_Escape);

    // Editing needs its right, worded for this window.
    m_context.rights.remove("edit_b");
    QTest::keyClick(window.focusWidget(), Qt::Key_F3);
    QCOMPARE(m_prompter.texts(Kind::Warning).last(),
             QString("دسترسي به کليداصلاح براي شما امکان پذير نمي باشد"));
    QVERIFY(!panel->isVisible());

    m_prompter.answerConfirm(1);
    QTest::keyClick(window.focusWidget(), Qt::Key_F4);
    QCOMPARE(m_prompter.texts(Kind::Confirm).last(),
             QString("ركورد جاري حذف ميشود . مايل به حذف كردن هستيد؟"));
    QCOMPARE(db.scalar("select count(*) from tarefeh").toInt(), 0);
}

void InsuranceWindowsTest::drugRules() {
    Database& db = m_t->db();
    InsurerStore insurers(db);
    for (const char* name : {"تامين اجتماعي", "بيمه سلامت", "نيروهاي مسلح"})
        insurers.add({0, QString::fromUtf8(name), "", "", false});
    db.exec("insert into type_kala (code, name, num) values (1, 'قرص', 1)");
    db.exec("insert into mosh_kala_anbar (code_kala, name_kala, type_code, group_code) values (1010001, "
            "'آتورواستاتين', 1, 1)");
    db.exec("insert into doctor_type (code, doc_type) values (4, 'متخصص')");
    DrugRuleStore(db).addForInsurers({2}, {0, 1010001, 2, 0, 4000, 0, false, false, 0});

    Tfmbimeh_daru window(windows());
    QVERIFY(test::showActive(window));
    QCOMPARE(focusName(window), QString("bimeh"));
    auto* list = child<QListWidget>(window, "CheckListBox1");
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(Qt::Checked);

    // The drug from the panel PageDown opens, then a quantity limit.
    enter(window);
    QCOMPARE(focusName(window), QString("me_name"));
    QTest::keyClick(window.focusWidget(), Qt::Key_PageDown);
    QVERIFY(child<QFrame>(window, "Panel1")->isVisible());
    QCOMPARE(focusName(window), QString("me_search"));
    enter(window);
    QCOMPARE(child<QLineEdit>(window, "me_type")->text(), QString("قرص"));
    QCOMPARE(focusName(window), QString("rb_tedad"));
    enter(window);
    QVERIFY(child<QRadioButton>(window, "rb_tedad")->isChecked());
    QCOMPARE(focusName(window), QString("tedad"));
    child<QLineEdit>(window, "tedad")->selectAll();
    typeText(window.focusWidget(), "30");
    QTest::keyClick(window.focusWidget(), Qt::Key_F2);
    // Two new rules; the insurer that had one keeps it.
    QCOMPARE(db.scalar("select count(*) from bimeh_daru").toInt(), 3);
    QCOMPARE(row(db, "select ty_no, qu, madrak from bimeh_daru where code_bimeh=3"),
             (QVariantList{1, 30.0, 0}));
    QCOMPARE(row(db, "select ty_no, mab from bimeh_daru where code_bimeh=2"), (QVariantList{2, 4000.0}));
    QVERIFY(child<QLineEdit>(window, "me_type")->text().isEmpty());

    // Edit asks for an insurer first.
    QTest::keyClick(window.focusWidget(), Qt::Key_F3);
    QCOMPARE(m_prompter.texts(Kind::Information).last(), QString("نام بيمه را انتخاب نماييد"));

    // The grid of an insurer shows its rule, which asks no specialty; choosing it loads it.
    auto* bimeh = child<QComboBox>(window, "bimeh");
    const int social = bimeh->findText("تامين اجتماعي");
    bimeh->setCurrentIndex(social);
    emit bimeh->activated(social);
    auto* grid = child<QTableView>(window, "DBGrid1");
    QCOMPARE(grid->model()->rowCount(), 1);
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QVERIFY(child<QRadioButton>(window, "rb_tedad")->isChecked());
    QCOMPARE(child<QLineEdit>(window, "tedad")->text(), QString("30"));

    // Edit with the specialty and a percentage of its own.
    auto* takh = child<QComboBox>(window, "takh");
    takh->setCurrentIndex(0);
    emit takh->activated(0);
    child<QLineEdit>(window, "edtDeduct")->setText("90");
    m_prompter.answerYes();
    QTest::keyClick(window.focusWidget(), Qt::Key_F3);
    QCOMPARE(row(db, "select ty_no, qu, madrak, deduct from bimeh_daru where code_bimeh=1"),
             (QVariantList{1, 30.0, 4, 90.0}));
    // Checking "غير بيمه اي" empties the limits and the specialty.
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QCOMPARE(takh->currentText(), QString("متخصص"));
    child<QCheckBox>(window, "non_bimeh")->click();
    QCOMPARE(child<QLineEdit>(window, "tedad")->text(), QString("0"));
    QCOMPARE(takh->currentIndex(), -1);

    // A tariff limit loads into "تعرفه بيمه", the quantity closed at "0".
    const int health = bimeh->findText("بيمه سلامت");
    bimeh->setCurrentIndex(health);
    emit bimeh->activated(health);
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QVERIFY(child<QRadioButton>(window, "rb_mab")->isChecked());
    QVERIFY(!child<QRadioButton>(window, "rb_tedad")->isChecked());
    QCOMPARE(child<QLineEdit>(window, "mab")->text(), QString("4000"));
    QVERIFY(child<QLineEdit>(window, "tedad")->isReadOnly());

    // Delete takes the grid's drug from every checked insurer.
    grid->setCurrentIndex(grid->model()->index(0, 0));
    m_prompter.answerYes();
    QTest::keyClick(window.focusWidget(), Qt::Key_F4);
    QCOMPARE(db.scalar("select count(*) from bimeh_daru").toInt(), 0);
}

void InsuranceWindowsTest::doctors() {
    Database& db = m_t->db();
    db.exec("insert into doctor_type (code, doc_type) values (1, 'پزشك عمومي')");
    db.exec("insert into doctor_type (code, doc_type) values (4, 'متخصص')");
    Tf_doctor window(windows());
    QVERIFY(test::showActive(window));
    QCOMPARE(focusName(window), QString("me_name"));
    QCOMPARE(child<QLineEdit>(window, "me_code")->text(), QString("1")); // the first doctor's code

    const auto save = [&window] { QTest::keyClick(window.focusWidget(), Qt::Key_F2); };
    save();
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QString("نام خانوادگي پزشك واردنشده است"));
    QCOMPARE(focusName(window), QString("me_family"));
    typeText(window.focusWidget(), "محمدي");
    save();
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QString("نوع تخصص پزشك مشخص نشده است"));
    QCOMPARE(focusName(window), QString("me_code_takhasos"));

    // An unknown specialty is refused on leaving forwards, not on leaving with Up.
    typeText(window.focusWidget(), "9");
    QTest::keyClick(window.focusWidget(), Qt::Key_Up);
    QCOMPARE(focusName(window), QString("me_name"));
    child<QLineEdit>(window, "me_code_takhasos")->setFocus();
    enter(window);
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QString("اين كد موجود نمي باشد"));
    QVERIFY(child<QLineEdit>(window, "me_code_takhasos")->text().isEmpty());

    // PageDown: the picker in its "type_doctor" mode fills the pair and moves on.
    m_picker.choose(4);
    QTest::keyClick(window.focusWidget(), Qt::Key_PageDown);
    QCOMPARE(m_picker.requests().last().mode, QString("type_doctor"));
    QCOMPARE(m_picker.requests().last().rows.size(), 2);
    QCOMPARE(child<QLineEdit>(window, "me_name_takhasos")->text(), QString("متخصص"));
    QCOMPARE(focusName(window), QString("me_nezam"));
    save();
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QString("شماره نظام پزشكي وارد نشده است"));
    typeText(window.focusWidget(), "45213");
    save();
    QCOMPARE(row(db, "select code, family, order1, typeno from doctor_s"),
             (QVariantList{1, "محمدي", "45213", 4}));
    QVERIFY(db.scalar("select name from doctor_s").isNull()); // no first name typed
    QCOMPARE(child<QLineEdit>(window, "me_code")->text(), QString("2"));
    QCOMPARE(child<QTableView>(window, "DBGrid1")->model()->rowCount(), 1);

    // The same council number for another doctor is a duplicate.
    child<QLineEdit>(window, "me_family")->setText("رضايي");
    child<QLineEdit>(window, "me_code_takhasos")->setText("1");
    child<QLineEdit>(window, "me_nezam")->setText("45213");
    save();
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QString("اطلاعات تكراري مي باشد"));
    QCOMPARE(db.scalar("select count(*) from doctor_s").toInt(), 1);

    // A doctor named by a prescription is not deleted.
    db.exec("insert into heading_noskhe (sh_factor, nezam_p) values (1, '45213')");
    auto* grid = child<QTableView>(window, "DBGrid1");
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QCOMPARE(child<QLineEdit>(window, "me_family")->text(), QString("محمدي"));
    // Edit refuses an unknown specialty as leaving the field does: the doctor stays listed.
    auto* specialty = child<QLineEdit>(window, "me_code_takhasos");
    specialty->setFocus();
    specialty->selectAll();
    typeText(specialty, "9");
    m_prompter.answerYes();
    QTest::keyClick(window.focusWidget(), Qt::Key_F3);
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QString("اين كد موجود نمي باشد"));
    QCOMPARE(focusName(window), QString("me_code_takhasos"));
    QCOMPARE(db.scalar("select typeno from doctor_s").toInt(), 4);
    QCOMPARE(grid->model()->rowCount(), 1);
    grid->setCurrentIndex(grid->model()->index(0, 0));
    m_prompter.answerYes();
    QTest::keyClick(window.focusWidget(), Qt::Key_F4);
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QString("حذف اطلاعات پزشك موردنظر امكان پذير نيست"));
    QCOMPARE(db.scalar("select count(*) from doctor_s").toInt(), 1);
}

void InsuranceWindowsTest::insurersByKeyboardAlone() {
    Database& db = m_t->db();
    Tfmbimeh window(windows());
    QVERIFY(test::showActive(window));
    QCOMPARE(focusName(window), QString("DBGrid1"));
    for (const char* name : {"بيمه الف", "بيمه ب"}) {
        press(window, Qt::Key_F2);
        typeIn(window, QString::fromUtf8(name));
        for (int i = 0; i < 4; ++i)
            press(window, Qt::Key_Return);
        QCOMPARE(focusName(window), QString("but_taeed1"));
        press(window, Qt::Key_Return);
        QCOMPARE(focusName(window), QString("DBGrid1"));
    }
    QCOMPARE(db.scalar("select count(*) from organs_m").toInt(), 2);

    // The second insurer, and two contracts for it.
    press(window, Qt::Key_Down);
    auto* contracts = child<QTableView>(window, "DBGrid2");
    QCOMPARE(contracts->model()->rowCount(), 0);
    for (const char* from : {"010104", "010105"}) {
        press(window, Qt::Key_F2, Qt::ControlModifier);
        QCOMPARE(focusName(window), QString("v_from_d1"));
        typeIn(window, QString::fromLatin1(from));
        press(window, Qt::Key_Return);
        typeIn(window, "291204");
        press(window, Qt::Key_Return);
        for (int i = 0; i < 9; ++i) { // the percentage and the eight thresholds
            typeIn(window, "5");
            press(window, Qt::Key_Return);
        }
        // Enter in the dentist threshold goes to "تاييد"; the fee box is one field back.
        QCOMPARE(focusName(window), QString("but_taeed2"));
        press(window, Qt::Key_Up);
        QCOMPARE(focusName(window), QString("fani_flag"));
        press(window, Qt::Key_Space);
        press(window, Qt::Key_Return);
        QCOMPARE(focusName(window), QString("but_taeed2"));
        press(window, Qt::Key_Return);
    }
    QCOMPARE(db.scalar("select count(*) from organs_s where code=2 and fani_flag=1 and deduct=5").toInt(), 2);
    QCOMPARE(contracts->model()->rowCount(), 2);

    // Tab leaves the insurer grid for the contract grid, whose commands the toolbar then offers.
    child<QTableView>(window, "DBGrid1")->setFocus();
    press(window, Qt::Key_Tab);
    QCOMPARE(focusName(window), QString("DBGrid2"));
    QVERIFY(window.contractBar()->isEnabled(CommandBar::Edit));
    QVERIFY(!window.insurerBar()->isEnabled(CommandBar::Save));
    press(window, Qt::Key_Down);
    press(window, Qt::Key_F3, Qt::ControlModifier);
    QCOMPARE(focusName(window), QString("v_from_d1"));
    QCOMPARE(child<QLineEdit>(window, "v_from_d1")->text(), QString("01/ 01/ 05"));
    press(window, Qt::Key_Escape);
    QVERIFY(!child<QFrame>(window, "Panel2")->isVisible());
    press(window, Qt::Key_F10);
    QVERIFY(!window.isVisible());
}

void InsuranceWindowsTest::tariffsByKeyboardAlone() {
    Database& db = m_t->db();
    Tfmtarefeh window(windows());
    QVERIFY(test::showActive(window));
    QCOMPARE(focusName(window), QString("DBGrid1"));
    press(window, Qt::Key_F2);
    typeIn(window, "010104");
    press(window, Qt::Key_Return);
    typeIn(window, "291204");
    press(window, Qt::Key_Return);
    for (int i = 0; i < 10; ++i) {
        typeIn(window, "7");
        press(window, Qt::Key_Return);
    }
    QCOMPARE(focusName(window), QString("but_taeed"));
    press(window, Qt::Key_Up);
    QCOMPARE(focusName(window), QString("v_u_orj"));
    press(window, Qt::Key_Return);
    press(window, Qt::Key_Return);
    QCOMPARE(db.scalar("select mab_orj_up from tarefeh").toDouble(), 7.0);
    QCOMPARE(focusName(window), QString("DBGrid1"));
    press(window, Qt::Key_F3);
    QCOMPARE(child<QLineEdit>(window, "v_from_d1")->text(), QString("01/ 01/ 04"));
    press(window, Qt::Key_Escape);
    QVERIFY(window.isVisible());
    QVERIFY(!child<QFrame>(window, "Panel1")->isVisible());
    m_prompter.answerConfirm(1);
    press(window, Qt::Key_F4);
    QCOMPARE(db.scalar("select count(*) from tarefeh").toInt(), 0);
    press(window, Qt::Key_F10);
    QVERIFY(!window.isVisible());
}

void InsuranceWindowsTest::drugRulesByKeyboardAlone() {
    Database& db = m_t->db();
    InsurerStore insurers(db);
    for (const char* name : {"تامين اجتماعي", "بيمه سلامت"})
        insurers.add({0, QString::fromUtf8(name), "", "", false});
    db.exec("insert into type_kala (code, name, num) values (1, 'قرص', 2)");
    db.exec("insert into mosh_kala_anbar (code_kala, name_kala, type_code, group_code) values (1010001, "
            "'آتورواستاتين', 1, 1)");
    db.exec("insert into mosh_kala_anbar (code_kala, name_kala, type_code, group_code) values (1010002, "
            "'آملوديپين', 1, 1)");
    db.exec("insert into doctor_type (code, doc_type) values (4, 'متخصص')");

    Tfmbimeh_daru window(windows());
    QVERIFY(test::showActive(window));
    QCOMPARE(focusName(window), QString("bimeh"));
    // The first insurer by name: the grid shows its rules.
    press(window, Qt::Key_Down);
    QCOMPARE(child<QComboBox>(window, "bimeh")->currentText(), QString("بيمه سلامت"));
    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QString("me_name"));
    // The drug panel: Ctrl+F9 (or Esc) leaves it for the drug field, Ctrl+F2 or Enter takes the row.
    auto* drugPanel = child<QFrame>(window, "Panel1");
    for (Qt::Key leave : {Qt::Key_F9, Qt::Key_Escape}) {
        press(window, Qt::Key_PageDown);
        QVERIFY(drugPanel->isVisible());
        press(window, leave, leave == Qt::Key_F9 ? Qt::ControlModifier : Qt::NoModifier);
        QVERIFY(!drugPanel->isVisible());
        QCOMPARE(focusName(window), QString("me_name"));
    }
    press(window, Qt::Key_PageDown);
    typeIn(window, "آت");
    press(window, Qt::Key_F2, Qt::ControlModifier);
    QCOMPARE(child<QComboBox>(window, "me_name")->currentText(), QString("آتورواستاتين"));
    QCOMPARE(focusName(window), QString("rb_tedad"));
    QCOMPARE(db.scalar("select count(*) from bimeh_daru").toInt(), 0);
    child<QComboBox>(window, "me_name")->setFocus();
    press(window, Qt::Key_PageDown);
    QCOMPARE(focusName(window), QString("me_search"));
    typeIn(window, "آم");
    press(window, Qt::Key_Return);
    QCOMPARE(child<QComboBox>(window, "me_name")->currentText(), QString("آملوديپين"));
    QCOMPARE(focusName(window), QString("rb_tedad"));
    press(window, Qt::Key_Return);
    typeIn(window, "30");
    // Enter goes on from the quantity to the insurer list, where Space checks the insurer.
    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QString("CheckListBox1"));
    press(window, Qt::Key_Down);
    press(window, Qt::Key_Space);
    QCOMPARE(child<QListWidget>(window, "CheckListBox1")->item(1)->checkState(), Qt::Checked);
    press(window, Qt::Key_F2);
    QCOMPARE(row(db, "select code_bimeh, code_kala, ty_no, qu from bimeh_daru"),
             (QVariantList{2, 1010002.0, 1, 30.0}));
    QCOMPARE(focusName(window), QString("me_name"));

    // Through the insurer field to the grid, a row loaded, and edited.
    press(window, Qt::Key_Left);
    QCOMPARE(focusName(window), QString("bimeh"));
    press(window, Qt::Key_Left);
    QCOMPARE(focusName(window), QString("DBGrid1"));
    QCOMPARE(child<QTableView>(window, "DBGrid1")->model()->rowCount(), 1);
    // The drug code reads whole in the rule grid and the drug panel, never as 1.01e+06.
    QCOMPARE(drawnText(child<QTableView>(window, "DBGrid1"), 0, 1), QString("1010002"));
    QCOMPARE(drawnText(child<QTableView>(window, "DBGrid2"), 0, 0), QString("1010002")); // still filtered to "آم"
    press(window, Qt::Key_Down);
    QCOMPARE(child<QLineEdit>(window, "tedad")->text(), QString("30"));
    m_prompter.answerYes();
    press(window, Qt::Key_F3);
    QCOMPARE(m_prompter.texts(Kind::YesNo).last(), QString("آيا از ويرايش اطلاعات مطمئن هستيد؟"));
    // The quick search below the grid, and back.
    child<QTableView>(window, "DBGrid1")->setFocus();
    press(window, Qt::Key_Tab);
    QCOMPARE(focusName(window), QString("me_search2"));
    typeIn(window, "1010002");
    press(window, Qt::Key_Down);
    QCOMPARE(focusName(window), QString("DBGrid1"));
    press(window, Qt::Key_C, Qt::ControlModifier); // sorted by name
    m_prompter.answerYes();
    press(window, Qt::Key_F4);
    QCOMPARE(db.scalar("select count(*) from bimeh_daru").toInt(), 0);
    press(window, Qt::Key_F10);
    QVERIFY(!window.isVisible());
}

void InsuranceWindowsTest::doctorsByKeyboardAlone() {
    Database& db = m_t->db();
    db.exec("insert into doctor_type (code, doc_type) values (4, 'متخصص')");
    Tf_doctor window(windows());
    QVERIFY(test::showActive(window));
    QCOMPARE(focusName(window), QString("me_name"));
    press(window, Qt::Key_Up);
    QCOMPARE(focusName(window), QString("me_family"));
    typeIn(window, "محمدي");
    press(window, Qt::Key_Return);
    typeIn(window, "علي");
    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QString("me_code_takhasos"));
    typeIn(window, "4");
    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QString("me_nezam"));
    typeIn(window, "45213");
    press(window, Qt::Key_F2);
    QCOMPARE(row(db, "select code, name, family, order1, typeno from doctor_s"),
             (QVariantList{1, "علي", "محمدي", "45213", 4}));
    QCOMPARE(focusName(window), QString("me_name"));

    // Down from the council number to the searches, Enter to the grid, Enter to the fields.
    child<QLineEdit>(window, "me_nezam")->setFocus();
    press(window, Qt::Key_Down);
    QCOMPARE(focusName(window), QString("me_search1"));
    press(window, Qt::Key_Down);
    QCOMPARE(focusName(window), QString("me_search2"));
    typeIn(window, "45213");
    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QString("DBGrid1"));
    QCOMPARE(child<QLineEdit>(window, "me_family")->text(), QString("محمدي"));
    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QString("me_family"));
    press(window, Qt::Key_End);
    typeIn(window, "ي");
    m_prompter.answerYes();
    press(window, Qt::Key_F3);
    QCOMPARE(db.scalar("select family from doctor_s").toString(), QString("محمديي"));
    press(window, Qt::Key_F9);
    QCOMPARE(child<QLineEdit>(window, "me_code")->text(), QString("2"));
    press(window, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(child<QLineEdit>(window, "me_code")->text(), QString("1"));
    m_prompter.answerYes();
    press(window, Qt::Key_F4);
    QCOMPARE(db.scalar("select count(*) from doctor_s").toInt(), 0);
    press(window, Qt::Key_F10);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(InsuranceWindowsTest)
#include "insurance_windows_test.moc"
