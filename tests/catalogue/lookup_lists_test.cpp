#include "catalogue/lookup_list.h"
#include "catalogue/ui/type_.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/schema.h"
#include "support/test_database.h"
#include "support/typing.h"
#include "widgets/command_bar.h"
#include "support/window_fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace ph;
using ph::test::TestDatabase;
using Kind = ScriptedPrompter::Kind;
using Result = LookupList::Result;

namespace {

const QString kNoName = QStringLiteral("نام وارد نشده است");
const QString kConfirmEdit = QStringLiteral("آيا از اصلاح اطلاعات مطمئن هستيد");

// Each list with what refers to its code 1, its duplicate and in-use warnings.
struct ListCase {
    LookupKind kind;
    const char* label;
    const char* referToCodeOne; // a row of another table naming code 1
    bool inUseRefusesRename;
    QString title;
    QString duplicate;
    QString inUse;
};

const QList<ListCase>& listCases() {
    static const QList<ListCase> cases = {
        {LookupKind::Groups, "groups",
         "insert into mosh_kala_anbar (code_kala, group_code, type_code) values (1010001, 1, 9)", true,
         QStringLiteral("فــرم تعريف گروه كالا"), QStringLiteral("نام گروه وارد شده تكراري است"),
         QStringLiteral("اصلاح گروه مورد نظر امكان پذير نيست")},
        {LookupKind::Forms, "forms",
         "insert into mosh_kala_anbar (code_kala, group_code, type_code) values (9010001, 9, 1)", true,
         QStringLiteral("فـرم تعريف شكل دارو"), QStringLiteral("شكل دارو تكراري است"),
         QStringLiteral("اصلاح شكل داروي مورد نظر امكان پذير نيست")},
        {LookupKind::PrescriptionTypes, "prescription types",
         "insert into heading_noskhe (sh_factor, type_no) values (1, 1)", true,
         QStringLiteral("فـــرم تعريف نوع نسخه"), QStringLiteral("نوع نسخه تكراري است"),
         QStringLiteral("اصلاح نوع نسخه مورد نظر امكان پذير نيست")},
        {LookupKind::Specialties, "specialties", "insert into doctor_s (code, typeno) values (1, 1)", true,
         QStringLiteral("فــرم تعريف تخصص پزشكان"), QStringLiteral("نوع تخصص تكراري است"),
         QStringLiteral("اصلاح نوع تخصص مورد نظر امكان پذير نيست")},
        // Materials using a unit never stop its rename.
        {LookupKind::Units, "units", "insert into material (code_mat, vahed) values (1, 1)", false,
         QStringLiteral("فــرم تعريف واحد ها"), QStringLiteral("نام واحد تكراري است"), QString()},
        {LookupKind::Wards, "wards", "insert into heading_noskhe (sh_factor, code_bakhsh) values (2, 1)",
         true, QStringLiteral("فــرم تعريف  بخشها"), QStringLiteral("نام بخش تكراري است"),
         QStringLiteral("اصلاح نام بخش مورد نظر امكان پذير نيست")},
    };
    return cases;
}

const ListCase& caseOf(LookupKind kind) {
    for (const ListCase& c : listCases())
        if (c.kind == kind) return c;
    Q_UNREACHABLE();
}

QList<qint64> shownCodes(const QAbstractItemModel& model) {
    QList<qint64> codes;
    for (int row = 0; row < model.rowCount(); ++row)
        codes.append(model.index(row, 0).data().toLongLong());
    return codes;
}

qint64 currentCode(const QTableView& grid) {
    const QModelIndex current = grid.currentIndex();
    return current.isValid() ? current.siblingAtColumn(0).data().toLongLong() : -1;
}

QList<qint64> codesOf(const PickRows& rows) {
    QList<qint64> codes;
    for (const PickRow& row : rows)
        codes.append(row.code.toLongLong());
    return codes;
}

void grantCommandKeys(AppContext& context) {
    context.rights = {{QStringLiteral("save_b"), true}, {QStringLiteral("edit_b"), true}};
}

} // namespace

class LookupListsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void eachListAddsRenamesAndRefuses();
    void wardFlagIsStoredEvenWhenTheRenameIsRefused();
    void newFormsAndPickerRows();
    void windowShowsTheListOfItsFormMode();
    void windowSavesEditsAndRefuses();
    void windowInUseWarningPerList();
    void windowWardStateFollowsTheLoadedRow();
    void windowQuickSearchSortAndKeys();

