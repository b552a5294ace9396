#pragma once

#include <QList>
#include <QString>
#include <QTableView>

class QAbstractItemModel;
class QTimer;
class QStandardItem;
class QWidget;

namespace ph {

class NumberDelegate;

// A read-only list grid: whole-row selection of one row, no row numbers, Tab leaving the grid
// for the next field instead of walking its cells. Numbers are drawn through the shared
// NumberDelegate (amounts grouped by thousands, codes whole). The columns size to their content
// and captions whenever the rows or the grid's width change (not its height), and the long text
// column (the widest column of texts, unless the window names one) takes the width left over.
// The header's sections stay Interactive: a section mode that measures its contents would
// measure every column again at each width set here.
class ListGrid : public QTableView {
    Q_OBJECT
public:
    explicit ListGrid(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    NumberDelegate* numbers() const { return m_numbers; }
    // The column that takes the spare width; -1 chooses the widest column of texts.
    void setTextColumn(int column);
    // Sizes the columns now (done by itself when the rows change or the grid is resized).
    void fitColumns();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int stretchColumn(const QList<int>& widths) const;

    NumberDelegate* m_numbers;
    QTimer* m_fitLater;
    int m_textColumn = -1;
    QList<QMetaObject::Connection> m_modelConnections;
};

// Makes a list grid with its object name. `model` may be left out when a quick search sets the
// grid's model itself. The grid is a ListGrid.
QTableView* makeListGrid(QWidget* parent, const QString& objectName, QAbstractItemModel* model = nullptr);

// The grid's number drawing, to name code columns or amount columns a caption does not tell
// (a no-op for a grid that is not a ListGrid).
void setCodeColumns(QTableView* grid, const QList<int>& columns);
void setAmountColumns(QTableView* grid, const QList<int>& columns);
// Makes the row current and selected and brings it into view. Use it instead of
// QTableView::selectRow, which leaves no row current right after a model reset or in a
// right-to-left grid whose columns do not reach the viewport's edge.
void selectGridRow(QTableView* grid, int row);
// The column that takes the spare width (a no-op for a grid that is not a ListGrid).
void setTextColumn(QTableView* grid, int column);

// A cell of a QStandardItemModel grid holding a number as a number, for the grid to draw.
QStandardItem* numberItem(double value);

} // namespace ph
