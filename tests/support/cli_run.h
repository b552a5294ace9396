#pragma once

#include "cli/commands.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace ph::test {

// What a pharmacyctl command printed and returned, run in-process.
struct CliRun {
    int status = 0;
    QString out;
    QString err;
};

inline CliRun pharmacyctl(const QStringList& args, const QByteArray& input = {}) {
    CliRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = cli::run(args, out, err, input);
    out.flush();
    err.flush();
    return run;
}

} // namespace ph::test
