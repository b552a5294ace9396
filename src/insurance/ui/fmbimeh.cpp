#include "insurance/ui/fmbimeh.h"

#include "core/app_context.h"
#include "core/prompter.h"
#include "core/amounts.h"
#include "widgets/command_bar.h"
#include "widgets/date_field.h"
#include "widgets/key_nav.h"
#include "widgets/guarded.h"
#include "widgets/list_grid.h"
#include "widgets/window_tools.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {


struct AmountDef {
    const char* objectName;
    QString caption;     // in the contract panel
    QString gridCaption; // in the contract grid
    double Contract::*member;
};

// The contract's percentage and thresholds in column order, which is also the panel's Enter order.
const QList<AmountDef>& amountDefs() {
    static const QList<AmountDef> defs = {
        {"v_percent", QStringLiteral("درصد  تعهد"), QStringLiteral("درصد تعهد"), &Contract::percent},
        {"v_m_t_g", QStringLiteral("مبلغ تاييد پزشك عمومي"), QStringLiteral("تاييد عمومي"),
         &Contract::gpApproval},
        {"v_m_a_g", QStringLiteral("مبلغ  آدرس پزشك عمومي"), QStringLiteral("آدرس عمومي"),
         &Contract::gpAddress},
        {"v_m_t_t", QStringLiteral("مبلغ  تاييد پزشك متخصص"), QStringLiteral("تاييد متخصص"),
         &Contract::specialistApproval},
        {"v_m_a_t", QStringLiteral("مبلغ  آدرس پزشك متخصص"), QStringLiteral("آدرس متخصص"),
         &Contract::specialistAddress},
        {"v_f_t", QStringLiteral("مبلغ تاييد پزشك فوق تخصص "), QStringLiteral("تاييد فوق تخصص"),
         &Contract::subSpecialistApproval},
        {"v_f_a", QStringLiteral("مبلغ آدرس پزشك فوق تخصص"), QStringLiteral("آدرس فوق تخصص"),
         &Contract::subSpecialistAddress},
        {"v_m_t_m", QStringLiteral("مبلغ  تاييد مامايي"), QStringLiteral("تاييد مامايي"),
         &Contract::midwifeApproval},
        {"v_m_t_d", QStringLiteral("مبلغ تاييد دندانپزشك"), QStringLiteral("تاييد دندانپزشك"),
         &Contract::dentistApproval},
    };
    return defs;
}

const QString kFromCaption = QStringLiteral("از تاريخ");
const QString kToCaption = QStringLiteral("تا تاريخ");
const QString kFeeCaption = QStringLiteral("حق فني در تعهد سازمان");
const QString kOk = QStringLiteral("تاييد");

QStandardItem* flagItem(bool on) {
    auto* item = new QStandardItem;
    item->setData(on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    return item;
}

} // namespace

