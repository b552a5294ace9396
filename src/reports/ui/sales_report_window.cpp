#include "reports/ui/sales_report_window.h"

#include "dispensing/settings_store.h"
#include "catalogue/goods.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "insurance/doctor_store.h"
#include "insurance/insurer_store.h"
#include "print/report_output.h"
#include "print/xlsx_table.h"
#include "reports/print/report_prints.h"
#include "reports/print/sales_chart.h"
#include "widgets/code_field.h"
#include "widgets/date_field.h"
#include "widgets/guarded.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/number_delegate.h"
#include "widgets/picker.h"
#include "widgets/quick_search.h"
#include "widgets/row_table_model.h"
#include "widgets/window_tools.h"

#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

const QString kNotFound = QStringLiteral("اين كد موجود نمي باشد");

CodeField* codeField(QWidget* parent, const char* name, int digits) {
    auto* field = new CodeField(parent);
    field->setObjectName(QLatin1String(name));
    field->setMaxDigits(digits);
    return field;
}

QLineEdit* nameField(QWidget* parent, const char* name) {
    QLineEdit* field = makeLineField(parent, QLatin1String(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

QChartView* chartView(QWidget* parent, const char* name) {
    auto* view = new QChartView(parent);
    view->setObjectName(QLatin1String(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(320, 200);
    view->setFocusPolicy(Qt::NoFocus);
    return view;
}

void replaceChart(QChartView* view, QChart* chart) {
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}

} // namespace

SalesReportWindow::SalesReportWindow(const WindowContext& windows, SalesReportKind kind, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_kind(kind), m_outputs(ReportOutputs::dialogs(windows.prompter)) {
    setLayoutDirection(Qt::RightToLeft);
    buildFields();
    buildGrids();
    buildCommands();
    layOut();
    setKind(kind);
    clearFields();
}

SalesReportWindow::~SalesReportWindow() = default;

void SalesReportWindow::buildFields() {
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("lbl_title"));
    m_title->setAlignment(Qt::AlignCenter);
    me_date11 = new DateField(DateField::Year::TwoDigits, this);
    me_date11->setObjectName(QStringLiteral("me_date11"));
    me_date22 = new DateField(DateField::Year::TwoDigits, this);
    me_date22->setObjectName(QStringLiteral("me_date22"));
    rb_all = new QRadioButton(QStringLiteral("گزارش از همه داروها /كالاها"), this);
    rb_all->setObjectName(QStringLiteral("rb_all"));
    rb_one = new QRadioButton(QStringLiteral("گزارش از يك دارو/كالا"), this);
    rb_one->setObjectName(QStringLiteral("rb_one"));
    me_code1 = codeField(this, "me_code1", 15);
    me_code2 = codeField(this, "me_code2", 15);

    Prompter& prompter = m_windows.prompter;
    Database& db = m_windows.db;
    m_insurerRow = new QWidget(this);
    me_code_b = codeField(m_insurerRow, "me_code_b", 9);
    me_name_b = nameField(m_insurerRow, "me_name_b");
    me_code_b->setLookup([&db](qint64 code) { return InsurerStore(db).nameOf(int(code)); }, me_name_b, prompter);
    me_code_b->setRefusalText(kNotFound);
    me_code_b->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            pickCode(m_windows, me_code_b, QStringLiteral("bime"), InsurerStore(m_windows.db).pickRows());
        });
        me_code_b->setFocus(Qt::TabFocusReason);
    });
    auto* insurerLayout = new QHBoxLayout(m_insurerRow);
    insurerLayout->setContentsMargins(0, 0, 0, 0);
    insurerLayout->addWidget(new QLabel(QStringLiteral("نام بيمه : "), m_insurerRow));
    insurerLayout->addWidget(me_code_b);
    insurerLayout->addWidget(me_name_b, 1);

    m_doctorRow = new QWidget(this);
    me_nezam = codeField(m_doctorRow, "me_nezam", 30);
    me_name_pe = nameField(m_doctorRow, "me_name_pe");
    // The council number is looked up as typed (a leading zero is part of it).
    me_nezam->setLookup(
        [this](qint64) -> std::optional<QString> {
            const std::optional<Doctor> doctor = DoctorStore(m_windows.db).findByCouncilNumber(me_nezam->text().trimmed());
            if (!doctor) return std::nullopt;
            return doctor->family + QStringLiteral("  ") + doctor->name;
        },
        me_name_pe, prompter);
    me_nezam->setRefusalText(kNotFound);
    me_nezam->setPicker([this] {
        if (!m_windows.picker) return;
        std::optional<PickRow> chosen;
        guarded(m_windows.prompter, [&] {
            chosen = m_windows.picker->pick({QStringLiteral("nezam_p"), DoctorStore(m_windows.db).prescriberPickRows()});
        });
        if (chosen) me_nezam->setText(chosen->code.toString());
        me_nezam->setFocus(Qt::TabFocusReason);
    });
    auto* doctorLayout = new QHBoxLayout(m_doctorRow);
    doctorLayout->setContentsMargins(0, 0, 0, 0);
    doctorLayout->addWidget(new QLabel(QStringLiteral("نظام پزشكي:"), m_doctorRow));
    doctorLayout->addWidget(me_nezam);
    doctorLayout->addWidget(me_name_pe, 1);

    me_search1 = makeLineField(this, QStringLiteral("me_search1"));
    me_koll = nameField(this, "me_koll");
    me_koll->setLayoutDirection(Qt::LeftToRight);

    connect(rb_one, &QRadioButton::toggled, this, [this](bool one) {
        DBGrid2->setVisible(one);
        me_code1->setEnabled(!one);
        me_code2->setEnabled(!one);
        if (!one) return;
        guarded(m_windows.prompter, [this] {
            m_items->setRows(GoodsCatalogue(m_windows.db).list());
            // The settings choose the column a typed number is looked for in.
            const std::optional<Settings> settings = SettingsStore(m_windows.db).read();
            const Settings::SearchKey key = settings ? settings->searchKey : Settings::SearchKey::None;
            m_itemKeyColumn = key == Settings::SearchKey::Price ? 2 : key == Settings::SearchKey::CodeSh ? 0 : 3;
        });
    });
    for (QWidget* field : {static_cast<QWidget*>(me_date11), static_cast<QWidget*>(me_date22),
                           static_cast<QWidget*>(me_code1), static_cast<QWidget*>(me_code2),
                           static_cast<QWidget*>(me_code_b), static_cast<QWidget*>(me_nezam)})
        field->installEventFilter(this);
}

