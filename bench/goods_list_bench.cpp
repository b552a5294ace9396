// The drug list with a generated 30,000-item catalogue in a temporary SQLite database:
// opening it (the query, the model and the Persian name order), the group and form filters
// (read again from the database, as Enter in a filter field does), and the typed searches
// that act on the loaded rows (a name prefix, a code located digit by digit).
//
//     goods_list_bench [items]     (default 30000; runs offscreen unless QT_QPA_PLATFORM is set;
//                                   PH_BENCH_KEEP=1 keeps the generated database)

#include "catalogue/goods.h"
#include "catalogue/ui/darou.h"
#include "catalogue/ui/goods_set.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/database.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "widgets/quick_search.h"
#include "widgets/window_context.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace ph;

namespace {

constexpr int kRuns = 5;
constexpr int kGroups = 5;
constexpr int kForms = 60;

QString randomWord(QRandomGenerator& random, const QString& letters, int shortest, int longest) {
    QString word;
    for (int n = shortest + random.bounded(longest - shortest + 1); n > 0; --n)
        word += letters[random.bounded(letters.size())];
    return word;
}

// Groups, forms with their counters, and `items` goods spread over them.
void generateCatalogue(Database& db, int items) {
    const QString persian = QStringLiteral("ابپتثجچحخدذرزژسشصضطظعغفقكگلمنويهی");
    const QString latin = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    QRandomGenerator random(1403);
    Transaction transaction(db);
    for (int group = 1; group <= kGroups; ++group)
        db.exec(QStringLiteral("insert into group_kala (code, name) values (?, ?)"),
                {group, randomWord(random, persian, 4, 9)});
    QList<int> counters(kForms + 1, 0);
    for (int i = 0; i < items; ++i) {
        const int group = 1 + random.bounded(kGroups);
        const int form = 1 + random.bounded(kForms);
        const double code = double(group) * 1000000 + double(form) * 10000 + ++counters[form];
        db.exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, name_kala_latin, group_code, type_code, "
                               "code_tow, code_sh, price_u, flag) values (?, ?, ?, ?, ?, ?, ?, ?, 1)"),
                {code, randomWord(random, persian, 1, 3) + u' ' + randomWord(random, persian, 4, 10),
                 randomWord(random, latin, 5, 14), group, form, double(random.bounded(1000000000)) * 10000,
                 random.bounded(100000), double(random.bounded(1, 5000)) * 100});
    }
    for (int form = 1; form <= kForms; ++form)
        db.exec(QStringLiteral("insert into type_kala (code, name, num) values (?, ?, ?)"),
                {form, randomWord(random, persian, 3, 8), counters[form]});
    transaction.commit();
}

struct Timing {
    double best = 0;
    double median = 0;
};

