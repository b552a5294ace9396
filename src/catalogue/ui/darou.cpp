#include "catalogue/ui/darou.h"

#include "catalogue/goods.h"
#include "catalogue/lookup_list.h"
#include "catalogue/ui/goods_set.h"
#include "catalogue/ui/sabt_darou.h"
#include "core/error.h"
#include "core/prompter.h"
#include "widgets/code_field.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/quick_search.h"
#include "widgets/window_tools.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace ph {
namespace {

using Column = GoodsTableModel::Column;

// The order of the list as first read: by name, then by form.
const QList<int> kNameOrder = {Column::Name, Column::FormName};

struct SortEntry {
    const char16_t* caption;
    Qt::Key key;
    QList<int> columns;
};

const QList<SortEntry>& sortEntries() {
    static const QList<SortEntry> entries = {
        {u"براساس  كد ملي", Qt::Key_A, {Column::NationalCode}},
        {u"براساس كددارو", Qt::Key_B, {Column::Code}},
        {u"براساس نام دارو", Qt::Key_C, {Column::Name, Column::FormName}},
        {u"براساس نام لاتين", Qt::Key_D, {Column::LatinName, Column::FormName}},
        {u"براساس قيمت دارو", Qt::Key_E, {Column::Price, Column::Name, Column::FormName}},
        {u"براساس شكل دارو", Qt::Key_F, {Column::FormName, Column::Name}},
    };
    return entries;
}

QLineEdit* makeEdit(const QString& objectName, QWidget* parent, bool readOnly = false) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setReadOnly(readOnly);
    if (readOnly) edit->setFocusPolicy(Qt::NoFocus);
    return edit;
}

CodeField* makeCodeField(const QString& objectName, QWidget* parent) {
    auto* field = new CodeField(parent);
    field->setObjectName(objectName);
    field->setMaxDigits(9);
    return field;
}

// A filter box: the code field and its name, with the hint under them.
QGroupBox* filterBox(const QString& caption, const QString& hint, CodeField* code, QLineEdit* name,
                     QWidget* parent) {
    auto* box = new QGroupBox(caption, parent);
    auto* layout = new QGridLayout(box);
    layout->addWidget(code, 0, 0);
    layout->addWidget(name, 0, 1);
    layout->setColumnStretch(1, 1);
    auto* note = new QLabel(hint, box);
    note->setWordWrap(true);
    layout->addWidget(note, 1, 0, 1, 2);
    return box;
}

QGroupBox* searchBox(const QString& caption, QLineEdit* edit, QWidget* parent) {
    auto* box = new QGroupBox(caption, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(edit);
    return box;
}

std::optional<qint64> codeOf(const CodeField* field) {
    return field->code();
}

bool isPlain(Qt::KeyboardModifiers modifiers) {
    return (modifiers & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

Tf_darou::Tf_darou(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_set(new DrugListSet(windows.db, this)) {
    setObjectName(QStringLiteral("f_darou"));
    setWindowTitle(QStringLiteral("فــــــرم تـعـــريف دارو"));
    setLayoutDirection(Qt::RightToLeft);

    makeFields();
    makeCommands();
    makeLayout();
    qApp->installEventFilter(this);
}

void Tf_darou::makeFields() {
    me_code_g = makeCodeField(QStringLiteral("me_code_g"), this);
    me_name_g = makeEdit(QStringLiteral("me_name_g"), this, true);
    me_code_t = makeCodeField(QStringLiteral("me_code_t"), this);
    me_name_t = makeEdit(QStringLiteral("me_name_t"), this, true);
    me_code_g->setLookup([this](qint64 code) { return GoodsCatalogue(m_windows.db).groupName(code); },
                         me_name_g, m_windows.prompter);
    me_code_t->setLookup([this](qint64 code) { return GoodsCatalogue(m_windows.db).formName(code); },
                         me_name_t, m_windows.prompter);
    me_code_g->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            pickCode(m_windows, me_code_g, QStringLiteral("group1"), groupPickRows(m_windows.db));
        });
        me_code_g->setFocus();
    });
    me_code_t->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            pickCode(m_windows, me_code_t, QStringLiteral("type1"), formPickRows(m_windows.db));
        });
        me_code_t->setFocus();
    });

    me_search_d = makeEdit(QStringLiteral("me_search_d"), this);
    me_search_l = makeEdit(QStringLiteral("me_search_l"), this);
    me_search_l->setLayoutDirection(Qt::LeftToRight);
    me_search_p = makeEdit(QStringLiteral("me_search_p"), this);

    m_grid = makeListGrid(this, QStringLiteral("DBGrid1"));
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->setModel(m_set->proxy());
    m_grid->setSelectionModel(m_set->selection());
    connect(m_grid, &QTableView::doubleClicked, this, [this] { openEntry(true); });

    auto* byName = new QuickSearch(nullptr, m_set->proxy(), m_grid, Column::Code, Column::Name, this);
    // A code is located as typed; a name is matched without the spaces around it.
    connect(me_search_d, &QLineEdit::textChanged, byName, [byName](const QString& text) {
        byName->search(!text.isEmpty() && text.front().isDigit() ? text : text.trimmed());
    });
    auto* byLatin =
        new QuickSearch(me_search_l, m_set->proxy(), m_grid, Column::NationalCode, Column::LatinName, this);
    auto* byPrice = new QuickSearch(me_search_p, m_set->proxy(), m_grid, Column::Price, -1, this);
    byPrice->setCodeOrder({Column::Price, Column::FormName, Column::Name});
    m_searches = {byName, byLatin, byPrice};
}

