#include "catalogue/formulas.h"
#include "catalogue/goods_tree.h"
#include "catalogue/ui/d_sakhtani.h"
#include "catalogue/ui/formul.h"
#include "catalogue/ui/mosh_kala.h"
#include "catalogue/ui/payam.h"
#include "catalogue/ui/type_formul.h"
#include "catalogue/ui/wait_.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/schema.h"
#include "support/test_database.h"
#include "support/window_fixture.h"
#include "barcode_keys.h"
#include "compounding_fixture.h"
#include "goods_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>

using namespace ph;
using namespace ph::test;
using Kind = ScriptedPrompter::Kind;

// The compounding windows driven by their keys: what they say and what reaches the database.
class CompoundingWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void drugTextWindowShowsTheListOfItsFormMode();
    void materialsWindowChecksInOrder_data();
    void materialsWindowChecksInOrder();
    void formulaTypeWindowSavesAndRefusesDuplicates();
    void formulaWindowPricesSavesShowsAndProtects();
    void formulaWindowShowsTheDrugChosenInTheSearch();
    void materialsWindowDropsItsAppearanceMenuOnF6();
    void priceUpdateWindowRunsAndReports();
    void goodsTreeWindowAddsEditsAndRefusesDeletes();
    void goodsTreeWindowKeepsBarcodesOfTheSelectedGoods();

private:
    WindowContext windowContext() { return WindowContext{m_context, m_t->db(), m_prompter, m_clock}; }

    std::unique_ptr<TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
};

void CompoundingWindowsTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Schema(m_t->db()).ensure();
    seedCompounding(m_t->db());
    m_prompter.clear();
    m_context = AppContext{};
    m_context.current_date = QStringLiteral("05/09/19");
    for (const char* right : {"save_b", "edit_b", "delete_b", "mat"}) m_context.rights[QString::fromLatin1(right)] = true;
}

void CompoundingWindowsTest::cleanup() {
    m_t.reset();
}

void CompoundingWindowsTest::drugTextWindowShowsTheListOfItsFormMode() {
    Tf_payam window(windowContext());
    window.setFormMode(3);
    QVERIFY(showActive(window));
    QCOMPARE(window.windowTitle(), QStringLiteral(" فرم تعريف نحوه نگهداري دارو "));
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_code"))->text(), QStringLiteral("2"));
    QCOMPARE(focusName(window), QStringLiteral("me_name"));
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{QStringLiteral("شرح تعريف نشده است")});
    typeIn(window, QStringLiteral("در يخچال"));
    press(window, Qt::Key_F2);
    QCOMPARE(DrugTextStore(m_t->db(), DrugTextKind::Storage).textOf(2), QStringLiteral("در يخچال"));
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_code"))->text(), QStringLiteral("3"));
    QCOMPARE(child<QTableView>(window, QStringLiteral("DBGrid1"))->model()->rowCount(), 2);

    // Code 1 is named by a formula: the delete is refused after the question.
    FormulaStore(m_t->db()).add(ointment());
    QTableView* grid = child<QTableView>(window, QStringLiteral("DBGrid1"));
    grid->setFocus();
    press(window, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_code"))->text(), QStringLiteral("1"));
    m_prompter.answerYes();
    press(window, Qt::Key_F4);
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QStringLiteral("امكان حذف وجود ندارد"));
    QVERIFY(DrugTextStore(m_t->db(), DrugTextKind::Storage).textOf(1));
}

void CompoundingWindowsTest::materialsWindowChecksInOrder_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("warning"); // empty: stored
    QTest::newRow("no name") << "" << "1" << "10" << "نام ماده مشخص نشده است";
    QTest::newRow("no unit") << "پارافين" << "" << "10" << "واحد ماده مشخص نشده است";
    QTest::newRow("no price") << "پارافين" << "1" << "" << "قيمت مشخص نشده است";
    QTest::newRow("name taken") << "وازلين" << "1" << "10" << "نام ماده تكراري است";
    QTest::newRow("stored") << "پارافين" << "2" << "2500.5" << "";
}

