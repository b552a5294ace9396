#include "cli/commands.h"

#include <QCoreApplication>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    // Whatever escapes a command still ends with a message and a failure status.
    try {
        // No command here draws: those that do run in pharmacyctl-print (see drawing_commands.h).
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        const int status = ph::cli::run(QCoreApplication::arguments().mid(1), out, err);
        out.flush();
        err.flush();
        return status;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pharmacyctl: unexpected failure: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "pharmacyctl: unexpected failure\n");
    }
    return 1;
}
