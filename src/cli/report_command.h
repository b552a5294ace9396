#pragma once

#include "reports/expiry_report.h"
#include "reports/sales_report.h"
#include "reports/stock_store.h"

#include <QStringList>
#include <QTextStream>

#include <functional>
#include <optional>

namespace ph {
class Clock;
class Database;
}

namespace ph::cli {

extern const char* const kReportUsage;
extern const char* const kStockUsage;
extern const char* const kExpiryUsage;

// What writes the reports' spreadsheets and PDF files: given where the drawing libraries are
// linked (pharmacyctl-print). Each writes its file whole and returns the failure's message,
// nothing when the file was written. Comma files need no drawing and are written without it.
struct ReportDrawing {
    std::function<std::optional<QString>(Database& db, SalesReportKind kind, SalesReport& report,
                                         const SalesPrintHeading& heading, bool pdf, const QString& path)>
        sales;
    std::function<std::optional<QString>(const QList<StockRow>& rows, const QString& path)> stockSheet;
    std::function<std::optional<QString>(const ExpiryReport& report, const ExpiryPrintHeading& heading,
                                         const QString& path)>
        expirySheet;
};
// The drawing of pharmacyctl-print.
const ReportDrawing& reportDrawing();

// Whether a report, stock or expiry command line asks for nothing that draws (a comma file,
// its help, or a mistake to report): pharmacyctl runs those itself.
bool writesCommaFile(const QStringList& args);

// pharmacyctl report sales|by-insurer|by-doctor: a sales report to a comma file, a spreadsheet
// or a PDF, with its totals as JSON on standard output.
int report(const QString& workingDir, const QStringList& args, const Clock& clock, QTextStream& out, QTextStream& err,
           const ReportDrawing& drawing = {});
// pharmacyctl stock: the pharmacy's stock list to a comma file or a spreadsheet.
int stock(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err,
          const ReportDrawing& drawing = {});
// pharmacyctl expiry: the pharmacy's lots expiring within N days (and the expired ones) to a
// comma file or a spreadsheet, with the count and the total value as JSON.
int expiry(const QString& workingDir, const QStringList& args, const Clock& clock, QTextStream& out, QTextStream& err,
           const ReportDrawing& drawing = {});

} // namespace ph::cli
