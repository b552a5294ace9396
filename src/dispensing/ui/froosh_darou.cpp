#include "dispensing/ui/froosh_darou.h"

#include "audit/audit_kinds.h"

#include <utility>

#include "dispensing/settings_store.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/drug_list.h"
#include "dispensing/line_kind.h"
#include "dispensing/ui/drug_lookup.h"
#include "dispensing/ui/moadel.h"
#include "dispensing/ui/pack_scanning.h"
#include "dispensing/ui/froosh_darou_texts.h"
#include "dispensing/ui/header_panel.h"
#include "widgets/line_list_model.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/scan_catcher.h"
#include "widgets/window_tools.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace ph {
namespace {

using Col = PrescriptionLines::Column;

} // namespace

Tf_froosh_darou::Tf_froosh_darou(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_session(windows.db, windows.prompter) {
    setObjectName(QStringLiteral("f_froosh_darou"));
    setWindowTitle(texts::kWindowTitle);
    setLayoutDirection(Qt::RightToLeft);

    m_header = new PrescriptionHeaderPanel(windows, m_session, this);
    connect(m_header, &PrescriptionHeaderPanel::insurerChanged, this, [this](bool repriced, const QString& kind) {
        cb_vaziat->setCurrentText(kind);
        if (repriced) showLines();
    });
    connect(m_header, &PrescriptionHeaderPanel::finished, this, [this] {
        cb_vaziat->setCurrentText(m_header->leaveHeader());
        m_drugs->setFocus();
    });
    m_drugs = new DrugLookup(windows.prompter, this);
    connect(m_drugs, &DrugLookup::chosen, this, &Tf_froosh_darou::chooseDrug);
    connect(m_drugs, &DrugLookup::backRequested, this, [this] { focusField(QStringLiteral("me_date_ta1")); });
    connect(m_drugs, &QTableView::clicked, this, [this] { setLineMode(false); });

    m_scans = new ScanCatcher(this, isPackScan);
    connect(m_scans, &ScanCatcher::scanned, this,
            [this](const QString& text) { guarded(m_windows.prompter, [&] { takeScan(text); }); });

    makeLineEntry();
    makeTotals();
    makeCommands();
    makeLayout();
    for (QWidget* area : lineEntry())
        m_scans->watch(area);

    m_fitLookup = new QTimer(this);
    m_fitLookup->setSingleShot(true);
    m_fitLookup->setInterval(0);
    connect(m_fitLookup, &QTimer::timeout, this, &Tf_froosh_darou::fitDrugLookup);
    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_timePanel->setText(texts::kTimePanel + m_windows.clock.now().toString(QStringLiteral("HH:mm")));
    });
    qApp->installEventFilter(this);
}

Tf_froosh_darou::~Tf_froosh_darou() {
    // The session goes before the widgets: nothing may read its lines any more.
    qApp->removeEventFilter(this);
    StringGrid1->setModel(nullptr);
}

PricingMoment Tf_froosh_darou::moment() const {
    return {m_windows.context.current_date, m_windows.clock.now().toString(QStringLiteral("HH:mm"))};
}

void Tf_froosh_darou::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    // A small screen keeps the whole window: its title bar and its foot stay in view.
    if (const QScreen* screen = this->screen()) {
        const QSize room = screen->availableGeometry().size() - QSize(20, 60);
        if (width() > room.width() || height() > room.height()) resize(size().boundedTo(room));
    }
    guarded(m_windows.prompter, [this] {
        const std::optional<Settings> settings = SettingsStore(m_windows.db).read();
        if (settings) {
            switch (settings->searchKey) {
            case Settings::SearchKey::Price: m_drugs->setSearchKey(DrugLookup::Price); break;
            case Settings::SearchKey::CodeKala: m_drugs->setSearchKey(DrugLookup::Code); break;
            case Settings::SearchKey::CodeSh: m_drugs->setSearchKey(DrugLookup::IdentityCode); break;
            case Settings::SearchKey::None: break;
            }
            if (!settings->message.isEmpty()) m_windows.context.payam = settings->message;
        }
        m_bar->setNavigationEnabled(true);
        startNew();
        loadDrugList();
        if (const std::optional<int> number = std::exchange(m_showOnOpen, std::nullopt)) showInvoice(*number);
    });
    m_rulesAction->setEnabled(m_windows.context.hasRight(QStringLiteral("bimehdarou")) && m_openWindow);
    refreshStatus();
    m_timer->start();
}

