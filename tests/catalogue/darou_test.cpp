#include "catalogue/goods.h"
#include "catalogue/ui/darou.h"
#include "catalogue/ui/goods_set.h"
#include "catalogue/ui/sabt_darou.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/schema.h"
#include "barcode_keys.h"
#include "goods_fixture.h"
#include "support/scripted_picker.h"
#include "support/test_database.h"
#include "support/typing.h"
#include "widgets/quick_search.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace ph;
using namespace ph::test;
using Kind = ScriptedPrompter::Kind;
using Column = GoodsTableModel::Column;

namespace {

QLineEdit* field(QWidget& window, const char* name) {
    return ph::test::child<QLineEdit>(window, QString::fromLatin1(name));
}

// Sets a field the way a user would: emptied, then typed key by key.
void retype(QLineEdit* edit, const QString& text) {
    edit->clear();
    typeText(edit, text);
}

QList<double> shownCodes(const QAbstractItemModel& model) {
    QList<double> codes;
    for (int row = 0; row < model.rowCount(); ++row)
        codes.append(model.index(row, Column::Code).data(Qt::UserRole).toDouble());
    return codes;
}

double currentCode(const DrugListSet& set) {
    const auto current = set.current();
    return current ? current->code : -1;
}

QString lastWarning(const ScriptedPrompter& prompter) {
    const QStringList warnings = prompter.texts(Kind::Warning);
    return warnings.isEmpty() ? QString() : warnings.last();
}

// Runs `steps` on the entry dialog once the list has opened it modally, then closes it.
void whenEntryOpens(std::function<void(Tf_sabt_darou*)> steps) {
    QTimer::singleShot(0, [steps] {
        auto* dialog = qobject_cast<Tf_sabt_darou*>(QApplication::activeModalWidget());
        steps(dialog);
        if (dialog) dialog->reject();
    });
}

const QString kRefusedEdit = QStringLiteral("امكان اصلاح داروي موردنظر وجود ندارد");

} // namespace

class DarouTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void listFiltersByGroupAndForm();
    void listSearchesLoadedRows();
    void pickerModes();
    void entryDialogValidatesAndAddsDrugs();
    void entryDialogEditsAndMovesTheList();
    void entryDialogKeepsTheDrugsBarcodes();
    void listCommandsAndRights();
    void restoringAWindowKeepsItsFields();
    void captionsAndWindowKeys();

private:
    Database& db() { return m_t->db(); }
    WindowContext windows() { return {m_context, db(), m_prompter, m_clock, &m_picker}; }
    void grantAll();

    std::unique_ptr<TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    ScriptedPicker m_picker;
    FixedClock m_clock{QDateTime(QDate(2026, 3, 1), QTime(9, 0))};
};

void DarouTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Schema(db()).ensure();
    seedGroupsAndForms(db());
    // Short codes, so that a typed "12" must not stop at 120.
    insertGoods(db(), 12, QStringLiteral("اسپري"), 1, 7, 300, 500, QStringLiteral("Spray"));
    insertGoods(db(), 120, QStringLiteral("آمپول"), 1, 8, 100, 12, QStringLiteral("Ampoule"));
    insertGoods(db(), 1, QStringLiteral("بتادين"), 2, 7, 200, 7, QStringLiteral("Betadine"));
    insertGoods(db(), 2070001, QStringLiteral("اكسير"), 2, 7, 400, 0, QStringLiteral("Elixir"));
    insertGoods(db(), 3990001, QStringLiteral("بي شكل"), 3, 99); // no form row: never listed
    m_context = AppContext{};
    m_prompter.clear();
    m_picker = ScriptedPicker{};
}

void DarouTest::cleanup() { m_t.reset(); }

void DarouTest::grantAll() {
    m_context.rights = {{QStringLiteral("save_b"), true}, {QStringLiteral("edit_b"), true}, {QStringLiteral("delete_b"), true}};
}

