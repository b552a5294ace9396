#include "cli/commands.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = ph::cli::run(QCoreApplication::arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
