#pragma once

#include <QAbstractTableModel>

namespace ph {

class LineList;

// A document's line list StringGrid1 as a read-only table: the list's rows from row 1 with
// the empty last row, the captions of row 0 as column titles. It only shows the lines the
// document session holds; reset() after every change of them.
class LineListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LineListModel(const LineList& lines, QObject* parent = nullptr);

    // The list changed: the view reads it again.
    void reset();
    // The line list's row shown in a view row, and back.
    static int lineRow(int viewRow) { return viewRow + 1; }
    static int viewRow(int lineRow) { return lineRow - 1; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const LineList& m_lines;
};

} // namespace ph
