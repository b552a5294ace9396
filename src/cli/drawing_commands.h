#pragma once

#include "cli/print_command.h"
#include "cli/report_command.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace ph::cli {

// The commands that draw or write print files (print, and report, stock and expiry to a
// spreadsheet or PDF) need the graphics, widgets and chart libraries, which the other
// commands leave unloaded: pharmacyctl hands them to its helper pharmacyctl-print, which
// holds them.
//
// Runs one of them: `args` are the command's own arguments, `allArgs` the whole command
// line after the program's name. Where the drawing code is linked in, it runs here; in
// pharmacyctl, the helper replaces this process with the same command line, so its output
// and exit status are the command's.
int runDrawingCommand(const QString& command, const QString& workingDir, const QStringList& args,
                      const QStringList& allArgs, QTextStream& out, QTextStream& err);

} // namespace ph::cli
