#include "cli/report_command.h"

#include "print/report_output.h"
#include "print/xlsx_table.h"
#include "reports/print/report_prints.h"
#include "reports/print/sales_chart.h"

namespace ph::cli {
namespace {

std::optional<QString> failureOf(const print::OutputResult& written) {
    if (written.done()) return std::nullopt;
    return written.message;
}

std::optional<QString> drawSales(Database& db, SalesReportKind kind, SalesReport& report,
                                 const SalesPrintHeading& heading, bool pdf, const QString& path) {
    const QList<int> rows = allRows(report);
    if (!pdf) return failureOf(print::writeXlsx({salesSheet(kind, report, rows, heading)}, path));
    if (!canDrawCharts()) return QStringLiteral("printing needs the graphics library, which did not start");
    const QImage chart = report.isEmpty() ? QImage() : salesChartImage(SalesReportStore(db).chart(report, rows));
    return failureOf(print::writePdf(salesPrint(kind, report, rows, heading, chart), path));
}

} // namespace

const ReportDrawing& reportDrawing() {
    static const ReportDrawing drawing{
        drawSales,
        [](const QList<StockRow>& rows, const QString& path) {
            return failureOf(print::writeXlsx({stockSheet(rows)}, path));
        },
        [](const ExpiryReport& report, const ExpiryPrintHeading& heading, const QString& path) {
            return failureOf(print::writeXlsx({expirySheet(report, heading)}, path));
        }};
    return drawing;
}

} // namespace ph::cli
