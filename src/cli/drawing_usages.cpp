#include "cli/drawing_commands.h"

// The help texts of the commands that draw, kept with the other commands so that
// pharmacyctl's help needs no graphics library.
namespace ph::cli {

const char* const kPrintUsage =
    "  print       print invoice|thermal|prescription N --pdf FILE: writes the A5 invoice, the\n"
    "              80 mm thermal invoice or the insurer's prescription sheet of the stored\n"
    "              prescription with invoice number N to FILE as PDF, as the preview shows it.\n";

const char* const kReportUsage =
    "  report      report sales|by-insurer|by-doctor --from YY/MM/DD --to YY/MM/DD\n"
    "              [--insurer CODE] [--doctor COUNCIL] (--csv FILE | --xlsx FILE | --pdf FILE):\n"
    "              what was sold in the range per item (sales: prescriptions and goods invoices by\n"
    "              entry date; by-insurer, by-doctor: that insurer's or doctor's prescriptions by\n"
    "              prescription date), as the report windows show it; the totals as JSON\n";
const char* const kStockUsage =
    "  stock       stock (--csv FILE | --xlsx FILE): the pharmacy's stock per item\n";
const char* const kExpiryUsage =
    "  expiry      expiry [--days N] [--date YY/MM/DD] (--csv FILE | --xlsx FILE): the pharmacy's\n"
    "              lots expiring within N days (90 unless given) of today (or of the date), and\n"
    "              those already expired, valued at the current unit price; the total as JSON\n";

} // namespace ph::cli