void CompoundingWindowsTest::materialsWindowChecksInOrder() {
    QFETCH(QString, name);
    QFETCH(QString, unit);
    QFETCH(QString, price);
    QFETCH(QString, warning);
    Tf_d_sakhtani window(windowContext());
    QVERIFY(showActive(window));
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_code"))->text(), QStringLiteral("3"));
    child<QLineEdit>(window, QStringLiteral("me_name"))->setText(name);
    child<QLineEdit>(window, QStringLiteral("me_code_vahed"))->setText(unit);
    child<QLineEdit>(window, QStringLiteral("me_price"))->setText(price);
    press(window, Qt::Key_F2);
    if (warning.isEmpty()) {
        QVERIFY(m_prompter.texts(Kind::Warning).isEmpty());
        const std::optional<Material> stored = MaterialStore(m_t->db()).find(3);
        QVERIFY(stored);
        QCOMPARE(stored->unitName, QStringLiteral("ميلي ليتر"));
        QCOMPARE(*stored->price, 2500.5);
        QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_code"))->text(), QStringLiteral("4"));
    } else {
        QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{warning});
        QVERIFY(!MaterialStore(m_t->db()).find(3));
    }
}

void CompoundingWindowsTest::formulaTypeWindowSavesAndRefusesDuplicates() {
    TF_type_formul window(windowContext());
    QVERIFY(showActive(window));
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_code"))->text(), QStringLiteral("2"));
    typeIn(window, QStringLiteral("پماد"));
    press(window, Qt::Key_Return);
    typeIn(window, QStringLiteral("100"));
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{QStringLiteral("خدمات فرمول مشخص نشده است")});
    child<QLineEdit>(window, QStringLiteral("me_khadamat"))->setText(QStringLiteral("50"));
    child<QLineEdit>(window, QStringLiteral("me_code_meli"))->setText(QStringLiteral("77"));
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QStringLiteral("نوع فرمول تكراري است"));
    child<QLineEdit>(window, QStringLiteral("me_name"))->setText(QStringLiteral("قطره"));
    press(window, Qt::Key_F2);
    QCOMPARE(FormulaTypeStore(m_t->db()).find(2)->serviceFee, 50.0);
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_code"))->text(), QStringLiteral("3"));
}

void CompoundingWindowsTest::formulaWindowPricesSavesShowsAndProtects() {
    TF_formul window(windowContext());
    QVERIFY(showActive(window));
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_code"))->text(), QStringLiteral("1700001"));
    QCOMPARE(focusName(window), QStringLiteral("me_code_type"));
    typeIn(window, QStringLiteral("1"));
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_fani"))->text(), QStringLiteral("5000"));
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_khadamat"))->text(), QStringLiteral("2000"));
    press(window, Qt::Key_Return);
    typeIn(window, QStringLiteral("پماد سوختگي"));

    // Saving without a line is refused.
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{QStringLiteral("فرمولي براي ثبت وجود ندارد")});

    QTableView* materials = child<QTableView>(window, QStringLiteral("DBGrid1"));
    QLineEdit* quantity = child<QLineEdit>(window, QStringLiteral("me_meghdar"));
    QComboBox* status = child<QComboBox>(window, QStringLiteral("Cb_vaziat"));
    const auto addLine = [&](int materialRow, const QString& amount, const QString& kind) {
        materials->setCurrentIndex(materials->model()->index(materialRow, 0));
        quantity->setText(amount);
        status->setCurrentText(kind);
        window.addLine();
    };
    addLine(0, QString(), kInsuredMaterial);
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QStringLiteral("مقدارماده مشخص نشده است"));
    addLine(0, QStringLiteral("3"), QStringLiteral("x"));
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QStringLiteral("وضعيت ماده اشتباه وارد شده است"));
    addLine(0, QStringLiteral("3"), kInsuredMaterial);
    addLine(1, QStringLiteral("0.5"), kFreeMaterial);
    QCOMPARE(window.lines().size(), 2);
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_koll_bimeh"))->text(), QStringLiteral("3,600"));
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_koll_azad"))->text(), QStringLiteral("2,000"));
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_koll"))->text(), QStringLiteral("12,600"));
    // The line list keeps an empty row after the last line.
    QCOMPARE(child<QTableView>(window, QStringLiteral("StringGrid1"))->model()->rowCount(), 3);

    press(window, Qt::Key_F2);
    QCOMPARE(goodsPrice(m_t->db(), 1700001), 12600.0);
    QCOMPARE(window.state(), TF_formul::State::New);
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_code"))->text(), QStringLiteral("1700002"));

    // Shown read-only; a formula on a prescription line is not deleted.
    press(window, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(window.state(), TF_formul::State::Viewing);
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_name"))->text(), QStringLiteral("پماد سوختگي"));
    QVERIFY(child<QLineEdit>(window, QStringLiteral("me_name"))->isReadOnly());
    QCOMPARE(window.lines().size(), 2);
    m_t->db().exec(QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou) values (1, 1, 1700001)"));
    m_prompter.answerYes();
    press(window, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(Kind::Warning).last(), QStringLiteral("حذف داروي موردنظر امكان پذير نيست"));
    QVERIFY(FormulaStore(m_t->db()).find(1700001));

    // Edited: one line fewer, the goods price follows.
    window.startEdit();
    QCOMPARE(window.state(), TF_formul::State::Editing);
    child<QTableView>(window, QStringLiteral("StringGrid1"))->setCurrentIndex(
        child<QTableView>(window, QStringLiteral("StringGrid1"))->model()->index(1, 0));
    m_prompter.answerYes();
    press(window, Qt::Key_F4);
    m_prompter.answerYes();
    press(window, Qt::Key_F2);
    QCOMPARE(goodsPrice(m_t->db(), 1700001), 10600.0);
    QCOMPARE(window.state(), TF_formul::State::Viewing);
}

