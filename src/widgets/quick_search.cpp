#include "widgets/quick_search.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QLocale>

#include <algorithm>
#include <limits>
#include <numeric>
#include <optional>

namespace ph {

namespace {

// Letter case and the Arabic forms of yeh and kaf do not tell names apart: the same name is
// typed with either keyboard.
QChar folded(QChar c) {
    switch (c.unicode()) {
    case 0x064A: // Arabic yeh
    case 0x0649: // alef maksura
        return QChar(0x06CC);
    case 0x0643: // Arabic kaf
        return QChar(0x06A9);
    default:
        return c.toCaseFolded();
    }
}

bool startsWithFolded(const QString& text, const QString& prefix) {
    if (text.size() < prefix.size()) return false;
    for (qsizetype i = 0; i < prefix.size(); ++i)
        if (folded(text[i]) != folded(prefix[i])) return false;
    return true;
}

bool isNumber(const QVariant& value, double* number) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        *number = value.toDouble();
        return true;
    default:
        break;
    }
    bool ok = false;
    *number = value.toString().toDouble(&ok);
    return ok;
}

// The digits of a search text as a number; Persian and Arabic-Indic digits count as well.
std::optional<double> numberOf(const QString& text) {
    double value = 0;
    for (QChar c : text) {
        const int digit = c.digitValue();
        if (digit < 0) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace

QuickSearchModel::QuickSearchModel(QObject* parent)
    : QSortFilterProxyModel(parent), m_collator(QLocale(QLocale::Persian, QLocale::Iran)) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

void QuickSearchModel::setSourceModel(QAbstractItemModel* model) {
    for (const auto& connection : std::as_const(m_sourceConnections))
        disconnect(connection);
    m_sourceConnections.clear();
    forgetKeys();
    // Connected before the proxy's own handlers, so that stale keys are gone before it re-sorts.
    if (model) {
        auto forgetAll = [this] { forgetKeys(); };
        m_sourceConnections = {
            connect(model, &QAbstractItemModel::dataChanged, this,
                    [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                        forgetKeys(topLeft.column(), bottomRight.column());
                    }),
            connect(model, &QAbstractItemModel::rowsInserted, this, forgetAll),
            connect(model, &QAbstractItemModel::rowsRemoved, this, forgetAll),
            connect(model, &QAbstractItemModel::rowsMoved, this, forgetAll),
            connect(model, &QAbstractItemModel::columnsInserted, this, forgetAll),
            connect(model, &QAbstractItemModel::columnsRemoved, this, forgetAll),
            connect(model, &QAbstractItemModel::columnsMoved, this, forgetAll),
            connect(model, &QAbstractItemModel::layoutChanged, this, forgetAll),
            connect(model, &QAbstractItemModel::modelReset, this, forgetAll),
        };
    }
    QSortFilterProxyModel::setSourceModel(model);
}

void QuickSearchModel::forgetKeys() {
    m_plan.clear();
    m_keys.clear();
}

void QuickSearchModel::forgetKeys(int firstColumn, int lastColumn) {
    m_plan.clear();
    for (auto it = m_keys.begin(); it != m_keys.end();)
        it = it->first >= firstColumn && it->first <= lastColumn ? m_keys.erase(it) : std::next(it);
}

void QuickSearchModel::setNameFilter(int column, const QString& prefix) {
    if (prefix.isEmpty() && m_prefix.isEmpty()) {
        m_filterColumn = column;
        return;
    }
    if (column == m_filterColumn && prefix == m_prefix) return;
    // A longer prefix only hides rows: the proxy drops them without ordering anything again.
    const bool narrowing = m_prefix.isEmpty() || (column == m_filterColumn && prefix.startsWith(m_prefix));
    // Nothing shown stays nothing shown: a scanner's code typed into a list finds no name
    // after its first character, and each further key would read every row again.
    const bool nothingShown = narrowing && !m_prefix.isEmpty() && rowCount() == 0;
    m_filterColumn = column;
    m_prefix = prefix;
    if (nothingShown) return;
    if (narrowing)
        invalidateFilter();
    else
        invalidate(); // one rebuild rather than thousands of scattered insertions
}

void QuickSearchModel::sortByColumns(const QList<int>& columns, Qt::SortOrder order) {
    if (columns.isEmpty()) return;
    const bool sameFirst = sortColumn() == columns.first() && sortOrder() == order;
    if (sameFirst && columns == m_sortColumns) return;
    m_sortColumns = columns;
    m_plan.clear();
    if (sameFirst)
        invalidate();
    else
        sort(columns.first(), order);
}

void QuickSearchModel::filterByName(const QString& prefix, const QList<int>& order, Qt::SortOrder sortOrder) {
    if (order.isEmpty()) return;
    if (order == m_sortColumns && sortColumn() == order.first() && this->sortOrder() == sortOrder) {
        setNameFilter(order.first(), prefix);
        return;
    }
    m_filterColumn = order.first();
    m_prefix = prefix;
    invalidate();
    sortByColumns(order, sortOrder);
}

int QuickSearchModel::findRow(int column, double value) const {
    QAbstractItemModel* source = sourceModel();
    if (!source || column < 0 || column >= source->columnCount()) return -1;
    const ColumnKeys& columnKeys = keys(column);
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row) {
        const int sourceRow = mapToSource(index(row, column)).row();
        if (columnKeys.numeric) {
            if (columnKeys.numbers[sourceRow] == value) return row;
        } else {
            bool ok = false;
            const double cell = source->index(sourceRow, column).data(sortRole()).toString().toDouble(&ok);
            if (ok && cell == value) return row;
        }
    }
    return -1;
}

bool QuickSearchModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (m_prefix.isEmpty() || m_filterColumn < 0) return true;
    const QAbstractItemModel* source = sourceModel();
    const QString name = source->index(sourceRow, m_filterColumn, sourceParent).data(filterRole()).toString();
    return startsWithFolded(name, m_prefix);
}

