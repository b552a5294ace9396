#include "reports/ui/stock_windows.h"

#include "catalogue/lookup_list.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "lots/barcodes.h"
#include "lots/scan_code.h"
#include "print/barcode_label.h"
#include "print/report_output.h"
#include "print/xlsx_table.h"
#include "reports/expiry_report.h"
#include "reports/print/report_prints.h"
#include "widgets/code_field.h"
#include "widgets/date_field.h"
#include "widgets/guarded.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/number_delegate.h"
#include "widgets/quick_search.h"
#include "widgets/row_table_model.h"
#include "widgets/window_tools.h"
#include "widgets/workstation_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

const QString kSaveSpreadsheet = QStringLiteral("ذخيره اكسل");

} // namespace

// The stock list.

Tmojoodi::Tmojoodi(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_outputs(ReportOutputs::dialogs(windows.prompter)) {
    setObjectName(QStringLiteral("Tmojoodi"));
    setWindowTitle(QStringLiteral("موجودي دارو"));
    setLayoutDirection(Qt::RightToLeft);
    m_rows = new RowTableModel<StockRow>(
        {{QStringLiteral("كـــــد دارو"), [](const StockRow& r) { return QVariant(r.code); }},
         {QStringLiteral("نـــــام دارو"), [](const StockRow& r) { return QVariant(r.name); }},
         {QStringLiteral("موجودي دارو"), [](const StockRow& r) { return QVariant(r.quantity); }}},
        this);
    me_search = makeLineField(this, QStringLiteral("me_search"));
    me_search->installEventFilter(this);
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"));
    m_search = new QuickSearch(me_search, m_rows, DBGrid1, 0, 1, this);
    setCodeColumns(DBGrid1, {0});
    // The lots of the current item; a lot of id 0 is what no lot accounts for.
    m_lots = new RowTableModel<Lot>(
        {{QStringLiteral("سري ساخت"),
          [](const Lot& l) { return QVariant(l.id == 0 ? QStringLiteral("بدون سري و تاريخ") : l.batch); }},
         {QStringLiteral("تاريخ انقضا"), [](const Lot& l) { return QVariant(solarDateText(l.expiry)); }},
         {QStringLiteral("موجودي"), [](const Lot& l) { return QVariant(l.quantity); }}},
        this);
    DBGrid_lot = makeListGrid(this, QStringLiteral("DBGrid_lot"), m_lots);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { showLots(); });
    connect(m_search->model(), &QAbstractItemModel::modelReset, this, [this] { showLots(); });
    but_print = makeCommandButton(this, "but_print", QStringLiteral("چاپ Ctrl+P"));
    but_excel = makeCommandButton(this, "but_excel", kSaveSpreadsheet);
    but_close = makeCommandButton(this, "but_close", QStringLiteral("انصراف Ctrl+F9 "));
    but_label = makeCommandButton(this, "but_label", QStringLiteral("برچسب بسته F5"));
    connect(but_label, &QPushButton::clicked, this, &Tmojoodi::printPackLabel);
    connect(but_print, &QPushButton::clicked, this, &Tmojoodi::printList);
    connect(but_excel, &QPushButton::clicked, this, &Tmojoodi::saveSpreadsheet);
    connect(but_close, &QPushButton::clicked, this, &QDialog::close);

    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("جستجوي سريع براساس نام و كد"), this));
    search->addWidget(me_search, 1);
    auto* commands = new QHBoxLayout;
    for (QPushButton* b : {but_print, but_label, but_excel, but_close}) commands->addWidget(b);
    auto* main = new QVBoxLayout(this);
    main->addLayout(search);
    main->addWidget(DBGrid1, 3);
    main->addWidget(new QLabel(QStringLiteral("سري‌هاي كالا (F6 رفتن به سري‌ها و برگشت)"), this));
    main->addWidget(DBGrid_lot, 2);
    main->addLayout(commands);
    resize(640, 700);
}

