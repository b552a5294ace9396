#include "dispensing/ui/drug_lookup.h"

#include "widgets/number_delegate.h"

#include "core/amounts.h"
#include "core/prompter.h"
#include "dispensing/ui/froosh_darou_texts.h"
#include "widgets/keys.h"
#include "widgets/quick_search.h"
#include "widgets/row_table_model.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace ph {

// The drug list's rows, with the search text as the title of the column it is typed in.
class DrugGridModel : public RowTableModel<DrugItem> {
public:
    explicit DrugGridModel(QObject* parent)
        : RowTableModel<DrugItem>(
              {
                  {QStringLiteral("كدشناسه"), [](const DrugItem& d) { return QVariant(d.identityCode); }},
                  {QStringLiteral("نـام دارو"), [](const DrugItem& d) { return QVariant(d.name); }},
                  {QStringLiteral("قيمت"),
                   [](const DrugItem& d) { return d.listPrice ? QVariant(*d.listPrice) : QVariant(); }},
                  {QStringLiteral("كد دارو"), [](const DrugItem& d) { return QVariant(d.code); }},
                  {QStringLiteral("شكل دارو"), [](const DrugItem& d) { return QVariant(d.formName); }},
              },
              parent) {}

    void setCaptions(const QStringList& captions) {
        m_captions = captions;
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    }

    void setTitle(int column, const QString& text) {
        m_titleColumn = column;
        m_title = text;
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        // Codes are shown whole; the price stays a number, which the grid draws as an amount.
        if (role == Qt::DisplayRole && index.isValid() &&
            (index.column() == DrugLookup::Code || index.column() == DrugLookup::IdentityCode)) {
            const QVariant value = RowTableModel<DrugItem>::data(index, role);
            return value.isNull() ? value : QVariant(plainDecimalText(value.toDouble()));
        }
        return RowTableModel<DrugItem>::data(index, role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == m_titleColumn &&
            !m_title.isEmpty())
            return m_title;
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_captions.size())
            return m_captions.at(section);
        return RowTableModel<DrugItem>::headerData(section, orientation, role);
    }

private:
    QStringList m_captions;
    int m_titleColumn = -1;
    QString m_title;
};

namespace {

bool digitLed(const QString& text) {
    return !text.isEmpty() && text.front().isDigit();
}

} // namespace

DrugLookup::DrugLookup(Prompter& prompter, QWidget* parent)
    : QTableView(parent), m_prompter(prompter), m_model(new DrugGridModel(this)),
      m_proxy(new QuickSearchModel(this)) {
    setObjectName(QStringLiteral("DBGrid2"));
    setItemDelegate(new NumberDelegate(this));
    // Collapsed to a few rows until it gets the focus: the window's size checks know it.
    setProperty("expandsOnFocus", true);
    m_proxy->setSourceModel(m_model);
    setModel(m_proxy);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        const std::optional<DrugItem> drug = current();
        m_proxy->clearNameFilter();
        m_proxy->sortByColumns({column});
        if (drug) locate(drug->code);
    });
    setExpanded(false);
}

void DrugLookup::setCaptions(const QStringList& captions) {
    m_model->setCaptions(captions);
}

void DrugLookup::setDrugs(QList<DrugItem> drugs) {
    setSearch({});
    m_proxy->clearNameFilter();
    m_model->setRows(std::move(drugs));
    m_proxy->sortByColumns({Name});
    if (m_proxy->rowCount() > 0) makeCurrent(0);
    setColumnWidth(IdentityCode, 90);
    setColumnWidth(Name, 320);
    setColumnWidth(Price, 90);
    setColumnWidth(Code, 90);
}

const QList<DrugItem>& DrugLookup::drugs() const {
    return m_model->rows();
}

std::optional<DrugItem> DrugLookup::current() const {
    const QModelIndex index = m_proxy->mapToSource(currentIndex());
    if (!index.isValid() || !m_model->hasRow(index.row())) return std::nullopt;
    return m_model->row(index.row());
}