void Tf_froosh_darou::refreshStatus() {
    m_userPanel->setText(texts::kUserPanel + m_windows.context.user_name);
    m_timePanel->setText(texts::kTimePanel + m_windows.clock.now().toString(QStringLiteral("HH:mm")));
    m_datePanel->setText(texts::kDatePanel + m_windows.context.current_date);
}

void Tf_froosh_darou::loadDrugList() {
    m_drugs->setDrugs(DrugList(m_windows.db).load(m_session.stockKeeping()));
}

void Tf_froosh_darou::startNew() {
    m_session.setTaminCodes(m_windows.context.tamin_codes);
    m_session.start(moment());
    m_header->clear(m_windows.context.current_date, m_session.header().invoiceNumber);
    m_header->syncInsurer();
    m_header->setLook(PrescriptionHeaderPanel::Look::New);
    m_current = m_session.header().invoiceNumber.toInt();
    m_showsStored = false;
    setInputsEnabled(true);
    m_chosen.reset();
    me_tedad->clear();
    me_price->clear();
    cb_vaziat->setCurrentText(QString());
    showPrice(false);
    m_linesModel->reset();
    showTotals(Totals{});
    m_bar->clearDocument();
    setLineMode(false);
    m_drugs->clearSearch();
    m_header->firstField()->setFocus();
}

void Tf_froosh_darou::showLines() {
    m_linesModel->reset();
    applyHeader();
    m_session.setTime(m_windows.clock.now().toString(QStringLiteral("HH:mm")));
    showTotals(m_session.totals());
}

void Tf_froosh_darou::showTotals(const Totals& t) {
    // Amounts are shown grouped by thousands, as in every other window.
    const auto shown = [](const QString& amount) {
        return amount.trimmed().isEmpty() ? amount : groupedAmountText(amountFromText(amount));
    };
    me_sahme_bime->setText(shown(t.insurerShare));
    me_sahme_bimar->setText(shown(t.patientShare));
    MedtKol->setText(shown(t.insuredTotal));
    me_azad->setText(shown(t.free));
    me_otc->setText(shown(t.otc));
    me_kala->setText(shown(t.goods));
    me_koll_tarefeh->setText(shown(t.tariffTotal));
    me_fani->setText(shown(t.fee));
    me_koll->setText(shown(t.payable));
}

void Tf_froosh_darou::applyHeader() {
    m_session.header() = m_header->header();
}

void Tf_froosh_darou::setLineMode(bool replacing) {
    but_sabt1->setEnabled(!replacing);
    but_edit->setEnabled(replacing);
}

void Tf_froosh_darou::showPrice(bool shown) {
    me_price->setVisible(shown);
    Label11->setVisible(shown);
}

void Tf_froosh_darou::focusField(const QString& objectName) {
    if (QWidget* field = findChild<QWidget*>(objectName)) field->setFocus();
}

int Tf_froosh_darou::selectedLine() const {
    const QModelIndex current = StringGrid1->currentIndex();
    return current.isValid() ? LineListModel::lineRow(current.row()) : -1;
}

void Tf_froosh_darou::chooseDrug() {
    m_chosen = m_drugs->current();
    if (!m_chosen) return;
    cb_vaziat->setCurrentText(m_session.kindForChosen(*m_chosen));
    me_tedad->clear();
    setLineMode(false);
    me_tedad->setFocus();
}

QList<QWidget*> Tf_froosh_darou::lineEntry() const {
    return {m_drugs, me_tedad, cb_vaziat, me_price, but_sabt1, but_edit, StringGrid1};
}

bool Tf_froosh_darou::inLineEntry(const QWidget* widget) const {
    for (const QWidget* area : lineEntry())
        if (widget == area || area->isAncestorOf(widget)) return true;
    return false;
}

void Tf_froosh_darou::takeScan(const QString& text) {
    if (!m_bar->isEnabled(CommandBar::Save)) return; // a stored prescription is being shown
    if (!headerAcceptsLine(kindAfterInsurerChange(m_session.insurer()))) return;
    PrescriptionSession::ScanResult result = m_session.takeScan(text);
    if (result.status == PrescriptionSession::ScanStatus::Unknown &&
        offerBarcodeLink(m_windows, result.code, m_drugs->drugs()))
        result = m_session.takeScan(text);
    showScanResult(result);
}

