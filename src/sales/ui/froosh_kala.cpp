#include "sales/ui/froosh_kala.h"

#include "admin/settings_store.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "catalogue/lookup_list.h"
#include "dispensing/drug_list.h"
#include "dispensing/ui/drug_lookup.h"
#include "dispensing/ui/search_factor.h"
#include "print/report_output.h"
#include "sales/sales_texts.h"
#include "widgets/code_field.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/number_delegate.h"
#include "widgets/keys.h"
#include "widgets/line_list_model.h"
#include "widgets/list_grid.h"
#include "widgets/window_tools.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {

namespace t = texts::sales;
using Col = GoodsLines::Column;

namespace {

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLineEdit* shownField(QWidget* parent, const char* name) {
    QLineEdit* field = makeLineField(parent, QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

} // namespace

Tf_froosh_kala::Tf_froosh_kala(const WindowContext& windows, QWidget* parent)
    : Tf_froosh_kala(windows, SaleVariant::GoodsInvoice, parent) {}

Tf_froosh_kala::Tf_froosh_kala(const WindowContext& windows, SaleVariant variant, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_session(windows.db, windows.prompter, variant) {
    setObjectName(goods() ? QStringLiteral("f_froosh_kala") : QStringLiteral("masrafi_bakhsh"));
    setWindowTitle(goods() ? QStringLiteral("فــــــرم فــــروش كالا") : QStringLiteral("فــــــرم داروي مصرفي بخش"));
    setLayoutDirection(Qt::RightToLeft);
    makeFields();
    makeCommands();
    makeLayout();
    qApp->installEventFilter(this);
}

Tf_froosh_kala::~Tf_froosh_kala() {
    qApp->removeEventFilter(this);
    StringGrid1->setModel(nullptr);
}

void Tf_froosh_kala::makeFields() {
    me_sh_factor = shownField(this, "me_sh_factor");
    me_date_ta = shownField(this, "me_date_ta");
    if (goods()) {
        me_family = makeLineField(this, QStringLiteral("me_family"));
        me_name = makeLineField(this, QStringLiteral("me_name"));
    } else {
        // The request number is free text, as written on the ward's request ("R-205").
        sh_darkhast = makeLineField(this, QStringLiteral("sh_darkhast"));
        sh_darkhast->setMaxLength(50);
        me_code_bakhsh = new CodeField(this);
        me_code_bakhsh->setObjectName(QStringLiteral("me_code_bakhsh"));
        me_code_bakhsh->setMaxDigits(5);
        me_name_bakhsh = shownField(this, "me_name_bakhsh");
        Database& db = m_windows.db;
        me_code_bakhsh->setLookup([&db](qint64 code) { return activeWardName(db, code); }, me_name_bakhsh,
                                  m_windows.prompter);
        me_code_bakhsh->setPicker([this] {
            if (pickCode(m_windows, me_code_bakhsh, QStringLiteral("place3"), activeWardPickRows(m_windows.db)))
                DBGrid2->setFocus();
        });
    }

    DBGrid2 = new DrugLookup(m_windows.prompter, this);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setCaptions(t::kGoodsLookupCaptions);
    connect(DBGrid2, &DrugLookup::chosen, this, &Tf_froosh_kala::chooseGoods);
    connect(DBGrid2, &DrugLookup::backRequested, this, [this] {
        if (goods())
            me_name->setFocus();
        else
            me_code_bakhsh->setFocus();
    });

    me_tedad = makeLineField(this, QStringLiteral("me_tedad"));
    me_tedad->setMaxLength(3);
    me_tedad->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), me_tedad));
    cb_vaziat = new QComboBox(this);
    cb_vaziat->setObjectName(QStringLiteral("cb_vaziat"));
    cb_vaziat->setEditable(true);
    cb_vaziat->setInsertPolicy(QComboBox::NoInsert);
    cb_vaziat->addItems(m_session.kinds());
    but_sabt1 = makeButton(this, QStringLiteral("but_sabt1"), QStringLiteral("ثبت كالا"));
    BitBtn1 = makeButton(this, QStringLiteral("BitBtn1"), QStringLiteral("اصلاح دارو"));
    connect(but_sabt1, &QPushButton::clicked, this, [this] { guarded(m_windows.prompter, [this] { addLine(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded(m_windows.prompter, [this] { replaceLine(); }); });

    m_linesModel = new LineListModel(m_session.lines(), this);
    StringGrid1 = makeListGrid(this, QStringLiteral("StringGrid1"), m_linesModel);
    setTextColumn(StringGrid1, Col::Name);
    setAmountColumns(StringGrid1, {Col::UnitPrice, Col::Total});
    connect(StringGrid1, &QTableView::clicked, this, &Tf_froosh_kala::selectLine);

    me_koll_kala = shownField(this, "me_koll_kala");
    me_otc = shownField(this, "me_otc");
    me_koll = shownField(this, "me_koll");
}

void Tf_froosh_kala::makeCommands() {
    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::DocumentWindow | CommandBar::Navigation | CommandBar::Sort | CommandBar::Print,
                           this);
    m_bar->nameButtons({
        {CommandBar::Save, "but_ok", u" ثبت فاكتور F2"},
        {CommandBar::Edit, "but_edit", u"ويرايش F3"},
        {CommandBar::RemoveLine, "but_delete_kala", u"حذف كالا F4"},
        {CommandBar::DeleteDocument, "but_delete_f", u"حذف فاكتور Ctrl+f4"},
        {CommandBar::Sort, "but_search", u"جستجو"},
        {CommandBar::Print, "ToolButton1", u"چاپ فاكتورF8"},
        {CommandBar::New, "but_enseraf", u"انصراف/جديد F9"},
        {CommandBar::Close, "but_close", u"خروجF10"},
    });
    // The session checks the save and delete rights (the save's before its question); F10
    // alone closes, Esc belongs to the lookup; the print button has no key.
    m_bar->setRight(CommandBar::Save, {});
    m_bar->setRight(CommandBar::DeleteDocument, {});
    m_bar->setKeys(CommandBar::Close, {QKeySequence(Qt::Key_F10)});
    m_bar->setKeys(CommandBar::Print, {});
    m_bar->setKeys(CommandBar::Sort, {});
    m_bar->setHandler(CommandBar::Save, [this] { guarded(m_windows.prompter, [this] { save(); }); });
    m_bar->setHandler(CommandBar::Edit, [this] { guarded(m_windows.prompter, [this] { beginEdit(); }); });
    m_bar->setHandler(CommandBar::RemoveLine, [this] { guarded(m_windows.prompter, [this] { removeLine(); }); });
    m_bar->setHandler(CommandBar::DeleteDocument, [this] { guarded(m_windows.prompter, [this] { deleteStored(); }); });
    m_bar->setHandler(CommandBar::New, [this] { guarded(m_windows.prompter, [this] { abandon(); }); });
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });
    m_bar->setHandler(CommandBar::First, [this] { guarded(m_windows.prompter, [this] { showFirst(); }); });
    m_bar->setHandler(CommandBar::Previous, [this] { guarded(m_windows.prompter, [this] { showPrevious(); }); });
    m_bar->setHandler(CommandBar::Next, [this] { guarded(m_windows.prompter, [this] { showNext(); }); });
    m_bar->setHandler(CommandBar::Last, [this] { guarded(m_windows.prompter, [this] { showLast(); }); });
    m_bar->setHandler(CommandBar::Print, [this] { guarded(m_windows.prompter, [this] { printShown(); }); });

