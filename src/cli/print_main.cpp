#include "cli/commands.h"
#include "reports/print/sales_chart.h"

#include <QCoreApplication>

#include <cstdlib>
#include <cstring>
#include <memory>

// pharmacyctl-print: pharmacyctl with the commands that draw, which pharmacyctl hands over
// with the same command line.
namespace {

// Printing draws text with fonts, which needs the graphics library, and a report's chart is
// drawn by the widgets library; with no screen to show on (a server, a script) they draw off
// screen. Comma files and spreadsheets need neither, and start sooner without them.
bool printsSomething(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dir") == 0) {
            ++i;
            continue;
        }
        if (std::strcmp(argv[i], "print") == 0) return true;
        if (std::strcmp(argv[i], "report") != 0) return false;
        for (int j = i + 1; j < argc; ++j)
            if (std::strcmp(argv[j], "--pdf") == 0) return true;
        return false;
    }
    return false;
}

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv) {
    if (!printsSomething(argc, argv)) return std::make_unique<QCoreApplication>(argc, argv);
    return ph::makeDrawingApplication(argc, argv);
}

} // namespace

int main(int argc, char** argv) {
    return ph::cli::runMain([&] { return makeApplication(argc, argv); });
}