void Tf_froosh_darou::showScanResult(const PrescriptionSession::ScanResult& result) {
    if (result.status == PrescriptionSession::ScanStatus::Added) {
        m_chosen.reset();
        showLines();
        showPrice(false);
        setLineMode(false);
        selectGridRow(StringGrid1, LineListModel::viewRow(result.row));
    }
    m_drugs->startAfresh(); // ready for the next pack
    m_drugs->setFocus();
}

void Tf_froosh_darou::selectLine() {
    if (!m_bar->isEnabled(CommandBar::Save)) return;
    const int row = selectedLine();
    if (!m_session.lines().isLine(row)) return;
    m_drugs->clearSearch();
    cb_vaziat->setCurrentText(m_session.lines().cell(row, Col::Kind));
    me_tedad->setText(m_session.lines().cell(row, Col::Quantity));
    guarded(m_windows.prompter, [&] { me_price->setText(m_session.priceFieldFor(row)); });
    m_drugs->locate(m_session.lines().cell(row, Col::Code).toDouble());
    setLineMode(true);
}

void Tf_froosh_darou::afterLineField() {
    const std::optional<DrugItem> drug = m_chosen ? m_chosen : m_drugs->current();
    if (drug && drug->isCompounded()) {
        showPrice(true);
        if (me_price->text().isEmpty() || but_sabt1->isEnabled())
            me_price->setText(drug->listPrice ? plainDecimalText(*drug->listPrice) : QString());
        me_price->setFocus();
        return;
    }
    (but_sabt1->isEnabled() ? but_sabt1 : but_edit)->setFocus();
}

bool Tf_froosh_darou::headerAcceptsLine(const QString& kind) {
    m_header->syncInsurer();
    applyHeader();
    const LineKind lineKind = lineKindOf(kind);
    if (lineKind != LineKind::Insured && lineKind != LineKind::Free) return true;
    const std::optional<HeaderProblem> problem = m_session.checkHeaderForLine();
    if (!problem) return true;
    m_windows.prompter.warning(problem->message);
    focusField(problem->focus);
    return false;
}

std::optional<LineInput> Tf_froosh_darou::lineInput() {
    const QString kind = cb_vaziat->currentText();
    if (!headerAcceptsLine(kind)) return std::nullopt;
    return LineInput{me_tedad->text().trimmed(), kind, me_price->text()};
}

void Tf_froosh_darou::addLine() {
    if (!but_sabt1->isEnabled()) return;
    const std::optional<LineInput> input = lineInput();
    if (!input) return;
    const std::optional<DrugItem> drug = m_chosen ? m_chosen : m_drugs->current();
    if (!drug) {
        m_drugs->setFocus();
        return;
    }
    const LineResult result = m_session.addLine(*drug, *input);
    if (!result.written()) {
        if (!result.focus.isEmpty()) focusField(result.focus);
        return;
    }
    m_chosen.reset();
    showLines();
    showPrice(false);
    m_drugs->clearSearch();
    // The line just added is the highlighted one, in view.
    selectGridRow(StringGrid1, LineListModel::viewRow(m_session.lines().lineCount()));
    cb_vaziat->setCurrentText(kindAfterInsurerChange(m_session.insurer()));
    if (result.focus.isEmpty())
        m_drugs->setFocus();
    else
        focusField(result.focus);
}

void Tf_froosh_darou::replaceLine() {
    const int row = selectedLine();
    if (!but_edit->isEnabled() || !m_session.lines().isLine(row)) return;
    const std::optional<LineInput> input = lineInput();
    if (!input) return;
    const LineResult result = m_session.replaceLine(row, *input);
    if (result.status == LineResult::Status::NotInDrugList) {
        me_tedad->clear();
        setLineMode(true);
        but_sabt1->setEnabled(false);
        return;
    }
    if (!result.written()) {
        if (!result.focus.isEmpty()) focusField(result.focus);
        return;
    }
    showLines();
    showPrice(false);
    setLineMode(false);
    m_drugs->clearSearch();
    selectGridRow(StringGrid1, LineListModel::viewRow(result.row));
    if (result.focus.isEmpty())
        m_drugs->setFocus();
    else
        focusField(result.focus);
}