    m_searchMenu = new QMenu(this);
    m_searchMenu->setObjectName(QStringLiteral("PopupMenu1"));
    const QStringList searches = {QStringLiteral("براساس شماره فاكتور"), QStringLiteral("براساس نام خانوادگي"),
                                  QStringLiteral("براساس تاريخ تحويل")};
    for (int i = 0; i < searches.size(); ++i) {
        QAction* action = m_searchMenu->addAction(searches[i]);
        action->setObjectName(QStringLiteral("N%1").arg(i + 1));
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + i)));
    }
    connect(m_searchMenu->actions().at(0), &QAction::triggered, this,
            [this] { guarded(m_windows.prompter, [this] { searchByNumber(); }); });
    connect(m_searchMenu->actions().at(1), &QAction::triggered, this,
            [this] { guarded(m_windows.prompter, [this] { searchInvoices(5); }); });
    connect(m_searchMenu->actions().at(2), &QAction::triggered, this,
            [this] { guarded(m_windows.prompter, [this] { searchInvoices(6); }); });
    QPushButton* button = m_bar->button(CommandBar::Sort);
    m_bar->setHandler(CommandBar::Sort, [this, button] {
        m_searchMenu->popup(button->mapToGlobal(QPoint(0, button->height())));
    });
}

void Tf_froosh_kala::makeLayout() {
    auto* header = new QHBoxLayout;
    QList<QPair<QString, QWidget*>> fields = {
        {QStringLiteral("شماره فاكتور:"), me_sh_factor},
        {QStringLiteral("تاريخ تحويل:"), me_date_ta},
    };
    if (goods())
        fields += {{QStringLiteral("نام خانوادگي: "), me_family}, {QStringLiteral("نام: "), me_name}};
    else
        fields += {{QStringLiteral("شماره درخواست : "), sh_darkhast},
                   {QStringLiteral("بخش:"), me_code_bakhsh},
                   {QString(), me_name_bakhsh}};
    for (const auto& [caption, field] : fields) {
        if (!caption.isEmpty()) header->addWidget(new QLabel(caption, this));
        header->addWidget(field, field == me_sh_factor || field == me_date_ta || field == me_code_bakhsh ? 1 : 2);
    }
    Panel1 = new QGroupBox(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setLayout(header);

    auto* entry = new QHBoxLayout;
    entry->addWidget(new QLabel(QStringLiteral("تعداد "), this));
    entry->addWidget(me_tedad);
    entry->addWidget(new QLabel(QStringLiteral("وضعيت "), this));
    entry->addWidget(cb_vaziat);
    entry->addWidget(but_sabt1);
    entry->addWidget(BitBtn1);
    entry->addStretch(1);
    me_tedad->setMaximumWidth(80);
    cb_vaziat->setMinimumWidth(90);

    auto* totals = new QHBoxLayout;
    QList<QPair<QString, QLineEdit*>> sums = {{QStringLiteral("جمع كل دارو:"), me_koll_kala}};
    if (goods())
        sums = {{QStringLiteral("جمع كل كالا :"), me_koll_kala},
                {QStringLiteral("OTC:"), me_otc},
                {QStringLiteral("جمع كل پرداختي: "), me_koll}};
    for (const auto& [caption, field] : sums) {
        totals->addWidget(new QLabel(caption, this));
        totals->addWidget(field);
    }
    me_otc->setVisible(goods());
    me_koll->setVisible(goods());
    if (goods()) totals->addWidget(new QLabel(QStringLiteral(" ريال "), this));
    // A ward's consumption is not printed here.
    m_bar->button(CommandBar::Print)->setVisible(goods());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(m_bar);
    layout->addWidget(Panel1);
    layout->addWidget(DBGrid2);
    layout->addLayout(entry);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(totals);
    resize(1000, 640);
}

void Tf_froosh_kala::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    guarded(m_windows.prompter, [this] {
        if (const std::optional<Settings> settings = SettingsStore(m_windows.db).read()) {
            switch (settings->searchKey) {
            case Settings::SearchKey::Price: DBGrid2->setSearchKey(DrugLookup::Price); break;
            case Settings::SearchKey::CodeKala: DBGrid2->setSearchKey(DrugLookup::Code); break;
            case Settings::SearchKey::CodeSh: DBGrid2->setSearchKey(DrugLookup::IdentityCode); break;
            case Settings::SearchKey::None: break;
            }
        }
        m_bar->setNavigationEnabled(true);
        startNew();
        DBGrid2->setDrugs(DrugList(m_windows.db).load(m_session.stockKeeping()));
    });
}