void SalesReportWindow::buildGrids() {
    m_items = new RowTableModel<GoodsItem>(
        {{QStringLiteral("كدشناسه"), [](const GoodsItem& g) { return g.identityCode ? QVariant(*g.identityCode) : QVariant(); }},
         {QStringLiteral("نـام دارو"), [](const GoodsItem& g) { return QVariant(g.name); }},
         {QStringLiteral("قيمت"), [](const GoodsItem& g) { return g.price ? QVariant(*g.price) : QVariant(); }},
         {QStringLiteral("كد دارو"), [](const GoodsItem& g) { return QVariant(g.code); }},
         {QStringLiteral("شكل دارو"), [](const GoodsItem& g) { return QVariant(g.formName); }}},
        this);
    m_itemSearch = new QuickSearchModel(this);
    m_itemSearch->setSourceModel(m_items);
    DBGrid2 = makeListGrid(this, QStringLiteral("DBGrid2"), m_itemSearch);
    setCodeColumns(DBGrid2, {0, 3});
    setAmountColumns(DBGrid2, {2});
    DBGrid2->installEventFilter(this);
    DBGrid2->hide();

    m_rows = new RowTableModel<SalesRow>(
        {{QStringLiteral("كد دارو/كالا"), [](const SalesRow& r) { return QVariant(r.code); }},
         {QStringLiteral("نام دارو/كالا"), [](const SalesRow& r) { return QVariant(r.name); }},
         {QStringLiteral("شكل"), [](const SalesRow& r) { return QVariant(r.form); }},
         {QStringLiteral("تعداد "), [](const SalesRow& r) { return QVariant(r.quantity); }},
         {QStringLiteral("قيمت"), [](const SalesRow& r) { return QVariant(roundRial(r.amount)); }},
         {QStringLiteral("سهم سازمان"), [](const SalesRow& r) { return QVariant(roundRial(r.insurerShare)); }},
         {QStringLiteral("سهم بيمار"), [](const SalesRow& r) { return QVariant(roundRial(r.patientShare)); }}},
        this);
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"));
    m_search = new QuickSearch(me_search1, m_rows, DBGrid1, 0, 1, this);
    setCodeColumns(DBGrid1, {0});
    setAmountColumns(DBGrid1, {4, 5, 6});
    if (auto* grid = qobject_cast<ListGrid*>(DBGrid1)) grid->setTextColumn(1);
    QuickSearchModel* shown = m_search->model();
    connect(shown, &QAbstractItemModel::modelReset, this, &SalesReportWindow::refreshChart);
    connect(shown, &QAbstractItemModel::layoutChanged, this, &SalesReportWindow::refreshChart);
    connect(shown, &QAbstractItemModel::rowsInserted, this, &SalesReportWindow::refreshChart);
    connect(shown, &QAbstractItemModel::rowsRemoved, this, &SalesReportWindow::refreshChart);

    m_barsView = chartView(this, "chart_top_items");
    m_lineView = chartView(this, "chart_daily");
    refreshChart();
}

