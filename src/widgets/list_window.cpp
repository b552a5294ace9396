#include "widgets/list_window.h"

#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/quick_search.h"

#include <QAction>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {

ListWindow::ListWindow(const WindowContext& windows, QAbstractItemModel* source, int codeColumn, int nameColumn,
                       QWidget* parent)
    : QDialog(parent), m_windows(windows), m_codeColumn(codeColumn) {
    m_grid = makeListGrid(this, QStringLiteral("DBGrid1"));
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("me_search"));
    m_quickSearch = new QuickSearch(m_search, source, m_grid, codeColumn, nameColumn, this);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (m_grid->hasFocus()) loadRow(currentRow());
    });
    connect(m_grid, &QTableView::clicked, this, [this] { loadRow(currentRow()); });

    m_bar = new CommandBar(windows.context, windows.prompter,
                           CommandBar::DataWindow | CommandBar::Navigation | CommandBar::Sort, this);
    m_bar->button(CommandBar::Save)->setText(QStringLiteral("ثبت  F2"));
    m_bar->button(CommandBar::Edit)->setText(QStringLiteral("ويرايش F3"));
    m_bar->button(CommandBar::Delete)->setText(QStringLiteral("حذف  F4"));
    m_bar->button(CommandBar::New)->setText(QStringLiteral("انصراف/جديد F9"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروجF10"));
    m_bar->button(CommandBar::Sort)->setText(QStringLiteral(" مرتب سازيCtrl+S"));
    m_bar->button(CommandBar::First)->setText(QStringLiteral("Ctrl+F"));
    m_bar->button(CommandBar::Previous)->setText(QStringLiteral("Ctrl+P"));
    m_bar->button(CommandBar::Next)->setText(QStringLiteral("Ctrl+N"));
    m_bar->button(CommandBar::Last)->setText(QStringLiteral("Ctrl+L"));
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });
    for (CommandBar::Command c : {CommandBar::First, CommandBar::Previous, CommandBar::Next, CommandBar::Last})
        m_bar->setHandler(c, [this, c] { step(c); });
    m_sortMenu = new QMenu(this);
    m_sortMenu->setObjectName(QStringLiteral("sort_menu"));
    m_bar->setHandler(CommandBar::Sort, [this] {
        QPushButton* button = m_bar->button(CommandBar::Sort);
        m_sortMenu->popup(button->mapToGlobal(QPoint(0, button->height())));
    });

    auto* searchRow = new QFormLayout;
    searchRow->addRow(QStringLiteral(" جستجوي سريع براساس كد/نام"), m_search);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(searchRow);
    layout->addWidget(m_bar);
    m_search->installEventFilter(this);
    m_grid->installEventFilter(this);
}

void ListWindow::setFields(QLayout* fields) {
    static_cast<QVBoxLayout*>(layout())->insertLayout(0, fields);
}

void ListWindow::addSortEntry(const QString& text, const QList<int>& columns, QKeySequence key) {
    QAction* action =
        m_sortMenu->addAction(text, this, [this, columns] { m_quickSearch->model()->sortByColumns(columns); });
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setShortcutVisibleInContextMenu(true);
        m_sortKeys.append({key, columns});
    }
}

int ListWindow::currentRow() const {
    const QModelIndex index = m_grid->currentIndex();
    if (!index.isValid()) return -1;
    return m_quickSearch->model()->mapToSource(index).row();
}

void ListWindow::showCode(double code) {
    const int row = m_quickSearch->model()->findRow(m_codeColumn, code);
    if (row >= 0) m_grid->setCurrentIndex(m_quickSearch->model()->index(row, 0));
}

void ListWindow::step(CommandBar::Command command) {
    const int rows = m_quickSearch->model()->rowCount();
    if (rows == 0) return;
    const int current = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : -1;
    int row = 0;
    switch (command) {
    case CommandBar::First:
        row = 0;
        break;
    case CommandBar::Previous:
        row = std::max(0, current - 1);
        break;
    case CommandBar::Next:
        row = std::min(rows - 1, current + 1);
        break;
    default:
        row = rows - 1;
        break;
    }
    m_grid->setCurrentIndex(m_quickSearch->model()->index(row, 0));
    loadRow(currentRow());
}

bool ListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const auto& [sortKey, columns] : std::as_const(m_sortKeys))
            if (sortKey == pressed) {
                m_quickSearch->model()->sortByColumns(columns);
                return true;
            }
        if (watched == m_search && key->key() == Qt::Key_Down && keyModifiers(key) == Qt::NoModifier) {
            m_grid->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ph
