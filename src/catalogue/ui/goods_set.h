#pragma once

#include "catalogue/goods.h"

#include <QAbstractTableModel>
#include <QList>

#include <optional>

class QItemSelectionModel;

namespace ph {

class Database;
class QuickSearchModel;

// The goods rows of a list as a table, in the drug list's column order. The display role
// holds the shown text; Qt::UserRole holds the value that orders and filters (numbers as
// numbers, a null column as an invalid value).
class GoodsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { FormName, Code, NationalCode, IdentityCode, Name, LatinName, Price, ColumnCount };

    explicit GoodsTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setItems(QList<GoodsItem> items);
    const QList<GoodsItem>& items() const { return m_items; }
    const GoodsItem& item(int row) const { return m_items.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<GoodsItem> m_items;
};

// The drug list set: one set of goods rows read from the database, shown through a
// sort/filter proxy (the quick searches and the sort menu act on it without reading again),
// with one current row. The drug list shows it in its grid; the entry dialog reads the
// current row and moves it. Views show proxy() with selection() as their selection model,
// so every window sees the same current row.
class DrugListSet : public QObject {
    Q_OBJECT
public:
    explicit DrugListSet(Database& db, QObject* parent = nullptr);

    GoodsTableModel* rows() const { return m_rows; }
    QuickSearchModel* proxy() const { return m_proxy; }
    QItemSelectionModel* selection() const { return m_selection; }

    // Reads the goods of the query; the order and search filter in force stay (the query's
    // own order applies only while none is), and the first shown row becomes current.
    void load(const GoodsQuery& query);
    // Reads the goods of the last query again.
    void reload();
    const GoodsQuery& query() const { return m_query; }

    // Makes the first shown row with this goods code current; false when none is shown.
    bool locate(double code);
    // The current row; absent when no row is shown.
    std::optional<GoodsItem> current() const;
    // The shown position of the current row; -1 when none.
    int currentRow() const;
    void setCurrentRow(int row);
    int shownCount() const;

    enum class Move { First, Previous, Next, Last };
    // Moves the current row; false when it cannot move (empty, or already at that end).
    bool move(Move move);

private:
    Database& m_db;
    GoodsQuery m_query;
    GoodsTableModel* m_rows;
    QuickSearchModel* m_proxy;
    QItemSelectionModel* m_selection;
};

} // namespace ph
