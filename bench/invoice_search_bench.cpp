// The invoice search on generated prescriptions in a temporary SQLite database: the start date
// of the last month (the query, the rows into the grid) and the family-name keystrokes that
// narrow the loaded rows.
//
//     invoice_search_bench [prescriptions] [months]   (default 300000 over 36 months; runs
//                                                      offscreen unless QT_QPA_PLATFORM is set)

#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/database.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "dispensing/invoice_search.h"
#include "dispensing/ui/search_factor.h"
#include "widgets/window_context.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace ph;

namespace {

constexpr int kRuns = 7;

double millisecondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

void report(const char* name, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i)
        times.push_back(millisecondsOf(work));
    std::sort(times.begin(), times.end());
    std::printf("  %-44s median %7.2f ms   slowest %7.2f ms\n", name, times[times.size() / 2], times.back());
}

// Prescriptions spread evenly over `months` months from 03/01, family names from a
// small set of Persian surnames with a running number.
void fill(Database& db, int prescriptions, int months) {
    Schema(db).ensure();
    Transaction transaction(db);
    db.exec(QStringLiteral(
                "insert into heading_noskhe (sh_factor, date_no, date_sabt, sh_bimeh, code_no, family_b, name_b) "
                "with recursive c(x) as (select 1 union all select x+1 from c where x < ?) "
                "select x, printf('%02d/%02d/%02d', 3 + (x * ? / (? + 1)) / 12, 1 + (x * ? / (? + 1)) % 12, 1 + x % 28), "
                "printf('%02d/%02d/%02d', 3 + (x * ? / (? + 1)) / 12, 1 + (x * ? / (? + 1)) % 12, 1 + x % 28), "
                "printf('%010d', (x * 7919) % 900000), "
                "printf('%d', 100000 + x), "
                "case x % 6 when 0 then 'احمدي' when 1 then 'رضايي' when 2 then 'كريمي' when 3 then 'محمدي' "
                "when 4 then 'حسيني' else 'نوري' end || ' ' || (x % 1000), 'علي' from c"),
            {prescriptions, months, prescriptions, months, prescriptions, months, prescriptions, months,
             prescriptions});
    transaction.commit();
    db.refreshStatistics();
}

void key(QWidget* widget, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int prescriptions = argc > 1 ? std::max(1000, QString::fromLocal8Bit(argv[1]).toInt()) : 300000;
    QTemporaryDir dir;
    ConnectionSettings settings;
    settings.engine = Engine::Sqlite;
    settings.database = dir.filePath(QStringLiteral("pharmacy.db"));
    Database db(settings);
    db.open();
    const int months = argc > 2 ? std::clamp(QString::fromLocal8Bit(argv[2]).toInt(), 1, 84) : 36;
    std::printf("generating %d prescriptions over %d months: %.1f s\n", prescriptions, months,
                millisecondsOf([&] { fill(db, prescriptions, months); }) / 1000);
    const QString lastMonth = QStringLiteral("%1/%2/01")
                                  .arg(3 + (months - 1) / 12, 2, 10, QChar(u'0'))
                                  .arg(1 + (months - 1) % 12, 2, 10, QChar(u'0'));

    InvoiceSearchStore store(db);
    {
        Rows plan = db.exec(QStringLiteral("explain query plan select sh_factor, sh_bimeh, family_b, name_b, "
                                                "date_no, code_no from heading_noskhe where date_no>=?"),
                                 {lastMonth});
        while (plan.next())
            std::printf("  plan: %s\n", qPrintable(plan.value(3).toString()));
    }
    int rows = 0;
    report("read: since the first of the last month", [&] { rows = int(store.since(SearchContext::Darou, lastMonth).size()); });
    std::printf("  (%d rows)\n", rows);
    report("  of which the statement alone (rows stepped)", [&] {
        Rows q = db.exec(QStringLiteral("select sh_factor, sh_bimeh, family_b, name_b, date_no, code_no "
                                             "from heading_noskhe where date_no>=?"),
                              {lastMonth});
        while (q.next()) {
        }
    });

    AppContext context;
    context.current_date = lastMonth;
    ScriptedPrompter prompter;
    FixedClock clock{QDateTime(QDate(2026, 2, 20), QTime(10, 0))};
    TF_search_factor window(WindowContext{context, db, prompter, clock});
    window.prepare(SearchContext::Darou, 1);
    window.show();
    auto* date = window.findChild<QLineEdit*>(QStringLiteral("me_date"));
    auto* family = window.findChild<QLineEdit*>(QStringLiteral("me_search_n"));
    auto* grid = window.findChild<QTableView*>(QStringLiteral("DBGrid1"));
    report("window: Enter in the start date (rows shown)", [&] {
        key(date, Qt::Key_Return);
        QApplication::processEvents();
    });
    std::printf("  (%d rows in the grid)\n", grid->model()->rowCount());
    QElapsedTimer timer;
    std::vector<double> cleared, typed;
    for (int i = 0; i < kRuns; ++i) {
        timer.start();
        family->clear();
        QApplication::processEvents();
        cleared.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.start();
        key(family, 0, QStringLiteral("ا"));
        QApplication::processEvents();
        typed.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(cleared.begin(), cleared.end());
    std::sort(typed.begin(), typed.end());
    std::printf("  %-44s median %7.2f ms   slowest %7.2f ms\n", "window: first family letter typed", typed[kRuns / 2],
                typed.back());
    std::printf("  %-44s median %7.2f ms   slowest %7.2f ms\n", "window: the family name emptied again",
                cleared[kRuns / 2], cleared.back());
    std::printf("  (%d rows left)\n", grid->model()->rowCount());
    report("window: second family letter typed", [&] {
        family->setText(QStringLiteral("ا"));
        QApplication::processEvents();
        key(family, 0, QStringLiteral("ح"));
        QApplication::processEvents();
    });
    std::printf("  (%d rows left)\n", grid->model()->rowCount());
    return 0;
}