void Tf_froosh_darou::removeLine() {
    const int row = selectedLine();
    if (m_session.lines().lineCount() == 0 || !m_session.lines().isLine(row)) return;
    if (!m_windows.prompter.askYesNo(texts::kConfirmRemoveLine)) return;
    m_session.removeLine(row);
    showLines();
    setLineMode(false);
    selectGridRow(StringGrid1, LineListModel::viewRow(std::min(row, m_session.lines().lastRow())));
    // With no line left, the next thing to do is to choose a drug.
    if (m_session.lines().lineCount() == 0) m_drugs->setFocus();
}

void Tf_froosh_darou::save() {
    m_header->syncInsurer();
    applyHeader();
    const SaveContext context{m_windows.context.user_code, m_windows.context.cashier_code,
                              m_windows.context.current_date,
                              m_windows.clock.now().toString(QStringLiteral("HH:mm")),
                              AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tf_froosh_darou"))};
    // The invoice printed right after the save shows the window's figures.
    auto* insurerName = findChild<QLineEdit*>(QStringLiteral("me_name_bime"));
    m_session.setTime(context.time);
    const Totals shownTotals = m_session.totals();
    const ShownFigures shown{amountFromText(shownTotals.payable), amountFromText(shownTotals.fee),
                             insurerName ? insurerName->text().trimmed() : QString()};
    const bool correcting = m_session.editing();
    const SaveOutcome outcome =
        m_session.save(context, m_windows.context.hasRight(QStringLiteral("save_b")));
    if (!outcome.isSaved()) {
        if (!outcome.focus.isEmpty()) focusField(outcome.focus);
        return;
    }
    startNew();
    if (!correcting) printAfterSaving(outcome.saved.invoiceNumber, shown);
}

void Tf_froosh_darou::abandon() {
    // Nothing of a correction was written: abandoning it has nothing to undo.
    m_bar->setNavigationEnabled(true);
    if (!m_windows.prompter.askYesNo(texts::kConfirmAbandon)) return;
    startNew();
}

void Tf_froosh_darou::reject() {
    if (!m_windows.prompter.askYesNo(texts::kConfirmClose)) return;
    m_timer->stop();
    QDialog::reject();
}

void Tf_froosh_darou::openDrugList() {
    if (!m_windows.context.hasRight(QStringLiteral("darou1"))) {
        m_windows.prompter.warning(texts::kNoDrugListRight);
        return;
    }
    if (!m_openWindow) return;
    m_openWindow(QStringLiteral("Tf_darou"));
    // The drug list may have changed there.
    guarded(m_windows.prompter, [this] { loadDrugList(); });
}

void Tf_froosh_darou::openEquivalents() {
    if (!m_bar->isEnabled(CommandBar::Save)) return; // a stored prescription is shown, not being corrected
    if (!m_windows.context.hasRight(QStringLiteral("moadel"))) {
        m_windows.prompter.warning(texts::kNoEquivalentRight);
        return;
    }
    const std::optional<DrugItem> prescribed = m_drugs->current();
    const QList<EquivalentRow> offers =
        prescribed ? m_session.equivalentsFor(prescribed->code) : QList<EquivalentRow>{};
    if (offers.isEmpty()) {
        m_windows.prompter.warning(texts::kNoEquivalents);
        return;
    }
    applyHeader();
    if (!m_equivalentsWindow) m_equivalentsWindow = new Tf_moadel(m_windows, m_session, this);
    m_equivalentsWindow->setOffers(*prescribed, offers);
    m_equivalentsWindow->exec();
    showLines();
}

void Tf_froosh_darou::openBill() {
    if (!m_openBill) return;
    applyHeader();
    const InsNoParts& number = m_session.header().insNo;
    m_openBill(number.base + number.insNo + number.bookNo + number.pageNo);
}

void Tf_froosh_darou::openHistory() {
    if (!m_windows.context.hasRight(QStringLiteral("tarikhche"))) {
        m_windows.prompter.warning(texts::kNoFormAccess);
        return;
    }
    // The key a prescription's saves record: its invoice number.
    if (m_openHistory) m_openHistory(QString(audit_kind::kPrescription), QString::number(m_current));
}

bool Tf_froosh_darou::handleKey(QWidget* widget, QKeyEvent* event) {
    const int key = event->key();
    if (keyModifiers(event) == Qt::ControlModifier && key == Qt::Key_F3) {
        StringGrid1->setFocus();
        if (!StringGrid1->currentIndex().isValid()) selectGridRow(StringGrid1, 0);
        return true;
    }
    if (keyModifiers(event) == Qt::ControlModifier && key >= Qt::Key_A && key <= Qt::Key_E) {
        // The search menu's keys, before a field takes Ctrl+A as "select all".
        QAction* item = m_searchMenu->actions().at(key - Qt::Key_A);
        if (item->isEnabled()) item->trigger();
        return true;
    }
    if (keyModifiers(event) == Qt::ControlModifier && (key == Qt::Key_X || key == Qt::Key_Y)) {
        // The print menu's keys, before a field takes Ctrl+X as "cut".
        auto* item = PopupMenu3->findChild<QAction*>(key == Qt::Key_X ? QStringLiteral("N8") : QStringLiteral("N9"));
        if (item && item->isEnabled()) item->trigger();
        return true;
    }
    if (!isPlain(event)) return false;
    switch (key) {
    case Qt::Key_F3:
        m_bar->activate(CommandBar::Edit, CommandBar::WhenDisabled::Run);
        return true;
    case Qt::Key_F1:
        m_windows.prompter.showHelp();
        return true;
    case Qt::Key_F11:
        openDrugList();
        return true;
    case Qt::Key_F5:
        guarded(m_windows.prompter, [this] { openEquivalents(); });
        return true;
    case Qt::Key_F6:
        guarded(m_windows.prompter, [this] { openBill(); });
        return true;
    case Qt::Key_F12:
        guarded(m_windows.prompter, [this] { openHistory(); });
        return true;
    default:
        break;
    }
    const bool enter = isEnterKey(key);
    if (widget == me_tedad) {
        if (enter) {
            afterLineField();
            return true;
        }
        if (key == Qt::Key_Down) {
            cb_vaziat->setFocus();
            return true;
        }
        if (key == Qt::Key_Up) {
            m_drugs->setFocus();
            return true;
        }
    } else if (widget == cb_vaziat || widget->parentWidget() == cb_vaziat) {
        if (enter) {
            if (!isKindText(cb_vaziat->currentText())) {
                m_windows.prompter.warning(texts::kKindInvalid);
                cb_vaziat->setFocus();
                return true;
            }
            afterLineField();
            return true;
        }
        if (key == Qt::Key_Right) {
            me_tedad->setFocus();
            return true;
        }
    } else if (widget == me_price) {
        if (enter) {
            (but_sabt1->isEnabled() ? but_sabt1 : but_edit)->setFocus();
            return true;
        }
    } else if (widget == but_sabt1 || widget == but_edit) {
        if (enter) {
            static_cast<QPushButton*>(widget)->click();
            return true;
        }
        if (key == Qt::Key_Up || key == Qt::Key_Right) {
            cb_vaziat->setFocus();
            return true;
        }
    } else if (widget == StringGrid1) {
        if (enter) {
            me_tedad->setFocus();
            return true;
        }
    }
    return false;
}

void Tf_froosh_darou::fitDrugLookup() {
    // The lookup and the line list share the height between them; the expanded lookup takes
    // what the list does not need to show its last lines.
    const int lines = kShownLines * StringGrid1->verticalHeader()->defaultSectionSize();
    const int needed = lines + StringGrid1->horizontalHeader()->sizeHint().height() +
                       StringGrid1->horizontalScrollBar()->sizeHint().height() + 2 * StringGrid1->frameWidth();
    m_drugs->setExpandedHeight(m_drugs->height() + StringGrid1->height() - needed);
}

bool Tf_froosh_darou::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != this) return false;
    // Fitted once the layout has settled: a height set while the layout places the widgets
    // would start another placing inside this one.
    if (event->type() == QEvent::Resize && widget == StringGrid1) {
        m_fitLookup->start();
        return false;
    }
    if (event->type() == QEvent::FocusIn && widget == cb_vaziat &&
        cb_vaziat->currentText() == texts::kGoods)
        cb_vaziat->setCurrentText(texts::kInsured);
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
