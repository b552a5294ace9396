#include "dispensing/ui/search_factor.h"

#include "core/app_context.h"
#include "core/prompter.h"
#include "widgets/command_bar.h"
#include "widgets/date_field.h"
#include "widgets/guarded.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/row_table_model.h"
#include "widgets/window_tools.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace ph {

namespace {
namespace texts {
const QString kTitle = QStringLiteral("   فــــــرم جستجـــوي فاكتـــــور فـــروش ");
const QString kStartDate = QStringLiteral("ابتدا تاريخ شروع جستجو را مشخص كنيد و سپس  كليد ENTER را بفشاريد: ");
const QString kByInsurance = QStringLiteral("جستجوبراساس شماره دفترچه بيمه");
const QString kByFamily = QStringLiteral("جستجو براساس نام خانوادگي");
const QString kByCode = QStringLiteral("جستجو براساس كد نسخه");
const QString kByDelivery = QStringLiteral("جستجو براساس تاريخ تحويل");
const QString kFrom = QStringLiteral("ازتاريخ : ");
const QString kTo = QStringLiteral("تا تاريخ: ");
const QString kWrongDate = QStringLiteral("تاريخ اشتباه وارد شده است");
const QString kOk = QStringLiteral("تاييد F2");
const QString kClose = QStringLiteral("خروجF10");
} // namespace texts
} // namespace

// The loaded invoices narrowed, without a new query, to the rows whose insurance number,
// family name and code begin with the texts typed (an empty text narrows nothing).
class InvoiceFilterModel : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setPrefixes(const QString& insurance, const QString& family, const QString& code) {
        if (insurance == m_insurance && family == m_family && code == m_code) return;
        m_insurance = insurance;
        m_family = family;
        m_code = code;
        // Mapped again in one go: removing thousands of scattered rows one range at a time
        // costs the grid far more than drawing the rows that are left.
        invalidate();
    }

    const FoundInvoice* invoice(const QModelIndex& index) const {
        const auto* rows = static_cast<const RowTableModel<FoundInvoice>*>(sourceModel());
        const int row = mapToSource(index).row();
        return rows && rows->hasRow(row) ? &rows->row(row) : nullptr;
    }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex&) const override {
        const auto* rows = static_cast<const RowTableModel<FoundInvoice>*>(sourceModel());
        const FoundInvoice& r = rows->row(sourceRow);
        const auto begins = [](const QString& value, const QString& prefix) {
            return prefix.isEmpty() || value.startsWith(prefix, Qt::CaseInsensitive);
        };
        return begins(r.insuranceNumber, m_insurance) && begins(r.family, m_family) && begins(r.code, m_code);
    }

private:
    QString m_insurance;
    QString m_family;
    QString m_code;
};

namespace {

using Invoices = RowTableModel<FoundInvoice>;

Invoices* prescriptionsModel(QObject* parent) {
    return new Invoices(
        {
            {QStringLiteral("ش فاكتور"), [](const FoundInvoice& r) { return QVariant(r.invoiceNumber); }},
            {QStringLiteral("ش دفترچه بيمه"), [](const FoundInvoice& r) { return QVariant(r.insuranceNumber); }},
            {QStringLiteral("نـــام خــانوادگي"), [](const FoundInvoice& r) { return QVariant(r.family); }},
            {QStringLiteral("نـــام"), [](const FoundInvoice& r) { return QVariant(r.name); }},
            {QStringLiteral("تاريخ نسخه"), [](const FoundInvoice& r) { return QVariant(r.prescriptionDate); }},
            {QStringLiteral("كد نسخه"), [](const FoundInvoice& r) { return QVariant(r.code); }},
        },
        parent);
}

Invoices* goodsModel(QObject* parent) {
    return new Invoices(
        {
            {QStringLiteral("شماره فاكتور"), [](const FoundInvoice& r) { return QVariant(r.invoiceNumber); }},
            {QStringLiteral("نـــام خــانوادگي"), [](const FoundInvoice& r) { return QVariant(r.family); }},
            {QStringLiteral("نـــام"), [](const FoundInvoice& r) { return QVariant(r.name); }},
            {QStringLiteral("تاريخ تحويل"), [](const FoundInvoice& r) { return QVariant(r.deliveryDate); }},
        },
        parent);
}

} // namespace