void DrugLookup::makeCurrent(int proxyRow) {
    if (proxyRow < 0 || proxyRow >= m_proxy->rowCount()) return;
    const int column = currentIndex().isValid() ? currentIndex().column() : int(Name);
    const QModelIndex index = m_proxy->index(proxyRow, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

bool DrugLookup::locate(double code) {
    m_proxy->clearNameFilter();
    const int row = m_proxy->findRow(Code, code);
    makeCurrent(row);
    return row >= 0;
}

void DrugLookup::clearSearch() {
    const std::optional<DrugItem> drug = current();
    setSearch({});
    m_proxy->clearNameFilter();
    // Dropping the filter must not leave a row current that is neither shown nor highlighted.
    if (drug) locate(drug->code);
}

void DrugLookup::startAfresh() {
    clearSearch();
    if (!current() && model()->rowCount() > 0) setCurrentIndex(model()->index(0, Name));
}

void DrugLookup::setSearch(const QString& text) {
    m_search = text;
    m_model->setTitle(m_searchColumn, text);
}

void DrugLookup::search() {
    const int column = currentIndex().isValid() ? currentIndex().column() : int(Name);
    m_searchColumn = column;
    m_model->setTitle(column, m_search);
    if (m_search.isEmpty()) {
        m_proxy->clearNameFilter();
        return;
    }
    // A scanner's symbology identifier ("]d2", "]C1") begins no name: the list stays as it
    // is while the rest of the scan is typed, and its Enter is the scan catcher's.
    if (m_search.startsWith(QLatin1Char(']'))) return;
    if (column == Name && !digitLed(m_search)) {
        m_proxy->filterByName(m_search, {Name});
        makeCurrent(0);
        return;
    }
    const int keyColumn = column == Name ? int(m_key) : column;
    m_proxy->clearNameFilter();
    m_proxy->sortByColumns({keyColumn});
    bool number = false;
    const double value = m_search.toDouble(&number);
    if (number) makeCurrent(m_proxy->findRow(keyColumn, value));
}

bool DrugLookup::acceptSearch() {
    const int column = currentIndex().column();
    if ((column != IdentityCode && column != Code) || m_search.isEmpty()) return true;
    bool number = false;
    const double value = m_search.toDouble(&number);
    if (number && m_proxy->findRow(column, value) >= 0) return true;
    m_prompter.warning(texts::kWrongDrugCode);
    setFocus();
    return false;
}

void DrugLookup::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (isPlain(event) || keyModifiers(event) == Qt::ShiftModifier) {
        if (isEnter(event) || key == Qt::Key_Tab) {
            choose();
            return;
        }
        if (key == Qt::Key_Escape) {
            setExpanded(false);
            return;
        }
        if (key == Qt::Key_Insert) {
            setExpanded(true);
            return;
        }
        if (key == Qt::Key_Right) {
            emit backRequested();
            return;
        }
        if (key == Qt::Key_Backspace) {
            if (!m_search.isEmpty()) {
                m_search.chop(1);
                search();
            }
            return;
        }
        const QString text = event->text();
        if (text.size() == 1 && text.front().isPrint()) {
            const int column = currentIndex().isValid() ? currentIndex().column() : int(Name);
            // The code columns take digits only; the form column is not searched.
            if (column == FormName || (column != Name && !text.front().isDigit())) return;
            m_search += text;
            search();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void DrugLookup::choose() {
    if (!acceptSearch() || !current()) return;
    setSearch({});
    emit chosen();
}

bool DrugLookup::focusNextPrevChild(bool next) {
    if (!next) return QTableView::focusNextPrevChild(next);
    choose();
    return true;
}

void DrugLookup::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    // Moving to another column starts a new search text.
    if (previous.isValid() && current.isValid() && current.column() != previous.column()) {
        m_model->setTitle(-1, {});
        m_search.clear();
    }
}

void DrugLookup::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    setExpanded(true);
    if (!currentIndex().isValid() && m_proxy->rowCount() > 0) makeCurrent(0);
}

void DrugLookup::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) return;
    setSearch({});
    setExpanded(false);
}

void DrugLookup::setExpandedHeight(int height) {
    m_expandedHeight = std::clamp(height, kCollapsed, kExpanded);
    if (m_expanded && this->height() != m_expandedHeight) setFixedHeight(m_expandedHeight);
}

void DrugLookup::setExpanded(bool expanded) {
    m_expanded = expanded;
    setFixedHeight(expanded ? m_expandedHeight : kCollapsed);
}

void DrugLookup::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    // Grown or shrunk, the lookup keeps its current row in view.
    if (currentIndex().isValid()) scrollTo(currentIndex());
}

} // namespace ph