void Tf_darou::makeCommands() {
    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::Save | CommandBar::Edit | CommandBar::Delete | CommandBar::Sort |
                               CommandBar::Close,
                           this);
    m_bar->button(CommandBar::Save)->setText(QStringLiteral("تعريف دارو F2"));
    m_bar->button(CommandBar::Edit)->setText(QStringLiteral("اصلاح دارو F3"));
    m_bar->button(CommandBar::Delete)->setText(QStringLiteral("حذف دارو F4 "));
    m_bar->button(CommandBar::Sort)->setText(QStringLiteral("مرتب سازي Ctrl+S"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروجF10"));
    m_bar->setHandler(CommandBar::Save, [this] { newDrug(); });
    m_bar->setHandler(CommandBar::Edit, [this] { editDrug(); });
    m_bar->setHandler(CommandBar::Delete, [this] { deleteDrug(); });
    m_bar->setHandler(CommandBar::Sort, [this] {
        QPushButton* button = m_bar->button(CommandBar::Sort);
        m_sortMenu->popup(button->mapToGlobal(QPoint(0, button->height())));
    });
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });
    buildSortMenu();

    m_nav = new KeyNav({me_code_g, me_code_t}, this);
    m_nav->setEnterHandler(me_code_g, [this] {
        if (!me_code_g->acceptCode()) return false;
        filterByGroup();
        me_code_t->setFocus();
        return false;
    });
    m_nav->setEnterHandler(me_code_t, [this] {
        if (!me_code_t->acceptCode()) return false;
        filterByGroupAndForm();
        me_search_d->setFocus();
        return false;
    });

    m_appearance = makeAppearanceMenu(this, [this] {
        if (m_lock) m_lock();
    });
}

void Tf_darou::makeLayout() {
    // The four navigation buttons of the grid (no captions, no keys of their own).
    auto* navigation = new QHBoxLayout;
    const struct {
        const char* name;
        Qt::ArrowType arrow;
        DrugListSet::Move move;
    } moves[] = {{"but_first", Qt::UpArrow, DrugListSet::Move::First},
                 {"but_prior", Qt::RightArrow, DrugListSet::Move::Previous},
                 {"but_next", Qt::LeftArrow, DrugListSet::Move::Next},
                 {"but_last", Qt::DownArrow, DrugListSet::Move::Last}};
    for (const auto& m : moves) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(m.name));
        button->setArrowType(m.arrow);
        button->setFocusPolicy(Qt::NoFocus);
        const DrugListSet::Move move = m.move;
        connect(button, &QToolButton::clicked, this, [this, move] { m_set->move(move); });
        navigation->addWidget(button);
    }
    navigation->addStretch();

    auto* menuBar = new QMenuBar(this);
    menuBar->addMenu(m_appearance);

    auto* filters = new QHBoxLayout;
    filters->addWidget(
        filterBox(QStringLiteral("نمايش ليست اقلام دارويي براساس گروه"),
                  QStringLiteral("بعد از مشخص کردن گروه کليد اينتر رابراي مشاهده ليست فشار دهيد."), me_code_g,
                  me_name_g, this));
    filters->addWidget(
        filterBox(QStringLiteral("نمايش ليست اقلام دارويي براساس شكل دارو"),
                  QStringLiteral("بعدازمشخص کردن شکل دارو کليد اينتررا براي مشاهده ليست فشار دهيد."),
                  me_code_t, me_name_t, this));
    auto* searches = new QHBoxLayout;
    searches->addWidget(searchBox(QStringLiteral("جستجوبراساس نام فارسي دارو / كد دارو"), me_search_d, this),
                        2);
    searches->addWidget(searchBox(QStringLiteral("جستجو براساس نام لاتين / کد ملي"), me_search_l, this), 2);
    searches->addWidget(searchBox(QStringLiteral("جستجوبراساس قيمت دارو"), me_search_p, this), 1);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(filters);
    layout->addLayout(searches);
    layout->addWidget(m_grid, 1);
    layout->addLayout(navigation);
    layout->addWidget(m_bar);
    resize(900, 600);
}

Tf_darou::~Tf_darou() = default;

