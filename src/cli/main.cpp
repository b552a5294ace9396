#include "cli/commands.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    // No command here draws: those that do run in pharmacyctl-print (see drawing_commands.h).
    return ph::cli::runMain([&] { return std::make_unique<QCoreApplication>(argc, argv); });
}