void SalesReportWindow::buildCommands() {
    but_search = makeCommandButton(this, "but_search", QStringLiteral("مشاهدهF7"));
    but_print = makeCommandButton(this, "but_print", QStringLiteral("چاپ F8"));
    but_sort = makeCommandButton(this, "but_sort", QStringLiteral("مرتب سازيCtrl+S"));
    but_excel = makeCommandButton(this, "but_excel", texts::kSaveSpreadsheet);
    but_pdf = makeCommandButton(this, "but_pdf", texts::kSavePdf);
    but_enseraf = makeCommandButton(this, "but_enseraf", QStringLiteral(" جديد /انصرافF9"));
    but_close = makeCommandButton(this, "but_close", QStringLiteral("خروجF10"));
    connect(but_search, &QPushButton::clicked, this, [this] { guarded(m_windows.prompter, [this] { runReport(); }); });
    connect(but_print, &QPushButton::clicked, this, [this] { printReport(); });
    connect(but_excel, &QPushButton::clicked, this, [this] { saveSpreadsheet(); });
    connect(but_pdf, &QPushButton::clicked, this, [this] { savePdf(); });
    connect(but_enseraf, &QPushButton::clicked, this, &SalesReportWindow::clearFields);
    connect(but_close, &QPushButton::clicked, this, &QDialog::close);

    m_sortMenu = new QMenu(this);
    m_sortMenu->setObjectName(QStringLiteral("sort_menu"));
    const struct {
        const char* caption;
        Qt::Key key;
        QList<int> columns;
    } orders[] = {{"براساس کد دارو", Qt::Key_A, {0}},
                  {"براساس نام دارو", Qt::Key_B, {1}},
                  {"براساس شکل دارو", Qt::Key_C, {2, 1}},
                  {"براساس تعداد", Qt::Key_D, {3, 0}},
                  {"براساس قيمت", Qt::Key_E, {4, 0}}};
    for (const auto& order : orders) {
        QAction* action = m_sortMenu->addAction(QString::fromUtf8(order.caption));
        action->setShortcut(QKeySequence(Qt::CTRL | order.key));
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        const QList<int> columns = order.columns;
        connect(action, &QAction::triggered, this, [this, columns] { applySort(columns); });
    }
    connect(but_sort, &QPushButton::clicked, this,
            [this] { m_sortMenu->popup(but_sort->mapToGlobal(QPoint(0, but_sort->height()))); });
}