TF_search_factor::TF_search_factor(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_store(windows.db) {
    setObjectName(QStringLiteral("TF_search_factor"));
    setWindowTitle(texts::kTitle);
    setLayoutDirection(Qt::RightToLeft);
    setModal(true);
    buildFields();
    buildGrids();
    buildCommands();
    layOut();
}

TF_search_factor::~TF_search_factor() = default;

void TF_search_factor::buildFields() {
    me_date = DateField::yearFirst(this);
    me_date->setObjectName(QStringLiteral("me_date"));
    me_search_b = makeLineField(this, QStringLiteral("me_search_b"));
    me_search_n = makeLineField(this, QStringLiteral("me_search_n"));
    me_search_c = makeLineField(this, QStringLiteral("me_search_c"));
    me_search_d1 = DateField::yearFirst(this);
    me_search_d1->setObjectName(QStringLiteral("me_search_d1"));
    me_search_d2 = DateField::yearFirst(this);
    me_search_d2->setObjectName(QStringLiteral("me_search_d2"));
    for (QLineEdit* field : {static_cast<QLineEdit*>(me_date), me_search_b, me_search_n, me_search_c,
                             static_cast<QLineEdit*>(me_search_d1), static_cast<QLineEdit*>(me_search_d2)})
        field->installEventFilter(this);
    for (QLineEdit* field : {me_search_b, me_search_n, me_search_c})
        connect(field, &QLineEdit::textChanged, this, [this] { narrow(); });
}

void TF_search_factor::buildGrids() {
    m_prescriptions = prescriptionsModel(this);
    m_goods = goodsModel(this);
    m_prescriptionFilter = new InvoiceFilterModel(this);
    m_prescriptionFilter->setSourceModel(m_prescriptions);
    m_goodsFilter = new InvoiceFilterModel(this);
    m_goodsFilter->setSourceModel(m_goods);
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_prescriptionFilter);
    DBGrid2 = makeListGrid(this, QStringLiteral("DBGrid2"), m_goodsFilter);
    setCodeColumns(DBGrid1, {0});
    setCodeColumns(DBGrid2, {0});
    for (QTableView* grid : {DBGrid1, DBGrid2}) {
        grid->installEventFilter(this);
        connect(grid, &QTableView::doubleClicked, this, [this] { guarded(m_windows.prompter, [this] { takeCurrent(); }); });
    }
}

void TF_search_factor::buildCommands() {
    m_commands = new CommandBar(m_windows.context, m_windows.prompter, CommandBar::Save | CommandBar::Navigation |
                                                                          CommandBar::Close,
                                this);
    m_commands->setRight(CommandBar::Save, {});
    m_commands->button(CommandBar::Save)->setText(texts::kOk);
    m_commands->button(CommandBar::Close)->setText(texts::kClose);
    m_commands->setHandler(CommandBar::Save, [this] { guarded(m_windows.prompter, [this] { takeCurrent(); }); });
    m_commands->setHandler(CommandBar::Close, [this] { close(false); });
    m_commands->setHandler(CommandBar::First, [this] { move(-1, true); });
    m_commands->setHandler(CommandBar::Previous, [this] { move(-1, false); });
    m_commands->setHandler(CommandBar::Next, [this] { move(1, false); });
    m_commands->setHandler(CommandBar::Last, [this] { move(1, true); });
}