void Tf_froosh_kala::startNew() {
    m_session.start(m_windows.context.current_date);
    m_current = m_session.header().invoiceNumber;
    showHeader();
    cb_vaziat->setCurrentText(m_session.kinds().first());
    me_tedad->clear();
    showLines();
    setInputsEnabled(true);
    setEditLook(false);
    m_bar->clearDocument();
    m_bar->setNavigationEnabled(true);
    setLineMode(false);
    DBGrid2->clearSearch();
    firstField()->setFocus();
}

QWidget* Tf_froosh_kala::firstField() const {
    return goods() ? static_cast<QWidget*>(me_family) : static_cast<QWidget*>(sh_darkhast);
}

void Tf_froosh_kala::showHeader() {
    const GoodsHeader& h = m_session.header();
    me_sh_factor->setText(h.invoiceNumber ? QString::number(h.invoiceNumber) : QString());
    me_date_ta->setText(h.date);
    if (goods()) {
        me_family->setText(h.family);
        me_name->setText(h.name);
    } else {
        sh_darkhast->setText(h.requestNumber);
        me_code_bakhsh->setText(h.wardCode); // its name follows
    }
}

void Tf_froosh_kala::showLines() {
    m_linesModel->reset();
    const GoodsTotals& totals = m_session.totals();
    me_koll_kala->setText(amountDisplayText(totals.goods));
    me_otc->setText(amountDisplayText(totals.otc));
    me_koll->setText(amountDisplayText(totals.payable));
}

