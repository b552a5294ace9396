#include "app/fmmain.h"
#include "app/main_window.h"
#include "app/window_catalogue.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "widgets/dialog_prompter.h"
#include "widgets/persian_look.h"
#include "widgets/search.h"
#include "widgets/window_context.h"
#include "widgets/window_places.h"
#include "widgets/workstation_settings.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pharmacy"));
    QApplication::setApplicationDisplayName(QStringLiteral("داروخانه"));
    ph::applyPersianLook(app);

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
    ph::WindowPlaces places(workstation);

    ph::AppContext context;
    ph::SystemClock clock;
    ph::DialogPrompter prompter;
    ph::Tf_search picker; // the one lookup picker every window opens
    ph::TFmmain login(context, prompter, clock, workingDir);
    login.registry().setPlaces(&places);
    places.watch(&picker);
    places.watch(&login);
    login.setWindowSetup([&](ph::WindowRegistry& registry, ph::Database& db, ph::Tf_main& main) {
        places.watch(&main);
        main.setStoreProgram([&workstation] { return ph::workstation::storeProgram(&workstation); });
        ph::WindowContext windows{context, db, prompter, clock, &picker};
        windows.settings = &workstation;
        ph::registerWindows(registry, windows, workingDir, main);
    });
    login.show();
    const int result = QApplication::exec();
    places.saveAll();
    return result;
}
