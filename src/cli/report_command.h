#pragma once

#include <QStringList>
#include <QTextStream>

namespace ph {
class Clock;
}

namespace ph::cli {

extern const char* const kReportUsage;
extern const char* const kStockUsage;
extern const char* const kExpiryUsage;

// pharmacyctl report sales|by-insurer|by-doctor: a sales report to a comma file, a spreadsheet
// or a PDF, with its totals as JSON on standard output.
int report(const QString& workingDir, const QStringList& args, const Clock& clock, QTextStream& out, QTextStream& err);
// pharmacyctl stock: the pharmacy's stock list to a comma file or a spreadsheet.
int stock(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err);
// pharmacyctl expiry: the pharmacy's lots expiring within N days (and the expired ones) to a
// comma file or a spreadsheet, with the count and the total value as JSON.
int expiry(const QString& workingDir, const QStringList& args, const Clock& clock, QTextStream& out, QTextStream& err);

} // namespace ph::cli
