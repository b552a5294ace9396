// The dispensing window's stored prescriptions: showing one read-only, stepping through the
// invoice numbers, the search menu, correcting (F3) and deleting (Ctrl+F4).

#include "dispensing/ui/froosh_darou.h"

#include "core/amounts.h"
#include "core/app_context.h"
#include "core/error.h"
#include "core/prompter.h"
#include "dispensing/stored_prescriptions.h"
#include "dispensing/ui/drug_lookup.h"
#include "dispensing/ui/search_factor.h"
#include "dispensing/ui/froosh_darou_texts.h"
#include "dispensing/ui/header_panel.h"
#include "widgets/line_list_model.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace ph {

void Tf_froosh_darou::searchInvoices(int kind) {
    if (!m_invoiceSearch) m_invoiceSearch = new TF_search_factor(m_windows, this);
    // Closed without a choice, the window keeps what it showed.
    const std::optional<int> chosen = m_invoiceSearch->choose(SearchContext::Darou, kind);
    if (chosen && mayReplaceShown()) showInvoice(*chosen);
}

bool Tf_froosh_darou::mayReplaceShown() {
    // A correction lives only in the window until it is saved: the F9 question first.
    return !m_session.editing() || m_windows.prompter.askYesNo(texts::kConfirmAbandon);
}

void Tf_froosh_darou::makeSearchMenu() {
    m_searchMenu = new QMenu(this);
    m_searchMenu->setObjectName(QStringLiteral("PopupMenu1"));
    for (int i = 0; i < int(std::size(texts::kSearchMenu)); ++i) {
        QAction* action = m_searchMenu->addAction(texts::kSearchMenu[i]);
        action->setObjectName(QStringLiteral("N%1").arg(i + 1));
        // Ctrl+A ... Ctrl+E: the keys are caught by the window, as a field would take Ctrl+A.
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + i)));
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    connect(m_searchMenu->actions().first(), &QAction::triggered, this,
            [this] { guarded(m_windows.prompter, [this] { searchByNumber(); }); });
    // By family name, prescription date, insurance number and prescription code: the
    // invoice search window, kinds 1 to 4.
    for (int kind = 1; kind <= 4; ++kind)
        connect(m_searchMenu->actions().at(kind), &QAction::triggered, this,
                [this, kind] { guarded(m_windows.prompter, [this, kind] { searchInvoices(kind); }); });
    QPushButton* button = m_bar->button(CommandBar::Sort);
    m_bar->setHandler(CommandBar::Sort, [this, button] {
        m_searchMenu->popup(button->mapToGlobal(QPoint(0, button->height())));
    });

    const struct {
        CommandBar::Command command;
        void (Tf_froosh_darou::*run)();
    } commands[] = {
        {CommandBar::First, &Tf_froosh_darou::showFirst},
        {CommandBar::Previous, &Tf_froosh_darou::showPrevious},
        {CommandBar::Next, &Tf_froosh_darou::showNext},
        {CommandBar::Last, &Tf_froosh_darou::showLast},
        {CommandBar::Edit, &Tf_froosh_darou::beginEdit},
        {CommandBar::DeleteDocument, &Tf_froosh_darou::deleteStored},
    };
    for (const auto& c : commands)
        m_bar->setHandler(c.command, [this, run = c.run] { guarded(m_windows.prompter, [this, run] { (this->*run)(); }); });
    m_bar->setRefusal(CommandBar::Edit, texts::kNoEditRight);
    m_bar->setRefusal(CommandBar::DeleteDocument, texts::kNoDeleteRight);
    // F3 leaves the navigation off even when it is refused or has nothing to edit: the
    // window catches the key itself and runs the command whatever its button shows.
    m_bar->setKeys(CommandBar::Edit, {});
    connect(m_bar, &CommandBar::refused, this, [this](CommandBar::Command command) {
        if (command == CommandBar::Edit) m_bar->setNavigationEnabled(false);
    });
}

void Tf_froosh_darou::setInputsEnabled(bool enabled) {
    m_header->setReadOnly(!enabled);
    m_drugs->setEnabled(enabled);
    cb_vaziat->setEnabled(enabled);
    me_price->setEnabled(enabled);
    me_tedad->setReadOnly(!enabled);
    if (enabled) {
        setLineMode(false);
    } else {
        but_sabt1->setEnabled(false);
        but_edit->setEnabled(false);
    }
}

void Tf_froosh_darou::showInvoice(int number) {
    m_current = number;
    loadCurrent();
}