void SalesReportWindow::layOut() {
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("تاريخ گزارش از: "), this), 0, 0);
    fields->addWidget(me_date11, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("تا :"), this), 0, 2);
    fields->addWidget(me_date22, 0, 3);
    fields->addWidget(rb_all, 1, 0);
    fields->addWidget(new QLabel(QStringLiteral("ازكددارو : "), this), 1, 1);
    fields->addWidget(me_code1, 1, 2);
    fields->addWidget(new QLabel(QStringLiteral("تا : "), this), 1, 3);
    fields->addWidget(me_code2, 1, 4);
    fields->addWidget(rb_one, 2, 0);
    fields->addWidget(m_insurerRow, 3, 0, 1, 5);
    fields->addWidget(m_doctorRow, 4, 0, 1, 5);
    fields->setColumnStretch(5, 1);

    auto* charts = new QWidget(this);
    auto* chartLayout = new QVBoxLayout(charts);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    // The bars take the larger part: ten item names, one under the other, each needs a line.
    chartLayout->addWidget(m_barsView, 3);
    chartLayout->addWidget(m_lineView, 2);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(DBGrid1);
    splitter->addWidget(charts);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    auto* foot = new QHBoxLayout;
    foot->addWidget(new QLabel(QStringLiteral("جستجوي سريع نام / كد دارو يا كالا"), this));
    foot->addWidget(me_search1, 1);
    foot->addWidget(new QLabel(QStringLiteral("جمع کل ريالي"), this));
    foot->addWidget(me_koll);
    foot->addWidget(new QLabel(QStringLiteral(" ريال "), this));

    auto* commands = new QHBoxLayout;
    for (QPushButton* b : {but_search, but_print, but_sort, but_excel, but_pdf, but_enseraf, but_close})
        commands->addWidget(b);

    auto* main = new QVBoxLayout(this);
    main->addWidget(m_title);
    main->addLayout(fields);
    main->addWidget(DBGrid2, 1);
    main->addWidget(splitter, 3);
    main->addLayout(foot);
    main->addLayout(commands);
    resize(1100, 720);
}

void SalesReportWindow::setKind(SalesReportKind kind) {
    m_kind = kind;
    const QString title = kind == SalesReportKind::General     ? texts::kSalesTitle
                          : kind == SalesReportKind::ByInsurer ? texts::kByInsurerTitle
                                                               : texts::kByDoctorTitle;
    setWindowTitle(title);
    m_title->setText(title);
    m_insurerRow->setVisible(kind == SalesReportKind::ByInsurer);
    m_doctorRow->setVisible(kind == SalesReportKind::ByDoctor);
    DBGrid1->setColumnHidden(5, kind != SalesReportKind::ByInsurer);
    DBGrid1->setColumnHidden(6, kind != SalesReportKind::ByInsurer);
}

void SalesReportWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    me_date11->setFocus(Qt::OtherFocusReason);
}

void SalesReportWindow::clearFields() {
    me_date11->clear();
    me_date22->clear();
    me_code1->clear();
    me_code2->clear();
    me_code_b->clear();
    me_nezam->clear();
    me_search1->clear();
    me_koll->setText(QStringLiteral("0"));
    rb_all->setChecked(true);
    DBGrid2->hide();
    m_report = {};
    m_rows->setRows({});
    me_date11->setFocus(Qt::OtherFocusReason);
}

