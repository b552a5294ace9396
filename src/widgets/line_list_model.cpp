#include "widgets/line_list_model.h"

#include "core/line_list.h"

namespace ph {

LineListModel::LineListModel(const LineList& lines, QObject* parent) : QAbstractTableModel(parent), m_lines(lines) {}

void LineListModel::reset() {
    beginResetModel();
    endResetModel();
}

int LineListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_lines.rowCount() - 1;
}

int LineListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_lines.columnCount();
}

QVariant LineListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    const int row = lineRow(index.row());
    if (row >= m_lines.rowCount() || index.column() >= m_lines.columnCount()) return {};
    return m_lines.cell(row, index.column());
}

QVariant LineListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_lines.columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_lines.cell(0, section);
}

} // namespace ph
