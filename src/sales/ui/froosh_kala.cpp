#include "sales/ui/froosh_kala.h"

#include "dispensing/settings_store.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "catalogue/lookup_list.h"
#include "dispensing/drug_list.h"
#include "dispensing/ui/drug_lookup.h"
#include "dispensing/ui/pack_scanning.h"
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
#include "widgets/scan_catcher.h"
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
    m_scans = new ScanCatcher(this, isPackScan);
    connect(m_scans, &ScanCatcher::scanned, this,
            [this](const QString& text) { guarded(m_windows.prompter, [&] { takeScan(text); }); });
    for (QWidget* area : lineEntry())
        m_scans->watch(area);
    qApp->installEventFilter(this);
}

Tf_froosh_kala::~Tf_froosh_kala() {
    qApp->removeEventFilter(this);
    StringGrid1->setModel(nullptr);
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

QList<QWidget*> Tf_froosh_kala::lineEntry() const {
    return {DBGrid2, me_tedad, cb_vaziat, but_sabt1, BitBtn1, StringGrid1};
}

bool Tf_froosh_kala::inLineEntry(const QWidget* widget) const {
    for (const QWidget* area : lineEntry())
        if (widget == area || area->isAncestorOf(widget)) return true;
    return false;
}

void Tf_froosh_kala::takeScan(const QString& text) {
    if (!m_bar->isEnabled(CommandBar::Save)) return; // a stored document is being shown
    applyHeader();
    PackScanResult result = m_session.takeScan(text, cb_vaziat->currentText());
    if (result.status == PackScanResult::Status::Unknown && offerBarcodeLink(m_windows, result.code, DBGrid2->drugs()))
        result = m_session.takeScan(text, cb_vaziat->currentText());
    showScanResult(result);
}

void Tf_froosh_kala::showScanResult(const PackScanResult& result) {
    DBGrid2->startAfresh();
    if (!result.focus.isEmpty()) {
        focusField(result.focus);
        return;
    }
    if (result.status == PackScanResult::Status::Added) {
        showLines();
        me_tedad->clear();
        setLineMode(false);
        selectGridRow(StringGrid1, LineListModel::viewRow(result.row));
    }
    DBGrid2->setFocus(); // ready for the next pack
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
    // A scan's Enter is the scan catcher's, which watches the line entry.
    if (m_scans->endsScan(watched, event) && inLineEntry(widget)) return false;
    return handleKey(widget, static_cast<QKeyEvent*>(event));
}

} // namespace ph
