// Start-up to the login window: the pharmacy program itself, from launch on the database of a
// working folder (connection, schema check and upgrade, the statistics check, the pharmacy's
// identity) up to the login window shown and ready for the user's code; then it ends.
//
//   startup_bench FOLDER
//
// bench/run times it against empty_window, an empty Qt Widgets window.
#include "app/program.h"

#include <QByteArray>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: startup_bench FOLDER\n");
        return 2;
    }
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    return ph::runProgram(argc, argv, ph::ProgramEnd::WhenReady);
}
