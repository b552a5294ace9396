#pragma once

#include "dispensing/print/prescription_prints.h"

class QWidget;

namespace ph {

struct AppContext;
class Database;
class Prompter;

// Where a print goes.
enum class PrintOutput {
    Preview, // the print preview, from which the user prints
    Dialog,  // the print dialog (printer, copies), then the printer
    Printer, // straight to the default printer: the automatic prints after a save
    Menu,    // as the print menu does it: invoices in the preview; prescription layout 3
             // straight to the printer, the other prescription layouts in the preview
};

// Prints the stored prescription with invoice number `invoice` for the dispensing window's print
// menu and for the automatic prints after a save (call it once the save has committed). The
// pharmacy's name and the invoice message come from the main context. `shown` gives the window's
// total, fee and insurer's name for the invoice printed right after a save; without it the
// stored ones print, and an invoice whose insurer is not listed is refused as not found.
// A number not found, a missing printer, a failed print or a failed read is reported through the
// prompter in Persian; the stored prescription is only read. True when the print went out (or
// the preview was shown).
bool printStoredPrescription(Database& db, const AppContext& context, int invoice, PrintKind kind,
                             PrintOutput output, QWidget* parent, Prompter& prompter,
                             const ShownFigures* shown = nullptr);

// The automatic prints after a new prescription was saved, to be called once the save has
// committed: the prescription sheet when the settings' p_noskhe is on, then the A5 invoice with
// the window's figures when p_factor is on, both straight to the printer. A failure is
// reported and never touches what was saved.
void printAfterSave(Database& db, const AppContext& context, int invoice, const ShownFigures& shown,
                    QWidget* parent, Prompter& prompter);

} // namespace ph