Tfmbimeh::Tfmbimeh(const WindowContext& windows, QWidget* parent) : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("fmbimeh"));
    setWindowTitle(QStringLiteral("فـــــــرم ســازمـــانــهــاي بــيـــمـــه گـــر"));

    m_insurerModel = new QStandardItemModel(this);
    m_insurerGrid = makeListGrid(this, QStringLiteral("DBGrid1"), m_insurerModel);
    m_contractModel = new QStandardItemModel(this);
    m_contractGrid = makeListGrid(this, QStringLiteral("DBGrid2"), m_contractModel);
    connect(m_insurerGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { guarded(m_windows.prompter, [this] { reloadContracts(); }); });

    m_insurerBar =
        new CommandBar(m_windows.context, m_windows.prompter,
                       CommandBar::Save | CommandBar::Edit | CommandBar::Delete | CommandBar::Close, this);
    m_insurerBar->button(CommandBar::Save)->setText(QStringLiteral("بيمه جديد F2"));
    m_insurerBar->button(CommandBar::Edit)->setText(QStringLiteral("اصلاح بيمه F3"));
    m_insurerBar->button(CommandBar::Delete)->setText(QStringLiteral("حذف بيمه F4"));
    m_insurerBar->button(CommandBar::Close)->setText(QStringLiteral("خروج F10"));
    m_insurerBar->setHandler(CommandBar::Save, [this] { newInsurer(); });
    m_insurerBar->setHandler(CommandBar::Edit, [this] { editInsurer(); });
    m_insurerBar->setHandler(CommandBar::Delete, [this] { deleteInsurer(); });
    m_insurerBar->setHandler(CommandBar::Close, [this] { reject(); });
    m_contractBar =
        new CommandBar(m_windows.context, m_windows.prompter, CommandBar::Save | CommandBar::Edit, this);
    m_contractBar->button(CommandBar::Save)->setText(QStringLiteral("قرارداد جديد Ctrl+F2"));
    m_contractBar->button(CommandBar::Save)->setObjectName(QStringLiteral("but_new_contract"));
    m_contractBar->button(CommandBar::Edit)->setText(QStringLiteral(" اصلاح قرارداد Ctrl+F3"));
    m_contractBar->button(CommandBar::Edit)->setObjectName(QStringLiteral("but_edit_contract"));
    m_contractBar->setHandler(CommandBar::Save, [this] { newContract(); });
    m_contractBar->setHandler(CommandBar::Edit, [this] { editContract(); });
    // The command keys act whatever the state of the buttons, which follow the grid in use;
    // this window takes them itself (eventFilter). The delete command has no key.
    for (CommandBar* bar : {m_insurerBar, m_contractBar})
        for (auto command : {CommandBar::Save, CommandBar::Edit, CommandBar::Delete})
            bar->setKeys(command, {});
    m_insurerBar->setKeys(CommandBar::Close, {QKeySequence(Qt::Key_F10)});
    qApp->installEventFilter(this);

    m_insurerPanel = buildInsurerPanel();
    m_contractPanel = buildContractPanel();

    auto* bars = new QHBoxLayout;
    bars->addWidget(m_insurerBar);
    bars->addWidget(m_contractBar);
    // The entry panels open beside the grids, so the grids keep their rows while one is open.
    auto* grids = new QVBoxLayout;
    grids->addWidget(m_insurerGrid, 2);
    grids->addWidget(m_contractGrid, 3);
    auto* panels = new QVBoxLayout;
    panels->addWidget(m_insurerPanel);
    panels->addWidget(m_contractPanel);
    panels->addStretch();
    auto* body = new QHBoxLayout;
    body->addLayout(grids, 1);
    body->addLayout(panels);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bars);
    layout->addLayout(body, 1);
    resize(1330, 640); // room for the contract grid's twelve columns
}

// The grids' rows go before the widgets: no signal may reach them while the window is taken apart.
Tfmbimeh::~Tfmbimeh() {
    qApp->removeEventFilter(this);
    m_insurerGrid->selectionModel()->disconnect(this);
}

QFrame* Tfmbimeh::buildInsurerPanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* form = new QFormLayout(panel);
    m_name = makeLineField(panel, QStringLiteral("name_bimeh"));
    m_claimCode = makeLineField(panel, QStringLiteral("code_bimeh"));
    m_pharmacyCode = makeLineField(panel, QStringLiteral("code_pharma"));
    m_emergency = new QCheckBox(QStringLiteral("  اورژانس"), panel);
    m_emergency->setObjectName(QStringLiteral("orj_flag"));
    m_insurerOk = new QPushButton(kOk, panel);
    m_insurerOk->setObjectName(QStringLiteral("but_taeed1"));
    form->addRow(QStringLiteral("نام بيمه:"), m_name);
    form->addRow(QStringLiteral("كدبيمه :"), m_claimCode);
    form->addRow(QStringLiteral("كد داروخانه براي بيمه: "), m_pharmacyCode);
    form->addRow(m_emergency);
    form->addRow(m_insurerOk);
    connect(m_insurerOk, &QPushButton::clicked, this, &Tfmbimeh::confirmInsurer);
    m_insurerNav = new KeyNav({m_name, m_claimCode, m_pharmacyCode, m_emergency, m_insurerOk}, this);
    m_insurerNav->setEnterHandler(m_emergency, [] { return true; });
    panel->hide();
    return panel;
}

