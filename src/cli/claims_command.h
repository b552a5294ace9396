#pragma once

#include <QStringList>
#include <QTextStream>

namespace ph::cli {

extern const char* const kClaimsUsage;

// `pharmacyctl claims`: writes an insurer's claim file for a period, the same bytes the
// insurance list's export writes with the same choices. Prints a JSON summary.
int claims(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err);

// `pharmacyctl claims-merge --out FILE FILE...`: joins claim files into one, sorted by date
// and numbered again. Works on the files alone.
int claimsMerge(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace ph::cli
