#include "reports/expiry_report.h"

#include "core/amounts.h"
#include "core/jalali_date.h"
#include "db/database.h"
#include "lots/lots.h"

#include <QHash>
#include <QStringList>

namespace ph {
namespace {

constexpr int kPharmacyUnit = 20;

struct ItemFacts {
    QString name;
    double unitPrice = 0;
};

// The names and pharmacy unit prices of the items, in one statement.
QHash<double, ItemFacts> itemFacts(Database& db, const QList<double>& items) {
    QHash<double, ItemFacts> facts;
    if (items.isEmpty()) return facts;
    QVariantList params{kPharmacyUnit};
    for (double item : items) params.append(item);
    QStringList marks;
    marks.fill(QStringLiteral("?"), items.size());
    Rows rows = db.exec(QStringLiteral("select k.code_kala, k.name_kala, v.price_u from mosh_kala_anbar k "
                                       "left join moj_kala_vah v on v.code_kala = k.code_kala and v.code_vah = ? "
                                       "where k.code_kala in (%1)")
                            .arg(marks.join(u',')),
                        params);
    while (rows.next())
        facts.insert(rows.value(0).toDouble(),
                     {rows.value(1).toString(), rows.isNull(2) ? 0 : rows.value(2).toDouble()});
    return facts;
}

} // namespace

QString solarDateText(const QDate& date) {
    if (!date.isValid()) return {};
    return toJalali(date).longText();
}

ExpiryReport nearExpiryReport(Database& db, const QDate& today, int days) {
    const QList<Lot> lots = LotStore(db).expiringWithin(today, days, kPharmacyUnit);
    QList<double> items;
    for (const Lot& lot : lots)
        if (!items.contains(lot.item)) items.append(lot.item);
    const QHash<double, ItemFacts> facts = itemFacts(db, items);
    ExpiryReport report;
    for (const Lot& lot : lots) {
        if (!lot.expiry.isValid()) continue; // lots are kept only with an expiry; a damaged row is no lot
        const ItemFacts item = facts.value(lot.item);
        ExpiryRow row{lot.item,
                      item.name,
                      lot.batch,
                      lot.expiry,
                      solarDateText(lot.expiry),
                      lot.quantity,
                      item.unitPrice,
                      roundRial(lot.quantity * item.unitPrice),
                      lot.expiry < today};
        report.total += row.value;
        report.rows.append(row);
    }
    return report;
}

} // namespace ph