void Tmojoodi::showLots() {
    const QModelIndex current = m_search->model()->mapToSource(DBGrid1->currentIndex());
    if (!m_rows->hasRow(current.row())) {
        m_lots->setRows({});
        return;
    }
    const StockRow& item = m_rows->row(current.row());
    guarded(m_windows.prompter, [&] {
        QList<Lot> lots = LotStore(m_windows.db).lotsOf(item.code, 20);
        double inLots = 0;
        for (const Lot& lot : lots) inLots += lot.quantity;
        // Stock from before lots were kept, or taken in without an expiry.
        if (!lots.isEmpty() && item.quantity - inLots > 0) {
            Lot untracked;
            untracked.item = item.code;
            untracked.quantity = item.quantity - inLots;
            lots.append(untracked);
        }
        m_lots->setRows(lots);
    });
}

Tmojoodi::~Tmojoodi() = default;

void Tmojoodi::reload() { m_rows->setRows(StockStore(m_windows.db).pharmacyStock()); }

void Tmojoodi::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    guarded(m_windows.prompter, [this] { reload(); });
    me_search->clear();
    me_search->setFocus(Qt::OtherFocusReason);
}

void Tmojoodi::printList() {
    guarded(m_windows.prompter, [this] {
        const QDateTime now = m_windows.clock.now();
        m_outputs.show(this, stockPrint(StockStore(m_windows.db).pharmacyStock(),
                                        {m_windows.context.current_date, now.toString(QStringLiteral("HH:mm"))}));
    });
}

void Tmojoodi::printPackLabel() {
    const QModelIndex current = m_search->model()->mapToSource(DBGrid1->currentIndex());
    if (!m_rows->hasRow(current.row())) return;
    const StockRow& item = m_rows->row(current.row());
    // The lot chosen beneath, else the item's first; what no lot accounts for has no batch.
    const int chosen = DBGrid_lot->currentIndex().isValid() ? DBGrid_lot->currentIndex().row() : 0;
    if (!m_lots->hasRow(chosen)) return;
    const Lot lot = m_lots->row(chosen);
    guarded(m_windows.prompter, [&] {
        const std::optional<QString> gtin = BarcodeStore(m_windows.db).gtinOf(item.code);
        if (!gtin) {
            m_windows.prompter.warning(kNoGtinForLabel);
            return;
        }
        m_outputs.show(this, print::barcodeLabelReport(item.name, gs1PackText(*gtin, lot.expiry, lot.id ? lot.batch : QString()),
                                                       workstation::labelPageMm(m_windows.settings)));
    });
}

void Tmojoodi::saveSpreadsheet() {
    guarded(m_windows.prompter, [this] {
        saveSheet(this, m_outputs, m_windows.prompter, stockSheet(StockStore(m_windows.db).pharmacyStock()));
    });
}