void DarouTest::listFiltersByGroupAndForm() {
    Tf_darou window(windows());
    QVERIFY(showActive(window));
    const QAbstractItemModel& grid = *window.findChild<QTableView*>(QStringLiteral("DBGrid1"))->model();
    auto* group = field(window, "me_code_g");
    auto* form = field(window, "me_code_t");
    QCOMPARE(focusName(window), QStringLiteral("me_code_g"));
    QCOMPARE(shownCodes(grid), (QList<double>{120, 12, 2070001, 1})); // by name, Persian order

    typeText(group, QStringLiteral("1"));
    QCOMPARE(field(window, "me_name_g")->text(), QStringLiteral("دارويي"));
    QTest::keyClick(group, Qt::Key_Return);
    QCOMPARE(shownCodes(grid), (QList<double>{120, 12}));
    QCOMPARE(focusName(window), QStringLiteral("me_code_t"));

    const struct {
        QString group;
        QString form;
        QList<double> shown;
    } cases[] = {
        {QStringLiteral("1"), QStringLiteral("7"), {12}},
        {QString(), QStringLiteral("7"), {12, 2070001, 1}},
        {QStringLiteral("2"), QString(), {2070001, 1}},
        {QString(), QString(), {120, 12, 2070001, 1}},
    };
    for (const auto& c : cases) {
        retype(group, c.group);
        retype(form, c.form);
        form->setFocus();
        QTest::keyClick(form, Qt::Key_Return);
        QCOMPARE(shownCodes(grid), c.shown);
        QCOMPARE(focusName(window), QStringLiteral("me_search_d"));
    }

    // Up goes back to the group; an unknown group is refused and emptied.
    form->setFocus();
    QTest::keyClick(form, Qt::Key_Up);
    QCOMPARE(focusName(window), QStringLiteral("me_code_g"));
    retype(group, QStringLiteral("5"));
    QTest::keyClick(group, Qt::Key_Return);
    QCOMPARE(lastWarning(m_prompter), QStringLiteral("اين كد موجود نمي باشد"));
    QCOMPARE(group->text(), QString());
    QCOMPARE(focusName(window), QStringLiteral("me_code_g"));
}