SalesRequest SalesReportWindow::request(bool* ok) {
    *ok = false;
    SalesRequest r;
    r.kind = m_kind;
    for (DateField* field : {me_date11, me_date22}) {
        if (field->storedText().isEmpty() || !field->isValidDate()) {
            m_windows.prompter.warning(texts::kNoReportDate);
            field->setFocus(Qt::OtherFocusReason);
            return r;
        }
    }
    r.from = me_date11->storedText();
    r.to = me_date22->storedText();
    if (m_kind == SalesReportKind::ByInsurer) {
        if (!me_code_b->code() || !me_code_b->lookupName()) {
            m_windows.prompter.warning(texts::kNoInsurer);
            me_code_b->setFocus(Qt::OtherFocusReason);
            return r;
        }
        r.insurer = int(*me_code_b->code());
    } else if (m_kind == SalesReportKind::ByDoctor) {
        if (me_nezam->text().trimmed().isEmpty() || !me_nezam->lookupName()) {
            m_windows.prompter.warning(texts::kNoDoctor);
            me_nezam->setFocus(Qt::OtherFocusReason);
            return r;
        }
        r.doctor = me_nezam->text().trimmed();
    }
    if (rb_one->isChecked()) {
        const int row = currentSourceRow(DBGrid2);
        if (!m_items->hasRow(row)) {
            m_windows.prompter.warning(texts::kNoItemChosen);
            DBGrid2->setFocus(Qt::OtherFocusReason);
            return r;
        }
        r.item = m_items->row(row).code;
    } else {
        if (const auto from = me_code1->code()) r.codeFrom = double(*from);
        if (const auto to = me_code2->code()) r.codeTo = double(*to);
    }
    *ok = true;
    return r;
}

bool SalesReportWindow::runReport() {
    bool ok = false;
    const SalesRequest r = request(&ok);
    if (!ok) return false;
    m_report = SalesReportStore(m_windows.db).run(r);
    m_rows->setRows(m_report.rows);
    if (!m_sortColumns.isEmpty()) applySort(m_sortColumns);
    me_koll->setText(amountDisplayText(roundRial(m_report.totals().amount)));
    if (m_report.isEmpty()) {
        m_windows.prompter.warning(m_kind == SalesReportKind::General ? texts::kNoSales : texts::kNoConsumption);
        me_date11->setFocus(Qt::OtherFocusReason);
        return false;
    }
    DBGrid1->setFocus(Qt::OtherFocusReason);
    return true;
}

QList<int> SalesReportWindow::shownRows() const {
    QList<int> rows;
    const QuickSearchModel* shown = m_search->model();
    for (int i = 0; i < shown->rowCount(); ++i) rows.append(shown->mapToSource(shown->index(i, 0)).row());
    return rows;
}

void SalesReportWindow::refreshChart() {
    const SalesChartData data = SalesReportStore(m_windows.db).chart(m_report, shownRows());
    replaceChart(m_barsView, makeTopItemsChart(data));
    replaceChart(m_lineView, makeDailyChart(data));
}

void SalesReportWindow::applySort(const QList<int>& columns) {
    m_sortColumns = columns;
    m_search->model()->sortByColumns(columns);
}

print::Report SalesReportWindow::makePrint() {
    SalesPrintHeading heading;
    heading.pharmacyName = m_windows.context.pharmacy_name;
    heading.from = me_date11->storedText();
    heading.to = me_date22->storedText();
    heading.reportDate = m_windows.context.current_date;
    heading.partyName = m_kind == SalesReportKind::ByInsurer  ? me_name_b->text()
                        : m_kind == SalesReportKind::ByDoctor ? me_name_pe->text()
                                                              : QString();
    const QList<int> rows = shownRows();
    return salesPrint(m_kind, m_report, rows, heading, salesChartImage(SalesReportStore(m_windows.db).chart(m_report, rows)));
}

void SalesReportWindow::printReport() {
    guarded(m_windows.prompter, [this] {
        if (!runReport()) return;
        m_outputs.show(this, makePrint());
    });
}

