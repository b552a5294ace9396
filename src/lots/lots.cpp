#include "lots/lots.h"

#include "db/database.h"
#include "db/key_allocator.h"
#include "core/jalali_date.h"

#include <QRegularExpression>

namespace ph {
namespace {

const char* const kLotColumns = "code_lot, code_kala, code_vah, batch, date_exps, qu";

Lot readLot(const Rows& rows) {
    Lot lot;
    lot.id = rows.value(0).toInt();
    lot.item = rows.value(1).toDouble();
    lot.unit = rows.value(2).toInt();
    lot.batch = rows.value(3).toString();
    lot.expiry = QDate::fromString(rows.value(4).toString(), Qt::ISODate);
    lot.quantity = rows.value(5).toDouble();
    return lot;
}

// The batch as stored: never null, so that a lot without one is found by "batch=''".
QString batchText(const LotKey& key) {
    const QString batch = key.batch.trimmed();
    return batch.isNull() ? QStringLiteral("") : batch;
}

QList<Lot> readLots(Rows rows) {
    QList<Lot> lots;
    while (rows.next()) lots.append(readLot(rows));
    return lots;
}

} // namespace

QDate expiryFromDocumentText(const QString& text) {
    const QString trimmed = text.trimmed();
    static const QRegularExpression isoDate(QStringLiteral("^(19|20)\\d\\d-\\d\\d-\\d\\d$"));
    if (isoDate.match(trimmed).hasMatch()) return QDate::fromString(trimmed, Qt::ISODate);
    static const QRegularExpression longSolar(QStringLiteral("^(13[5-9]\\d|14[0-4]\\d)/(\\d{1,2})/(\\d{1,2})$"));
    if (const QRegularExpressionMatch match = longSolar.match(trimmed); match.hasMatch()) {
        const JalaliDate solar{match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()};
        // A day the month does not have is refused, not carried into the next month.
        const std::optional<JalaliDate> checked = jalaliFromShortText(solar.shortText());
        return checked ? fromJalali(*checked) : QDate();
    }
    const std::optional<JalaliDate> solar = jalaliFromShortText(trimmed);
    return solar ? fromJalali(*solar) : QDate();
}

QString lotExpiryText(const QDate& expiry) { return expiry.isValid() ? expiry.toString(Qt::ISODate) : QString(); }

std::optional<Lot> LotStore::find(double item, int unit, const LotKey& key) {
    Rows rows = m_db.exec(QStringLiteral("select %1 from kala_lot where code_kala=? and code_vah=? and batch=? and date_exps=?")
                              .arg(QLatin1String(kLotColumns)),
                          {item, unit, batchText(key), lotExpiryText(key.expiry)});
    if (!rows.next()) return std::nullopt;
    return readLot(rows);
}

void LotStore::takeIn(double item, int unit, const LotKey& key, double quantity) {
    if (!key.expiry.isValid() || quantity == 0) return;
    const QVariantList where{item, unit, batchText(key), lotExpiryText(key.expiry)};
    const Rows changed = m_db.exec(
        QStringLiteral("update kala_lot set qu=qu+? where code_kala=? and code_vah=? and batch=? and date_exps=?"),
        QVariantList{quantity} + where);
    if (changed.numRowsAffected() > 0) return;
    // A new lot: numbered under the column's lock, so two saves adding lots queue.
    const qint64 id = nextKey(m_db, QStringLiteral("kala_lot"), QStringLiteral("code_lot"));
    m_db.exec(QStringLiteral("insert into kala_lot (%1) values (?, ?, ?, ?, ?, ?)").arg(QLatin1String(kLotColumns)),
              QVariantList{id} + where + QVariantList{quantity});
}

void LotStore::giveBack(double item, int unit, const LotKey& key, double quantity) {
    if (!key.expiry.isValid() || quantity <= 0) return;
    const std::optional<Lot> lot = find(item, unit, key);
    if (!lot || lot->quantity <= 0) return;
    m_db.exec(QStringLiteral("update kala_lot set qu=qu-? where code_lot=?"), {std::min(quantity, lot->quantity), lot->id});
}

QList<LotDraw> LotStore::draw(LotDocument document, int number, double item, int unit, double quantity,
                              const QDate& today, const std::optional<LotKey>& scanned) {
    QList<LotDraw> draws;
    double left = quantity;
    QList<Lot> candidates;
    if (scanned)
        if (const std::optional<Lot> lot = find(item, unit, *scanned)) candidates.append(*lot);
    for (const Lot& lot : lotsOf(item, unit))
        if (lot.expiry >= today && (candidates.isEmpty() || lot.id != candidates.front().id)) candidates.append(lot);
    for (const Lot& lot : candidates) {
        if (left <= 0) break;
        const double take = std::min(left, lot.quantity);
        if (take <= 0) continue;
        // Guarded: a lot another workstation drew from meanwhile is passed over, never overdrawn.
        const Rows taken = m_db.exec(QStringLiteral("update kala_lot set qu=qu-? where code_lot=? and qu>=?"),
                                     {take, lot.id, take});
        if (taken.numRowsAffected() <= 0) continue;
        draws.append({lot.id, take});
        left -= take;
    }
    if (left > 0) draws.append({0, left});
    for (const LotDraw& drawn : draws)
        if (drawn.lot != 0)
            m_db.exec(QStringLiteral("insert into kala_lot_line (type_doc, sh_factor, code_kala, code_lot, qu) "
                                     "values (?, ?, ?, ?, ?)"),
                      {QString(QChar(char(document))), number, item, drawn.lot, drawn.quantity});
    return draws;
}

void LotStore::putBack(LotDocument document, int number) {
    const QVariantList key{QString(QChar(char(document))), number};
    QList<LotDraw> drawn;
    {
        Rows rows = m_db.exec(QStringLiteral("select code_lot, qu from kala_lot_line where type_doc=? and sh_factor=?"), key);
        while (rows.next()) drawn.append({rows.value(0).toInt(), rows.value(1).toDouble()});
    }
    for (const LotDraw& draw : drawn)
        m_db.exec(QStringLiteral("update kala_lot set qu=qu+? where code_lot=?"), {draw.quantity, draw.lot});
    if (!drawn.isEmpty())
        m_db.exec(QStringLiteral("delete from kala_lot_line where type_doc=? and sh_factor=?"), key);
}

QList<Lot> LotStore::lotsOf(double item, int unit) {
    return readLots(m_db.exec(QStringLiteral("select %1 from kala_lot where code_kala=? and code_vah=? and qu>0 "
                                             "order by date_exps, code_lot")
                                  .arg(QLatin1String(kLotColumns)),
                              {item, unit}));
}

QList<Lot> LotStore::expiringWithin(const QDate& today, int days, int unit) {
    return readLots(m_db.exec(QStringLiteral("select %1 from kala_lot where code_vah=? and qu>0 and date_exps<? "
                                             "order by date_exps, code_kala, code_lot")
                                  .arg(QLatin1String(kLotColumns)),
                              {unit, lotExpiryText(today.addDays(days))}));
}

} // namespace ph