void Tmojoodi::switchGrids() {
    if (DBGrid_lot->hasFocus()) {
        DBGrid1->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (m_lots->rowCount() == 0) return;
    if (!DBGrid_lot->currentIndex().isValid()) selectGridRow(DBGrid_lot, 0);
    DBGrid_lot->setFocus(Qt::OtherFocusReason);
}

bool Tmojoodi::eventFilter(QObject* watched, QEvent* event) {
    if (watched == me_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            DBGrid1->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tmojoodi::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::ControlModifier && event->key() == Qt::Key_P) {
        printList();
        return;
    }
    if ((event->modifiers() == Qt::ControlModifier && event->key() == Qt::Key_F9) || event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_F5) {
        printPackLabel();
        return;
    }
    if (event->key() == Qt::Key_F6) {
        switchGrids();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The store's documents.

namespace {

QList<RowTableModel<StoreDocument>::Column> headerColumns(bool incoming) {
    return {{incoming ? QStringLiteral("شماره حواله") : QStringLiteral("شماره برگه"),
             [](const StoreDocument& d) { return QVariant(d.key.number); }},
            {QStringLiteral("تاريخ صدور"), [](const StoreDocument& d) { return QVariant(d.issued); }},
            {QStringLiteral("في كل"), [](const StoreDocument& d) { return QVariant(d.total); }},
            {QStringLiteral("كد انبار"), [](const StoreDocument& d) { return QVariant(d.key.store); }}};
}

QList<RowTableModel<StoreDocumentLine>::Column> lineColumns(bool incoming) {
    QList<RowTableModel<StoreDocumentLine>::Column> columns = {
        {incoming ? QStringLiteral("شماره حواله") : QStringLiteral("شماره برگه"),
         [](const StoreDocumentLine& l) { return QVariant(l.number); }},
        {QStringLiteral("كد دارو"), [](const StoreDocumentLine& l) { return QVariant(l.code); }},
        {QStringLiteral("شكل دارو"), [](const StoreDocumentLine& l) { return QVariant(l.form); }},
        {QStringLiteral("نام دارو"), [](const StoreDocumentLine& l) { return QVariant(l.name); }},
        {QStringLiteral("تاريخ انقضاء"), [](const StoreDocumentLine& l) { return QVariant(l.expiry); }},
        {QStringLiteral("تعداد"), [](const StoreDocumentLine& l) { return QVariant(l.quantity); }}};
    if (incoming) {
        columns.append({QStringLiteral("قيمت در داروخانه"), [](const StoreDocumentLine& l) { return QVariant(l.catalogPrice); }});
        columns.append({QStringLiteral("قيمت در حواله"), [](const StoreDocumentLine& l) { return QVariant(l.documentPrice); }});
    } else {
        columns.append({QStringLiteral("في"), [](const StoreDocumentLine& l) { return QVariant(l.documentPrice); }});
    }
    return columns;
}

} // namespace

Tfmanbar_darookaneh::Tfmanbar_darookaneh(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("Tfmanbar_darookaneh"));
    setWindowTitle(texts::kStoreTransferTitle);
    setLayoutDirection(Qt::RightToLeft);
    m_incoming = new RowTableModel<StoreDocument>(headerColumns(true), this);
    m_returns = new RowTableModel<StoreDocument>(headerColumns(false), this);
    m_incomingLines = new RowTableModel<StoreDocumentLine>(lineColumns(true), this);
    m_returnLines = new RowTableModel<StoreDocumentLine>(lineColumns(false), this);
    DBGrid3 = makeListGrid(this, QStringLiteral("DBGrid3"), m_incoming);
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_incomingLines);
    DBGrid2 = makeListGrid(this, QStringLiteral("DBGrid2"), m_returns);
    DBGrid4 = makeListGrid(this, QStringLiteral("DBGrid4"), m_returnLines);
    setCodeColumns(DBGrid3, {0, 3});
    setCodeColumns(DBGrid2, {0, 3});
    setCodeColumns(DBGrid1, {0, 1});
    setCodeColumns(DBGrid4, {0, 1});
    connect(DBGrid3->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { guarded(m_windows.prompter, [this] { showLines(StoreDocumentKind::Incoming); }); });
    connect(DBGrid2->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { guarded(m_windows.prompter, [this] { showLines(StoreDocumentKind::Return); }); });

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    auto* incoming = new QWidget(m_tabs);
    auto* incomingLayout = new QVBoxLayout(incoming);
    incomingLayout->addWidget(DBGrid3, 1);
    incomingLayout->addWidget(DBGrid1, 1);
    auto* returns = new QWidget(m_tabs);
    auto* returnsLayout = new QVBoxLayout(returns);
    returnsLayout->addWidget(DBGrid2, 1);
    returnsLayout->addWidget(DBGrid4, 1);
    m_tabs->addTab(incoming, QStringLiteral("دارو وتجهيزات وارده به داروخانه"));
    m_tabs->addTab(returns, QStringLiteral("دارو وتجهيزات برگشتي از داروخانه به انبار"));

    but_new = makeCommandButton(this, "but_new", QStringLiteral("تاييد كلي  F2 "));
    but_close = makeCommandButton(this, "but_close", QStringLiteral("خروج F10"));
    connect(but_new, &QPushButton::clicked, this, &Tfmanbar_darookaneh::takeIn);
    connect(but_close, &QPushButton::clicked, this, &QDialog::close);
    auto* commands = new QHBoxLayout;
    commands->addWidget(but_new);
    commands->addWidget(but_close);
    auto* main = new QVBoxLayout(this);
    main->addWidget(m_tabs, 1);
    main->addLayout(commands);
    resize(900, 680);
}

Tfmanbar_darookaneh::~Tfmanbar_darookaneh() = default;

StoreDocumentKind Tfmanbar_darookaneh::activeKind() const {
    return m_tabs->currentIndex() == 1 ? StoreDocumentKind::Return : StoreDocumentKind::Incoming;
}

QTableView* Tfmanbar_darookaneh::headerGrid(StoreDocumentKind kind) const {
    return kind == StoreDocumentKind::Incoming ? DBGrid3 : DBGrid2;
}

void Tfmanbar_darookaneh::reload() {
    StoreDocumentStore store(m_windows.db);
    for (StoreDocumentKind kind : {StoreDocumentKind::Incoming, StoreDocumentKind::Return}) {
        RowTableModel<StoreDocument>* model = kind == StoreDocumentKind::Incoming ? m_incoming : m_returns;
        model->setRows(store.pending(kind));
        QTableView* grid = headerGrid(kind);
        if (model->rowCount() > 0) grid->setCurrentIndex(model->index(0, 0));
        showLines(kind);
    }
}

void Tfmanbar_darookaneh::showLines(StoreDocumentKind kind) {
    RowTableModel<StoreDocument>* headers = kind == StoreDocumentKind::Incoming ? m_incoming : m_returns;
    RowTableModel<StoreDocumentLine>* lines = kind == StoreDocumentKind::Incoming ? m_incomingLines : m_returnLines;
    const int row = currentSourceRow(headerGrid(kind));
    lines->setRows(headers->hasRow(row) ? StoreDocumentStore(m_windows.db).lines(kind, headers->row(row).key)
                                        : QList<StoreDocumentLine>());
}

void Tfmanbar_darookaneh::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    guarded(m_windows.prompter, [this] { reload(); });
}