private:
    struct Window {
        AppContext context;
        ScriptedPrompter prompter;
        std::unique_ptr<TF_type> window;
        QLineEdit* code = nullptr;
        QLineEdit* name = nullptr;
        QLineEdit* search = nullptr;
        QCheckBox* active = nullptr;
        QTableView* grid = nullptr;
    };
    std::unique_ptr<Window> openWindow(int formMode, bool rights = true);

    std::unique_ptr<TestDatabase> m_t;
    FixedClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
};

void LookupListsTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Schema(m_t->db()).ensure();
}

void LookupListsTest::cleanup() {
    m_t.reset();
}

std::unique_ptr<LookupListsTest::Window> LookupListsTest::openWindow(int formMode, bool rights) {
    auto w = std::make_unique<Window>();
    if (rights) grantCommandKeys(w->context);
    w->window = std::make_unique<TF_type>(WindowContext{w->context, m_t->db(), w->prompter, m_clock});
    w->window->setFormMode(formMode);
    w->code = w->window->findChild<QLineEdit*>(QStringLiteral("me_code"));
    w->name = w->window->findChild<QLineEdit*>(QStringLiteral("me_name"));
    w->search = w->window->findChild<QLineEdit*>(QStringLiteral("me_search"));
    w->active = w->window->findChild<QCheckBox*>(QStringLiteral("active"));
    w->grid = w->window->findChild<QTableView*>(QStringLiteral("DBGrid1"));
    if (!ph::test::showActive(*w->window)) qWarning("the window did not become active");
    return w;
}

void LookupListsTest::eachListAddsRenamesAndRefuses() {
    Database& db = m_t->db();
    for (const ListCase& c : listCases()) {
        const QByteArray label(c.label);
        LookupList list(db, c.kind);
        const bool wards = c.kind == LookupKind::Wards;
        QVERIFY2(list.nextCode() == 1, label);
        qint64 code = 0;
        QVERIFY2(list.add(QStringLiteral("  الف  "), false, &code) == Result::Saved && code == 1, label);
        QVERIFY2(list.nameOf(1) == QStringLiteral("الف"), label); // stored trimmed
        QVERIFY2(list.add(QStringLiteral("الف")) == Result::Duplicate, label);
        QVERIFY2(list.add(QStringLiteral("   ")) == Result::EmptyName, label);
        QVERIFY2(list.add(QStringLiteral("ب"), false, &code) == Result::Saved && code == 2, label);
        QVERIFY2(list.nextCode() == 3, label);

        // Renaming to the entry's own name, or to another entry's, is a duplicate, except
        // for wards, which are edited without that check.
        const Result sameName = list.edit(2, QStringLiteral("ب"));
        QVERIFY2(sameName == (wards ? Result::Saved : Result::Duplicate), label);
        const Result otherName = list.edit(2, QStringLiteral("الف"));
        QVERIFY2(otherName == (wards ? Result::Saved : Result::Duplicate), label);
        QVERIFY2(list.edit(2, QStringLiteral(" ج ")) == Result::Saved &&
                     list.nameOf(2) == QStringLiteral("ج"),
                 label);
        QVERIFY2(list.edit(2, QString()) == Result::EmptyName, label);

        db.exec(QString::fromLatin1(c.referToCodeOne));
        QVERIFY2(list.isInUse(1) == c.inUseRefusesRename && !list.isInUse(2), label);
        const Result renamed = list.edit(1, QStringLiteral("د"));
        QVERIFY2(renamed == (c.inUseRefusesRename ? Result::InUse : Result::Saved), label);
        QVERIFY2(list.nameOf(1) == (c.inUseRefusesRename ? QStringLiteral("الف") : QStringLiteral("د")),
                 label);
        QVERIFY2(!list.nameOf(3), label);
    }
}

