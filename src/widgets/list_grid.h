#pragma once

#include <QString>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace ph {

// A read-only list grid: whole-row selection of one row, no row numbers, the last column
// stretched, and Tab leaving the grid for the next field instead of walking its cells.
// `model` may be left out when a quick search sets the grid's model itself.
QTableView* makeListGrid(QWidget* parent, const QString& objectName, QAbstractItemModel* model = nullptr);

} // namespace ph