void Tfmanbar_darookaneh::takeIn() {
    guarded(m_windows.prompter, [this] {
        const StoreDocumentKind kind = activeKind();
        RowTableModel<StoreDocument>* headers = kind == StoreDocumentKind::Incoming ? m_incoming : m_returns;
        const int row = currentSourceRow(headerGrid(kind));
        if (!headers->hasRow(row)) {
            confirmNotice(m_windows.prompter, texts::kNoDocument);
            return;
        }
        const StoreDocumentKey key = headers->row(row).key;
        if (!confirmQuestion(m_windows.prompter, texts::kTakeInQuestion)) return;
        StoreDocumentStore store(m_windows.db);
        // Another workstation may have taken it meanwhile: nothing to ask about then.
        TakeInOutcome outcome = TakeInOutcome::AlreadyTaken;
        if (store.isPending(kind, key)) {
            // The price of each incoming line is asked before anything is written, so that no
            // question is open while the stock is being changed.
            QList<bool> documentPrice;
            if (kind == StoreDocumentKind::Incoming) {
                for (int i = 0; i < store.lines(kind, key).size(); ++i)
                    documentPrice.append(confirmQuestion(m_windows.prompter, texts::kPriceQuestion));
            }
            outcome = store.takeIn(kind, key, documentPrice);
        }
        reload();
        confirmNotice(m_windows.prompter, outcome == TakeInOutcome::Done ? texts::kTakenIn : texts::kAlreadyTakenIn);
    });
}

