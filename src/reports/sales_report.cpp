#include "reports/sales_report.h"

#include "db/database.h"

#include <QHash>
#include <QMap>

#include <algorithm>

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

// Everything sold in the range by entry date, summed per item and day: prescription lines
// dispensed as written, substituted lines counted under the prescribed drug with its own
// quantity and price, and goods invoice lines. One statement, so nothing is shared between
// runs.
QString generalSql(const SalesRequest& request, QVariantList& params) {
    const QString sql = QStringLiteral(
        "select x.code_darou, k.name_kala, t.name, x.date_sabt, sum(x.tedad), sum(x.price), 0, 0 from ("
        "select d.code_darou as code_darou, d.tedad as tedad, d.price_koll as price, h.date_sabt as date_sabt "
        "from heading_noskhe h join details_noskhe d on d.sh_factor = h.sh_factor "
        "where h.date_sabt >= ? and h.date_sabt <= ? and d.flag_moadel = 0%1 "
        "union all "
        "select d.code_darou_main, d.tedad_darou_main, d.price_darou_main * d.tedad_darou_main, h.date_sabt "
        "from heading_noskhe h join details_noskhe d on d.sh_factor = h.sh_factor "
        "where h.date_sabt >= ? and h.date_sabt <= ? and d.flag_moadel = 1%2 "
        "union all "
        "select d.code_kala, d.tedad, d.price_koll, h.date_sabt "
        "from heading_froosh_kala h join details_froosh_kala d on d.sh_factor = h.sh_factor "
        "where h.date_sabt >= ? and h.date_sabt <= ?%3"
        ") x "
        "left join mosh_kala_anbar k on k.code_kala = x.code_darou "
        "left join type_kala t on t.code = k.type_code "
        "group by x.code_darou, k.name_kala, t.name, x.date_sabt");
    params << request.from << request.to;
    const QString asWritten = itemRestriction(request, QStringLiteral("d.code_darou"), params);
    params << request.from << request.to;
    const QString substituted = itemRestriction(request, QStringLiteral("d.code_darou_main"), params);
    params << request.from << request.to;
    const QString goods = itemRestriction(request, QStringLiteral("d.code_kala"), params);
    return sql.arg(asWritten, substituted, goods);
}

// One insurer's or one doctor's prescription lines by prescription date, per item and day.
QString consumptionSql(const SalesRequest& request, QVariantList& params) {
    const bool byInsurer = request.kind == SalesReportKind::ByInsurer;
    QString sql = QStringLiteral(
        "select d.code_darou, k.name_kala, t.name, h.date_no, sum(d.tedad), sum(d.price_koll), %1 "
        "from heading_noskhe h join details_noskhe d on d.sh_factor = h.sh_factor "
        "left join mosh_kala_anbar k on k.code_kala = d.code_darou "
        "left join type_kala t on t.code = k.type_code "
        "where h.date_no >= ? and h.date_no <= ? and %2 = ?")
                      .arg(byInsurer ? QStringLiteral("sum(d.sazman), sum(d.bimar)") : QStringLiteral("0, 0"),
                           byInsurer ? QStringLiteral("h.code_bimeh") : QStringLiteral("h.nezam_p"));
    params << request.from << request.to;
    if (byInsurer)
        params << request.insurer;
    else
        params << request.doctor;
    sql += itemRestriction(request, QStringLiteral("d.code_darou"), params);
    sql += QStringLiteral(" group by d.code_darou, k.name_kala, t.name, h.date_no");
    return sql;
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
    // Items by code; a code the catalogue does not know still has its own row.
    QMap<double, SalesRow> items;
    struct Day {
        double code;
        QString date;
        double amount;
    };
    QList<Day> days;
    while (query.next()) {
        const double code = number(query.value(0));
        SalesRow& row = items[code];
        row.code = code;
        if (row.name.isEmpty()) row.name = query.value(1).toString();
        if (row.form.isEmpty()) row.form = query.value(2).toString();
        const double amount = number(query.value(5));
        row.quantity += number(query.value(4));
        row.amount += amount;
        row.insurerShare += number(query.value(6));
        row.patientShare += number(query.value(7));
        days.append({code, query.value(3).toString(), amount});
    }
    query.finish();

    SalesReport report;
    QHash<double, int> rowOf;
    for (auto it = items.cbegin(); it != items.cend(); ++it) {
        rowOf.insert(it.key(), int(report.rows.size()));
        report.rows.append(it.value());
    }
    std::sort(days.begin(), days.end(), [](const Day& a, const Day& b) {
        return a.date != b.date ? a.date < b.date : a.code < b.code;
    });
    for (const Day& day : days)
        report.days.append({rowOf.value(day.code), day.date, day.amount});
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