void Tf_froosh_kala::setInputsEnabled(bool enabled) {
    for (QWidget* input : {static_cast<QWidget*>(me_family), static_cast<QWidget*>(me_name),
                           static_cast<QWidget*>(sh_darkhast), static_cast<QWidget*>(me_code_bakhsh),
                           static_cast<QWidget*>(me_tedad), static_cast<QWidget*>(cb_vaziat),
                           static_cast<QWidget*>(but_sabt1), static_cast<QWidget*>(DBGrid2)})
        if (input) input->setEnabled(enabled);
}

void Tf_froosh_kala::setEditLook(bool editing) {
    // An edit in progress shows on the header panel's colour; its captions turn white to stay readable.
    Panel1->setStyleSheet(editing ? QStringLiteral("QGroupBox#Panel1 { background: #000080; } "
                                                   "QGroupBox#Panel1 QLabel { color: white; }")
                                  : QString());
}

void Tf_froosh_kala::applyHeader() {
    if (goods()) {
        m_session.header().family = me_family->text();
        m_session.header().name = me_name->text();
    } else {
        m_session.header().requestNumber = sh_darkhast->text();
        m_session.header().wardCode = me_code_bakhsh->text();
    }
}

void Tf_froosh_kala::focusField(const QString& objectName) {
    if (objectName == QLatin1String("DBGrid2")) {
        DBGrid2->setFocus();
        return;
    }
    if (QWidget* field = findChild<QWidget*>(objectName)) field->setFocus();
}

int Tf_froosh_kala::selectedLine() const {
    const QModelIndex current = StringGrid1->currentIndex();
    return current.isValid() ? LineListModel::lineRow(current.row()) : -1;
}

void Tf_froosh_kala::setLineMode(bool replacing) {
    but_sabt1->setEnabled(!replacing && firstField()->isEnabled());
    BitBtn1->setEnabled(replacing);
}

void Tf_froosh_kala::chooseGoods() {
    // A ward's line keeps the kind it has.
    if (const std::optional<DrugItem> item = DBGrid2->current(); item && goods())
        cb_vaziat->setCurrentText(GoodsSaleSession::kindFor(*item));
    me_tedad->clear();
    me_tedad->setFocus();
}

void Tf_froosh_kala::selectLine() {
    if (!m_bar->isEnabled(CommandBar::Save)) return;
    const int row = selectedLine();
    if (!m_session.lines().isLine(row)) return;
    DBGrid2->clearSearch();
    cb_vaziat->setCurrentText(m_session.lines().cell(row, Col::Kind));
    me_tedad->setText(m_session.lines().cell(row, Col::Quantity));
    DBGrid2->locate(m_session.lines().cell(row, Col::Code).toDouble());
    setLineMode(true);
}

