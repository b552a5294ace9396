#include "app/program.h"

#include "app/first_use_picker.h"
#include "app/fmmain.h"
#include "app/main_window.h"
#include "app/window_catalogue.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "widgets/dialog_prompter.h"
#include "widgets/persian_look.h"
#include "widgets/window_context.h"
#include "widgets/window_places.h"
#include "widgets/workstation_settings.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTimer>
#include <QTranslator>

namespace ph {

int runProgram(int argc, char** argv, ProgramEnd end) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pharmacy"));
    QApplication::setApplicationDisplayName(QStringLiteral("داروخانه"));
    applyPersianLook(app);

    // The working folder holds ci.txt and, by default, the embedded database.
    const QStringList args = QApplication::arguments();
    const QString workingDir = args.size() > 1 ? QDir(args.at(1)).absolutePath() : QDir::currentPath();

    // Qt's own dialogs (file, colour and font choosers, standard buttons) in Persian, from the Qt
    // translations the system has (Debian: qt6-translations-l10n); English when they are missing.
    QTranslator qtPersian;
    if (qtPersian.load(QLocale(QLocale::Persian, QLocale::Iran), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtPersian);

    // This workstation's own settings (window sizes and places, the digits numbers are drawn with,
    // the store program): a file in the working folder, beside ci.txt, since each workstation has
    // its own folder and screen.
    QSettings workstation(QDir(workingDir).filePath(QStringLiteral("pharmacy.ini")), QSettings::IniFormat);
    if (workstation.value(QStringLiteral("display/persianDigits"), false).toBool())
        QLocale::setDefault(QLocale(QLocale::Persian, QLocale::Iran));
    WindowPlaces places(workstation);

    AppContext context;
    SystemClock clock;
    DialogPrompter prompter;
    FirstUsePicker picker(places); // the one lookup picker every window opens
    TFmmain login(context, prompter, clock, workingDir);
    login.registry().setPlaces(&places);
    places.watch(&login);
    login.setWindowSetup([&](WindowRegistry& registry, Database& db, Tf_main& main) {
        places.watch(&main);
        main.setStoreProgram([&workstation] { return workstation::storeProgram(&workstation); });
        WindowContext windows{context, db, prompter, clock, &picker};
        windows.settings = &workstation;
        registerWindows(registry, windows, workingDir, main);
    });
    login.show();
    // The start-up steps run first, posted when the window was shown.
    if (end == ProgramEnd::WhenReady) QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
    const int result = QApplication::exec();
    if (end == ProgramEnd::WhenReady) return login.database() && login.isVisible() ? 0 : 1;
    places.saveAll();
    return result;
}

} // namespace ph
