#include "reports/sales_report.h"

#include "db/database.h"

#include <QSet>

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

// The counted lines of the range, one row each: the item's code, quantity, Rials and day under
// the names code, tedad, price and day, and for the insurer's report the two shares, insurer
// and patient.
//
// The general report counts everything sold by entry date: prescription lines dispensed as
// written, substituted lines under the prescribed drug with its own quantity and price, and
// goods invoice lines (`union all`: two identical lines are two sales). The prescription lines
// are read once, through the entry-date index. The consumption reports count one insurer's or
// one doctor's prescription lines by prescription date.
QString linesSql(const SalesRequest& request, QVariantList& params) {
    if (request.kind == SalesReportKind::General) {
        const QString counted = QStringLiteral("case when d.flag_moadel = 1 then d.code_darou_main else d.code_darou end");
        const QString sql = QStringLiteral(
            "select %1 as code, "
            "case when d.flag_moadel = 1 then d.tedad_darou_main else d.tedad end as tedad, "
            "case when d.flag_moadel = 1 then d.price_darou_main * d.tedad_darou_main else d.price_koll end as price, "
            "h.date_sabt as day "
            "from heading_noskhe h join details_noskhe d on d.sh_factor = h.sh_factor "
            "where h.date_sabt >= ? and h.date_sabt <= ? and d.flag_moadel in (0, 1)%2 "
            "union all "
            "select d.code_kala, d.tedad, d.price_koll, h.date_sabt "
            "from heading_froosh_kala h join details_froosh_kala d on d.sh_factor = h.sh_factor "
            "where h.date_sabt >= ? and h.date_sabt <= ?%3");
        params << request.from << request.to;
        const QString prescriptions = itemRestriction(request, counted, params);
        params << request.from << request.to;
        const QString goods = itemRestriction(request, QStringLiteral("d.code_kala"), params);
        return sql.arg(counted, prescriptions, goods);
    }
    const bool byInsurer = request.kind == SalesReportKind::ByInsurer;
    QString sql = QStringLiteral(
        "select d.code_darou as code, d.tedad as tedad, d.price_koll as price, %1h.date_no as day "
        "from heading_noskhe h join details_noskhe d on d.sh_factor = h.sh_factor "
        "where h.date_no >= ? and h.date_no <= ? and %2 = ?")
                      .arg(byInsurer ? QStringLiteral("d.sazman as insurer, d.bimar as patient, ") : QString(),
                           byInsurer ? QStringLiteral("h.code_bimeh") : QStringLiteral("h.nezam_p"));
    params << request.from << request.to;
    if (byInsurer)
        params << request.insurer;
    else
        params << request.doctor;
    return sql + itemRestriction(request, QStringLiteral("d.code_darou"), params);
}

// The report's rows: the lines summed per item, with the item's name and form joined after the
// sums so that each item is looked up once, in code order.
QString rowsSql(const SalesRequest& request, QVariantList& params) {
    const QString shares = request.kind == SalesReportKind::ByInsurer
                               ? QStringLiteral("sum(x.insurer) as insurer, sum(x.patient) as patient")
                               : QStringLiteral("0 as insurer, 0 as patient");
    return QStringLiteral("select g.code, k.name_kala, t.name, g.quantity, g.amount, g.insurer, g.patient "
                          "from (select x.code as code, sum(x.tedad) as quantity, sum(x.price) as amount, %1 "
                          "from (%2) x group by x.code) g "
                          "left join mosh_kala_anbar k on k.code_kala = g.code "
                          "left join type_kala t on t.code = k.type_code "
                          "order by g.code")
        .arg(shares, linesSql(request, params));
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
    SalesReport report;
    report.request = request;
    QVariantList params;
    Rows query = m_db.exec(rowsSql(request, params), params);
    while (query.next()) {
        SalesRow row;
        row.code = number(query.value(0));
        row.name = query.value(1).toString();
        row.form = query.value(2).toString();
        row.quantity = number(query.value(3));
        row.amount = number(query.value(4));
        row.insurerShare = number(query.value(5));
        row.patientShare = number(query.value(6));
        report.rows.append(std::move(row));
    }
    query.finish();
    return report;
}

SalesChartData SalesReportStore::chart(SalesReport& report, const QList<int>& shownRows, int topCount) {
    SalesChartData chart;
    QList<int> byAmount = shownRows;
    std::stable_sort(byAmount.begin(), byAmount.end(), [&report](int a, int b) {
        return report.rows.at(a).amount > report.rows.at(b).amount;
    });
    for (int i = 0; i < byAmount.size() && i < topCount; ++i) {
        const SalesRow& row = report.rows.at(byAmount.at(i));
        chart.topItems.append({row.name.isEmpty() ? QString::number(qint64(row.code)) : row.name, row.amount});
    }
    if (shownRows.isEmpty()) return chart;

    QSet<int> distinct(shownRows.cbegin(), shownRows.cend());
    if (distinct.size() == report.rows.size()) {
        // Every row shown: the day totals of the whole report.
        if (!report.days) {
            QVariantList params;
            const QString sql = QStringLiteral("select x.day, sum(x.price) from (%1) x group by x.day order by x.day")
                                    .arg(linesSql(report.request, params));
            QList<SalesDay> days;
            Rows query = m_db.exec(sql, params);
            while (query.next()) days.append({query.value(0).toString(), number(query.value(1))});
            query.finish();
            report.days = std::move(days);
        }
        for (const SalesDay& day : *report.days) chart.daily.append({day.date, day.amount});
        return chart;
    }

    if (!report.itemDays) {
        QVariantList params;
        const QString sql = QStringLiteral("select x.code, x.day, sum(x.price) from (%1) x group by x.day, x.code "
                                           "order by x.day")
                                .arg(linesSql(report.request, params));
        QList<SalesItemDay> days;
        Rows query = m_db.exec(sql, params);
        while (query.next())
            days.append({number(query.value(0)), query.value(1).toString(), number(query.value(2))});
        query.finish();
        report.itemDays = std::move(days);
    }
    QSet<double> shownCodes;
    for (int row : distinct)
        if (row >= 0 && row < report.rows.size()) shownCodes.insert(report.rows.at(row).code);
    for (const SalesItemDay& day : *report.itemDays) {
        if (!shownCodes.contains(day.code)) continue;
        if (chart.daily.isEmpty() || chart.daily.last().date != day.date) chart.daily.append({day.date, 0});
        chart.daily.last().amount += day.amount;
    }
    return chart;
}

} // namespace ph