void Tf_froosh_kala::addLine() {
    if (!but_sabt1->isEnabled()) return;
    applyHeader();
    const GoodsLineResult result = m_session.addLine(DBGrid2->current(), me_tedad->text(), cb_vaziat->currentText());
    if (!result.written()) {
        focusField(result.focus);
        return;
    }
    showLines();
    DBGrid2->clearSearch();
    me_tedad->clear();
    selectGridRow(StringGrid1, LineListModel::viewRow(m_session.lines().lastRow()));
    DBGrid2->setFocus();
}

void Tf_froosh_kala::replaceLine() {
    const int row = selectedLine();
    if (!BitBtn1->isEnabled() || !m_session.lines().isLine(row)) return;
    applyHeader();
    const GoodsLineResult result = m_session.replaceLine(row, me_tedad->text(), cb_vaziat->currentText());
    if (result.status == GoodsLineResult::Status::NotInList) {
        me_tedad->clear();
        return;
    }
    if (!result.written()) {
        focusField(result.focus);
        return;
    }
    showLines();
    me_tedad->clear();
    StringGrid1->setFocus();
    selectGridRow(StringGrid1, LineListModel::viewRow(row));
}

void Tf_froosh_kala::removeLine() {
    const int row = selectedLine();
    if (m_session.lines().lineCount() == 0 || !m_session.lines().isLine(row)) return;
    if (!m_windows.prompter.askYesNo(t::kConfirmRemoveLine)) return;
    m_session.removeLine(row);
    showLines();
    setLineMode(false);
    selectGridRow(StringGrid1, LineListModel::viewRow(std::min(row, m_session.lines().lastRow())));
}

void Tf_froosh_kala::save() {
    m_bar->setNavigationEnabled(true);
    applyHeader();
    const SaveContext context{m_windows.context.user_code, m_windows.context.cashier_code,
                              m_windows.context.current_date,
                              m_windows.clock.now().toString(QStringLiteral("HH:mm")),
                              auditOrigin()};
    const bool corrected = m_session.editing();
    const GoodsSaveOutcome outcome = m_session.save(context, m_windows.context.hasRight(QStringLiteral("save_b")));
    if (!outcome.saved) {
        if (!outcome.focus.isEmpty()) focusField(outcome.focus);
        return;
    }
    startNew();
    m_bar->setEnabled(CommandBar::Edit, true);
    // A new document goes to the printer straight away when the settings ask for it.
    const std::optional<Settings> settings = SettingsStore(m_windows.db).read();
    if (!corrected && settings && settings->printInvoice) printSaved(outcome.invoiceNumber);
}

void Tf_froosh_kala::printSaved(int number) {
    std::optional<print::Report> report;
    if (goods()) {
        if (const std::optional<GoodsInvoicePrint> data = printOf(number))
            report.emplace(goodsInvoiceReport(*data, {m_windows.context.pharmacy_name, m_windows.context.payam}));
    } else if (const std::optional<WardConsumptionPrint> data = consumptionPrintOf(number)) {
        report.emplace(wardConsumptionReport(*data, m_windows.context.pharmacy_name));
    }
    if (!report) return;
    const print::OutputResult result = m_printStep(*report);
    if (result.status == print::OutputResult::Status::Failed) m_windows.prompter.warning(result.message);
}

std::optional<WardConsumptionPrint> Tf_froosh_kala::consumptionPrintOf(int number) {
    GoodsSaleSession stored(m_windows.db, m_windows.prompter, SaleVariant::WardConsumption);
    if (!stored.load(number)) return std::nullopt;
    WardConsumptionPrint data;
    data.number = number;
    data.date = stored.header().date;
    data.requestNumber = stored.header().requestNumber;
    data.wardCode = stored.header().wardCode;
    if (!data.wardCode.trimmed().isEmpty())
        data.wardName = activeWardName(m_windows.db, data.wardCode.trimmed().toLongLong()).value_or(QString());
    data.total = stored.totals().goods;
    const GoodsLines& lines = stored.lines();
    for (int row = 1; row < lines.lastRow(); ++row)
        data.lines.append({lines.cell(row, Col::Name), lines.cell(row, Col::Code), lines.cell(row, Col::FormName),
                           lines.cell(row, Col::Kind), amountFromText(lines.cell(row, Col::Quantity)),
                           amountFromText(lines.cell(row, Col::UnitPrice)), amountFromText(lines.cell(row, Col::Total))});
    return data;
}

