#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

namespace ph {

// A read-only table over a list of typed rows, one column per declared value:
//
//     RowTableModel<DoctorRow> doctors({
//         {QStringLiteral("كـد پزشك"), [](const DoctorRow& r) { return QVariant(r.doctor.code); }},
//         {QStringLiteral("نــام"), [](const DoctorRow& r) { return QVariant(r.doctor.name); }},
//     });
//     doctors.setRows(DoctorStore(db).all());
//
// The display (and edit) role holds the column's value as it is: numbers stay numbers, so the
// quick searches order and locate them as numbers. A check-box column shows its bool value
// through the check state role instead. setRows() resets the model, which moves no current
// row of a view: rebuilding the rows is not moving in the grid.
template <typename Row> class RowTableModel : public QAbstractTableModel {
public:
    struct Column {
        QString header;
        std::function<QVariant(const Row&)> value;
        bool checkBox = false;
    };

    explicit RowTableModel(QList<Column> columns, QObject* parent = nullptr)
        : QAbstractTableModel(parent), m_columns(std::move(columns)) {}

    void setRows(QList<Row> rows) {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    const QList<Row>& rows() const { return m_rows; }
    const Row& row(int index) const { return m_rows.at(index); }
    // True when the row index is one of the rows (a current row of -1 is not).
    bool hasRow(int index) const { return index >= 0 && index < m_rows.size(); }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(m_columns.size());
    }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
        if (!index.isValid() || !hasRow(index.row()) || index.column() >= m_columns.size()) return {};
        const Column& column = m_columns.at(index.column());
        if (column.checkBox) {
            if (role != Qt::CheckStateRole) return {};
            return int(column.value(m_rows.at(index.row())).toBool() ? Qt::Checked : Qt::Unchecked);
        }
        if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
        return column.value(m_rows.at(index.row()));
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_columns.size())
            return QAbstractTableModel::headerData(section, orientation, role);
        return m_columns.at(section).header;
    }

private:
    QList<Column> m_columns;
    QList<Row> m_rows;
};

} // namespace ph
