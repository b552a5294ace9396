#pragma once

#include <QStringList>
#include <QTextStream>

namespace ph::cli {

// The usage lines of the quote command, for pharmacyctl's help text.
extern const char* const kQuoteUsage;

// `pharmacyctl quote`: prices a prescription as the dispensing window would, without
// saving anything, and writes its lines, totals and messages as JSON on `out`.
// Returns 0, or 2 for wrong usage and unknown drug or insurer codes.
int quote(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace ph::cli
