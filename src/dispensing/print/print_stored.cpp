#include "dispensing/print/print_stored.h"

#include "core/app_context.h"
#include "core/error.h"
#include "core/prompter.h"
#include "dispensing/print/print_texts.h"
#include "print/report_output.h"

#include <optional>

namespace ph {

bool printStoredPrescription(Database& db, const AppContext& context, int invoice, PrintKind kind,
                             PrintOutput output, QWidget* parent, Prompter& prompter, const ShownFigures* shown) {
    const QString notFound =
        kind == PrintKind::Prescription ? print::texts::kPrescriptionNotFound : print::texts::kInvoiceNotFound;
    std::optional<PrescriptionPrintData> data;
    try {
        data = PrescriptionPrintReader(db).read(invoice);
    } catch (const Error& error) {
        prompter.errorReport(error.message());
        return false;
    }
    // An invoice on request names its insurer: one not in the list of insurers is not found.
    if (!data || (kind != PrintKind::Prescription && !shown && !data->insurerName)) {
        prompter.warning(notFound);
        return false;
    }
    const InvoiceHeading heading{context.pharmacy_name, context.payam};
    const print::Report report = reportFor(*data, kind, heading, shown);

    // From the menu, layout 3 goes straight to the printer; with none it is previewed, as the
    // other prints are, and printed from there.
    if (output == PrintOutput::Menu)
        output = kind == PrintKind::Prescription && prescriptionLayoutFor(*data) == PrescriptionLayout::Layout3 &&
                         print::printerAvailable()
                     ? PrintOutput::Printer
                     : PrintOutput::Preview;
    print::OutputResult result;
    switch (output) {
    case PrintOutput::Preview: result = print::preview(report, parent); break;
    case PrintOutput::Dialog: result = print::printWithDialog(report, parent); break;
    case PrintOutput::Printer:
    case PrintOutput::Menu: result = print::printDirect(report); break;
    }
    if (result.status == print::OutputResult::Status::Failed) prompter.warning(result.message);
    return result.done();
}

void printAfterSave(Database& db, const AppContext& context, int invoice, const ShownFigures& shown,
                    QWidget* parent, Prompter& prompter) {
    AutomaticPrints prints;
    try {
        prints = PrescriptionPrintReader(db).automaticPrints();
    } catch (const Error& error) {
        prompter.errorReport(error.message());
        return;
    }
    if (prints.prescription)
        printStoredPrescription(db, context, invoice, PrintKind::Prescription, PrintOutput::Printer, parent, prompter);
    if (prints.invoice)
        printStoredPrescription(db, context, invoice, PrintKind::Invoice, PrintOutput::Printer, parent, prompter,
                                &shown);
}

} // namespace ph