QFrame* Tfmbimeh::buildContractPanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel2"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* form = new QFormLayout(panel);
    m_from = new DateField(DateField::Year::TwoDigits, panel);
    m_from->setObjectName(QStringLiteral("v_from_d1"));
    m_to = new DateField(DateField::Year::TwoDigits, panel);
    m_to->setObjectName(QStringLiteral("v_to_d1"));
    form->addRow(kFromCaption, m_from);
    form->addRow(kToCaption, m_to);
    m_contractNav = new KeyNav(this);
    m_contractNav->addField(m_from);
    m_contractNav->addField(m_to);
    for (const AmountDef& def : amountDefs()) {
        QLineEdit* field = makeLineField(panel, QString::fromLatin1(def.objectName));
        field->setLayoutDirection(Qt::LeftToRight);
        form->addRow(def.caption, field);
        m_amounts.append(field);
        m_contractNav->addField(field);
    }
    m_feeFlag = new QCheckBox(kFeeCaption, panel);
    m_feeFlag->setObjectName(QStringLiteral("fani_flag"));
    m_contractOk = new QPushButton(kOk, panel);
    m_contractOk->setObjectName(QStringLiteral("but_taeed2"));
    form->addRow(m_feeFlag);
    form->addRow(m_contractOk);
    connect(m_contractOk, &QPushButton::clicked, this, &Tfmbimeh::confirmContract);
    m_contractNav->addField(m_feeFlag);
    m_contractNav->setEnterHandler(m_feeFlag, [] { return true; });
    m_contractNav->addField(m_contractOk);
    // Enter in the last threshold passes the fee box by and goes to "تاييد"; Up reaches the box.
    m_contractNav->setEnterHandler(m_amounts.last(), [this] {
        m_contractOk->setFocus(Qt::TabFocusReason);
        return false;
    });
    panel->hide();
    return panel;
}

void Tfmbimeh::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    hidePanels();
    guarded(m_windows.prompter, [this] { reloadInsurers(); });
    m_insurerGrid->setFocus();
}

bool Tfmbimeh::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        CommandBar* bar = nullptr;
        CommandBar::Command command = CommandBar::Save;
        if (key->key() == Qt::Key_F2 || key->key() == Qt::Key_F3) {
            if (mods == Qt::NoModifier)
                bar = m_insurerBar;
            else if (mods == Qt::ControlModifier)
                bar = m_contractBar;
            command = key->key() == Qt::Key_F2 ? CommandBar::Save : CommandBar::Edit;
        }
        if (bar) {
            if (!key->isAutoRepeat()) bar->activate(command, CommandBar::WhenDisabled::Run);
            return true;
        }
        return false;
    }
    // The toolbar follows the grid in use: clicked in, entered or left.
    if (type == QEvent::FocusIn || type == QEvent::FocusOut || type == QEvent::MouseButtonPress) {
        if (watched == m_insurerGrid || watched == m_insurerGrid->viewport())
            insurerGridInUse();
        else if (watched == m_contractGrid || watched == m_contractGrid->viewport())
            contractGridInUse();
    }
    return QDialog::eventFilter(watched, event);
}