void Tf_froosh_darou::loadCurrent() {
    m_chosen.reset();
    me_tedad->clear();
    me_price->clear();
    cb_vaziat->setCurrentText(QString());
    showPrice(false);
    m_drugs->clearSearch();
    setInputsEnabled(false);
    m_header->setLook(PrescriptionHeaderPanel::Look::Shown);
    m_bar->setEnabled(CommandBar::Edit, true);
    for (CommandBar::Command off : {CommandBar::Save, CommandBar::RemoveLine, CommandBar::DeleteDocument})
        m_bar->setEnabled(off, false);

    m_session.setTaminCodes(m_windows.context.tamin_codes);
    const std::optional<StoredPrescription> stored = StoredPrescriptions(m_windows.db).load(m_current);
    m_showsStored = stored.has_value();
    if (!stored) {
        // A deleted or unused number: the window stays empty.
        m_session.start(moment());
        m_header->clear(m_windows.context.current_date, QString());
        m_header->syncInsurer();
        m_linesModel->reset();
        showTotals(Totals{});
        return;
    }
    m_session.load(*stored);
    m_header->showStored(*stored, m_windows.context.current_date);
    m_linesModel->reset();
    // The totals as stored, not recomputed.
    showTotals(stored->totals);
}

void Tf_froosh_darou::showFirst() {
    const std::optional<int> first = StoredPrescriptions(m_windows.db).first();
    if (!first) {
        m_windows.prompter.warning(texts::kNoStoredPrescription);
        return;
    }
    showInvoice(*first);
}

void Tf_froosh_darou::showLast() {
    const std::optional<int> last = StoredPrescriptions(m_windows.db).last();
    if (!last) {
        m_windows.prompter.warning(texts::kNoStoredPrescription);
        return;
    }
    showInvoice(*last);
}

// Next and previous step by one number, a deleted one included.
void Tf_froosh_darou::showNext() {
    const std::optional<int> last = StoredPrescriptions(m_windows.db).last();
    if (last && m_current < *last) {
        showInvoice(m_current + 1);
        return;
    }
    m_windows.prompter.warning(texts::kAtLastNumber);
    m_bar->setEnabled(CommandBar::Edit, true);
}

void Tf_froosh_darou::showPrevious() {
    if (m_current > 1) {
        showInvoice(m_current - 1);
        return;
    }
    m_windows.prompter.warning(texts::kAtFirstNumber);
    m_bar->setEnabled(CommandBar::Edit, true);
}

void Tf_froosh_darou::searchByNumber() {
    const PromptAnswer answer = m_windows.prompter.prompt(texts::kInvoiceNumberPrompt);
    if (!answer.accepted()) return;
    const int number = wholeNumberFromText(answer.text);
    if (mayReplaceShown()) showInvoice(number);
}

void Tf_froosh_darou::beginEdit() {
    m_bar->setNavigationEnabled(false);
    if (!m_bar->isEnabled(CommandBar::Edit)) return;
    // Nothing is written yet: the stock follows the lines when the correction is saved.
    m_session.startEdit(m_current);
    setInputsEnabled(true);
    m_header->setLook(PrescriptionHeaderPanel::Look::Editing);
    m_bar->editDocument();
    m_header->firstField()->setFocus();
}

// Any stored number may be typed: the one being corrected is shown again before the
// question, and another one is deleted without touching the corrected one, whose changes
// were not saved and whose stock was never moved.
void Tf_froosh_darou::deleteStored() {
    const PromptAnswer answer = m_windows.prompter.prompt(texts::kInvoiceNumberPrompt);
    if (!answer.accepted()) return;
    const int number = wholeNumberFromText(answer.text);
    // Deleting the prescription being corrected asks its own question; another one would
    // take the correction's place first.
    if (number != m_current && !mayReplaceShown()) return;
    showInvoice(number);
    if (!m_windows.prompter.askYesNo(texts::kConfirmDeleteInvoice)) return;
    switch (StoredPrescriptions(m_windows.db)
                .remove(number, AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tf_froosh_darou")))) {
    case StoredPrescriptions::RemoveResult::NotFound:
        m_windows.prompter.warning(texts::kDeleteNotFound);
        return;
    case StoredPrescriptions::RemoveResult::ClosedByCashDesk:
        m_windows.prompter.warning(texts::kDeleteRefused);
        return;
    case StoredPrescriptions::RemoveResult::Removed:
        break;
    }
    // A new prescription may be typed; the commands stay as the load left them until F9.
    m_session.start(moment());
    m_header->clear(m_windows.context.current_date, m_session.header().invoiceNumber);
    m_header->syncInsurer();
    m_linesModel->reset();
    showTotals(Totals{});
    setInputsEnabled(true);
    m_current = m_session.header().invoiceNumber.toInt();
    m_showsStored = false;
    m_header->firstField()->setFocus();
}

} // namespace ph
