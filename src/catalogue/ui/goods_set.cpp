#include "catalogue/ui/goods_set.h"

#include "core/amounts.h"
#include "widgets/quick_search.h"

#include <QItemSelectionModel>

namespace ph {
namespace {

QString numberText(const std::optional<double>& value) {
    return value ? plainDecimalText(*value) : QString();
}

QVariant numberValue(const std::optional<double>& value) {
    return value ? QVariant(*value) : QVariant();
}

} // namespace

void GoodsTableModel::setItems(QList<GoodsItem> items) {
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

int GoodsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_items.size());
}

int GoodsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant GoodsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_items.size()) return {};
    const GoodsItem& item = m_items.at(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case FormName:
            return item.formName;
        case Code:
            return plainDecimalText(item.code);
        case NationalCode:
            return numberText(item.nationalCode);
        case IdentityCode:
            return numberText(item.identityCode);
        case Name:
            return item.name;
        case LatinName:
            return item.latinName;
        case Price:
            return numberValue(item.price); // a number: the grid groups it by thousands
        default:
            return {};
        }
    }
    if (role == Qt::UserRole) {
        switch (index.column()) {
        case FormName:
            return item.formName;
        case Code:
            return item.code;
        case NationalCode:
            return numberValue(item.nationalCode);
        case IdentityCode:
            return numberValue(item.identityCode);
        case Name:
            return item.name;
        case LatinName:
            return item.latinName;
        case Price:
            return numberValue(item.price);
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() != Name && index.column() != FormName)
        return int(Qt::AlignCenter);
    return {};
}

QVariant GoodsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case FormName:
        return QStringLiteral("شكـل دارو");
    case Code:
        return QStringLiteral("كــد دارو");
    case NationalCode:
        return QStringLiteral("كــدملي");
    case IdentityCode:
        return QStringLiteral("كدشناسه");
    case Name:
        return QStringLiteral("نـــــام دارو");
    case LatinName:
        return QStringLiteral("نــام لاتيــن دارو");
    case Price:
        return QStringLiteral("قيمت واحد");
    default:
        return {};
    }
}

DrugListSet::DrugListSet(Database& db, QObject* parent)
    : QObject(parent), m_db(db), m_rows(new GoodsTableModel(this)), m_proxy(new QuickSearchModel(this)) {
    m_proxy->setSortRole(Qt::UserRole);
    m_proxy->setFilterRole(Qt::UserRole);
    m_proxy->setSourceModel(m_rows);
    m_selection = new QItemSelectionModel(m_proxy, this);
}

void DrugListSet::load(const GoodsQuery& query) {
    GoodsQuery read = query;
    // With an order in force the proxy orders the rows (by the Persian collation): the
    // database need not sort them first.
    if (m_proxy->sortColumn() >= 0) read.order = GoodsOrder::Unordered;
    QList<GoodsItem> items = GoodsCatalogue(m_db).list(read);
    m_query = query;
    m_rows->setItems(std::move(items));
    setCurrentRow(0);
}

void DrugListSet::reload() {
    load(m_query);
}

bool DrugListSet::locate(double code) {
    const int row = m_proxy->findRow(GoodsTableModel::Code, code);
    if (row < 0) return false;
    setCurrentRow(row);
    return true;
}

std::optional<GoodsItem> DrugListSet::current() const {
    const QModelIndex index = m_selection->currentIndex();
    if (!index.isValid()) return std::nullopt;
    return m_rows->item(m_proxy->mapToSource(index).row());
}

int DrugListSet::currentRow() const {
    const QModelIndex index = m_selection->currentIndex();
    return index.isValid() ? index.row() : -1;
}

int DrugListSet::shownCount() const {
    return m_proxy->rowCount();
}

void DrugListSet::setCurrentRow(int row) {
    if (row < 0 || row >= m_proxy->rowCount()) {
        m_selection->clear();
        return;
    }
    const QModelIndex current = m_selection->currentIndex();
    const QModelIndex index = m_proxy->index(row, current.isValid() ? current.column() : 0);
    m_selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool DrugListSet::move(Move move) {
    const int count = shownCount();
    if (count == 0) return false;
    const int row = currentRow();
    int target = row;
    switch (move) {
    case Move::First:
        target = 0;
        break;
    case Move::Previous:
        target = row < 0 ? 0 : row - 1;
        break;
    case Move::Next:
        target = row < 0 ? 0 : row + 1;
        break;
    case Move::Last:
        target = count - 1;
        break;
    }
    if (target < 0 || target >= count || target == row) return false;
    setCurrentRow(target);
    return true;
}

} // namespace ph
