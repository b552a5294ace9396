#pragma once

#include <QAbstractTableModel>

namespace ph {

class PrescriptionLines;

// The line list StringGrid1 as a read-only table: the prescription's rows from row 1 with
// the empty last row, the captions of row 0 as column titles. It only shows the lines the
// prescription session holds; reset() after every change of them.
class PrescriptionLinesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit PrescriptionLinesModel(const PrescriptionLines& lines, QObject* parent = nullptr);

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
    const PrescriptionLines& m_lines;
};

} // namespace ph