void LookupListsTest::wardFlagIsStoredEvenWhenTheRenameIsRefused() {
    Database& db = m_t->db();
    LookupList wards(db, LookupKind::Wards);
    QCOMPARE(wards.add(QStringLiteral("داخلي"), true), Result::Saved);
    QCOMPARE(wards.add(QStringLiteral("جراحي"), true), Result::Saved);
    QCOMPARE(wards.add(QStringLiteral("اطفال"), false), Result::Saved);
    db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, code_bakhsh) values (1, 1)"));

    // In use: the name stays, the flag is stored all the same, both ways.
    QCOMPARE(wards.edit(1, QStringLiteral("داخلي"), false), Result::InUse);
    QCOMPARE(wards.entries().at(0).active, false);
    QCOMPARE(wards.edit(1, QStringLiteral("داخلي 2"), true), Result::InUse);
    QCOMPARE(wards.entries().at(0).name, QStringLiteral("داخلي"));
    QCOMPARE(wards.entries().at(0).active, true);
    // Unused: name and flag.
    QCOMPARE(wards.edit(2, QStringLiteral("جراحي مردان"), false), Result::Saved);
    QCOMPARE(wards.entries().at(1).name, QStringLiteral("جراحي مردان"));
    QCOMPARE(wards.entries().at(1).active, false);
    QCOMPARE(db.scalar(QStringLiteral("select active from place where code=2")).toInt(), 0);

    // Lists of wards elsewhere offer only the active ones.
    QCOMPARE(codesOf(activeWardPickRows(db)), (QList<qint64>{1}));
}

void LookupListsTest::newFormsAndPickerRows() {
    Database& db = m_t->db();
    LookupList forms(db, LookupKind::Forms);
    for (const char16_t* name : {u"قرص", u"آمپول", u"شربت"})
        QCOMPARE(forms.add(QString::fromUtf16(name)), Result::Saved);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from type_kala where num=0 and code<>70")).toInt(), 3);
    // The compounded drugs' form, in every database, keeps its name and is passed over by
    // the codes of the forms entered.
    QCOMPARE(forms.nameOf(kCompoundedFormCode), compoundedFormName());
    QCOMPARE(forms.edit(kCompoundedFormCode, QStringLiteral("پماد")), Result::Fixed);
    QCOMPARE(forms.nameOf(kCompoundedFormCode), compoundedFormName());
    db.exec(QStringLiteral("insert into type_kala (code, name, num) values (69, 'x', 0)"));
    QCOMPARE(forms.nextCode(), 71);
    db.exec(QStringLiteral("delete from type_kala where code=69"));
    LookupList groups(db, LookupKind::Groups);
    QCOMPARE(groups.add(QStringLiteral("دارو")), Result::Saved);
    QCOMPARE(groups.add(QStringLiteral("آرايشي")), Result::Saved);

    // Groups by code; forms by name (آمپول, شربت, قرص).
    const PickRows groupRows = groupPickRows(db);
    QCOMPARE(codesOf(groupRows), (QList<qint64>{1, 2}));
    QCOMPARE(groupRows.first().name1, QStringLiteral("دارو"));
    QCOMPARE(codesOf(formPickRows(db)), (QList<qint64>{2, 70, 3, 1}));

    LookupList specialties(db, LookupKind::Specialties);
    QCOMPARE(specialties.add(QStringLiteral("عمومي")), Result::Saved);
    LookupList types(db, LookupKind::PrescriptionTypes);
    QCOMPARE(types.add(QStringLiteral("آزاد")), Result::Saved);
    LookupList units(db, LookupKind::Units);
    QCOMPARE(units.add(QStringLiteral("گرم")), Result::Saved);
    QCOMPARE(specialtyPickRows(db).first().name1, QStringLiteral("عمومي"));
    QCOMPARE(prescriptionTypePickRows(db).first().name1, QStringLiteral("آزاد"));
    QCOMPARE(unitPickRows(db).first().name1, QStringLiteral("گرم"));
}

void LookupListsTest::windowShowsTheListOfItsFormMode() {
    for (const ListCase& c : listCases()) {
        const QByteArray label(c.label);
        auto w = openWindow(int(c.kind));
        QVERIFY2(w->window->windowTitle() == c.title, label);
        const bool wards = c.kind == LookupKind::Wards;
        QVERIFY2(w->active->isVisible() == wards && w->grid->isColumnHidden(2) == !wards, label);
        QVERIFY2(w->code->text() == QStringLiteral("1"), label);
        QVERIFY2(ph::test::focusName(*w->window) == QStringLiteral("me_name"), label);
    }
    // The commands and the grid of the wards' variant.
    auto w = openWindow(100);
    QStringList buttons, columns;
    for (const char* button : {"but_ok", "but_edit", "but_enseraf", "but_close", "but_sort"})
        buttons.append(w->window->findChild<QPushButton*>(QString::fromLatin1(button))->text());
    QCOMPARE(buttons, (QStringList{QStringLiteral("ثبتF2"), QStringLiteral("ويرايشF3"), QStringLiteral("انصراف/جديدF9"),
                                   QStringLiteral("خروجF10"), QStringLiteral("مرتب سازيCtrl+S")}));
    for (int c = 0; c < w->grid->model()->columnCount(); ++c)
        columns.append(w->grid->model()->headerData(c, Qt::Horizontal).toString());
    QCOMPARE(columns, (QStringList{QStringLiteral("كــد"), QStringLiteral("نــام"), QStringLiteral("وضعيت")}));
    QCOMPARE(w->active->text(), QStringLiteral("فعال"));

    // The same window, shown again for another list.
    w->window->hide();
    w->window->setFormMode(6);
    QVERIFY(ph::test::showActive(*w->window));
    QCOMPARE(w->window->windowTitle(), caseOf(LookupKind::Forms).title);
    QVERIFY(!w->active->isVisible());
}

