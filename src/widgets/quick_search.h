#pragma once

#include <QCollator>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QSortFilterProxyModel>

#include <map>
#include <vector>

class QAbstractItemView;
class QLineEdit;

namespace ph {

// The quick search of the lists, in two pieces:
//
// - QuickSearchModel, a sort/filter proxy over the rows already loaded (nothing is queried
//   again): it keeps a name-prefix filter and orders by a list of columns. Names are ordered by
//   the Persian collation, codes and amounts as numbers. The order keys of a column are made once
//   and kept until the source rows change, so ordering 30,000 rows is a sort of ready keys, and an
//   order that is already in force is not sorted again. The prefix is compared character by
//   character (letter case, Arabic and Persian yeh and kaf alike), without regular expressions.
//   Windows keep it for their sort menus too (sortByColumns, clearNameFilter).
//
// - QuickSearch, the controller of one search field over such a proxy and its view:
//
//     auto* search = new QuickSearch(me_search, model, DBGrid1, /*code*/ 0, /*name*/ 1, this);
//     ... the window maps rows with search->model()->mapToSource(DBGrid1->currentIndex())
//
//   On every change of the text: a text that begins with a digit (ASCII or Persian) shows every
//   row, orders them by the code column and makes the row whose code equals the text current
//   (the current row stays put when none does); any other text orders by the name column and
//   shows only the rows whose name begins with it, the first of them current; an empty text shows
//   every row in the order it has. With no name column every text is a code.
//   Several controllers may share one proxy (a list searched by name/code, by Latin name/national
//   code and by price).
//
// For flat lists (tables), not trees. A QSqlQueryModel fetches its rows lazily: fetch them all before
// searching, since only loaded rows are searched.
class QuickSearchModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit QuickSearchModel(QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* model) override;

    // Shows only the rows whose value in the column begins with the prefix; an empty prefix shows
    // all rows.
    void setNameFilter(int column, const QString& prefix);
    void clearNameFilter() { setNameFilter(m_filterColumn, QString()); }
    QString namePrefix() const { return m_prefix; }

    // Shows only the rows whose value in the first column of the order begins with the prefix,
    // ordered by the columns. When the order changes, the rows are filtered first, so only
    // those left are ordered.
    void filterByName(const QString& prefix, const QList<int>& order,
                      Qt::SortOrder sortOrder = Qt::AscendingOrder);

    // Orders by the columns, each breaking the ties of the one before; does nothing when this
    // order is already in force.
    void sortByColumns(const QList<int>& columns, Qt::SortOrder order = Qt::AscendingOrder);
    QList<int> sortColumns() const { return m_sortColumns; }

    // The first shown row, in the shown order, whose value in the column equals the number;
    // -1 when there is none.
    int findRow(int column, double value) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    // Order keys of one source column: numbers when every value is a number, otherwise each
    // text's rank in the collation order (equal texts share one).
    struct ColumnKeys {
        bool numeric = true;
        std::vector<double> numbers;
        std::vector<int> ranks;
    };

    const ColumnKeys& keys(int column) const;
    static int compare(const ColumnKeys& keys, int leftRow, int rightRow);
    // The keys of the columns of the order that begins with this column.
    const std::vector<const ColumnKeys*>& plan(int column) const;
    void forgetKeys();
    void forgetKeys(int firstColumn, int lastColumn);

    QCollator m_collator;
    QString m_prefix;
    int m_filterColumn = -1;
    QList<int> m_sortColumns;
    mutable std::map<int, ColumnKeys> m_keys;
    mutable std::vector<const ColumnKeys*> m_plan;
    mutable int m_planColumn = -1;
    QList<QMetaObject::Connection> m_sourceConnections;
};

class QuickSearch : public QObject {
    Q_OBJECT
public:
    // Makes a proxy over the source rows and shows it in the view.
    QuickSearch(QLineEdit* edit, QAbstractItemModel* source, QAbstractItemView* view, int codeColumn,
                int nameColumn, QObject* parent = nullptr);
    // Searches through a proxy shared with other search fields; the view is set to show it.
    QuickSearch(QLineEdit* edit, QuickSearchModel* model, QAbstractItemView* view, int codeColumn,
                int nameColumn, QObject* parent = nullptr);

    QuickSearchModel* model() const { return m_model; }

    // The orders used for each kind of text; by default the code column and the name column
    // alone. The first column is the one searched.
    void setCodeOrder(const QList<int>& columns) { m_codeOrder = columns; }
    void setNameOrder(const QList<int>& columns) { m_nameOrder = columns; }

    // What a change of the text does; also for windows that keep the search text themselves.
    void search(const QString& text);

private:
    void makeCurrent(int row);

    QPointer<QuickSearchModel> m_model;
    QPointer<QAbstractItemView> m_view;
    QList<int> m_codeOrder;
    QList<int> m_nameOrder;
};

} // namespace ph