void Tfmanbar_darookaneh::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier) {
        if (event->key() == Qt::Key_F2) {
            takeIn();
            return;
        }
        if (event->key() == Qt::Key_F10 || event->key() == Qt::Key_Escape) {
            close();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

// The goods sheet.

Tm_kala_b::Tm_kala_b(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_outputs(ReportOutputs::dialogs(windows.prompter)) {
    setObjectName(QStringLiteral("Tm_kala_b"));
    setWindowTitle(QStringLiteral("كالا برگ"));
    setLayoutDirection(Qt::RightToLeft);
    makeFields();
    makeGrids();
    makeCommands();
    makeLayout();
}

void Tm_kala_b::makeFields() {
    cb_type = new QComboBox(this);
    cb_type->setObjectName(QStringLiteral("cb_type"));
    cb_type->addItem(QStringLiteral("مشروح"));
    cb_type->addItem(QStringLiteral("مختصر"));
    cb_type->setCurrentIndex(0);
    Database& db = m_windows.db;
    me_code_bakhsh = new CodeField(this);
    me_code_bakhsh->setObjectName(QStringLiteral("me_code_bakhsh"));
    me_code_bakhsh->setMaxDigits(9);
    me_name_bakhsh = makeLineField(this, QStringLiteral("me_name_bakhsh"));
    me_name_bakhsh->setReadOnly(true);
    me_name_bakhsh->setFocusPolicy(Qt::NoFocus);
    me_code_bakhsh->setLookup([&db](qint64 code) { return activeWardName(db, code); }, me_name_bakhsh, m_windows.prompter);
    me_code_bakhsh->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            pickCode(m_windows, me_code_bakhsh, QStringLiteral("place2"), activeWardPickRows(m_windows.db));
        });
        me_date1->setFocus(Qt::TabFocusReason);
    });
    me_date1 = new DateField(DateField::Year::TwoDigits, this);
    me_date1->setObjectName(QStringLiteral("me_date1"));
    me_date2 = new DateField(DateField::Year::TwoDigits, this);
    me_date2->setObjectName(QStringLiteral("me_date2"));
    sh_darkhast = new CodeField(this);
    sh_darkhast->setObjectName(QStringLiteral("sh_darkhast"));
    sh_darkhast->setMaxDigits(15);
    cb_masrafi = new QCheckBox(QStringLiteral("مصرفي بخش"), this);
    cb_masrafi->setObjectName(QStringLiteral("cb_masrafi"));
    for (QWidget* field : {static_cast<QWidget*>(me_code_bakhsh), static_cast<QWidget*>(me_date1),
                           static_cast<QWidget*>(me_date2), static_cast<QWidget*>(sh_darkhast)})
        field->installEventFilter(this);
}

void Tm_kala_b::makeGrids() {
    m_rows = new RowTableModel<GoodsSheetRow>(
        {{QStringLiteral("شكل دارو"), [](const GoodsSheetRow& r) { return QVariant(r.form); }},
         {QStringLiteral("نـام دارو"), [](const GoodsSheetRow& r) { return QVariant(r.name); }},
         {QStringLiteral("تعداد"), [](const GoodsSheetRow& r) { return QVariant(r.quantity); }},
         {QStringLiteral("قيمت واحد"), [](const GoodsSheetRow& r) { return QVariant(roundRial(r.unitPrice)); }},
         {QStringLiteral("قيمت کل"), [](const GoodsSheetRow& r) { return QVariant(roundRial(r.amount)); }}},
        this);
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_rows);
    setAmountColumns(DBGrid1, {3, 4});
    me_koll = makeLineField(this, QStringLiteral("me_koll"));
    me_koll->setReadOnly(true);
    me_koll->setFocusPolicy(Qt::NoFocus);

    m_prescriptions = new RowTableModel<GoodsSheetPrescription>(
        {{QStringLiteral("شماره درخواست"), [](const GoodsSheetPrescription& p) { return QVariant(p.request); }},
         {QStringLiteral("نسخه"), [](const GoodsSheetPrescription& p) { return QVariant(p.invoice); }},
         {QStringLiteral("نـام خـانـوادگـي"), [](const GoodsSheetPrescription& p) { return QVariant(p.family); }},
         {QStringLiteral("نـام بيمـار"), [](const GoodsSheetPrescription& p) { return QVariant(p.name); }},
         {QStringLiteral("شماره دفترچه/پرونده"), [](const GoodsSheetPrescription& p) { return QVariant(p.insuranceNumber); }},
         {QStringLiteral("تاريخ نسخه"), [](const GoodsSheetPrescription& p) { return QVariant(p.written); }},
         {QStringLiteral("كدنسخه"), [](const GoodsSheetPrescription& p) { return QVariant(p.code); }},
         {QStringLiteral("نـام پـزشك"), [](const GoodsSheetPrescription& p) { return QVariant(p.doctor); }}},
        this);
    m_currentLines = new RowTableModel<GoodsSheetLine>(
        {{QStringLiteral("نسخه"), [](const GoodsSheetLine& l) { return QVariant(l.invoice); }},
         {QStringLiteral("شكل دارو"), [](const GoodsSheetLine& l) { return QVariant(l.form); }},
         {QStringLiteral("نـام دارو"), [](const GoodsSheetLine& l) { return QVariant(l.name); }},
         {QStringLiteral("تعداد"), [](const GoodsSheetLine& l) { return QVariant(l.quantity); }},
         {QStringLiteral("قيمت واحد"), [](const GoodsSheetLine& l) { return QVariant(roundRial(l.unitPrice)); }}},
        this);
    m_allLines = new RowTableModel<GoodsSheetLine>(
        {{QStringLiteral("شكل دارو"), [](const GoodsSheetLine& l) { return QVariant(l.form); }},
         {QStringLiteral("نـام دارو"), [](const GoodsSheetLine& l) { return QVariant(l.name); }},
         {QStringLiteral("تعداد"), [](const GoodsSheetLine& l) { return QVariant(l.quantity); }}},
        this);
    DBGrid2 = makeListGrid(this, QStringLiteral("DBGrid2"), m_prescriptions);
    DBGrid3 = makeListGrid(this, QStringLiteral("DBGrid3"), m_currentLines);
    DBGrid4 = makeListGrid(this, QStringLiteral("DBGrid4"), m_allLines);
    setCodeColumns(DBGrid2, {0, 1});
    setCodeColumns(DBGrid3, {0});
    setAmountColumns(DBGrid3, {4});
    connect(DBGrid2->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showPrescriptionLines(); });
}