const QuickSearchModel::ColumnKeys& QuickSearchModel::keys(int column) const {
    if (auto it = m_keys.find(column); it != m_keys.end()) return it->second;

    const QAbstractItemModel* source = sourceModel();
    const int rows = source->rowCount();
    const int role = sortRole();
    ColumnKeys made;
    made.numbers.reserve(rows);
    for (int row = 0; row < rows && made.numeric; ++row) {
        const QVariant value = source->index(row, column).data(role);
        double number = -std::numeric_limits<double>::infinity(); // empty values first
        if (!value.isNull() && !isNumber(value, &number)) made.numeric = false;
        made.numbers.push_back(number);
    }
    if (!made.numeric) {
        // Texts are ordered once by their collation keys; every later ordering (a search
        // cleared, a filter widened) compares the ranks that gives, not the keys.
        made.numbers = {};
        std::vector<QCollatorSortKey> texts;
        texts.reserve(rows);
        for (int row = 0; row < rows; ++row)
            texts.push_back(m_collator.sortKey(source->index(row, column).data(role).toString()));
        std::vector<int> order(rows);
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return texts[a].compare(texts[b]) < 0; });
        made.ranks.assign(rows, 0);
        for (int i = 1; i < rows; ++i)
            made.ranks[order[i]] = made.ranks[order[i - 1]] + (texts[order[i - 1]].compare(texts[order[i]]) < 0 ? 1 : 0);
    }
    return m_keys.emplace(column, std::move(made)).first->second;
}

int QuickSearchModel::compare(const ColumnKeys& keys, int leftRow, int rightRow) {
    if (keys.numeric) {
        const double left = keys.numbers[leftRow], right = keys.numbers[rightRow];
        return left < right ? -1 : (right < left ? 1 : 0);
    }
    const int left = keys.ranks[leftRow], right = keys.ranks[rightRow];
    return left < right ? -1 : (right < left ? 1 : 0);
}

const std::vector<const QuickSearchModel::ColumnKeys*>& QuickSearchModel::plan(int column) const {
    if (m_plan.empty() || m_planColumn != column) {
        // A column chosen elsewhere (a header click) orders by itself alone.
        const QList<int> columns =
            !m_sortColumns.isEmpty() && m_sortColumns.first() == column ? m_sortColumns : QList<int>{column};
        m_plan.clear();
        for (int c : columns)
            m_plan.push_back(&keys(c));
        m_planColumn = column;
    }
    return m_plan;
}

// Called some n log n times per sort: only ready keys are compared here.
bool QuickSearchModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    for (const ColumnKeys* columnKeys : plan(left.column()))
        if (const int order = compare(*columnKeys, left.row(), right.row()); order != 0) return order < 0;
    return false;
}

QuickSearch::QuickSearch(QLineEdit* edit, QAbstractItemModel* source, QAbstractItemView* view, int codeColumn,
                         int nameColumn, QObject* parent)
    : QuickSearch(edit, new QuickSearchModel, view, codeColumn, nameColumn, parent) {
    m_model->setParent(this);
    m_model->setSourceModel(source);
}

QuickSearch::QuickSearch(QLineEdit* edit, QuickSearchModel* model, QAbstractItemView* view, int codeColumn,
                         int nameColumn, QObject* parent)
    : QObject(parent), m_model(model), m_view(view), m_codeOrder{codeColumn} {
    if (nameColumn >= 0) m_nameOrder = {nameColumn};
    if (m_view && m_view->model() != model) m_view->setModel(model);
    if (edit) connect(edit, &QLineEdit::textChanged, this, &QuickSearch::search);
}

void QuickSearch::search(const QString& text) {
    if (!m_model) return;
    if (text.isEmpty()) {
        m_model->clearNameFilter();
        return;
    }
    if (text.front().isDigit() || m_nameOrder.isEmpty()) {
        // Ordered while the filter still hides rows; showing them all then keeps that order.
        m_model->sortByColumns(m_codeOrder);
        m_model->clearNameFilter();
        if (const auto number = numberOf(text)) makeCurrent(m_model->findRow(m_codeOrder.first(), *number));
        return;
    }
    m_model->filterByName(text, m_nameOrder);
    makeCurrent(m_model->rowCount() > 0 ? 0 : -1);
}

void QuickSearch::makeCurrent(int row) {
    if (!m_view || row < 0) return;
    const QModelIndex current = m_view->currentIndex();
    const QModelIndex index = m_model->index(row, current.isValid() ? current.column() : 0);
    m_view->setCurrentIndex(index);
    m_view->scrollTo(index);
}

} // namespace ph