std::optional<GoodsInvoicePrint> Tf_froosh_kala::printOf(int number) {
    GoodsSaleSession stored(m_windows.db, m_windows.prompter);
    if (!stored.load(number)) return std::nullopt;
    GoodsInvoicePrint data;
    data.invoice = number;
    data.date = stored.header().date;
    data.customer = stored.header().family + QStringLiteral(" ") + stored.header().name;
    data.total = stored.totals().payable;
    data.otc = stored.totals().otc;
    const GoodsLines& lines = stored.lines();
    for (int row = 1; row < lines.lastRow(); ++row)
        data.lines.append({lines.cell(row, Col::Name), amountFromText(lines.cell(row, Col::Quantity)),
                           amountFromText(lines.cell(row, Col::UnitPrice)), amountFromText(lines.cell(row, Col::Total))});
    return data;
}

void Tf_froosh_kala::printShown() {
    const QString number = me_sh_factor->text().trimmed();
    if (number.isEmpty()) {
        m_windows.prompter.warning(t::kNothingToPrint);
        return;
    }
    m_current = wholeNumberFromText(number);
    const std::optional<GoodsInvoicePrint> data = printOf(m_current);
    if (!data) {
        m_windows.prompter.warning(t::kPrintNotFound);
        return;
    }
    const print::OutputResult result =
        print::preview(goodsInvoiceReport(*data, {m_windows.context.pharmacy_name, m_windows.context.payam}), this);
    if (result.status == print::OutputResult::Status::Failed) m_windows.prompter.warning(result.message);
}

void Tf_froosh_kala::beginEdit() {
    if (!m_bar->isEnabled(CommandBar::Edit) || !m_session.store().exists(m_session.header().invoiceNumber)) return;
    m_session.startEdit();
    m_bar->setNavigationEnabled(false);
    m_bar->editDocument();
    setInputsEnabled(true);
    setLineMode(false);
    setEditLook(true);
    firstField()->setFocus();
}

AuditOrigin Tf_froosh_kala::auditOrigin() const {
    // The class of the variant shown: the ward consumption window is a window of its own.
    return AuditOrigin::here(m_windows.context.user_code,
                             QString::fromLatin1(metaObject()->className()).section(u':', -1));
}

void Tf_froosh_kala::deleteStored() {
    if (!m_bar->isEnabled(CommandBar::DeleteDocument)) return;
    if (m_session.removeStored(m_windows.context.hasRight(QStringLiteral("delete_b")), auditOrigin()) ==
        GoodsSaleSession::RemoveOutcome::Removed)
        startNew();
}

void Tf_froosh_kala::abandon() {
    // Nothing of an edit was written: abandoning it has nothing to undo.
    if (!m_windows.prompter.askYesNo(t::kConfirmAbandon)) return;
    startNew();
}

void Tf_froosh_kala::reject() {
    if (!m_windows.prompter.askYesNo(t::kConfirmClose)) return;
    startNew();
    QDialog::reject();
}

void Tf_froosh_kala::showInvoice(int number) {
    m_current = number;
    if (!m_session.load(number)) m_session.header().invoiceNumber = number;
    showHeader();
    if (m_session.lines().lineCount() == 0) {
        // No invoice under the number: an empty screen.
        me_sh_factor->clear();
        if (goods()) me_family->clear();
    }
    me_tedad->clear();
    showLines();
    setInputsEnabled(false);
    setEditLook(false);
    BitBtn1->setEnabled(false);
    const bool deletable = m_bar->isEnabled(CommandBar::DeleteDocument);
    m_bar->showDocument();
    m_bar->setEnabled(CommandBar::DeleteDocument, deletable);
}

void Tf_froosh_kala::showFirst() {
    if (const std::optional<int> first = m_session.store().first())
        showInvoice(*first);
    else
        m_windows.prompter.warning(t::kNoneStored);
}

void Tf_froosh_kala::showLast() {
    if (const std::optional<int> last = m_session.store().last())
        showInvoice(*last);
    else
        m_windows.prompter.warning(t::kNoneStored);
}