void LookupListsTest::windowSavesEditsAndRefuses() {
    Database& db = m_t->db();
    auto w = openWindow(5, /*rights*/ false);
    CommandBar* bar = w->window->commandBar();
    const ListCase& groups = caseOf(LookupKind::Groups);

    // The command-key rights come first.
    ph::test::typeText(w->name, QStringLiteral(" مسكن "));
    QTest::keyClick(w->name, Qt::Key_F2);
    QTest::keyClick(w->name, Qt::Key_F3);
    QCOMPARE(w->prompter.texts(Kind::Warning),
             (QStringList{QStringLiteral("دسترسي به کليد ثبت براي شما امکان پذير نمي باشد"),
                          QStringLiteral("دسترسي به کليدويرايش براي شما امکان پذير نمي باشد")}));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from group_kala")).toInt(), 0);

    grantCommandKeys(w->context);
    QTest::keyClick(w->name, Qt::Key_F2);
    QCOMPARE(db.scalar(QStringLiteral("select name from group_kala where code=1")).toString(),
             QStringLiteral("مسكن"));
    QCOMPARE(w->code->text(), QStringLiteral("2"));
    QVERIFY(w->name->text().isEmpty());
    QCOMPARE(shownCodes(*w->grid->model()), (QList<qint64>{1}));
    QVERIFY(bar->isEnabled(CommandBar::Save) && !bar->isEnabled(CommandBar::Edit));

    w->prompter.clear();
    ph::test::typeText(w->name, QStringLiteral("مسكن"));
    QTest::keyClick(w->name, Qt::Key_F2);
    w->name->clear();
    QTest::keyClick(w->name, Qt::Key_F2);
    QCOMPARE(w->prompter.texts(Kind::Warning), (QStringList{groups.duplicate, kNoName}));
    QCOMPARE(ph::test::focusName(*w->window), QStringLiteral("me_name"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from group_kala")).toInt(), 1);

    // A click loads the row: edit on, save off.
    const QModelIndex first = w->grid->model()->index(0, 1);
    QTest::mouseClick(w->grid->viewport(), Qt::LeftButton, {}, w->grid->visualRect(first).center());
    QCOMPARE(w->code->text(), QStringLiteral("1"));
    QCOMPARE(w->name->text(), QStringLiteral("مسكن"));
    QVERIFY(!bar->isEnabled(CommandBar::Save) && bar->isEnabled(CommandBar::Edit));

    // An emptied name is refused before the question is asked.
    w->prompter.clear();
    w->name->clear();
    QTest::keyClick(w->name, Qt::Key_F3);
    QCOMPARE(w->prompter.texts(), QStringList{kNoName});
    w->name->setText(QStringLiteral("مسكن"));

    // "no" changes nothing; the unchanged name is its own duplicate; a new name is stored.
    w->prompter.clear();
    w->prompter.answerNo();
    QTest::keyClick(w->name, Qt::Key_F3);
    w->prompter.answerYes();
    QTest::keyClick(w->name, Qt::Key_F3);
    QCOMPARE(w->prompter.texts(), (QStringList{kConfirmEdit, kConfirmEdit, groups.duplicate}));
    w->name->setText(QStringLiteral("ضد درد"));
    w->prompter.answerYes();
    QTest::keyClick(w->name, Qt::Key_F3);
    QCOMPARE(db.scalar(QStringLiteral("select name from group_kala where code=1")).toString(),
             QStringLiteral("ضد درد"));
    QCOMPARE(w->code->text(), QStringLiteral("2"));
    QVERIFY(bar->isEnabled(CommandBar::Save) && !bar->isEnabled(CommandBar::Edit));

    // F9 drops a loaded row for a new entry.
    w->grid->setFocus();
    w->grid->setCurrentIndex(w->grid->model()->index(0, 0));
    QCOMPARE(w->code->text(), QStringLiteral("1"));
    QTest::keyClick(w->grid, Qt::Key_F9);
    QCOMPARE(w->code->text(), QStringLiteral("2"));
    QVERIFY(w->name->text().isEmpty());
    QCOMPARE(ph::test::focusName(*w->window), QStringLiteral("me_name"));
}

void LookupListsTest::windowInUseWarningPerList() {
    Database& db = m_t->db();
    for (const ListCase& c : listCases()) {
        const QByteArray label(c.label);
        QVERIFY2(LookupList(db, c.kind).add(QStringLiteral("قديم"), true) == Result::Saved, label);
        db.exec(QString::fromLatin1(c.referToCodeOne));
        auto w = openWindow(int(c.kind));
        w->grid->setFocus();
        w->grid->setCurrentIndex(w->grid->model()->index(0, 0));
        w->name->setText(QStringLiteral("جديد"));
        w->prompter.answerYes();
        QTest::keyClick(w->name, Qt::Key_F3);
        const QStringList expected =
            c.inUse.isEmpty() ? QStringList{kConfirmEdit} : QStringList{kConfirmEdit, c.inUse};
        QVERIFY2(w->prompter.texts() == expected, label);
        QVERIFY2(LookupList(db, c.kind).nameOf(1) ==
                     (c.inUse.isEmpty() ? QStringLiteral("جديد") : QStringLiteral("قديم")),
                 label);
    }

    // The compounded drugs' form (the forms' second row, after code 1) is not renamed.
    auto w = openWindow(int(LookupKind::Forms));
    w->grid->setFocus();
    w->grid->setCurrentIndex(w->grid->model()->index(1, 0));
    QCOMPARE(w->code->text(), QStringLiteral("70"));
    w->name->setText(QStringLiteral("جديد"));
    w->prompter.answerYes();
    QTest::keyClick(w->name, Qt::Key_F3);
    QCOMPARE(w->prompter.texts(),
             (QStringList{kConfirmEdit, QStringLiteral("شكل داروهاي ساختني (كد 70) قابل اصلاح يا حذف نيست")}));
    QCOMPARE(LookupList(db, LookupKind::Forms).nameOf(kCompoundedFormCode), compoundedFormName());
}

void LookupListsTest::windowWardStateFollowsTheLoadedRow() {
    Database& db = m_t->db();
    LookupList wards(db, LookupKind::Wards);
    wards.add(QStringLiteral("داخلي"), true);
    wards.add(QStringLiteral("اطفال"), false);
    db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, code_bakhsh) values (1, 1)"));
    auto w = openWindow(100);
    auto state = [&](int row) { return w->grid->model()->index(row, 2).data().toString(); };
    QCOMPARE(state(0), QStringLiteral("فعال "));
    QCOMPARE(state(1), QStringLiteral("غير فعال"));

    // Moving with the keyboard loads each ward's own state.
    w->grid->setFocus();
    QCOMPARE(w->code->text(), QStringLiteral("1"));
    QVERIFY(w->active->isChecked());
    QTest::keyClick(w->grid, Qt::Key_Down);
    QCOMPARE(w->code->text(), QStringLiteral("2"));
    QVERIFY(!w->active->isChecked());
    QTest::keyClick(w->grid, Qt::Key_Up);
    QVERIFY(w->active->isChecked());

    // Switched off under its own name while prescriptions name it: stored, with the warning.
    w->active->setChecked(false);
    w->prompter.answerYes();
    QTest::keyClick(w->name, Qt::Key_F3);
    QCOMPARE(w->prompter.texts(Kind::Warning), QStringList{caseOf(LookupKind::Wards).inUse});
    QCOMPARE(db.scalar(QStringLiteral("select active from place where code=1")).toInt(), 0);
    QCOMPARE(state(0), QStringLiteral("غير فعال"));
    // The unused ward is renamed and switched on.
    w->grid->setFocus();
    w->grid->setCurrentIndex(w->grid->model()->index(1, 0));
    w->name->setText(QStringLiteral("اطفال 2"));
    w->active->setChecked(true);
    w->prompter.answerYes();
    QTest::keyClick(w->name, Qt::Key_F3);
    QCOMPARE(wards.entries().at(1).name, QStringLiteral("اطفال 2"));
    QVERIFY(wards.entries().at(1).active);
    // A new ward takes the box's state.
    ph::test::typeText(w->name, QStringLiteral("زنان"));
    QTest::keyClick(w->name, Qt::Key_F2);
    QCOMPARE(wards.entries().size(), 3);
    QVERIFY(!wards.entries().at(2).active);
}

void LookupListsTest::windowQuickSearchSortAndKeys() {
    LookupList groups(m_t->db(), LookupKind::Groups);
    for (const char16_t* name :
         {u"پماد", u"بهداشتي", u"آرايشي", u"بچه", u"قرص", u"ب", u"ت", u"ث", u"ج", u"ح", u"خ", u"بسته"})
        QCOMPARE(groups.add(QString::fromUtf16(name)), Result::Saved);
    auto w = openWindow(5);
    QAbstractItemModel* shown = w->grid->model();
    const QList<qint64> byCode = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

    // Digit-led text locates by code without loading the row; other text filters by prefix.
    QTest::keyClick(w->name, Qt::Key_Down);
    QCOMPARE(ph::test::focusName(*w->window), QStringLiteral("me_search"));
    ph::test::typeText(w->search, QStringLiteral("1"));
    QCOMPARE(currentCode(*w->grid), 1);
    ph::test::typeText(w->search, QStringLiteral("2"));
    QCOMPARE(currentCode(*w->grid), 12);
    QCOMPARE(shownCodes(*shown), byCode);
    QCOMPARE(w->code->text(), QStringLiteral("13"));
    w->search->clear();
    ph::test::typeText(w->search, QStringLiteral("ب"));
    QCOMPARE(shownCodes(*shown), (QList<qint64>{6, 4, 12, 2})); // ب, بچه, بسته, بهداشتي
    ph::test::typeText(w->search, QStringLiteral("ه"));
    QCOMPARE(shownCodes(*shown), (QList<qint64>{2}));

    // Down enters the grid and loads the found row; Enter goes back to the name.
    QTest::keyClick(w->search, Qt::Key_Down);
    QCOMPARE(ph::test::focusName(*w->window), QStringLiteral("DBGrid1"));
    QCOMPARE(w->name->text(), QStringLiteral("بهداشتي"));
    QTest::keyClick(w->grid, Qt::Key_Return);
    QCOMPARE(ph::test::focusName(*w->window), QStringLiteral("me_name"));
    QTest::keyClick(w->name, Qt::Key_Down);
    QTest::keyClick(w->search, Qt::Key_Up);
    QCOMPARE(ph::test::focusName(*w->window), QStringLiteral("me_name"));
    QTest::keyClick(w->name, Qt::Key_Down);
    QTest::keyClick(w->search, Qt::Key_Return);
    QCOMPARE(ph::test::focusName(*w->window), QStringLiteral("DBGrid1"));
    QTest::keyClick(w->grid, Qt::Key_Right);
    QCOMPARE(ph::test::focusName(*w->window), QStringLiteral("me_name"));

    // Empty text shows every row; the sort keys work from any field.
    w->search->clear();
    QCOMPARE(shown->rowCount(), 12);
    QTest::keyClick(w->name, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(shownCodes(*shown), (QList<qint64>{3, 6, 4, 12, 2, 1, 7, 8, 9, 10, 11, 5}));
    QTest::keyClick(w->search, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(shownCodes(*shown), byCode);
    QTest::keyClick(w->grid, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(shownCodes(*shown).first(), 3);

    // Ctrl+S opens the sort menu; F4 does nothing, since the lists have no delete; Esc closes.
    w->prompter.clear();
    QTest::keyClick(w->name, Qt::Key_S, Qt::ControlModifier);
    auto* menu = w->window->findChild<QMenu*>(QStringLiteral("sort_menu"));
    QVERIFY(menu->isVisible());
    QStringList entries;
    for (const QAction* action : menu->actions())
        entries.append(action->text() + u' ' + action->shortcut().toString());
    QCOMPARE(entries, (QStringList{QStringLiteral("براساس كد Ctrl+A"), QStringLiteral("براساس نام Ctrl+B")}));
    menu->hide();
    QTest::keyClick(w->name, Qt::Key_F4);
    QVERIFY(w->prompter.texts().isEmpty());
    QCOMPARE(LookupList(m_t->db(), LookupKind::Groups).entries().size(), 12);
    QTest::keyClick(w->name, Qt::Key_Escape);
    QVERIFY(!w->window->isVisible());
}

QTEST_MAIN(LookupListsTest)
#include "lookup_lists_test.moc"
