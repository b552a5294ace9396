#pragma once

#include <QStringList>
#include <QTextStream>

namespace ph::cli {

// The usage lines of the till command, for pharmacyctl's help text.
extern const char* const kTillUsage;

// `pharmacyctl till`: prints as JSON what a till closing would record now: the rows paid
// since the last closing, received, refunded and net, with the same figures by kind of
// sale ("d" prescriptions, "k" goods invoices), the rows still waiting for the cashier and
// the till keeper. Reads only. 0 done, 2 for an option it does not take.
int till(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace ph::cli