void DarouTest::listSearchesLoadedRows() {
    Tf_darou window(windows());
    QVERIFY(showActive(window));
    DrugListSet& drugs = window.drugs();
    const QAbstractItemModel& grid = *drugs.proxy();
    const QList<double> all = {120, 12, 2070001, 1};
    const QList<double> byCode = {1, 12, 120, 2070001};

    // Digit-led text locates by code (or national code, or price); other text filters by prefix.
    const struct {
        const char* field;
        QString text;
        QList<double> shown;
        double current;
    } cases[] = {
        {"me_search_d", QStringLiteral("1"), byCode, 1},
        {"me_search_d", QStringLiteral("12"), byCode, 12},
        {"me_search_d", QStringLiteral("ا"), {12, 2070001}, 12},
        {"me_search_d", QStringLiteral("اك"), {2070001}, 2070001},
        {"me_search_d", QStringLiteral("اک"), {2070001}, 2070001}, // Persian kaf finds the Arabic one
        {"me_search_d", QStringLiteral("ا "), {12, 2070001}, 12},   // a name is matched trimmed
        {"me_search_d", QStringLiteral(" اك"), {2070001}, 2070001},
        {"me_search_l", QStringLiteral("12"), {2070001, 1, 120, 12}, 120},
        {"me_search_l", QStringLiteral("sp"), {12}, 12},
        {"me_search_p", QStringLiteral("200"), {120, 1, 12, 2070001}, 1},
        {"me_search_p", QStringLiteral("x"), {120, 1, 12, 2070001}, 1},
    };
    // A digit typed in the grid starts the search by name or code.
    window.findChild<QTableView*>(QStringLiteral("DBGrid1"))->setFocus();
    QTest::keyClick(window.focusWidget(), Qt::Key_1);
    QCOMPARE(focusName(window), QStringLiteral("me_search_d"));
    QCOMPARE(field(window, "me_search_d")->text(), QStringLiteral("1"));
    QCOMPARE(currentCode(drugs), 1.0);
    for (const auto& c : cases) {
        QLineEdit* search = field(window, c.field);
        retype(search, c.text);
        QCOMPARE(shownCodes(grid), c.shown);
        QCOMPARE(currentCode(drugs), c.current);
        search->clear();
    }
    QCOMPARE(drugs.rows()->rowCount(), 4); // nothing was read again

    // A sort entry turns the filter off and orders the loaded rows.
    QLineEdit* byName = field(window, "me_search_d");
    retype(byName, QStringLiteral("ا"));
    QTest::keyClick(byName, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(shownCodes(grid), byCode);
    QTest::keyClick(byName, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(shownCodes(grid), all);
    QTest::keyClick(byName, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(window.sortMenu()->isVisible());
    window.sortMenu()->hide();

    // Arrow keys and Enter between the search fields and the grid.
    const struct {
        const char* from;
        Qt::Key key;
        const char* to;
    } moves[] = {
        {"me_search_d", Qt::Key_Return, "DBGrid1"}, {"DBGrid1", Qt::Key_Right, "me_search_d"},
        {"me_search_d", Qt::Key_Right, "me_search_l"}, {"me_search_l", Qt::Key_Right, "me_search_p"},
        {"me_search_p", Qt::Key_Right, "me_search_l"}, {"me_search_l", Qt::Key_Left, "me_search_d"},
        {"me_search_l", Qt::Key_Up, "DBGrid1"},      {"me_search_p", Qt::Key_Up, "DBGrid1"},
    };
    for (const auto& m : moves) {
        auto* from = window.findChild<QWidget*>(QString::fromLatin1(m.from));
        from->setFocus();
        QTest::keyClick(from, m.key);
        QCOMPARE(focusName(window), QString::fromLatin1(m.to));
    }

    // Closing turns the search off.
    retype(byName, QStringLiteral("ب"));
    QCOMPARE(grid.rowCount(), 1);
    QTest::keyClick(byName, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    QCOMPARE(grid.rowCount(), 4);
}

void DarouTest::pickerModes() {
    Tf_darou list(windows());
    QVERIFY(showActive(list));
    DrugListSet drugs(db());
    drugs.load({});
    Tf_sabt_darou entry(windows(), drugs);
    QVERIFY(showActive(entry));

    const struct {
        QWidget* window;
        const char* field;
        const char* name;
        QString mode;
        QList<int> offered;
        int chosen;
        QString chosenName;
        const char* focusAfter;
    } cases[] = {
        {&list, "me_code_g", "me_name_g", QStringLiteral("group1"), {1, 2}, 2, QStringLiteral("بهداشتي"), "me_code_g"},
        // Forms by name: the compounded drugs' form, which every database holds, comes first.
        {&list, "me_code_t", "me_name_t", QStringLiteral("type1"), {70, 7, 8}, 8, QStringLiteral("كپسول"), "me_code_t"},
        {&entry, "me_code_g", "me_name_g", QStringLiteral("group2"), {1, 2}, 1, QStringLiteral("دارويي"), "me_code_t"},
        {&entry, "me_code_t", "me_name_t", QStringLiteral("type2"), {70, 7, 8}, 7, QStringLiteral("قرص"), "me_code_two"},
    };
    for (const auto& c : cases) {
        QLineEdit* code = field(*c.window, c.field);
        code->clear();
        code->setFocus();
        m_picker.cancel();
        QTest::keyClick(code, Qt::Key_PageDown);
        QCOMPARE(code->text(), QString()); // cancelled: nothing taken
        QCOMPARE(focusName(*c.window), QString::fromLatin1(c.field));

        m_picker.choose(c.chosen);
        QTest::keyClick(code, Qt::Key_PageDown);
        const PickRequest& request = m_picker.requests().last();
        QCOMPARE(request.mode, c.mode);
        QList<int> offered;
        for (const PickRow& row : request.rows)
            offered.append(row.code.toInt());
        QCOMPARE(offered, c.offered);
        QCOMPARE(code->text(), QString::number(c.chosen));
        QCOMPARE(field(*c.window, c.name)->text(), c.chosenName);
        QCOMPARE(focusName(*c.window), QString::fromLatin1(c.focusAfter));
    }
}

void DarouTest::entryDialogValidatesAndAddsDrugs() {
    DrugListSet drugs(db());
    drugs.load({});
    Tf_sabt_darou entry(windows(), drugs);
    QVERIFY(showActive(entry));
    QCOMPARE(focusName(entry), QStringLiteral("me_code_g"));

    // Without the right nothing is checked or saved.
    QTest::keyClick(field(entry, "me_code_g"), Qt::Key_F2);
    QCOMPARE(lastWarning(m_prompter), QStringLiteral("دسترسي به کليد ثبت براي شما امکان پذير نمي باشد"));
    grantAll();

    // The first empty field is named and takes the focus, in this order.
    const struct {
        const char* field;
        QString message;
        QString text;
    } required[] = {
        {"me_code_g", QStringLiteral("گروه كالا مشخص نشده است"), QStringLiteral("1")},
        {"me_code_t", QStringLiteral("شكل كالا مشخص نشده است"), QStringLiteral("7")},
        {"me_name_kala", QStringLiteral("نــام دارو مشخص نشده است"), QStringLiteral(" پنی سیلین ")},
        {"me_name_latin", QStringLiteral("نــام لاتين دارو مشخص نشده است"), QStringLiteral("Penicillin")},
        {"me_price", QStringLiteral("قيمت دارو مشخص نشده است"), QStringLiteral("1500")},
    };
    field(entry, "me_name_kala")->setText(QStringLiteral("   "));
    for (const auto& r : required) {
        field(entry, "me_code_two")->setFocus();
        QTest::keyClick(field(entry, "me_code_two"), Qt::Key_F2);
        QCOMPARE(lastWarning(m_prompter), r.message);
        QCOMPARE(focusName(entry), QString::fromLatin1(r.field));
        retype(field(entry, r.field), r.text);
    }
    QCOMPARE(count(db(), QStringLiteral("mosh_kala_anbar")), 5);

    // Saved with the national and identity codes left empty: no message, the list on the new
    // drug, group and form kept for the next one.
    const int shownBefore = int(m_prompter.shown().size());
    QTest::keyClick(field(entry, "me_price"), Qt::Key_F2);
    QCOMPARE(int(m_prompter.shown().size()), shownBefore);
    QCOMPARE(currentCode(drugs), 1070001.0);
    QCOMPARE(drugs.current()->name, QStringLiteral("پنی سیلین"));
    QCOMPARE(drugs.current()->nationalCode, std::optional<double>(0));
    QCOMPARE(drugs.current()->identityCode, std::optional<double>(0));
    for (const char* kept : {"me_code_g", "me_code_t"})
        QVERIFY(!field(entry, kept)->text().isEmpty());
    for (const char* cleared : {"me_code_kala", "me_code_two", "me_code_sh", "me_name_kala", "me_name_latin", "me_price"})
        QCOMPARE(field(entry, cleared)->text(), QString());
    QCOMPARE(focusName(entry), QStringLiteral("me_code_two"));

    // Enter order from there on; Up goes back from the national code on, not from the form.
    auto* two = field(entry, "me_code_two");
    for (const char* next : {"me_code_sh", "me_name_kala", "me_name_latin", "me_price"}) {
        QTest::keyClick(entry.focusWidget(), Qt::Key_Return);
        QCOMPARE(focusName(entry), QString::fromLatin1(next));
    }
    QTest::keyClick(entry.focusWidget(), Qt::Key_Up);
    QCOMPARE(focusName(entry), QStringLiteral("me_name_latin"));
    two->setFocus();
    QTest::keyClick(two, Qt::Key_Up);
    QCOMPARE(focusName(entry), QStringLiteral("me_code_t"));
    QTest::keyClick(field(entry, "me_code_t"), Qt::Key_Up);
    QCOMPARE(focusName(entry), QStringLiteral("me_code_t"));

    // The next drug of form 7, in group 2, continues the form's counter.
    retype(field(entry, "me_code_g"), QStringLiteral("2"));
    retype(field(entry, "me_name_kala"), QStringLiteral("دوم"));
    retype(field(entry, "me_name_latin"), QStringLiteral("Second"));
    retype(field(entry, "me_price"), QStringLiteral("10"));
    retype(two, QStringLiteral("4455"));
    // Enter in the price, the last field, saves; the dialog says what it saved.
    field(entry, "me_price")->setFocus();
    QTest::keyClick(field(entry, "me_price"), Qt::Key_Return);
    QCOMPARE(currentCode(drugs), 2070002.0);
    QCOMPARE(entry.findChild<QLabel*>(QStringLiteral("lb_saved"))->text(), QStringLiteral("«دوم» با كد 2070002 ثبت شد."));
    QCOMPARE(drugs.current()->nationalCode, std::optional<double>(4455));

    // A code already taken is refused and its number stays used up.
    insertGoods(db(), 2070003, QStringLiteral("قديمي"), 2, 7);
    retype(field(entry, "me_name_kala"), QStringLiteral("سوم"));
    retype(field(entry, "me_name_latin"), QStringLiteral("Third"));
    retype(field(entry, "me_price"), QStringLiteral("10"));
    QTest::keyClick(two, Qt::Key_F2);
    QCOMPARE(lastWarning(m_prompter), QStringLiteral("كدكالا تكراري مي باشد"));
    QCOMPARE(focusName(entry), QStringLiteral("me_code_two"));
    QCOMPARE(formCounter(db(), 7), 3);
    QTest::keyClick(two, Qt::Key_F2);
    QCOMPARE(currentCode(drugs), 2070004.0);
}

void DarouTest::entryDialogEditsAndMovesTheList() {
    grantAll();
    // Made by the goods tree: no national code and no price.
    db().exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, name_kala_latin, group_code, type_code, "
                             "flag) values (2070005, ?, 'Zinc', 2, 7, 0)"),
              {QStringLiteral("روي")});
    db().exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (1, 20, 3, 200)"));
    DrugListSet drugs(db());
    drugs.load({});
    drugs.proxy()->sortByColumns({Column::Code});
    QVERIFY(drugs.locate(1));
    Tf_sabt_darou entry(windows(), drugs);
    entry.setEditing(true);
    QVERIFY(showActive(entry));

    QCOMPARE(focusName(entry), QStringLiteral("me_price"));
    const struct {
        const char* field;
        QString text;
    } shown[] = {{"me_code_g", "2"},          {"me_code_t", "7"},      {"me_name_t", "قرص"},
                 {"me_code_kala", "1"},       {"me_code_two", "7"},    {"me_code_sh", "0"},
                 {"me_name_kala", "بتادين"}, {"me_name_latin", "Betadine"}, {"me_price", "200"}};
    for (const auto& s : shown)
        QCOMPARE(field(entry, s.field)->text(), s.text);

    // An edit keeps the code and prices the unit row.
    retype(field(entry, "me_price"), QStringLiteral("250"));
    QTest::keyClick(field(entry, "me_price"), Qt::Key_F2);
    QCOMPARE(m_prompter.texts(Kind::Information), QStringList{QStringLiteral("اطلاعات شما اصلاح گرديد")});
    QCOMPARE(focusName(entry), QStringLiteral("me_code_g"));
    QCOMPARE(currentCode(drugs), 1.0);
    QCOMPARE(db().scalar(QStringLiteral("select price_u from moj_kala_vah where code_kala=1")).toDouble(), 250.0);

    // Navigation moves the list and shows the row reached, empty columns as empty fields.
    QTest::keyClick(field(entry, "me_code_g"), Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(field(entry, "me_code_kala")->text(), QStringLiteral("2070005"));
    QCOMPARE(field(entry, "me_code_two")->text(), QString());
    QCOMPARE(field(entry, "me_price")->text(), QString());
    QTest::keyClick(field(entry, "me_code_g"), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(currentCode(drugs), 2070001.0);
    QCOMPARE(field(entry, "me_code_kala")->text(), QStringLiteral("2070001"));
    QTest::keyClick(field(entry, "me_code_g"), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(field(entry, "me_code_kala")->text(), QStringLiteral("1"));
    QTest::keyClick(field(entry, "me_code_g"), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(field(entry, "me_code_kala")->text(), QStringLiteral("12"));
    QVERIFY(entry.isEditing());

    // A new group re-keys the drug; a companion naming it refuses the change.
    db().exec(QStringLiteral("insert into hamrah_kala (code_kala, code_kala_h) values (120, 12)"));
    retype(field(entry, "me_code_t"), QStringLiteral("8"));
    QTest::keyClick(field(entry, "me_code_t"), Qt::Key_F2);
    QCOMPARE(lastWarning(m_prompter), kRefusedEdit);
    QCOMPARE(focusName(entry), QStringLiteral("me_code_g"));
    QVERIFY(GoodsCatalogue(db()).find(12));

    QTest::keyClick(field(entry, "me_code_g"), Qt::Key_F, Qt::ControlModifier); // code 1: nothing names it
    retype(field(entry, "me_code_g"), QStringLiteral("1"));
    QTest::keyClick(field(entry, "me_code_g"), Qt::Key_F2);
    QCOMPARE(field(entry, "me_code_kala")->text(), QStringLiteral("1070001"));
    QCOMPARE(currentCode(drugs), 1070001.0);
    QCOMPARE(db().scalar(QStringLiteral("select code_kala from moj_kala_vah")).toDouble(), 1070001.0);

    // Closing reads the list again and stands on the shown code.
    drugs.setCurrentRow(0);
    QTest::keyClick(field(entry, "me_code_g"), Qt::Key_Escape);
    QVERIFY(!entry.isVisible());
    QCOMPARE(currentCode(drugs), 1070001.0);
}

void DarouTest::listCommandsAndRights() {
    Tf_darou window(windows());
    QVERIFY(showActive(window));
    DrugListSet& drugs = window.drugs();
    auto* grid = window.findChild<QTableView*>(QStringLiteral("DBGrid1"));
    grid->setFocus();

    for (Qt::Key command : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4})
        QTest::keyClick(grid, command);
    QCOMPARE(m_prompter.texts(Kind::Warning),
             (QStringList{QStringLiteral("دسترسي به کليد ثبت براي شما امکان پذير نمي باشد"),
                          QStringLiteral("دسترسي به کليدويرايش براي شما امکان پذير نمي باشد"),
                          QStringLiteral("دسترسي به کليدحذف براي شما امکان پذير نمي باشد")}));
    QVERIFY(!window.entryDialog());

    // A double-click asks for no right: it opens the current drug for editing.
    bool editing = false;
    QString shownCode;
    auto watchEntry = [&] {
        whenEntryOpens([&](Tf_sabt_darou* entry) {
            editing = entry->isEditing();
            shownCode = field(*entry, "me_code_kala")->text();
        });
    };
    QVERIFY(drugs.locate(1));
    watchEntry();
    const QPoint at = grid->visualRect(grid->currentIndex()).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(editing);
    QCOMPARE(shownCode, QStringLiteral("1"));
    QCOMPARE(m_prompter.texts(Kind::Warning).size(), 3);
    grantAll();

    // The four navigation buttons move the list.
    const struct {
        const char* button;
        double current;
    } moves[] = {{"but_last", 1}, {"but_prior", 2070001}, {"but_first", 120}, {"but_next", 12}};
    for (const auto& m : moves) {
        window.findChild<QToolButton*>(QString::fromLatin1(m.button))->click();
        QCOMPARE(currentCode(drugs), m.current);
    }

    editing = true;
    QString focus;
    whenEntryOpens([&](Tf_sabt_darou* entry) {
        editing = entry->isEditing();
        focus = focusName(*entry);
    });
    QTest::keyClick(grid, Qt::Key_F2);
    QVERIFY(!editing);
    QCOMPARE(focus, QStringLiteral("me_code_g"));

    QVERIFY(drugs.locate(12));
    whenEntryOpens([&](Tf_sabt_darou* entry) {
        editing = entry->isEditing();
        shownCode = field(*entry, "me_code_kala")->text();
        focus = focusName(*entry);
    });
    QTest::keyClick(grid, Qt::Key_F3);
    QVERIFY(editing);
    QCOMPARE(shownCode, QStringLiteral("12"));
    QCOMPARE(focus, QStringLiteral("me_price"));
    QCOMPARE(currentCode(drugs), 12.0); // placed again on the shown code after closing

    // Delete: asked first; refused while a unit row names the drug.
    db().exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (12, 20, 1, 1)"));
    m_prompter.answerNo();
    QTest::keyClick(grid, Qt::Key_F4);
    m_prompter.answerYes();
    QTest::keyClick(grid, Qt::Key_F4);
    QCOMPARE(m_prompter.texts(Kind::YesNo).size(), 2);
    QCOMPARE(m_prompter.texts(Kind::YesNo).last(), QStringLiteral("آيا از حذف دارو مطمئن هستيد"));
    QCOMPARE(lastWarning(m_prompter), QStringLiteral("حذف داروي مورد نظر امکان پذير نمي باشد"));
    QCOMPARE(drugs.shownCount(), 4);

    QVERIFY(drugs.locate(2070001));
    m_prompter.answerYes();
    QTest::keyClick(grid, Qt::Key_F4);
    QVERIFY(!GoodsCatalogue(db()).find(2070001));
    QCOMPARE(drugs.shownCount(), 3);
    QVERIFY(drugs.current());
}

void DarouTest::restoringAWindowKeepsItsFields() {
    // Minimised with the program and restored: not a new showing, so nothing is cleared or read again.
    auto minimiseAndRestore = [](QWidget& window) {
        window.setWindowState(Qt::WindowMinimized);
        window.setWindowState(Qt::WindowNoState);
    };
    Tf_darou list(windows());
    QVERIFY(showActive(list));
    typeText(field(list, "me_code_g"), QStringLiteral("2"));
    QTest::keyClick(field(list, "me_code_g"), Qt::Key_Return);
    typeText(field(list, "me_search_d"), QStringLiteral("ب"));
    minimiseAndRestore(list);
    QCOMPARE(field(list, "me_code_g")->text(), QStringLiteral("2"));
    QCOMPARE(field(list, "me_search_d")->text(), QStringLiteral("ب"));
    QCOMPARE(shownCodes(*list.drugs().proxy()), QList<double>{1});
    // Shown again after closing: cleared and read again.
    list.hide();
    QVERIFY(showActive(list));
    QCOMPARE(field(list, "me_code_g")->text(), QString());
    QCOMPARE(field(list, "me_search_d")->text(), QString());
    QCOMPARE(list.drugs().shownCount(), 4);

    DrugListSet drugs(db());
    drugs.load({});
    QVERIFY(drugs.locate(1));
    const struct {
        bool editing;
        const char* field;
        QString typed;
    } cases[] = {{true, "me_price", QStringLiteral("999")}, {false, "me_name_kala", QStringLiteral("تازه")}};
    for (const auto& c : cases) {
        Tf_sabt_darou entry(windows(), drugs);
        entry.setEditing(c.editing);
        QVERIFY(showActive(entry));
        retype(field(entry, c.field), c.typed);
        minimiseAndRestore(entry);
        QCOMPARE(field(entry, c.field)->text(), c.typed);
    }
}

void DarouTest::captionsAndWindowKeys() {
    Tf_darou list(windows());
    bool locked = false;
    list.setLockAction([&] { locked = true; });
    QVERIFY(showActive(list));
    QCOMPARE(list.windowTitle(), QStringLiteral("فــــــرم تـعـــريف دارو"));
    const QAbstractItemModel& grid = *list.findChild<QTableView*>(QStringLiteral("DBGrid1"))->model();
    QStringList columns;
    for (int c = 0; c < grid.columnCount(); ++c)
        columns.append(grid.headerData(c, Qt::Horizontal).toString());
    QCOMPARE(columns, (QStringList{QStringLiteral("شكـل دارو"), QStringLiteral("كــد دارو"), QStringLiteral("كــدملي"),
                                   QStringLiteral("كدشناسه"), QStringLiteral("نـــــام دارو"),
                                   QStringLiteral("نــام لاتيــن دارو"), QStringLiteral("قيمت واحد")}));
    const struct {
        const char* button;
        QString caption;
    } buttons[] = {{"but_ok", QStringLiteral("تعريف دارو F2")},     {"but_edit", QStringLiteral("اصلاح دارو F3")},
                   {"but_delete", QStringLiteral("حذف دارو F4 ")},   {"but_sort", QStringLiteral("مرتب سازي Ctrl+S")},
                   {"but_close", QStringLiteral("خروجF10")}};
    for (const auto& b : buttons)
        QCOMPARE(list.findChild<QPushButton*>(QString::fromLatin1(b.button))->text(), b.caption);
    QStringList sortEntries;
    for (const QAction* action : list.sortMenu()->actions())
        sortEntries.append(action->text() + u' ' + action->shortcut().toString());
    QCOMPARE(sortEntries, (QStringList{QStringLiteral("براساس  كد ملي Ctrl+A"), QStringLiteral("براساس كددارو Ctrl+B"),
                                       QStringLiteral("براساس نام دارو Ctrl+C"), QStringLiteral("براساس نام لاتين Ctrl+D"),
                                       QStringLiteral("براساس قيمت دارو Ctrl+E"), QStringLiteral("براساس شكل دارو Ctrl+F")}));

    // F1 help; F6 the appearance menu, whose last entry locks the program; F10 closes.
    QTest::keyClick(field(list, "me_code_g"), Qt::Key_F1);
    QCOMPARE(m_prompter.texts(Kind::Help).size(), 1);
    list.setGeometry(20, 20, 700, 500); // on the test screen, with room for the menu beside it
    QTest::keyClick(field(list, "me_code_g"), Qt::Key_F6);
    QMenu* appearance = list.appearanceMenu();
    QVERIFY(appearance->isVisible());
    // It hangs under its title in the menu bar, not in the middle of the window.
    auto* bar = list.findChild<QMenuBar*>();
    const QRect title = bar->actionGeometry(appearance->menuAction());
    QCOMPARE(appearance->geometry().top(), bar->mapToGlobal(title.bottomLeft()).y() + 1);
    QCOMPARE(appearance->geometry().right(), bar->mapToGlobal(title.bottomRight()).x());
    QCOMPARE(appearance->title(), QStringLiteral("تغيير ظاهر"));
    QCOMPARE(appearance->actions().last()->text(), QStringLiteral("قفل  برنامه"));
    appearance->actions().last()->trigger();
    QVERIFY(locked);
    appearance->hide();
    QTest::keyClick(field(list, "me_code_g"), Qt::Key_F10);
    QVERIFY(!list.isVisible());

    Tf_sabt_darou entry(windows(), list.drugs());
    QVERIFY(showActive(entry));
    QCOMPARE(entry.windowTitle(), QStringLiteral("فـــرم ثبت و اصلاح دارو"));
    QCOMPARE(entry.findChild<QPushButton*>(QStringLiteral("but_ok"))->text(), QStringLiteral("ثبت F2"));
    QTest::keyClick(field(entry, "me_name_kala"), Qt::Key_F1);
    QCOMPARE(m_prompter.texts(Kind::Help).size(), 2);
    QTest::keyClick(field(entry, "me_name_kala"), Qt::Key_F10);
    QVERIFY(!entry.isVisible());
}

// The barcodes of the drug shown are kept by keyboard and follow the drug the list moves to.
void DarouTest::entryDialogKeepsTheDrugsBarcodes() {
    DrugListSet drugs(db());
    drugs.load({});
    drugs.proxy()->sortByColumns({Column::Code});
    QVERIFY(drugs.locate(1));
    Tf_sabt_darou entry(windows(), drugs);
    entry.setEditing(true);
    QVERIFY(showActive(entry));
    keepBarcodesByKeyboard(entry, db(), m_prompter, 1, 12);
    if (QTest::currentTestFailed()) return;

    press(entry, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(field(entry, "me_code_kala")->text(), QStringLiteral("12"));
    QCOMPARE(ph::test::child<QListWidget>(entry, QStringLiteral("lst_barcode"))->count(), 1);
    QCOMPARE(ph::test::child<QListWidget>(entry, QStringLiteral("lst_barcode"))->item(0)->text(),
             QStringLiteral("04006381333931"));

    // In new mode the box waits for a saved drug.
    entry.hide();
    entry.setEditing(false);
    QVERIFY(showActive(entry));
    QVERIFY(!ph::test::child<QLineEdit>(entry, QStringLiteral("me_barcode"))->isEnabled());
}

QTEST_MAIN(DarouTest)
#include "darou_test.moc"