Timing measure(const std::function<void()>& work, const std::function<void()>& before = {}) {
    QList<double> runs;
    for (int run = 0; run < kRuns; ++run) {
        if (before) before();
        QElapsedTimer timer;
        timer.start();
        work();
        runs.append(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(runs.begin(), runs.end());
    return {runs.first(), runs.at(runs.size() / 2)};
}

void report(const char* what, const Timing& timing, const QString& note = {}) {
    std::printf("%-58s best %8.2f ms   median %8.2f ms  %s\n", what, timing.best, timing.median,
                qPrintable(note));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int items = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 30000;

    QTemporaryDir dir;
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("PH_BENCH_KEEP")); // keep the database to look into it
    ConnectionSettings settings;
    settings.engine = Engine::Sqlite;
    settings.database = QDir(dir.path()).absoluteFilePath(QStringLiteral("bench.db"));
    Database db(settings);
    db.open();
    Schema(db).ensure();
    QElapsedTimer generation;
    generation.start();
    generateCatalogue(db, items);
    std::printf("catalogue of %d goods in %d groups and %d forms generated in %lld ms (SQLite, %s)\n\n", items,
                kGroups, kForms, generation.elapsed(), qPrintable(settings.database));

    // The rule library alone: the statement and its rows.
    GoodsCatalogue goods(db);
    qsizetype listed = 0;
    const Timing query = measure([&] { listed = goods.list({}).size(); });
    report("read the whole list (query only, ordered by name)", query, QStringLiteral("%1 rows").arg(listed));
    const Timing unordered = measure([&] { listed = goods.list(GoodsQuery{{}, {}, {}, GoodsOrder::Unordered}).size(); });
    report("read the whole list (query only, unordered)", unordered, QStringLiteral("%1 rows").arg(listed));

    // The drug list set as the window opens it: rows, model, name order.
    const QList<int> nameOrder = {GoodsTableModel::Name, GoodsTableModel::FormName};
    {
        std::unique_ptr<DrugListSet> set;
        report("open: read + model + Persian name order (fresh set)",
               measure([&] {
                   set = std::make_unique<DrugListSet>(db);
                   set->proxy()->sortByColumns(nameOrder);
                   set->load(GoodsQuery{std::nullopt, std::nullopt, {}, GoodsOrder::NameThenForm});
               }));
    }

    // The whole window, shown offscreen (filters cleared, list loaded, grid laid out).
    AppContext context;
    ScriptedPrompter prompter;
    FixedClock clock(QDateTime::currentDateTime());
    Tf_darou window(WindowContext{context, db, prompter, clock, nullptr});
    report("open the drug list window (show, offscreen)",
           measure([&] { window.show(); QApplication::processEvents(); }, [&] { window.hide(); }));
    DrugListSet& drugs = window.drugs();

    const struct {
        const char* what;
        GoodsQuery query;
    } filters[] = {
        {"filter: group 2 (Enter in the group field)", {2, std::nullopt, {}, GoodsOrder::Name}},
        {"filter: group 2 and form 7 (Enter in the form field)", {2, 7, {}, GoodsOrder::Name}},
        {"filter: none again", {std::nullopt, std::nullopt, {}, GoodsOrder::Name}},
    };
    for (const auto& filter : filters) {
        const Timing timing = measure([&] { drugs.load(filter.query); });
        report(filter.what, timing, QStringLiteral("%1 rows").arg(drugs.shownCount()));
    }

    auto* byName = window.findChild<QLineEdit*>(QStringLiteral("me_search_d"));
    auto* byLatin = window.findChild<QLineEdit*>(QStringLiteral("me_search_l"));
    auto* byPrice = window.findChild<QLineEdit*>(QStringLiteral("me_search_p"));
    const QString prefix = drugs.rows()->item(items / 2).name.left(3);
    // Each keystroke of a typed text, as the search field sees it; the slowest keystroke counts.
    auto typeSlowest = [&](QLineEdit* edit, const QString& text) {
        double slowest = 0;
        for (int n = 1; n <= text.size(); ++n) {
            QElapsedTimer timer;
            timer.start();
            edit->setText(text.left(n));
            slowest = std::max(slowest, double(timer.nsecsElapsed()) / 1e6);
        }
        return slowest;
    };
    auto perKeystroke = [&](QLineEdit* edit, const QString& text, const QList<int>& startOrder) {
        QList<double> runs;
        for (int run = 0; run < kRuns; ++run) {
            edit->clear();
            drugs.proxy()->sortByColumns(startOrder);
            runs.append(typeSlowest(edit, text));
        }
        edit->clear();
        std::sort(runs.begin(), runs.end());
        return Timing{runs.first(), runs.at(runs.size() / 2)};
    };

    report("name prefix search, slowest keystroke (from the name order)",
           perKeystroke(byName, prefix, nameOrder), QStringLiteral("\"%1\"").arg(prefix));
    report("name prefix search, slowest keystroke (from the code order)",
           perKeystroke(byName, prefix, {GoodsTableModel::Code}), QStringLiteral("\"%1\"").arg(prefix));
    const QString code = QString::number(qint64(drugs.rows()->item(items / 3).code));
    report("code locate, slowest keystroke (from the name order)", perKeystroke(byName, code, nameOrder),
           QStringLiteral("\"%1\"").arg(code));
    report("code locate, slowest keystroke (already in code order)",
           perKeystroke(byName, code, {GoodsTableModel::Code}), QStringLiteral("\"%1\"").arg(code));
    const QString latinPrefix = drugs.rows()->item(items / 4).latinName.left(3);
    report("latin prefix search, slowest keystroke", perKeystroke(byLatin, latinPrefix, nameOrder),
           QStringLiteral("\"%1\"").arg(latinPrefix));
    const QString price = QString::number(qint64(*drugs.rows()->item(items / 5).price));
    report("price locate, slowest keystroke", perKeystroke(byPrice, price, nameOrder),
           QStringLiteral("\"%1\"").arg(price));
    report("sort menu: by price, then back by name",
           measure([&] {
               window.sortBy({GoodsTableModel::Price, GoodsTableModel::Name, GoodsTableModel::FormName});
               window.sortBy(nameOrder);
           }));
    return 0;
}
