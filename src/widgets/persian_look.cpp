#include "widgets/persian_look.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

// Resource registration must be named outside any namespace.
static void registerBundledResources() {
    Q_INIT_RESOURCE(resources);
}

namespace ph {

namespace {
constexpr int kPointSize = 10;

// The family of the bundled font, or empty when it could not be loaded. Loaded once: adding
// the same font again would register a second copy.
QString bundledFamily() {
    static const QString family = [] {
        initWidgetResources();
        QString loaded;
        for (const auto* path : {":/fonts/Vazirmatn-Regular.ttf", ":/fonts/Vazirmatn-Bold.ttf"}) {
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(path));
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (loaded.isEmpty() && !families.isEmpty()) loaded = families.first();
        }
        return loaded;
    }();
    return family;
}
} // namespace

void initWidgetResources() {
    static const bool registered = [] {
        registerBundledResources();
        return true;
    }();
    (void)registered;
}

void applyPersianLook(QApplication& app) {
    const QString family = bundledFamily();
    if (!family.isEmpty()) app.setFont(QFont(family, kPointSize));
    app.setLayoutDirection(Qt::RightToLeft);
}

} // namespace ph