void Tm_kala_b::makeCommands() {
    but_ok = makeCommandButton(this, "but_ok", QStringLiteral("تاييد  F2"));
    but_print = makeCommandButton(this, "but_print", QStringLiteral("چاپ F8"));
    but_excel = makeCommandButton(this, "but_excel", kSaveSpreadsheet);
    but_cancel = makeCommandButton(this, "but_cancel", QStringLiteral("خروج F10"));
    connect(but_ok, &QPushButton::clicked, this, [this] { guarded(m_windows.prompter, [this] { showSheet(); }); });
    connect(but_print, &QPushButton::clicked, this, &Tm_kala_b::printSheet);
    connect(but_excel, &QPushButton::clicked, this, &Tm_kala_b::saveSpreadsheet);
    connect(but_cancel, &QPushButton::clicked, this, &QDialog::close);
}

void Tm_kala_b::makeLayout() {
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("نوع گزارش:"), this), 0, 0);
    fields->addWidget(cb_type, 0, 1);
    fields->addWidget(cb_masrafi, 0, 2);
    fields->addWidget(new QLabel(QStringLiteral("بخش:"), this), 1, 0);
    fields->addWidget(me_code_bakhsh, 1, 1);
    fields->addWidget(me_name_bakhsh, 1, 2, 1, 2);
    fields->addWidget(new QLabel(QStringLiteral("تاريخ گزارش از: "), this), 2, 0);
    fields->addWidget(me_date1, 2, 1);
    fields->addWidget(new QLabel(QStringLiteral("تا"), this), 2, 2);
    fields->addWidget(me_date2, 2, 3);
    fields->addWidget(new QLabel(QStringLiteral("شماره درخواست:"), this), 3, 0);
    fields->addWidget(sh_darkhast, 3, 1);
    m_detailPage = new QWidget(this);
    m_detailPage->setObjectName(QStringLiteral("Tkala_b_mash"));
    auto* detail = new QGridLayout(m_detailPage);
    detail->setContentsMargins(0, 0, 0, 0);
    detail->addWidget(DBGrid2, 0, 0, 1, 2);
    detail->addWidget(DBGrid3, 1, 0);
    detail->addWidget(DBGrid4, 1, 1);
    detail->setRowStretch(0, 1);
    detail->setRowStretch(1, 1);
    auto* summaryPage = new QWidget(this);
    summaryPage->setObjectName(QStringLiteral("Tkala_b_mokh"));
    auto* summary = new QVBoxLayout(summaryPage);
    summary->setContentsMargins(0, 0, 0, 0);
    summary->addWidget(DBGrid1, 1);
    auto* foot = new QHBoxLayout;
    foot->addWidget(new QLabel(QStringLiteral("جمع كل دارو:"), summaryPage));
    foot->addWidget(me_koll);
    foot->addStretch(1);
    summary->addLayout(foot);
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(m_detailPage);
    m_pages->addWidget(summaryPage);
    connect(cb_type, &QComboBox::currentIndexChanged, m_pages, &QStackedWidget::setCurrentIndex);
    connect(cb_type, &QComboBox::currentIndexChanged, this, [this](int index) { but_excel->setEnabled(index == 1); });
    but_excel->setEnabled(false);
    auto* commands = new QHBoxLayout;
    for (QPushButton* b : {but_ok, but_print, but_excel, but_cancel}) commands->addWidget(b);
    auto* main = new QVBoxLayout(this);
    main->addLayout(fields);
    main->addWidget(m_pages, 1);
    main->addLayout(commands);
    resize(760, 600);
}