void Tfmbimeh::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        // Esc leaves a panel without saving; it never closes the window.
        if (m_insurerPanel->isVisible() || m_contractPanel->isVisible()) {
            hidePanels();
            m_insurerGrid->setFocus();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tfmbimeh::insurerGridInUse() {
    m_insurerBar->setEnabled(CommandBar::Save, true);
    m_contractBar->setEnabled(CommandBar::Save, false);
    m_contractBar->setEnabled(CommandBar::Edit, false);
}

void Tfmbimeh::contractGridInUse() {
    m_insurerBar->setEnabled(CommandBar::Save, false);
    m_contractBar->setEnabled(CommandBar::Save, true);
    m_contractBar->setEnabled(CommandBar::Edit, true);
}

void Tfmbimeh::hidePanels() {
    m_insurerPanel->hide();
    m_contractPanel->hide();
    m_pending = Pending::None;
}

void Tfmbimeh::reloadInsurers() {
    const int keep = m_insurerGrid->currentIndex().row();
    m_insurers = InsurerStore(m_windows.db).all();
    m_insurerModel->clear();
    m_insurerModel->setHorizontalHeaderLabels({QStringLiteral("كد"), QStringLiteral("نام بيمه"),
                                               QStringLiteral("كدبيمه"), QStringLiteral("كدداروخانه"),
                                               QStringLiteral("اورژانس")});
    for (const Insurer& insurer : std::as_const(m_insurers))
        m_insurerModel->appendRow({numberItem(insurer.code),
                                   new QStandardItem(insurer.name), new QStandardItem(insurer.claimCode),
                                   new QStandardItem(insurer.pharmacyCode), flagItem(insurer.emergency)});
    if (!m_insurers.isEmpty())
        m_insurerGrid->setCurrentIndex(m_insurerModel->index(qBound(0, keep, int(m_insurers.size()) - 1), 0));
    reloadContracts();
}

void Tfmbimeh::reloadContracts() {
    const Insurer* insurer = currentInsurer();
    const int keep = m_contractGrid->currentIndex().row();
    m_contracts = insurer ? InsurerStore(m_windows.db).contracts(insurer->code) : QList<Contract>();
    m_contractModel->clear();
    QStringList headers = {kFromCaption, kToCaption};
    for (const AmountDef& def : amountDefs())
        headers.append(def.gridCaption);
    headers.append(kFeeCaption);
    m_contractModel->setHorizontalHeaderLabels(headers);
    for (const Contract& contract : std::as_const(m_contracts)) {
        QList<QStandardItem*> row = {new QStandardItem(contract.fromDate),
                                     new QStandardItem(contract.toDate)};
        for (const AmountDef& def : amountDefs())
            row.append(numberItem(contract.*def.member));
        row.append(flagItem(contract.feeInCommitment));
        m_contractModel->appendRow(row);
    }
    if (!m_contracts.isEmpty())
        m_contractGrid->setCurrentIndex(
            m_contractModel->index(qBound(0, keep, int(m_contracts.size()) - 1), 0));
}

const Insurer* Tfmbimeh::currentInsurer() const {
    const int row = m_insurerGrid->currentIndex().row();
    return row >= 0 && row < m_insurers.size() ? &m_insurers.at(row) : nullptr;
}

const Contract* Tfmbimeh::currentContract() const {
    const int row = m_contractGrid->currentIndex().row();
    return row >= 0 && row < m_contracts.size() ? &m_contracts.at(row) : nullptr;
}

void Tfmbimeh::newInsurer() {
    hidePanels();
    m_pending = Pending::NewInsurer;
    m_name->clear();
    m_name->setEnabled(true);
    m_claimCode->setText(QStringLiteral("0"));
    m_pharmacyCode->setText(QStringLiteral("0"));
    m_emergency->setChecked(false);
    m_insurerPanel->show();
    m_name->setFocus();
}

void Tfmbimeh::editInsurer() {
    const Insurer* current = currentInsurer();
    if (!current) return;
    const int code = current->code;
    guarded(m_windows.prompter, [&] {
        InsurerStore store(m_windows.db);
        const std::optional<Insurer> insurer = store.find(code);
        if (!insurer) return;
        hidePanels();
        m_pending = Pending::EditInsurer;
        m_name->setText(insurer->name);
        m_claimCode->setText(insurer->claimCode);
        m_pharmacyCode->setText(insurer->pharmacyCode);
        m_emergency->setChecked(insurer->emergency);
        const bool inUse = store.inUse(code);
        if (inUse) m_windows.prompter.warning(QStringLiteral("تغيير نام بيمه امكان پذير نيست"));
        m_name->setEnabled(!inUse);
        m_insurerPanel->show();
        (inUse ? m_claimCode : m_name)->setFocus();
    });
}

void Tfmbimeh::confirmInsurer() {
    Prompter& prompter = m_windows.prompter;
    if (m_pending == Pending::NewInsurer) {
        guarded(prompter, [this, &prompter] {
            Insurer insurer{0, m_name->text(), m_claimCode->text(), m_pharmacyCode->text(),
                            m_emergency->isChecked()};
            const auto added = InsurerStore(m_windows.db).add(insurer);
            hidePanels();
            if (added.result == InsurerStore::AddResult::DuplicateName)
                prompter.warning(QStringLiteral("نام بيمه تكراري مي باشد"));
            if (added.result == InsurerStore::AddResult::Added) reloadInsurers();
        });
        m_insurerGrid->setFocus();
        return;
    }
    if (m_pending != Pending::EditInsurer) return;
    const Insurer* current = currentInsurer();
    // An empty name or code stores nothing and leaves the panel open.
    if (!current || m_name->text().trimmed().isEmpty() || m_claimCode->text().trimmed().isEmpty() ||
        m_pharmacyCode->text().trimmed().isEmpty())
        return;
    const Insurer insurer{current->code, m_name->text(), m_claimCode->text(), m_pharmacyCode->text(),
                          m_emergency->isChecked()};
    if (guarded(prompter, [&] {
            InsurerStore(m_windows.db).update(insurer);
            reloadInsurers();
        })) {
        hidePanels();
        m_insurerGrid->setFocus();
    }
}

void Tfmbimeh::deleteInsurer() {
    const Insurer* current = currentInsurer();
    if (!current) return;
    const int code = current->code;
    Prompter& prompter = m_windows.prompter;
    if (!prompter.askYesNo(QStringLiteral("آيا از حذف  بيمه مطمئن هستيد"))) return;
    guarded(prompter, [&] {
        if (InsurerStore(m_windows.db).remove(code) == InsurerStore::RemoveResult::InUse) {
            prompter.warning(QStringLiteral("حذف بيمه مورد نطر امكان پذير نمي باشد"));
            return;
        }
        hidePanels();
        reloadInsurers();
    });
}

void Tfmbimeh::newContract() {
    if (!currentInsurer()) return;
    hidePanels();
    m_pending = Pending::NewContract;
    m_from->clear();
    m_to->clear();
    for (QLineEdit* field : std::as_const(m_amounts))
        field->setText(QStringLiteral("0"));
    m_feeFlag->setChecked(false);
    m_contractPanel->show();
    m_from->setFocus();
}

void Tfmbimeh::editContract() {
    const Contract* contract = currentContract();
    if (!contract) return;
    hidePanels();
    m_pending = Pending::EditContract;
    m_from->setStoredText(contract->fromDate);
    m_to->setStoredText(contract->toDate);
    for (int i = 0; i < m_amounts.size(); ++i)
        m_amounts[i]->setText(plainDecimalText(contract->*amountDefs().at(i).member));
    m_feeFlag->setChecked(contract->feeInCommitment);
    m_contractPanel->show();
    m_from->setFocus();
}

Contract Tfmbimeh::contractFromPanel() const {
    Contract contract;
    contract.fromDate = m_from->storedText();
    contract.toDate = m_to->storedText();
    for (int i = 0; i < m_amounts.size(); ++i)
        contract.*amountDefs().at(i).member = amountFromText(m_amounts[i]->text());
    contract.feeInCommitment = m_feeFlag->isChecked();
    return contract;
}

void Tfmbimeh::confirmContract() {
    const Insurer* insurer = currentInsurer();
    const Contract* current = currentContract();
    if (!insurer || (m_pending == Pending::EditContract && !current) ||
        (m_pending != Pending::NewContract && m_pending != Pending::EditContract))
        return;
    const bool stored = guarded(m_windows.prompter, [&] {
        Contract contract = contractFromPanel();
        contract.insurer = insurer->code;
        InsurerStore store(m_windows.db, AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tfmbimeh")));
        if (m_pending == Pending::NewContract)
            store.saveNewContract(contract);
        else
            store.updateContract(*current, contract);
        reloadContracts();
    });
    if (!stored) return; // a conversion error keeps the panel open on the typed values
    hidePanels();
    m_contractGrid->setFocus();
}

} // namespace ph
