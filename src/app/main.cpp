#include "app/fmmain.h"
#include "app/window_catalogue.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "widgets/dialog_prompter.h"
#include "widgets/persian_look.h"
#include "widgets/search.h"
#include "widgets/window_context.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pharmacy"));
    QApplication::setApplicationDisplayName(QStringLiteral("داروخانه"));
    ph::applyPersianLook(app);

    // The working folder holds ci.txt and, by default, the embedded database.
    const QStringList args = QApplication::arguments();
    const QString workingDir = args.size() > 1 ? QDir(args.at(1)).absolutePath() : QDir::currentPath();

    ph::AppContext context;
    ph::SystemClock clock;
    ph::DialogPrompter prompter;
    ph::Tf_search picker; // the one lookup picker every window opens
    ph::TFmmain login(context, prompter, clock, workingDir);
    login.setWindowSetup([&](ph::WindowRegistry& registry, ph::Database& db, ph::Tf_main& main) {
        ph::registerWindows(registry, ph::WindowContext{context, db, prompter, clock, &picker}, workingDir, main);
    });
    login.show();
    return QApplication::exec();
}