void SalesReportWindow::saveSpreadsheet() {
    guarded(m_windows.prompter, [this] {
        if (m_report.isEmpty() && !runReport()) return;
        SalesPrintHeading heading;
        heading.pharmacyName = m_windows.context.pharmacy_name;
        heading.from = me_date11->storedText();
        heading.to = me_date22->storedText();
        heading.partyName = m_kind == SalesReportKind::ByInsurer  ? me_name_b->text()
                            : m_kind == SalesReportKind::ByDoctor ? me_name_pe->text()
                                                                  : QString();
        saveSheet(this, m_outputs, m_windows.prompter, salesSheet(m_kind, m_report, shownRows(), heading));
    });
}

void SalesReportWindow::savePdf() {
    guarded(m_windows.prompter, [this] {
        if (m_report.isEmpty() && !runReport()) return;
        ph::savePdf(this, m_outputs, m_windows.prompter, texts::kSavePdf, makePrint());
    });
}

bool SalesReportWindow::typeInItems(QKeyEvent* key) {
    if (key->key() == Qt::Key_Backspace) {
        m_itemTyped.chop(1);
    } else {
        const QString text = key->text();
        if (text.isEmpty() || !text.at(0).isPrint() || (key->modifiers() & ~Qt::ShiftModifier)) return false;
        m_itemTyped += text;
    }
    const int nameColumn = 1;
    const int column = DBGrid2->currentIndex().isValid() ? DBGrid2->currentIndex().column() : nameColumn;
    const bool number = !m_itemTyped.isEmpty() && m_itemTyped.at(0).isDigit();
    if (number) {
        // In the name column the settings' key column is searched; elsewhere the column itself
        // (the identity code, the price or the code).
        m_itemSearch->clearNameFilter();
        const int searched = column == nameColumn || column == 4 ? m_itemKeyColumn : column;
        bool whole = false;
        const double value = m_itemTyped.toDouble(&whole);
        const int row = whole ? m_itemSearch->findRow(searched, value) : -1;
        if (row >= 0) DBGrid2->setCurrentIndex(m_itemSearch->index(row, column));
    } else if (column == nameColumn) {
        m_itemSearch->filterByName(m_itemTyped, {nameColumn});
        if (m_itemSearch->rowCount() > 0) DBGrid2->setCurrentIndex(m_itemSearch->index(0, nameColumn));
    }
    return true;
}

bool SalesReportWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid2 && event->type() == QEvent::FocusIn) m_itemTyped.clear();
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && watched == DBGrid2) {
            guarded(m_windows.prompter, [this] { runReport(); });
            return true;
        }
        if (watched == DBGrid2 && typeInItems(key)) return true;
        if (enter) {
            // Enter moves on through the fields; a code field checks its code first.
            if (auto* code = qobject_cast<CodeField*>(watched); code && !code->acceptCode()) return true;
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SalesReportWindow::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_F7: guarded(m_windows.prompter, [this] { runReport(); }); return;
        case Qt::Key_F8: printReport(); return;
        case Qt::Key_F9: clearFields(); return;
        case Qt::Key_F10:
        case Qt::Key_Escape: close(); return;
        default: break;
        }
    }
    if (event->modifiers() == Qt::ControlModifier && event->key() == Qt::Key_S) {
        but_sort->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

TFg_masraf::TFg_masraf(const WindowContext& windows, QWidget* parent)
    : SalesReportWindow(windows, SalesReportKind::General, parent) {
    setObjectName(QStringLiteral("TFg_masraf"));
}

TFg_masraf_pe::TFg_masraf_pe(const WindowContext& windows, QWidget* parent)
    : SalesReportWindow(windows, SalesReportKind::ByInsurer, parent) {
    setObjectName(QStringLiteral("TFg_masraf_pe"));
}

void TFg_masraf_pe::setFormMode(int formMode) {
    if (formMode == 20) setKind(SalesReportKind::ByInsurer);
    if (formMode == 21) setKind(SalesReportKind::ByDoctor);
}

} // namespace ph
