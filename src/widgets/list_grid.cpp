#include "widgets/list_grid.h"

#include <QHeaderView>
#include <QTableView>

namespace ph {

QTableView* makeListGrid(QWidget* parent, const QString& objectName, QAbstractItemModel* model) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(objectName);
    if (model) grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

} // namespace ph
