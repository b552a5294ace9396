#pragma once

#include "reports/expiry_report.h"
#include "reports/sales_report.h"
#include "reports/stock_store.h"

#include <QList>
#include <QString>

namespace ph {

// The reports' comma files: a line of column names, then one line per row; numbers without
// grouping, a text quoted when it holds a comma, a quote or a line break. Each is written
// whole or not at all: a failure throws FileWriteError and leaves an older file as it was.
// They need no drawing library, so the command-line program writes them itself.

// One line per item; `shownRows` are indexes into report.rows in the order shown, empty for
// every row by code.
void writeSalesCsv(SalesReportKind kind, const SalesReport& report, const QList<int>& shownRows, const QString& path);
void writeStockCsv(const QList<StockRow>& rows, const QString& path);
// One line per lot; the expiry as ISO and solar dates.
void writeExpiryCsv(const ExpiryReport& report, const QString& path);

} // namespace ph
