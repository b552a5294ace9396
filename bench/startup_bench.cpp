// Start-up to the login window: the program's start on the database of a working
// folder (connection, schema check and upgrade, the statistics check, the pharmacy's
// identity), up to the login window shown and ready for the user's code; then it ends.
//
//   startup_bench FOLDER
//
// bench/run times it on a generated database against the same on an empty one.
#include "app/fmmain.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: startup_bench FOLDER\n");
        return 2;
    }
    ph::AppContext context;
    ph::SystemClock clock;
    ph::ScriptedPrompter prompter;
    ph::TFmmain login(context, prompter, clock, QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    login.runStartup(); // what the first showing runs
    login.show();
    QApplication::processEvents();
    if (!login.database() || !login.isVisible() || !prompter.texts().isEmpty()) {
        std::fprintf(stderr, "startup_bench: the login window is not ready: %s\n",
                     qPrintable(prompter.texts().join(QLatin1Char('|'))));
        return 1;
    }
    return 0;
}
