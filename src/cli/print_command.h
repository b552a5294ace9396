#pragma once

#include <QStringList>
#include <QTextStream>

namespace ph::cli {

// The usage lines of the print command, for pharmacyctl's help text.
extern const char* const kPrintUsage;

// `pharmacyctl print invoice|thermal|prescription N --pdf FILE`: writes the print of the stored
// prescription with invoice number N to FILE as PDF, page for page as the print preview shows
// it. Returns 0 when written, 2 for wrong usage or an invoice number not found (nothing
// written), 1 when the file cannot be written. Needs a QGuiApplication.
int print(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace ph::cli