void TF_search_factor::layOut() {
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(texts::kStartDate, this));
    top->addWidget(me_date);
    top->addStretch();

    const auto group = [this](const QString& title, const QString& name, QLineEdit* field) {
        auto* box = new QGroupBox(title, this);
        box->setObjectName(name);
        auto* row = new QHBoxLayout(box);
        row->addWidget(field);
        return box;
    };
    m_groupB = group(texts::kByInsurance, QStringLiteral("gb_search_b"), me_search_b);
    auto* dates = new QGroupBox(texts::kByDelivery, this);
    dates->setObjectName(QStringLiteral("gb_search_d"));
    auto* dateRow = new QHBoxLayout(dates);
    dateRow->addWidget(new QLabel(texts::kFrom, dates));
    dateRow->addWidget(me_search_d1);
    dateRow->addWidget(new QLabel(texts::kTo, dates));
    dateRow->addWidget(me_search_d2);
    auto* searches = new QHBoxLayout;
    searches->addWidget(m_groupB);
    searches->addWidget(group(texts::kByFamily, QStringLiteral("gb_search_n"), me_search_n));
    searches->addWidget(group(texts::kByCode, QStringLiteral("gb_search_c"), me_search_c));
    searches->addWidget(dates);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addLayout(searches);
    main->addWidget(DBGrid1, 1);
    main->addWidget(DBGrid2, 1);
    main->addWidget(m_commands);
    resize(760, 480);
}

void TF_search_factor::prepare(SearchContext context, int searchKind) {
    m_context = context;
    m_kind = searchKind;
    m_chosen.reset();
    for (QLineEdit* field : {me_search_b, me_search_n, me_search_c, static_cast<QLineEdit*>(me_search_d1),
                             static_cast<QLineEdit*>(me_search_d2)})
        field->clear();
    me_date->setStoredText(m_windows.context.current_date);
    showRows({});
    const bool prescriptions = searchesPrescriptions(context);
    m_groupB->setVisible(prescriptions);
    DBGrid1->setVisible(prescriptions);
    DBGrid2->setVisible(!prescriptions);
    me_date->setFocus();
    me_date->setCursorPosition(0);
}

std::optional<int> TF_search_factor::choose(SearchContext context, int searchKind) {
    prepare(context, searchKind);
    exec();
    return m_chosen;
}

std::optional<QString> TF_search_factor::checkedDate(DateField* field) {
    const SearchDate date = checkSearchDate(field->displayText());
    switch (date.state) {
    case SearchDate::State::Blank:
        return std::nullopt;
    case SearchDate::State::Invalid:
        m_windows.prompter.warning(texts::kWrongDate);
        field->setFocus();
        return std::nullopt;
    case SearchDate::State::Valid:
        break;
    }
    field->setText(date.text);
    return date.text;
}

void TF_search_factor::startDateEntered() {
    const auto date = checkedDate(me_date);
    if (!date) return;
    showRows(m_store.since(m_context, *date));
    if (QWidget* next = fieldOfKind()) next->setFocus();
}

void TF_search_factor::firstDateEntered() {
    if (checkSearchDate(me_search_d1->displayText()).state == SearchDate::State::Blank) {
        me_search_d2->setFocus();
        return;
    }
    const auto date = checkedDate(me_search_d1);
    if (!date) return;
    showRows(m_store.on(m_context, *date));
    me_search_d2->setFocus();
}

void TF_search_factor::lastDateEntered() {
    const auto blank = [](DateField* field) {
        return checkSearchDate(field->displayText()).state == SearchDate::State::Blank;
    };
    if (blank(me_search_d1) || blank(me_search_d2)) return;
    const auto first = checkedDate(me_search_d1);
    if (!first) return;
    const auto last = checkedDate(me_search_d2);
    if (!last) return;
    showRows(m_store.between(m_context, *first, *last));
    visibleGrid()->setFocus();
}

// The text filters stay on: a later date query is narrowed by what the fields still show.
void TF_search_factor::showRows(QList<FoundInvoice> rows) {
    if (searchesPrescriptions(m_context)) {
        m_prescriptions->setRows(std::move(rows));
        m_goods->setRows({});
    } else {
        m_goods->setRows(std::move(rows));
        m_prescriptions->setRows({});
    }
    narrow();
}

