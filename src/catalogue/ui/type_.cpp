#include "catalogue/ui/type_.h"

#include "core/app_context.h"
#include "core/error.h"
#include "core/prompter.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/quick_search.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

constexpr int kCodeColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kStateColumn = 2; // wards only

// What each list shows and says.
struct VariantTexts {
    LookupKind kind;
    QString title;
    QString duplicate;
    QString inUse;
};

const QList<VariantTexts>& variants() {
    static const QList<VariantTexts> list = {
        {LookupKind::Groups, QStringLiteral("فــرم تعريف گروه كالا"),
         QStringLiteral("نام گروه وارد شده تكراري است"),
         QStringLiteral("اصلاح گروه مورد نظر امكان پذير نيست")},
        {LookupKind::Forms, QStringLiteral("فـرم تعريف شكل دارو"), QStringLiteral("شكل دارو تكراري است"),
         QStringLiteral("اصلاح شكل داروي مورد نظر امكان پذير نيست")},
        {LookupKind::PrescriptionTypes, QStringLiteral("فـــرم تعريف نوع نسخه"),
         QStringLiteral("نوع نسخه تكراري است"), QStringLiteral("اصلاح نوع نسخه مورد نظر امكان پذير نيست")},
        {LookupKind::Specialties, QStringLiteral("فــرم تعريف تخصص پزشكان"),
         QStringLiteral("نوع تخصص تكراري است"), QStringLiteral("اصلاح نوع تخصص مورد نظر امكان پذير نيست")},
        {LookupKind::Units, QStringLiteral("فــرم تعريف واحد ها"), QStringLiteral("نام واحد تكراري است"),
         QString()},
        {LookupKind::Wards, QStringLiteral("فــرم تعريف  بخشها"), QStringLiteral("نام بخش تكراري است"),
         QStringLiteral("اصلاح نام بخش مورد نظر امكان پذير نيست")},
    };
    return list;
}

const VariantTexts& textsOf(LookupKind kind) {
    for (const VariantTexts& texts : variants())
        if (texts.kind == kind) return texts;
    return variants().first();
}

const QString kActiveText = QStringLiteral("فعال ");
const QString kInactiveText = QStringLiteral("غير فعال");
const QString kNoName = QStringLiteral("نام وارد نشده است");
const QString kConfirmEdit = QStringLiteral("آيا از اصلاح اطلاعات مطمئن هستيد");
const QString kCompoundedFormFixed = QStringLiteral("شكل داروهاي ساختني (كد 70) قابل اصلاح يا حذف نيست");


} // namespace

