#pragma once

#include <QStringList>
#include <QTextStream>

namespace ph::cli {

// The usage lines of the audit command, for pharmacyctl's help text.
extern const char* const kAuditUsage;

// `pharmacyctl audit verify`: walks the history of changes and prints as JSON how many
// entries it holds and, when the chain breaks, the first entry at fault (exit 3).
// `pharmacyctl audit --from DATE --to DATE [--user CODE] [--document KIND:KEY] --csv|--json`:
// the entries of those days (local days, dates as yyyy-mm-dd or the program's yy/mm/dd),
// oldest first, on standard output. 2 for wrong usage.
int audit(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace ph::cli
