#include "cli/till_command.h"

#include "dispensing/settings_store.h"
#include "core/ci_config.h"
#include "db/database.h"
#include "db/schema.h"
#include "sales/cash_desk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ph::cli {

const char* const kTillUsage =
    "  till        print as JSON what a till closing would record now: paid since the last\n"
    "              closing (received, refunded, net), by kind of sale, and what still waits\n";

int till(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args == QStringList{QStringLiteral("--help")}) {
        out << "Usage: pharmacyctl till\n\n" << kTillUsage;
        return 0;
    }
    if (!args.isEmpty()) {
        err << "pharmacyctl till: takes no options, not \"" << args.first().left(40) << "\"\n";
        return 2;
    }
    Database db(readConnectionSettings(workingDir));
    db.open();
    Schema(db).ensure();
    CashDesk desk(db);
    const TillFigures figures = desk.figures();
    QJsonArray kinds;
    for (const TillFigures::ByKind& kind : figures.byKind)
        kinds.append(QJsonObject{{QStringLiteral("kind"), kind.kind},
                                 {QStringLiteral("rows"), kind.rows},
                                 {QStringLiteral("received"), kind.received},
                                 {QStringLiteral("refunded"), kind.refunded},
                                 {QStringLiteral("net"), kind.received - kind.refunded}});
    double waitingSum = 0;
    const QList<WaitingPayment> waiting = desk.waiting();
    for (const WaitingPayment& row : waiting)
        waitingSum += row.total;
    const TillKeeper keeper = SettingsStore(db).tillKeeper();
    QJsonObject result{{QStringLiteral("rows"), figures.rows},
                       {QStringLiteral("received"), figures.received},
                       {QStringLiteral("refunded"), figures.refunded},
                       {QStringLiteral("net"), figures.net()},
                       {QStringLiteral("first_date"), figures.firstDate},
                       {QStringLiteral("first_time"), figures.firstTime},
                       {QStringLiteral("by_kind"), kinds},
                       {QStringLiteral("waiting_rows"), int(waiting.size())},
                       {QStringLiteral("waiting_total"), waitingSum},
                       {QStringLiteral("till_open"), keeper.defined},
                       {QStringLiteral("keeper"), keeper.code}};
    out << QJsonDocument(result).toJson(QJsonDocument::Indented);
    return 0;
}

} // namespace ph::cli
