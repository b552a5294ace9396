#pragma once

#include "audit/audit_history.h"
#include "print/report.h"
#include "print/xlsx_table.h"

namespace ph {

// What a printed or saved history names above its table.
struct HistoryHeading {
    QString pharmacyName;
    QString from; // solar dates as asked; empty: open
    QString to;
    QString today;
};

// The entries as a printed table (A4 across) and as a spreadsheet, one changed value a row.
print::Report historyReport(const QList<AuditListedEntry>& entries, const HistoryHeading& heading);
print::XlsxSheet historySheet(const QList<AuditListedEntry>& entries, const HistoryHeading& heading);

} // namespace ph