void CompoundingWindowsTest::formulaWindowShowsTheDrugChosenInTheSearch() {
    double first = 0;
    double second = 0;
    FormulaStore(m_t->db()).add(ointment(), &first);
    FormulaStore(m_t->db()).add(ointment(QStringLiteral("شربت سرفه")), &second);
    TF_formul window(windowContext());
    std::optional<double> chosen;
    int searches = 0;
    window.setDrugSearch([&] {
        ++searches;
        return chosen;
    });
    QVERIFY(showActive(window));
    QCOMPARE(child<QPushButton>(window, QStringLiteral("but_search_darou"))->text(), QStringLiteral("جستجوومشاهده F7"));
    child<QLineEdit>(window, QStringLiteral("me_name"))->setText(QStringLiteral("در دست"));

    // Closed without a choice, or with the code 0: the formula being typed stays.
    for (const std::optional<double> none : {std::optional<double>(), std::optional<double>(0)}) {
        chosen = none;
        press(window, Qt::Key_F7);
        QCOMPARE(window.state(), TF_formul::State::New);
        QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_name"))->text(), QStringLiteral("در دست"));
    }
    QCOMPARE(searches, 2);

    // A chosen drug shows its formula, read-only.
    chosen = second;
    press(window, Qt::Key_F7);
    QCOMPARE(searches, 3);
    QCOMPARE(window.state(), TF_formul::State::Viewing);
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_code"))->text(), plainDecimalText(second));
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_name"))->text(), QStringLiteral("شربت سرفه"));
    QCOMPARE(window.lines().size(), ointment().lines.size());
    QVERIFY(child<QLineEdit>(window, QStringLiteral("me_name"))->isReadOnly());
}

void CompoundingWindowsTest::materialsWindowDropsItsAppearanceMenuOnF6() {
    Tf_d_sakhtani window(windowContext());
    bool locked = false;
    window.setLockAction([&locked] { locked = true; });
    QVERIFY(showActive(window));
    QCOMPARE(focusName(window), QStringLiteral("me_name"));
    press(window, Qt::Key_F6);
    QMenu* appearance = window.appearanceMenu();
    QVERIFY(appearance->isVisible());
    QCOMPARE(appearance->title(), QStringLiteral("تغيير ظاهر F6"));
    // It hangs under its title in the menu bar (the window is wider than the test screen, so
    // the menu's side is left to the screen's edge).
    auto* bar = window.findChild<QMenuBar*>();
    const QRect title = bar->actionGeometry(appearance->menuAction());
    QVERIFY(!title.isEmpty());
    QCOMPARE(appearance->geometry().top(), bar->mapToGlobal(title.bottomLeft()).y() + 1);
    appearance->actions().last()->trigger();
    QVERIFY(locked);
    appearance->hide();
    // The fields keep their keys: F2 still saves (here refused for the missing name).
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{QStringLiteral("نام ماده مشخص نشده است")});
}

void CompoundingWindowsTest::priceUpdateWindowRunsAndReports() {
    double code = 0;
    FormulaStore(m_t->db()).add(ointment(), &code);
    m_t->db().exec(QStringLiteral("update material set price=1500 where code_mat=1"));
    TF_wait window(windowContext());
    QVERIFY(showActive(window));
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(Kind::Information),
             QStringList{QStringLiteral("محاسبه قيمت جديد داروهاي ساختني با موفقيت انجام شد")});
    QCOMPARE(goodsPrice(m_t->db(), code), 13500.0);
    QCOMPARE(window.result(), int(QDialog::Accepted));
}