Tm_kala_b::~Tm_kala_b() = default;

void Tm_kala_b::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    me_code_bakhsh->setFocus(Qt::OtherFocusReason);
}

bool Tm_kala_b::showSheet() {
    for (DateField* field : {me_date1, me_date2}) {
        if (field->storedText().isEmpty() || !field->isValidDate()) {
            m_windows.prompter.warning(texts::kNoDateRange);
            field->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    if (!me_code_bakhsh->acceptCode()) return false;
    GoodsSheetRequest request;
    request.from = me_date1->storedText();
    request.to = me_date2->storedText();
    request.wardConsumption = cb_masrafi->isChecked();
    if (const auto ward = me_code_bakhsh->code()) request.ward = int(*ward);
    if (const auto number = sh_darkhast->code()) request.request = double(*number);
    // Ward consumption documents have no prescriptions to list.
    if (request.wardConsumption) cb_type->setCurrentIndex(1);
    GoodsSheetStore store(m_windows.db);
    if (detailedShown()) {
        m_detail = store.detail(request);
        m_prescriptions->setRows(m_detail.prescriptions);
        m_allLines->setRows(m_detail.lines);
        if (m_prescriptions->rowCount() > 0) DBGrid2->setCurrentIndex(m_prescriptions->index(0, 0));
        showPrescriptionLines();
    } else {
        m_sheet = store.summary(request);
        m_rows->setRows(m_sheet);
        me_koll->setText(amountDisplayText(roundRial(total())));
    }
    return true;
}

bool Tm_kala_b::detailedShown() const { return cb_type->currentIndex() == 0; }

void Tm_kala_b::showPrescriptionLines() {
    const int row = currentSourceRow(DBGrid2);
    m_currentLines->setRows(m_prescriptions->hasRow(row) ? m_detail.linesOf(m_prescriptions->row(row).invoice)
                                                         : QList<GoodsSheetLine>());
}

double Tm_kala_b::total() const {
    double sum = 0;
    if (detailedShown()) {
        for (const GoodsSheetLine& line : m_detail.lines) sum += line.amount;
    } else {
        for (const GoodsSheetRow& row : m_sheet) sum += row.amount;
    }
    return sum;
}

GoodsSheetHeading Tm_kala_b::heading() const {
    GoodsSheetHeading h;
    h.pharmacyName = m_windows.context.pharmacy_name;
    h.from = me_date1->storedText();
    h.to = me_date2->storedText();
    h.wardName = me_name_bakhsh->text();
    h.request = sh_darkhast->text();
    h.reportDate = m_windows.context.current_date;
    h.wardConsumption = cb_masrafi->isChecked();
    return h;
}

void Tm_kala_b::printSheet() {
    guarded(m_windows.prompter, [this] {
        if (!showSheet()) return;
        m_outputs.show(this, detailedShown() ? goodsSheetDetailPrint(m_detail, heading())
                                             : goodsSheetPrint(m_sheet, heading()));
    });
}

void Tm_kala_b::saveSpreadsheet() {
    guarded(m_windows.prompter, [this] {
        if (!showSheet() || detailedShown()) return;
        saveSheet(this, m_outputs, m_windows.prompter, goodsSheetSheet(m_sheet, heading()));
    });
}

bool Tm_kala_b::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event))) {
        if (auto* code = qobject_cast<CodeField*>(watched); code && !code->acceptCode()) return true;
        if (watched == sh_darkhast) {
            guarded(m_windows.prompter, [this] { showSheet(); });
            return true;
        }
        focusNextChild();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Tm_kala_b::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_F2: guarded(m_windows.prompter, [this] { showSheet(); }); return;
        case Qt::Key_F8: printSheet(); return;
        case Qt::Key_F10:
        case Qt::Key_Escape: close(); return;
        default: break;
        }
    }
    QDialog::keyPressEvent(event);
}

} // namespace ph