void TF_search_factor::narrow() {
    const QString family = me_search_n->text().trimmed();
    if (searchesPrescriptions(m_context))
        m_prescriptionFilter->setPrefixes(me_search_b->text().trimmed(), family, me_search_c->text().trimmed());
    else
        m_goodsFilter->setPrefixes({}, family, {});
    // The first row left is current, as the grid shows it.
    QTableView* grid = visibleGrid();
    if (!grid->currentIndex().isValid() && grid->model()->rowCount() > 0)
        grid->setCurrentIndex(grid->model()->index(0, 0));
}

QTableView* TF_search_factor::visibleGrid() const {
    return searchesPrescriptions(m_context) ? DBGrid1 : DBGrid2;
}

QWidget* TF_search_factor::fieldOfKind() const {
    switch (m_kind) {
    case 2:
    case 6:
        return me_search_d1;
    case 3:
        return searchesPrescriptions(m_context) ? me_search_b : me_search_n;
    case 4:
        return me_search_c;
    default:
        return me_search_n;
    }
}

void TF_search_factor::takeCurrent() {
    QTableView* grid = visibleGrid();
    auto* filter = static_cast<InvoiceFilterModel*>(grid->model());
    if (filter->rowCount() == 0) return;
    QModelIndex current = grid->currentIndex();
    if (!current.isValid()) current = filter->index(0, 0);
    const FoundInvoice* invoice = filter->invoice(current);
    if (!invoice) return;
    m_chosen = invoice->invoiceNumber;
    close(true);
}

void TF_search_factor::close(bool chosen) {
    if (!chosen) m_chosen.reset();
    done(chosen ? QDialog::Accepted : QDialog::Rejected);
}

void TF_search_factor::move(int step, bool toEnd) {
    QTableView* grid = visibleGrid();
    const int rows = grid->model()->rowCount();
    if (rows == 0) return;
    int row = grid->currentIndex().isValid() ? grid->currentIndex().row() : 0;
    row = toEnd ? (step < 0 ? 0 : rows - 1) : std::clamp(row + step, 0, rows - 1);
    grid->setCurrentIndex(grid->model()->index(row, std::max(0, grid->currentIndex().column())));
}

bool TF_search_factor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isPlain(key)) return QDialog::eventFilter(watched, event);
    Prompter& prompter = m_windows.prompter;

    if (watched == DBGrid1 || watched == DBGrid2) {
        if (isEnter(key)) {
            guarded(prompter, [this] { takeCurrent(); });
            return true;
        }
        if (watched == DBGrid2 && key->key() == Qt::Key_Left) {
            me_date->setFocus();
            return true;
        }
        if (watched == DBGrid2 && key->text() == u"1") {
            me_search_n->setFocus();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }

    if (isEnter(key)) {
        if (watched == me_date) {
            guarded(prompter, [this] { startDateEntered(); });
        } else if (watched == me_search_d1) {
            guarded(prompter, [this] { firstDateEntered(); });
        } else if (watched == me_search_d2) {
            guarded(prompter, [this] { lastDateEntered(); });
        } else if (watched == me_search_n ||
                   ((watched == me_search_b || watched == me_search_c) && searchesPrescriptions(m_context))) {
            if (!static_cast<QLineEdit*>(watched)->text().trimmed().isEmpty())
                guarded(prompter, [this] { takeCurrent(); });
        } else {
            return QDialog::eventFilter(watched, event);
        }
        return true;
    }
    if (watched == me_date) return QDialog::eventFilter(watched, event);
    if (key->key() == Qt::Key_Up) {
        visibleGrid()->setFocus();
        return true;
    }
    if (key->key() == Qt::Key_Down) {
        QWidget* next = nullptr;
        if (watched == me_search_b) next = me_search_n;
        else if (watched == me_search_n) next = me_search_c;
        else if (watched == me_search_c || watched == me_search_d2) next = me_search_d1;
        else if (watched == me_search_d1) next = me_search_d2;
        if (next) {
            next->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ph