TF_type::TF_type(const WindowContext& windows, QWidget* parent) : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("F_type"));
    setWindowTitle(textsOf(m_kind).title);
    resize(560, 640); // a list of fifteen rows shows whole

    m_code = new QLineEdit(this);
    m_code->setObjectName(QStringLiteral("me_code"));
    m_code->setReadOnly(true);
    m_code->setFocusPolicy(Qt::NoFocus);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("me_name"));
    m_active = new QCheckBox(QStringLiteral("فعال"), this);
    m_active->setObjectName(QStringLiteral("active"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("كــد: "), m_code);
    fields->addRow(QStringLiteral("نــام : "), m_name);
    fields->addRow(QString(), m_active);

    m_model = new QStandardItemModel(0, 3, this);
    m_model->setHorizontalHeaderLabels(
        {QStringLiteral("كــد"), QStringLiteral("نــام"), QStringLiteral("وضعيت")});
    m_grid = makeListGrid(this, QStringLiteral("DBGrid1"));

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("me_search"));
    m_quickSearch = new QuickSearch(m_search, m_model, m_grid, kCodeColumn, kNameColumn, this);
    auto* searchRow = new QFormLayout;
    searchRow->addRow(QStringLiteral("جستجوي سريع  براساس كد/نام"), m_search);

    // Moving in the grid with the keyboard loads the row; the quick search moving it does not.
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (m_grid->hasFocus()) loadGridRow(current);
            });
    connect(m_grid, &QTableView::clicked, this, &TF_type::loadGridRow);

    m_bar = new CommandBar(
        m_windows.context, m_windows.prompter,
        CommandBar::Save | CommandBar::Edit | CommandBar::New | CommandBar::Close | CommandBar::Sort, this);
    m_bar->button(CommandBar::Save)->setText(QStringLiteral("ثبتF2"));
    m_bar->button(CommandBar::Edit)->setText(QStringLiteral("ويرايشF3"));
    m_bar->button(CommandBar::New)->setText(QStringLiteral("انصراف/جديدF9"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروجF10"));
    m_bar->button(CommandBar::Sort)->setText(QStringLiteral("مرتب سازيCtrl+S"));
    m_bar->setHandler(CommandBar::Save, [this] { saveEntry(); });
    m_bar->setHandler(CommandBar::Edit, [this] { editEntry(); });
    m_bar->setHandler(CommandBar::New, [this] { clearForNew(); });
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });

    m_sortMenu = new QMenu(this);
    m_sortMenu->setObjectName(QStringLiteral("sort_menu"));
    m_sortByCode = m_sortMenu->addAction(QStringLiteral("براساس كد"), this, &TF_type::sortByCode);
    m_sortByName = m_sortMenu->addAction(QStringLiteral("براساس نام"), this, &TF_type::sortByName);
    // The keys are shown in the menu and work there; elsewhere in the window the key filter
    // below runs them (a line edit would take Ctrl+A as "select all").
    for (auto [action, key] : {std::pair{m_sortByCode, Qt::Key_A}, std::pair{m_sortByName, Qt::Key_B}}) {
        action->setShortcut(QKeySequence(Qt::CTRL | key));
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setShortcutVisibleInContextMenu(true);
    }
    m_bar->setHandler(CommandBar::Sort, [this] {
        QPushButton* button = m_bar->button(CommandBar::Sort);
        m_sortMenu->popup(button->mapToGlobal(QPoint(0, button->height())));
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_grid, 1);
    layout->addLayout(searchRow);
    layout->addWidget(m_bar);

    m_nav = new KeyNav({m_name, m_active, m_search}, this);
    m_nav->setEnterHandler(m_active, [] { return true; }); // Enter moves on; Space ticks
    m_nav->setEnterHandler(m_search, [this] {
        m_grid->setFocus();
        return false;
    });
    m_nav->setUpMoves(m_search, false); // Up goes to the name, below
    // Installed after KeyNav's, so this filter sees the keys first.
    for (QWidget* widget : {static_cast<QWidget*>(m_name), static_cast<QWidget*>(m_active),
                            static_cast<QWidget*>(m_search), static_cast<QWidget*>(m_grid)})
        widget->installEventFilter(this);
}

TF_type::~TF_type() = default;

void TF_type::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return; // restored from the task bar: nothing is cleared
    chooseVariant();
    clearForNew();
}

void TF_type::chooseVariant() {
    m_kind = lookupKindForFormMode(m_formMode).value_or(LookupKind::Groups);
    setWindowTitle(textsOf(m_kind).title);
    const bool wards = m_kind == LookupKind::Wards;
    m_active->setVisible(wards);
    m_grid->setColumnHidden(kStateColumn, !wards);
}

void TF_type::reloadRows() {
    m_entries = LookupList(m_windows.db, m_kind).entries();
    m_model->removeRows(0, m_model->rowCount());
    for (const LookupEntry& entry : std::as_const(m_entries)) {
        auto* code = new QStandardItem;
        code->setData(entry.code, Qt::DisplayRole);
        m_model->appendRow({code, new QStandardItem(entry.name),
                            new QStandardItem(entry.active ? kActiveText : kInactiveText)});
    }
}

