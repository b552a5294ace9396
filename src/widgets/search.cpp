#include "widgets/search.h"
#include "widgets/list_grid.h"

#include "widgets/dialogs/dialog_parts.h"
#include "widgets/quick_search.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

namespace ph {

// The picker's rows as a two-column table: the code (shown as a whole number when it is
// one; the value itself for ordering) and name1.
class PickRowsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(PickRows rows) {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    const PickRow& row(int index) const { return m_rows.at(index); }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 2; }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= m_rows.size()) return {};
        const PickRow& row = m_rows.at(index.row());
        if (index.column() == 1)
            return role == Qt::DisplayRole || role == Qt::EditRole ? QVariant(row.name1) : QVariant();
        if (role == Qt::EditRole) return row.code;
        if (role == Qt::DisplayRole) return codeText(row.code);
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return section == 0 ? QStringLiteral("كـــد") : QStringLiteral("نــــــام");
    }

private:
    // Goods codes are stored as double precision: 1070001, never 1.07e+06.
    static QString codeText(const QVariant& code) {
        if (code.typeId() == QMetaType::Double || code.typeId() == QMetaType::Float) {
            const double value = code.toDouble();
            if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
                return QString::number(qint64(value));
        }
        return code.toString();
    }

    PickRows m_rows;
};

namespace {
constexpr int kCodeColumn = 0;
constexpr int kNameColumn = 1;
} // namespace

Tf_search::Tf_search(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("f_search"));
    setWindowTitle(QStringLiteral("  فـــرم جستـجـــــو  "));
    setLayoutDirection(Qt::RightToLeft);

    m_rows = new PickRowsModel(this);
    m_grid = makeListGrid(this, QStringLiteral("DBGrid1"));
    m_grid->setMinimumSize(420, 320);
    m_grid->installEventFilter(this);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("me_search"));
    m_search->setReadOnly(true);
    m_search->setFocusPolicy(Qt::NoFocus);

    m_quickSearch = new QuickSearch(m_search, m_rows, m_grid, kCodeColumn, kNameColumn, this);
    m_proxy = m_quickSearch->model();
    m_proxy->setSortRole(Qt::EditRole); // codes order as the numbers (or texts) they are

    m_ok = dialog_parts::makeButton(QStringLiteral("تاييد"), QStringLiteral("but_ok"), this);
    m_cancel = dialog_parts::makeButton(QStringLiteral("انصراف"), QStringLiteral("but_cancel"), this);
    // The grid keeps the focus: the typed search goes there.
    m_ok->setFocusPolicy(Qt::NoFocus);
    m_cancel->setFocusPolicy(Qt::NoFocus);
    connect(m_ok, &QPushButton::clicked, this, &Tf_search::takeCurrent);
    connect(m_cancel, &QPushButton::clicked, this, &Tf_search::reject);
    connect(m_grid, &QTableView::doubleClicked, this, &Tf_search::takeCurrent);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_search);
    layout->addLayout(buttons);
}

Tf_search::~Tf_search() = default;

std::optional<PickRow> Tf_search::pick(const PickRequest& request) {
    prepare(request);
    exec();
    return m_chosen;
}

void Tf_search::prepare(const PickRequest& request) {
    m_mode = request.mode;
    m_chosen.reset();
    m_search->clear();
    // Each opening starts unfiltered, in the caller's order.
    m_proxy->clearNameFilter();
    m_proxy->sort(-1);
    m_rows->setRows(request.rows);
    if (m_proxy->rowCount() > 0) m_grid->setCurrentIndex(m_proxy->index(0, kCodeColumn));
}

std::optional<PickRow> Tf_search::currentRow() const {
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid()) return std::nullopt;
    const QModelIndex source = m_proxy->mapToSource(current);
    if (!source.isValid()) return std::nullopt;
    return m_rows->row(source.row());
}

QString Tf_search::searchText() const {
    return m_search->text();
}

void Tf_search::setSearchText(const QString& text) {
    m_search->setText(text); // the quick search follows the text
}

void Tf_search::takeCurrent() {
    const auto row = currentRow();
    if (!row) return; // nothing shown, nothing to take
    m_chosen = row;
    accept();
}

void Tf_search::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_grid->setFocus();
}

bool Tf_search::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_grid || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (dialog_parts::isEnter(key)) {
        takeCurrent();
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    if (key->key() == Qt::Key_Backspace) {
        QString text = m_search->text();
        text.chop(1);
        setSearchText(text);
        return true;
    }
    const QString typed = key->text();
    if (modifiers == Qt::NoModifier && !typed.isEmpty() && typed.front().isPrint()) {
        setSearchText(m_search->text() + typed);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ph
