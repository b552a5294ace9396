// The dispensing window's print menu and the automatic prints after a save.

#include "dispensing/ui/froosh_darou.h"

#include "core/amounts.h"
#include "core/prompter.h"
#include "dispensing/stored_prescriptions.h"
#include "dispensing/ui/barchasb.h"
#include "dispensing/ui/froosh_darou_texts.h"
#include "dispensing/ui/header_panel.h"
#include "dispensing/print/print_stored.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace ph {
namespace {

const QString kPrescriptionNumberPrompt = QStringLiteral("شماره نسخه مورد نظر را واردكنيد");

} // namespace

void Tf_froosh_darou::makePrintMenu() {
    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    const struct {
        const char* name;
        QString text;
        QKeySequence key;
        std::optional<PrintKind> kind; // absent: the labels window
    } items[] = {
        {"N8", QStringLiteral("چاپ فاکتور"), QKeySequence(Qt::CTRL | Qt::Key_X), PrintKind::Invoice},
        {"N9", QStringLiteral("چاپ نسخه"), QKeySequence(Qt::CTRL | Qt::Key_Y), PrintKind::Prescription},
        {"N6", QStringLiteral("چاپ برچسب"), {}, std::nullopt},
        {"N24", QStringLiteral("براساس شماره فاكتور -پبرينتر حرارتي"), {}, PrintKind::ThermalInvoice},
    };
    for (const auto& item : items) {
        QAction* action = PopupMenu3->addAction(item.text);
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcut(item.key);
        action->setShortcutContext(Qt::WindowShortcut);
        if (!item.kind) {
            // The labels of the prescription's compounded drugs.
            connect(action, &QAction::triggered, this, [this] { guarded(m_windows.prompter, [this] { openLabels(); }); });
            continue;
        }
        addAction(action); // its key works while the menu is closed
        const PrintKind kind = *item.kind;
        connect(action, &QAction::triggered, this,
                [this, kind] { guarded(m_windows.prompter, [this, kind] { printOnRequest(kind); }); });
    }
    QPushButton* button = m_bar->button(CommandBar::Print);
    button->setToolTip(QStringLiteral("چاپ نسخه و يا فاكتور خاص"));
    m_bar->setHandler(CommandBar::Print, [this, button] {
        PopupMenu3->popup(button->mapToGlobal(QPoint(0, button->height())));
    });
}

void Tf_froosh_darou::printOnRequest(PrintKind kind) {
    const PromptAnswer answer = m_windows.prompter.prompt(
        kind == PrintKind::Prescription ? kPrescriptionNumberPrompt : texts::kInvoiceNumberPrompt, offeredNumber());
    if (!answer.accepted()) return;
    // A number that is not whole stops with a conversion error; nothing is printed.
    const int number = wholeNumberFromText(answer.text);
    // The prescription print shows the prescription in the window first, read-only; a
    // number without one is refused by the print and the window keeps what it showed.
    const bool shows = kind == PrintKind::Prescription && StoredPrescriptions(m_windows.db).load(number);
    if (shows && !mayReplaceShown()) return;
    m_current = number;
    if (shows) loadCurrent();
    printStoredPrescription(m_windows.db, m_windows.context, number, kind, PrintOutput::Menu, this,
                            m_windows.prompter);
}

QString Tf_froosh_darou::offeredNumber() const {
    if (m_showsStored) return QString::number(m_current);
    const std::optional<int> last = StoredPrescriptions(m_windows.db).last();
    return last ? QString::number(*last) : QString();
}

void Tf_froosh_darou::openLabels() {
    const PrescriptionHeader header = m_header->header();
    LabelPrescription prescription;
    prescription.invoice = header.invoiceNumber.trimmed().toInt();
    const PrescriptionLines& lines = m_session.lines();
    for (int row = 1; row < lines.rowCount(); ++row) { // row 0 holds the captions
        bool number = false;
        const double code = lines.cell(row, PrescriptionLines::Code).trimmed().toDouble(&number);
        if (number && code > 0) prescription.drugCodes.append(code);
    }
    prescription.patientName = header.name;
    prescription.patientFamily = header.family;
    prescription.prescriberName = header.prescriberName;
    prescription.prescriberFamily = header.prescriberFamily;
    if (!m_labelsWindow) m_labelsWindow = new Tf_barchasb(m_windows, this);
    m_labelsWindow->setPrescription(prescription);
    m_labelsWindow->exec();
}

QDialog* Tf_froosh_darou::labelsWindow() const {
    return m_labelsWindow;
}

void Tf_froosh_darou::printAfterSaving(int invoice, const ShownFigures& shown) {
    printAfterSave(m_windows.db, m_windows.context, invoice, shown, this, m_windows.prompter);
}

} // namespace ph
