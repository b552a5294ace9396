#pragma once

#include <QStringList>
#include <QTextStream>

namespace ph::cli {

// Runs one pharmacyctl command; returns the process exit status
// (0 done, 1 the command failed, 2 wrong usage or unknown input).
int run(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace ph::cli
