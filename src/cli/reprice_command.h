#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace ph::cli {

extern const char* const kRepriceUsage;

// `pharmacyctl reprice-compounded`: carries the materials' prices into every formula and
// every compounded drug's goods price, all in one transaction, and prints what it changed.
int repriceCompoundedCommand(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace ph::cli
