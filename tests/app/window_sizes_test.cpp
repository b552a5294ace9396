#include "admin/rights.h"
#include "app/main_window.h"
#include "app/window_catalogue.h"
#include "app/window_registry.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/schema.h"
#include "support/test_database.h"
#include "widgets/form_mode.h"
#include "widgets/window_context.h"
#include "widgets/window_places.h"

#include <QFrame>
#include <QHeaderView>
#include <QLayout>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace ph;
using ph::test::TestDatabase;

namespace {
// A 1366 x 768 screen less a task bar.
const QSize kScreen(1366, 728);
// A grid is usable when about seven rows show.
constexpr int kUsableGridHeight = 200;
// Beside an expanded lookup, a list still shows this many of its lines.
constexpr int kLinesBesideALookup = 6;
} // namespace

class WindowSizesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { m_t.reset(); }
    void fittedSizes_data();
    void fittedSizes();
    void everyWindowFitsTheScreenWithItsPanelsOpen();
    void placesAreKeptBetweenRuns();

private:
    std::unique_ptr<TestDatabase> m_t;
    FixedClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
    AppContext m_context;
    ScriptedPrompter m_prompter;
};

void WindowSizesTest::initTestCase() {
    m_t = std::make_unique<TestDatabase>();
    Schema(m_t->db()).ensure();
    for (std::string_view flag : kRightFlags)
        m_context.rights.insert(QString::fromLatin1(flag.data(), qsizetype(flag.size())), true);
}

void WindowSizesTest::fittedSizes_data() {
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("fitted");
    QTest::newRow("fits as asked") << QSize(800, 600) << QSize(300, 200) << QSize(800, 600);
    QTest::newRow("too tall for the screen") << QSize(951, 949) << QSize(600, 500) << QSize(951, 688);
    QTest::newRow("too wide for the screen") << QSize(2000, 500) << QSize(600, 400) << QSize(1350, 500);
    QTest::newRow("never below what the layout needs") << QSize(360, 249) << QSize(500, 300) << QSize(500, 300);
}

void WindowSizesTest::fittedSizes() {
    QFETCH(QSize, wanted);
    QFETCH(QSize, minimum);
    QFETCH(QSize, fitted);
    QCOMPARE(fittedWindowSize(wanted, minimum, kScreen), fitted);
}

// Every window the main window opens, in each of its variants and with each of its entry panels
// open, needs no more than the screen, and its grids keep their rows at the size it opens at.
void WindowSizesTest::everyWindowFitsTheScreenWithItsPanelsOpen() {
    WindowRegistry registry;
    Tf_main main(m_context, m_t->db(), m_prompter, m_clock, registry);
    registerWindows(registry, WindowContext{m_context, m_t->db(), m_prompter, m_clock, nullptr}, m_t->workingDir(),
                    main);
    const QSize room = fittedWindowSize(QSize(10000, 10000), QSize(), kScreen);
    QStringList classes = registry.windowClasses();
    classes.sort();
    QVERIFY(classes.size() >= 9);
    for (const QString& name : std::as_const(classes)) {
        QWidget* window = registry.window(name, &main);
        auto* variants = dynamic_cast<FormModeWindow*>(window);
        const QList<QFrame*> panels =
            window->findChildren<QFrame*>(QRegularExpression(QStringLiteral("^Panel\\d$")));
        for (int mode : variants ? QList<int>{0, 1} : QList<int>{-1}) {
            if (variants) variants->setFormMode(mode);
            window->show();
            // With no panel, then with each entry panel open in turn.
            for (int open = -1; open < panels.size(); ++open) {
                for (int i = 0; i < panels.size(); ++i)
                    panels.at(i)->setVisible(i == open);
                window->layout()->activate();
                const QString what = QStringLiteral("%1 (variant %2, panel %3)")
                                         .arg(name)
                                         .arg(mode)
                                         .arg(open < 0 ? QStringLiteral("none") : panels.at(open)->objectName());
                const QSize minimum = window->minimumSizeHint();
                QVERIFY2(minimum.width() <= room.width() && minimum.height() <= room.height(),
                         qPrintable(what + QStringLiteral(" needs %1 x %2").arg(minimum.width()).arg(minimum.height())));
                const QSize wanted = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
                window->resize(fittedWindowSize(wanted, minimum, kScreen));
                window->layout()->activate();
                // A lookup that expands when it gets the focus is small on purpose until then.
                for (QTableView* grid : window->findChildren<QTableView*>())
                    if (grid->isVisibleTo(window) && !grid->property("expandsOnFocus").toBool())
                        QVERIFY2(grid->height() >= kUsableGridHeight,
                                 qPrintable(what + QStringLiteral(": %1 is %2 high")
                                                       .arg(grid->objectName())
                                                       .arg(grid->height())));
                // With a lookup expanded (it has the focus), the other grids keep their lines in view.
                const QList<QTableView*> grids = window->findChildren<QTableView*>();
                for (QTableView* lookup : grids) {
                    if (!lookup->isVisibleTo(window) || !lookup->property("expandsOnFocus").toBool()) continue;
                    lookup->setProperty("expanded", true);
                    for (int pass = 0; pass < 3; ++pass) { // the lookup's height follows the room left
                        window->layout()->activate();
                        QCoreApplication::processEvents();
                    }
                    for (QTableView* grid : grids)
                        if (grid != lookup && grid->isVisibleTo(window))
                            QVERIFY2(grid->viewport()->height() >=
                                         kLinesBesideALookup * grid->verticalHeader()->defaultSectionSize(),
                                     qPrintable(what + QStringLiteral(": %1 shows %2 pixels of lines beside %3")
                                                           .arg(grid->objectName())
                                                           .arg(grid->viewport()->height())
                                                           .arg(lookup->objectName())));
                    lookup->setProperty("expanded", false);
                    window->layout()->activate();
                }
            }
            window->hide();
        }
    }
}

void WindowSizesTest::placesAreKeptBetweenRuns() {
    QTemporaryDir dir;
    QRect left;
    const QString file = dir.filePath(QStringLiteral("pharmacy.ini"));
    {
        QSettings settings(file, QSettings::IniFormat);
        WindowPlaces places(settings);
        QWidget window;
        window.setObjectName(QStringLiteral("f_test"));
        places.watch(&window);
        window.show();
        window.setGeometry(40, 50, 420, 310);
        left = window.frameGeometry();
        window.hide();
    }
    QSettings settings(file, QSettings::IniFormat);
    WindowPlaces places(settings);
    QWidget window;
    window.setObjectName(QStringLiteral("f_test"));
    places.watch(&window);
    window.show();
    QCOMPARE(window.frameGeometry(), left);
}

QTEST_MAIN(WindowSizesTest)
#include "window_sizes_test.moc"