void Tf_darou::buildSortMenu() {
    m_sortMenu = new QMenu(this);
    for (const SortEntry& entry : sortEntries()) {
        QAction* action = m_sortMenu->addAction(QString::fromUtf16(entry.caption));
        action->setShortcut(QKeySequence(Qt::CTRL | entry.key));
        const QList<int> columns = entry.columns;
        connect(action, &QAction::triggered, this, [this, columns] { sortBy(columns); });
    }
}

void Tf_darou::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return; // restored from the task bar: the filters and the list stay
    for (QLineEdit* search : {me_search_d, me_search_l, me_search_p})
        search->clear();
    for (CodeField* filter : {me_code_g, me_code_t})
        filter->clear();
    m_set->proxy()->clearNameFilter();
    m_set->proxy()->sortByColumns(kNameOrder);
    guarded(m_windows.prompter, [this] {
        m_set->load(GoodsQuery{std::nullopt, std::nullopt, {}, GoodsOrder::NameThenForm});
    });
    me_code_g->setFocus();
}

void Tf_darou::done(int result) {
    for (QLineEdit* search : {me_search_d, me_search_l, me_search_p})
        search->clear();
    m_set->proxy()->clearNameFilter();
    QDialog::done(result);
}

void Tf_darou::filterByGroup() {
    guarded(m_windows.prompter, [this] {
        m_set->load(GoodsQuery{codeOf(me_code_g), std::nullopt, {}, GoodsOrder::Name});
    });
}

void Tf_darou::filterByGroupAndForm() {
    guarded(m_windows.prompter, [this] {
        m_set->load(GoodsQuery{codeOf(me_code_g), codeOf(me_code_t), {}, GoodsOrder::Name});
    });
}

void Tf_darou::sortBy(const QList<int>& columns) {
    m_set->proxy()->clearNameFilter();
    m_set->proxy()->sortByColumns(columns);
    if (m_set->currentRow() < 0) m_set->setCurrentRow(0);
}

void Tf_darou::openEntry(bool editing) {
    if (editing && !m_set->current()) return;
    if (!m_entry) m_entry = new Tf_sabt_darou(m_windows, *m_set, this);
    m_entry->setEditing(editing);
    m_entry->exec();
}

void Tf_darou::newDrug() {
    openEntry(false);
}

void Tf_darou::editDrug() {
    openEntry(true);
}

void Tf_darou::deleteDrug() {
    const std::optional<GoodsItem> drug = m_set->current();
    if (!drug) return;
    if (!m_windows.prompter.askYesNo(QStringLiteral("آيا از حذف دارو مطمئن هستيد"))) return;
    const int row = m_set->currentRow();
    guarded(m_windows.prompter, [&] {
        if (GoodsCatalogue(m_windows.db).remove(drug->code) == GoodsOutcome::Referenced) {
            m_windows.prompter.warning(QStringLiteral("حذف داروي مورد نظر امکان پذير نمي باشد"));
            return;
        }
        m_set->reload();
        m_set->setCurrentRow(std::min(row, m_set->shownCount() - 1));
    });
}

// F6 opens the appearance menu under its title in the menu bar, as a click there does.
void Tf_darou::popUpAppearanceMenu() {
    popUpUnderTitle(this, m_appearance);
}

bool Tf_darou::handleKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers) {
    if ((modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        for (const SortEntry& entry : sortEntries())
            if (key == entry.key) {
                sortBy(entry.columns);
                return true;
            }
        return false;
    }
    if (!isPlain(modifiers)) return false;
    switch (key) {
    case Qt::Key_F1:
        m_windows.prompter.showHelp();
        return true;
    case Qt::Key_F6:
        popUpAppearanceMenu();
        return true;
    default:
        break;
    }
    const bool enter = isEnterKey(key);
    if (widget == me_search_d || widget == me_search_p || widget == me_search_l) {
        if (enter || key == Qt::Key_Up) {
            m_grid->setFocus();
            if (m_set->currentRow() < 0) m_set->setCurrentRow(0);
            return true;
        }
        if (widget == me_search_l && key == Qt::Key_Left) {
            me_search_d->setFocus();
            return true;
        }
        if (key == Qt::Key_Right) {
            (widget == me_search_l ? me_search_p : me_search_l)->setFocus();
            return true;
        }
        return false;
    }
    if (widget == m_grid && key == Qt::Key_Right) {
        me_search_d->setFocus();
        return true;
    }
    return false;
}

bool Tf_darou::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != this) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // Letters and digits typed in the grid start a search by name or code.
    if (widget == m_grid && isPlain(key->modifiers()) && !key->text().isEmpty() && key->text().front().isLetterOrNumber()) {
        me_search_d->setFocus();
        me_search_d->setText(key->text());
        return true;
    }
    return handleKey(widget, key->key(), key->modifiers());
}

} // namespace ph