void CompoundingWindowsTest::goodsTreeWindowAddsEditsAndRefusesDeletes() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into type_kala (code, name, num, g1) values (7, ?, 4, 1)"), {QStringLiteral("قرص")});
    insertGoods(db, 1070001, QStringLiteral("انبار دار"), 1, 7);
    db.exec(QStringLiteral("insert into moj_kala_anbar (code_kala) values (1070001)"));
    Tfmmosh_kala window(windowContext());
    QVERIFY(showActive(window));
    QTreeWidget* tree = child<QTreeWidget>(window, QStringLiteral("TreeView1"));
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* group = tree->topLevelItem(0);
    QTreeWidgetItem* form = nullptr;
    for (int i = 0; i < group->childCount(); ++i)
        if (group->child(i)->data(0, Qt::UserRole).toLongLong() == 1070000) form = group->child(i);
    QVERIFY(form);

    // F1 on a form node, the names, F3: a goods item 1070005 under the form.
    tree->setCurrentItem(form);
    press(window, Qt::Key_F1);
    QCOMPARE(focusName(window), QStringLiteral("Edit1"));
    typeIn(window, QStringLiteral("ژلوفن"));
    m_prompter.answerConfirm(-1); // the notice's close button
    press(window, Qt::Key_F3);
    QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("!اطلاعات اين دارو ثبت شد")});
    QCOMPARE(GoodsTree(db).find(1070005)->name, QStringLiteral("ژلوفن"));
    QCOMPARE(form->childCount(), 2);

    // The goods with store stock: its names are read-only in the edit and it is not deleted.
    QTreeWidgetItem* stocked = form->child(0);
    QCOMPARE(stocked->data(0, Qt::UserRole).toLongLong(), 107000100);
    tree->setCurrentItem(stocked);
    child<QPushButton>(window, QStringLiteral("but_edit"))->click();
    QVERIFY(child<QLineEdit>(window, QStringLiteral("Edit1"))->isReadOnly());
    press(window, Qt::Key_Escape);
    m_prompter.answerConfirm(-1);
    press(window, Qt::Key_F8);
    QCOMPARE(m_prompter.texts().last(), QStringLiteral("اطلاعات براي اين دارو وجود دارد.حـذف امكان پذير نيست"));
    QVERIFY(GoodsTree(db).find(1070001));

    // The new one is deleted after the confirmation.
    tree->setCurrentItem(form->child(1));
    m_prompter.answerConfirm(1);
    press(window, Qt::Key_F8);
    QVERIFY(!GoodsTree(db).find(1070005));
    QCOMPARE(form->childCount(), 1);
}

void CompoundingWindowsTest::goodsTreeWindowKeepsBarcodesOfTheSelectedGoods() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into type_kala (code, name, num, g1) values (7, ?, 4, 1)"), {QStringLiteral("قرص")});
    insertGoods(db, 1070001, QStringLiteral("استامينوفن"), 1, 7);
    insertGoods(db, 1070002, QStringLiteral("ژلوفن"), 1, 7);
    Tfmmosh_kala window(windowContext());
    QVERIFY(showActive(window));
    QTreeWidget* tree = child<QTreeWidget>(window, QStringLiteral("TreeView1"));
    const QList<QTreeWidgetItem*> goods = tree->findItems(QStringLiteral("ژلوفن"), Qt::MatchStartsWith | Qt::MatchRecursive);
    QCOMPARE(goods.size(), 1);
    // A group node has no barcodes.
    tree->setCurrentItem(tree->topLevelItem(0));
    QVERIFY(!child<QLineEdit>(window, QStringLiteral("me_barcode"))->isEnabled());
    tree->setCurrentItem(goods.first());
    keepBarcodesByKeyboard(window, db, m_prompter, 1070002, 1070001);
    if (QTest::currentTestFailed()) return;

    // The goods picked in the search panel: its own barcodes.
    child<QPushButton>(window, QStringLiteral("but_search"))->click();
    auto* names = child<QComboBox>(window, QStringLiteral("name_daru"));
    const int at = names->findText(QStringLiteral("استامينوفن"), Qt::MatchStartsWith);
    names->setCurrentIndex(at);
    window.pickInSearch(at);
    auto* list = child<QListWidget>(window, QStringLiteral("lst_barcode"));
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("04006381333931"));
}

QTEST_MAIN(CompoundingWindowsTest)
#include "compounding_windows_test.moc"
