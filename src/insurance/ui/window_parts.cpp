#include "insurance/ui/window_parts.h"

#include "core/error.h"
#include "core/prompter.h"
#include "widgets/command_bar.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

namespace ph::insurance_ui {

QLineEdit* makeField(QWidget* parent, const QString& objectName) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(objectName);
    return field;
}

int currentSourceRow(const QTableView* grid) {
    const QModelIndex current = grid->currentIndex();
    if (!current.isValid()) return -1;
    if (auto* proxy = qobject_cast<const QSortFilterProxyModel*>(grid->model()))
        return proxy->mapToSource(current).row();
    return current.row();
}

bool activateWhateverState(CommandBar* bar, unsigned command) {
    const auto which = CommandBar::Command(command);
    QPushButton* button = bar->button(which);
    if (!button) return false;
    const bool wasEnabled = button->isEnabled();
    button->setEnabled(true);
    const bool ran = bar->activate(which);
    button->setEnabled(wasEnabled);
    return ran;
}

} // namespace ph::insurance_ui
