#include "reports/sales_report.h"

#include "db/database.h"

#include <QHash>

#include <algorithm>
#include <numeric>

namespace ph {
namespace {

// The item restriction on the column that names the counted item, with its values in order.
QString itemRestriction(const SalesRequest& request, const QString& column, QVariantList& params) {
    QString sql;
    if (request.item) {
        sql += QStringLiteral(" and %1 = ?").arg(column);
        params << *request.item;
        return sql;
    }
    if (request.codeFrom) {
        sql += QStringLiteral(" and %1 >= ?").arg(column);
        params << *request.codeFrom;
    }
    if (request.codeTo) {
        sql += QStringLiteral(" and %1 <= ?").arg(column);
        params << *request.codeTo;
    }
    return sql;
}

// The names of the items of the summed rows `g` (code, date, quantity, amount, two shares),
// joined after the sums so that each item and day is looked up once.
QString withNames(const QString& sums) {
    return QStringLiteral("select g.code, k.name_kala, t.name, g.day, g.quantity, g.amount, g.insurer, g.patient "
                          "from (%1) g "
                          "left join mosh_kala_anbar k on k.code_kala = g.code "
                          "left join type_kala t on t.code = k.type_code")
        .arg(sums);
}

// Everything sold in the range by entry date, summed per item and day: prescription lines
// dispensed as written, substituted lines counted under the prescribed drug with its own
// quantity and price, and goods invoice lines. One statement, so nothing is shared between
// runs; the prescription lines are read once, through the entry-date index.
QString generalSql(const SalesRequest& request, QVariantList& params) {
    const QString counted = QStringLiteral("case when d.flag_moadel = 1 then d.code_darou_main else d.code_darou end");
    const QString sums = QStringLiteral(
        "select x.code as code, x.day as day, sum(x.tedad) as quantity, sum(x.price) as amount, "
        "0 as insurer, 0 as patient from ("
        "select %1 as code, "
        "case when d.flag_moadel = 1 then d.tedad_darou_main else d.tedad end as tedad, "
        "case when d.flag_moadel = 1 then d.price_darou_main * d.tedad_darou_main else d.price_koll end as price, "
        "h.date_sabt as day "
        "from heading_noskhe h join details_noskhe d on d.sh_factor = h.sh_factor "
        "where h.date_sabt >= ? and h.date_sabt <= ? and d.flag_moadel in (0, 1)%2 "
        "union all "
        "select d.code_kala, d.tedad, d.price_koll, h.date_sabt "
        "from heading_froosh_kala h join details_froosh_kala d on d.sh_factor = h.sh_factor "
        "where h.date_sabt >= ? and h.date_sabt <= ?%3"
        ") x group by x.code, x.day");
    params << request.from << request.to;
    const QString prescriptions = itemRestriction(request, counted, params);
    params << request.from << request.to;
    const QString goods = itemRestriction(request, QStringLiteral("d.code_kala"), params);
    return withNames(sums.arg(counted, prescriptions, goods));
}

// One insurer's or one doctor's prescription lines by prescription date, per item and day.
QString consumptionSql(const SalesRequest& request, QVariantList& params) {
    const bool byInsurer = request.kind == SalesReportKind::ByInsurer;
    QString sums = QStringLiteral(
        "select d.code_darou as code, h.date_no as day, sum(d.tedad) as quantity, sum(d.price_koll) as amount, "
        "%1 from heading_noskhe h join details_noskhe d on d.sh_factor = h.sh_factor "
        "where h.date_no >= ? and h.date_no <= ? and %2 = ?")
                       .arg(byInsurer ? QStringLiteral("sum(d.sazman) as insurer, sum(d.bimar) as patient")
                                      : QStringLiteral("0 as insurer, 0 as patient"),
                            byInsurer ? QStringLiteral("h.code_bimeh") : QStringLiteral("h.nezam_p"));
    params << request.from << request.to;
    if (byInsurer)
        params << request.insurer;
    else
        params << request.doctor;
    sums += itemRestriction(request, QStringLiteral("d.code_darou"), params);
    sums += QStringLiteral(" group by d.code_darou, h.date_no");
    return withNames(sums);
}

double number(const QVariant& value) { return value.isNull() ? 0 : value.toDouble(); }

} // namespace

SalesTotals SalesReport::totals() const {
    SalesTotals sum;
    for (const SalesRow& row : rows) {
        sum.quantity += row.quantity;
        sum.amount += row.amount;
        sum.insurerShare += row.insurerShare;
        sum.patientShare += row.patientShare;
    }
    return sum;
}

SalesReport SalesReportStore::run(const SalesRequest& request) {
    QVariantList params;
    const QString sql = request.kind == SalesReportKind::General ? generalSql(request, params)
                                                                 : consumptionSql(request, params);
    QSqlQuery query = m_db.exec(sql, params);
    // Items in the order first met, found by code; a code the catalogue does not know still
    // has its own row. They are put in code order at the end.
    QList<SalesRow> items;
    QHash<double, int> itemOf;
    struct Day {
        int item;  // index into items
        int date;  // index into dates, replaced by its rank before sorting
        double amount;
    };
    QList<Day> days;
    // The dates of the range, each text once; the days are sorted by its rank, not by comparing texts.
    QHash<QString, int> dateIndex;
    QStringList dates;
    int item = -1;
    while (query.next()) {
        const double code = number(query.value(0));
        if (item < 0 || items.at(item).code != code) { // the rows of one item often come together
            auto found = itemOf.constFind(code);
            if (found == itemOf.cend()) {
                found = itemOf.insert(code, int(items.size()));
                items.append(SalesRow{});
                items.last().code = code;
            }
            item = found.value();
        }
        SalesRow& row = items[item];
        if (row.name.isEmpty()) row.name = query.value(1).toString();
        if (row.form.isEmpty()) row.form = query.value(2).toString();
        const double amount = number(query.value(5));
        row.quantity += number(query.value(4));
        row.amount += amount;
        row.insurerShare += number(query.value(6));
        row.patientShare += number(query.value(7));
        const QString date = query.value(3).toString();
        auto known = dateIndex.constFind(date);
        if (known == dateIndex.cend()) {
            known = dateIndex.insert(date, int(dates.size()));
            dates.append(date);
        }
        days.append({item, known.value(), amount});
    }
    query.finish();

    SalesReport report;
    QList<int> byCode(items.size());
    std::iota(byCode.begin(), byCode.end(), 0);
    std::sort(byCode.begin(), byCode.end(), [&items](int a, int b) { return items.at(a).code < items.at(b).code; });
    QList<int> rowOf(items.size());
    report.rows.reserve(items.size());
    for (int i = 0; i < byCode.size(); ++i) {
        rowOf[byCode.at(i)] = i;
        report.rows.append(items.at(byCode.at(i)));
    }
    QList<int> byDate(dates.size());
    std::iota(byDate.begin(), byDate.end(), 0);
    std::sort(byDate.begin(), byDate.end(), [&dates](int a, int b) { return dates.at(a) < dates.at(b); });
    QList<int> rank(dates.size());
    for (int i = 0; i < byDate.size(); ++i) rank[byDate.at(i)] = i;
    for (Day& day : days) {
        day.date = rank.at(day.date);
        day.item = rowOf.at(day.item);
    }
    std::sort(days.begin(), days.end(), [](const Day& a, const Day& b) {
        return a.date != b.date ? a.date < b.date : a.item < b.item;
    });
    report.days.reserve(days.size());
    for (const Day& day : days)
        report.days.append({day.item, dates.at(byDate.at(day.date)), day.amount});
    return report;
}

SalesChartData salesChart(const SalesReport& report, const QList<int>& shownRows, int topCount) {
    SalesChartData chart;
    QList<int> byAmount = shownRows;
    std::stable_sort(byAmount.begin(), byAmount.end(), [&report](int a, int b) {
        return report.rows.at(a).amount > report.rows.at(b).amount;
    });
    for (int i = 0; i < byAmount.size() && i < topCount; ++i) {
        const SalesRow& row = report.rows.at(byAmount.at(i));
        chart.topItems.append({row.name.isEmpty() ? QString::number(qint64(row.code)) : row.name, row.amount});
    }
    QList<bool> shown(report.rows.size(), false);
    for (int row : shownRows)
        if (row >= 0 && row < shown.size()) shown[row] = true;
    for (const SalesItemDay& day : report.days) {
        if (!shown.at(day.row)) continue;
        if (chart.daily.isEmpty() || chart.daily.last().date != day.date) chart.daily.append({day.date, 0});
        chart.daily.last().amount += day.amount;
    }
    return chart;
}

} // namespace ph
