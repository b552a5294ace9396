#include "dispensing/ui/prescription_lines_model.h"

#include "dispensing/prescription_lines.h"

namespace ph {

PrescriptionLinesModel::PrescriptionLinesModel(const PrescriptionLines& lines, QObject* parent)
    : QAbstractTableModel(parent), m_lines(lines) {}

void PrescriptionLinesModel::reset() {
    beginResetModel();
    endResetModel();
}

int PrescriptionLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_lines.rowCount() - 1;
}

int PrescriptionLinesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : PrescriptionLines::kColumns;
}

QVariant PrescriptionLinesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    const int row = lineRow(index.row());
    if (row >= m_lines.rowCount() || index.column() >= PrescriptionLines::kColumns) return {};
    return m_lines.cell(row, index.column());
}

QVariant PrescriptionLinesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= PrescriptionLines::kColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_lines.cell(0, section);
}

} // namespace ph
