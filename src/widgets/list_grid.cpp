#include "widgets/list_grid.h"

#include "widgets/number_delegate.h"

#include <QHeaderView>
#include <QResizeEvent>
#include <QStandardItem>
#include <QTimer>

#include <numeric>

namespace ph {
namespace {
// A column of numbers or short texts never takes more than this share of the grid's width, so
// one long value cannot push the others out of sight.
constexpr double kLargestShare = 0.45;
constexpr int kPadding = 12;
constexpr int kMeasuredRows = 300;
} // namespace

ListGrid::ListGrid(QWidget* parent)
    : QTableView(parent), m_numbers(new NumberDelegate(this)), m_fitLater(new QTimer(this)) {
    // Rows arriving one by one, or a reset followed by a sort, size the columns once; the
    // current row is then brought into view, now that the rows are laid out.
    m_fitLater->setSingleShot(true);
    m_fitLater->setInterval(0);
    connect(m_fitLater, &QTimer::timeout, this, [this] {
        fitColumns();
        if (currentIndex().isValid()) scrollTo(currentIndex());
    });
    setItemDelegate(m_numbers);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setTextElideMode(Qt::ElideRight);
    // Widths come from the first rows of a long list, not from every row.
    horizontalHeader()->setResizeContentsPrecision(kMeasuredRows);
}

void ListGrid::setModel(QAbstractItemModel* model) {
    for (const auto& connection : std::as_const(m_modelConnections))
        disconnect(connection);
    m_modelConnections.clear();
    QTableView::setModel(model);
    if (!model) return;
    // New rows size the columns; sorting and filtering them does not, so the columns stay put
    // while a search is typed.
    auto later = [this] { m_fitLater->start(); };
    m_modelConnections = {
        connect(model, &QAbstractItemModel::modelReset, this, later),
        connect(model, &QAbstractItemModel::rowsInserted, this, later),
        connect(model, &QAbstractItemModel::headerDataChanged, this, later),
    };
    fitColumns();
}

void ListGrid::setTextColumn(int column) {
    m_textColumn = column;
    fitColumns();
}

int ListGrid::stretchColumn(const QList<int>& widths) const {
    if (m_textColumn >= 0 && m_textColumn < widths.size()) return m_textColumn;
    const QAbstractItemModel* source = model();
    int best = -1;
    for (int column = 0; column < widths.size(); ++column) {
        if (isColumnHidden(column)) continue;
        const QVariant sample = source->rowCount() > 0 ? source->index(0, column).data() : QVariant();
        const bool text = sample.typeId() == QMetaType::QString;
        if (text && (best < 0 || widths.at(column) > widths.at(best))) best = column;
    }
    if (best < 0) // no texts: the last visible column
        for (int column = widths.size() - 1; column >= 0 && best < 0; --column)
            if (!isColumnHidden(column)) best = column;
    return best;
}

void ListGrid::fitColumns() {
    QAbstractItemModel* source = model();
    if (!source) return;
    const int columns = source->columnCount();
    if (columns == 0) return;
    QHeaderView* header = horizontalHeader();
    const int available = viewport()->width();
    const int largest = std::max(60, int(available * kLargestShare));
    QList<int> widths(columns, 0);
    for (int column = 0; column < columns; ++column) {
        if (isColumnHidden(column)) continue;
        const int content = std::max(sizeHintForColumn(column), header->sectionSizeHint(column)) + kPadding;
        widths[column] = content;
    }
    const int stretch = stretchColumn(widths);
    for (int column = 0; column < columns; ++column)
        if (column != stretch) widths[column] = std::min(widths.at(column), largest);
    const int used = std::accumulate(widths.cbegin(), widths.cend(), 0);
    if (stretch >= 0 && used < available) widths[stretch] += available - used;
    for (int column = 0; column < columns; ++column)
        if (!isColumnHidden(column)) setColumnWidth(column, widths.at(column));
}

void ListGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    // Only a change of width moves the columns; a grid that grows or shrinks in height as a
    // neighbour expands keeps its widths and its current row in view.
    if (event->size().width() != event->oldSize().width()) fitColumns();
    if (event->size().height() != event->oldSize().height() && currentIndex().isValid()) scrollTo(currentIndex());
}

QTableView* makeListGrid(QWidget* parent, const QString& objectName, QAbstractItemModel* model) {
    auto* grid = new ListGrid(parent);
    grid->setObjectName(objectName);
    if (model) grid->setModel(model);
    return grid;
}

QStandardItem* numberItem(double value) {
    auto* item = new QStandardItem;
    item->setData(value, Qt::DisplayRole);
    return item;
}

void setCodeColumns(QTableView* grid, const QList<int>& columns) {
    if (auto* list = qobject_cast<ListGrid*>(grid)) {
        list->numbers()->setCodeColumns(columns);
        list->fitColumns();
    }
}

void selectGridRow(QTableView* grid, int row) {
    const QAbstractItemModel* model = grid->model();
    if (!model || row < 0 || row >= model->rowCount()) return;
    const QModelIndex index = model->index(row, 0);
    grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid->scrollTo(index);
}

void setTextColumn(QTableView* grid, int column) {
    if (auto* list = qobject_cast<ListGrid*>(grid)) list->setTextColumn(column);
}

void setAmountColumns(QTableView* grid, const QList<int>& columns) {
    if (auto* list = qobject_cast<ListGrid*>(grid)) {
        list->numbers()->setAmountColumns(columns);
        list->fitColumns();
    }
}

} // namespace ph