void TF_type::clearForNew() {
    m_name->clear();
    m_search->clear();
    m_active->setChecked(false);
    m_loaded.reset();
    guarded(m_windows.prompter, [this] {
        reloadRows();
        m_quickSearch->model()->sortByColumns({kCodeColumn});
        m_code->setText(QString::number(LookupList(m_windows.db, m_kind).nextCode()));
    });
    m_bar->clearDocument();
    m_name->setFocus();
}

void TF_type::loadGridRow(const QModelIndex& index) {
    if (!index.isValid()) return;
    const int row = m_quickSearch->model()->mapToSource(index).row();
    if (row < 0 || row >= m_entries.size()) return;
    const LookupEntry& entry = m_entries.at(row);
    m_loaded = entry.code;
    m_code->setText(QString::number(entry.code));
    m_name->setText(entry.name);
    // The box always shows the loaded ward's own state, however the row was reached.
    if (m_kind == LookupKind::Wards) m_active->setChecked(entry.active);
    m_bar->showDocument();
}

void TF_type::refuse(const QString& message) {
    m_windows.prompter.warning(message);
    m_name->setFocus();
}

void TF_type::saveEntry() {
    if (m_name->text().trimmed().isEmpty()) return refuse(kNoName);
    LookupList::Result result = LookupList::Result::Saved;
    if (!guarded(m_windows.prompter, [&] {
            result = LookupList(m_windows.db, m_kind).add(m_name->text(), m_active->isChecked());
        }))
        return;
    if (result == LookupList::Result::Duplicate) return refuse(textsOf(m_kind).duplicate);
    clearForNew();
}

void TF_type::editEntry() {
    if (!m_loaded) return;
    if (m_name->text().trimmed().isEmpty()) return refuse(kNoName);
    if (!m_windows.prompter.askYesNo(kConfirmEdit)) return;
    LookupList::Result result = LookupList::Result::Saved;
    if (!guarded(m_windows.prompter, [&] {
            result = LookupList(m_windows.db, m_kind).edit(*m_loaded, m_name->text(), m_active->isChecked());
        }))
        return;
    switch (result) {
    case LookupList::Result::Duplicate:
        return refuse(textsOf(m_kind).duplicate);
    case LookupList::Result::InUse:
        // A ward's state was stored all the same: the grid shows it, the fields stay.
        if (m_kind == LookupKind::Wards) guarded(m_windows.prompter, [this] { reloadRows(); });
        return refuse(textsOf(m_kind).inUse);
    case LookupList::Result::EmptyName:
        return refuse(kNoName);
    case LookupList::Result::Fixed:
        return refuse(kCompoundedFormFixed);
    case LookupList::Result::Saved:
        break;
    }
    clearForNew();
}

void TF_type::sortByCode() {
    m_quickSearch->model()->sortByColumns({kCodeColumn});
}

void TF_type::sortByName() {
    m_quickSearch->model()->sortByColumns({kNameColumn});
}

bool TF_type::eventFilter(QObject* watched, QEvent* event) {
    // Entering the grid from the search (Down, Enter) or by Tab loads the row it stands on;
    // getting the focus back from a dialog or a menu does not.
    if (watched == m_grid && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::OtherFocusReason)
            loadGridRow(m_grid->currentIndex());
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = keyModifiers(key);
    if (modifiers == Qt::ControlModifier && (key->key() == Qt::Key_A || key->key() == Qt::Key_B)) {
        key->key() == Qt::Key_A ? sortByCode() : sortByName();
        return true;
    }
    if (modifiers != Qt::NoModifier) return QDialog::eventFilter(watched, event);
    if (watched == m_name && key->key() == Qt::Key_Down) {
        m_search->setFocus();
        return true;
    }
    if (watched == m_search && key->key() == Qt::Key_Down) {
        m_grid->setFocus();
        return true;
    }
    if (watched == m_search && key->key() == Qt::Key_Up) {
        m_name->setFocus();
        return true;
    }
    if (watched == m_grid && (isEnter(key) || key->key() == Qt::Key_Right)) {
        m_name->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ph