void Tf_froosh_kala::showPrevious() {
    if (m_current > 1) {
        showInvoice(m_current - 1);
        return;
    }
    m_windows.prompter.warning(t::kAtFirst);
    m_bar->setEnabled(CommandBar::Edit, true);
}

void Tf_froosh_kala::showNext() {
    const std::optional<int> last = m_session.store().last();
    if (last && m_current < *last) {
        showInvoice(m_current + 1);
        return;
    }
    m_windows.prompter.warning(t::kAtLast);
    m_bar->setEnabled(CommandBar::Edit, true);
}

void Tf_froosh_kala::searchByNumber() {
    if (m_session.editing()) return; // an edit in progress is finished or abandoned first
    m_bar->setEnabled(CommandBar::DeleteDocument, true);
    const PromptAnswer answer = m_windows.prompter.prompt(t::kAskNumber);
    if (!answer.accepted()) return;
    showInvoice(wholeNumberFromText(answer.text));
}

void Tf_froosh_kala::searchInvoices(int kind) {
    if (m_session.editing()) return;
    m_bar->setEnabled(CommandBar::DeleteDocument, true);
    if (!m_invoiceSearch) m_invoiceSearch = new TF_search_factor(m_windows, this);
    // The search lists goods invoices: its choice names no ward consumption.
    const std::optional<int> chosen = m_invoiceSearch->choose(SearchContext::Kala, kind);
    if (chosen && goods()) showInvoice(*chosen);
}

bool Tf_froosh_kala::handleKey(QWidget* widget, QKeyEvent* event) {
    const int key = event->key();
    if (keyModifiers(event) == Qt::ControlModifier && key >= Qt::Key_A && key <= Qt::Key_C) {
        // The search menu's keys, before a field takes Ctrl+A as "select all".
        m_searchMenu->actions().at(key - Qt::Key_A)->trigger();
        return true;
    }
    if (keyModifiers(event) == Qt::ControlModifier && key == Qt::Key_M) {
        // The stock list, opened over this window.
        if (m_openWindow) m_openWindow(QStringLiteral("Tmojoodi"));
        return true;
    }
    if (!isPlain(event)) return false;
    const bool enter = isEnterKey(key);
    if (!goods() && widget == sh_darkhast) {
        if (enter) {
            me_code_bakhsh->setFocus();
            me_code_bakhsh->selectAll();
            return true;
        }
    } else if (!goods() && widget == me_code_bakhsh) {
        if (enter) {
            if (me_code_bakhsh->acceptCode()) DBGrid2->setFocus();
            return true;
        }
        if (key == Qt::Key_Up) {
            sh_darkhast->setFocus();
            return true;
        }
    } else if (widget == me_family) {
        if (enter) {
            me_name->setFocus();
            return true;
        }
    } else if (widget == me_name && goods()) {
        if (enter) {
            DBGrid2->setFocus();
            DBGrid2->setCurrentIndex(DBGrid2->model()->index(std::max(DBGrid2->currentIndex().row(), 0),
                                                             DrugLookup::Name));
            return true;
        }
        if (key == Qt::Key_Up) {
            me_family->setFocus();
            return true;
        }
    } else if (widget == me_tedad) {
        if (enter) {
            cb_vaziat->setFocus();
            return true;
        }
        if (key == Qt::Key_Up) {
            DBGrid2->setFocus();
            return true;
        }
    } else if (widget == cb_vaziat || widget->parentWidget() == cb_vaziat) {
        if (enter) {
            (but_sabt1->isEnabled() ? but_sabt1 : BitBtn1)->setFocus();
            return true;
        }
        if (key == Qt::Key_Right) {
            me_tedad->setFocus();
            return true;
        }
    } else if (widget == but_sabt1 || widget == BitBtn1) {
        if (enter) {
            static_cast<QPushButton*>(widget)->click();
            return true;
        }
        if (key == Qt::Key_Up || key == Qt::Key_Right) {
            cb_vaziat->setFocus();
            return true;
        }
    }
    return false;
}

bool Tf_froosh_kala::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != this) return false;
    if (event->type() == QEvent::KeyRelease && widget == StringGrid1) {
        selectLine();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    return handleKey(widget, static_cast<QKeyEvent*>(event));
}

} // namespace ph
