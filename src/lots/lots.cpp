#include "lots/lots.h"

#include "db/database.h"
#include "db/key_allocator.h"
#include "core/jalali_date.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <numeric>

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

QDate lotsDay(const QString& solarToday) {
    const QDate day = expiryFromDocumentText(solarToday);
    return day.isValid() ? day : QDate::currentDate();
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
    LotLine line{item, quantity, {}};
    if (scanned) line.packs.append({*scanned, QString()});
    return drawDocument(document, number, unit, {line}, today).value(0);
}

QList<QList<LotDraw>> LotStore::drawDocument(LotDocument document, int number, int unit, const QList<LotLine>& lines,
                                             const QDate& today, const QList<DrawnLot>& before) {
    ItemLots lots = lotsOfLines(unit, lines);
    const QList<QList<LotDraw>> drawn = takeOut(lots, lines, today, before);
    for (const Statement& record : drawRecords(document, number, lines, drawn))
        m_db.exec(record.sql, record.values);
    return drawn;
}

LotStore::ItemLots LotStore::lotsOfLines(int unit, const QList<LotLine>& lines) {
    // The lots of the document's items, expired ones too (a scanned pack or an earlier draw
    // may name one), read at once.
    QList<double> items;
    for (const LotLine& line : lines)
        if (!items.contains(line.item)) items.append(line.item);
    ItemLots lotsOfItem;
    constexpr int kItemsAtOnce = 200;
    for (int first = 0; first < items.size(); first += kItemsAtOnce) {
        const QList<double> chunk = items.mid(first, kItemsAtOnce);
        QVariantList values{unit};
        for (double item : chunk) values.append(item);
        Rows rows = m_db.exec(QStringLiteral("select %1 from kala_lot where code_vah=? and qu>0 and code_kala in (%2) "
                                             "order by code_kala, date_exps, code_lot")
                                  .arg(QLatin1String(kLotColumns),
                                       QStringList(chunk.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
                              values);
        while (rows.next()) {
            const Lot lot = readLot(rows);
            lotsOfItem[lot.item].append(lot);
        }
    }
    return lotsOfItem;
}

QList<QList<LotDraw>> LotStore::takeOut(ItemLots& lotsOfItem, const QList<LotLine>& lines, const QDate& today,
                                        const QList<DrawnLot>& before) {
    // The lines are drawn in order of item, so that two documents drawing the same lots at
    // once take their row locks in the same order and never wait for each other in a circle.
    QList<int> byItem(lines.size());
    std::iota(byItem.begin(), byItem.end(), 0);
    std::stable_sort(byItem.begin(), byItem.end(),
                     [&lines](int a, int b) { return lines.at(a).item < lines.at(b).item; });
    QList<QList<LotDraw>> drawn(lines.size());
    for (int lineIndex : byItem) {
        const LotLine& line = lines.at(lineIndex);
        if (!lotsOfItem.contains(line.item)) {
            if (line.quantity > 0) drawn[lineIndex].append({0, line.quantity});
            continue;
        }
        QList<Lot>& lots = lotsOfItem[line.item];
        // The order the lots are drawn in: those drawn before, the scanned packs', then first
        // expiry first among the unexpired.
        QList<int> order;
        const auto add = [&order](int index) {
            if (index >= 0 && !order.contains(index)) order.append(index);
        };
        const auto indexOf = [&lots](auto matches) {
            for (int i = 0; i < lots.size(); ++i)
                if (matches(lots.at(i))) return i;
            return -1;
        };
        for (const DrawnLot& earlier : before)
            if (earlier.item == line.item) add(indexOf([&](const Lot& lot) { return lot.id == earlier.lot; }));
        for (const ScannedPack& pack : line.packs)
            add(indexOf([&](const Lot& lot) {
                return lot.batch == pack.lot.batch.trimmed() && lot.expiry == pack.lot.expiry;
            }));
        for (int i = 0; i < lots.size(); ++i)
            if (lots.at(i).expiry >= today) add(i);

        QList<LotDraw> draws;
        double left = line.quantity;
        for (int index : order) {
            if (left <= 0) break;
            Lot& lot = lots[index];
            const double take = std::min(left, lot.quantity);
            if (take <= 0) continue;
            // Guarded: a lot another workstation drew from meanwhile is passed over, never overdrawn.
            const Rows taken = m_db.exec(QStringLiteral("update kala_lot set qu=qu-? where code_lot=? and qu>=?"),
                                         {take, lot.id, take});
            if (taken.numRowsAffected() <= 0) continue;
            lot.quantity -= take;
            draws.append({lot.id, take});
            left -= take;
        }
        if (left > 0) draws.append({0, left});
        drawn[lineIndex] = draws;
    }
    return drawn;
}

QList<Statement> LotStore::drawRecords(LotDocument document, int number, const QList<LotLine>& lines,
                                       const QList<QList<LotDraw>>& draws) {
    const QString kind{QChar(char(document))};
    QList<Statement> records;
    for (int i = 0; i < lines.size(); ++i) {
        const LotLine& line = lines.at(i);
        for (const LotDraw& draw : draws.value(i))
            if (draw.lot != 0)
                records.append({QStringLiteral("insert into kala_lot_line (type_doc, sh_factor, code_kala, code_lot, qu) "
                                               "values (?, ?, ?, ?, ?)"),
                                {kind, number, line.item, draw.lot, draw.quantity}});
        for (const ScannedPack& pack : line.packs)
            if (!pack.serial.trimmed().isEmpty())
                records.append({QStringLiteral("insert into kala_serial (code_kala, batch, serial, type_doc, sh_factor) "
                                               "values (?, ?, ?, ?, ?)"),
                                {line.item, batchText(pack.lot), pack.serial.trimmed(), kind, number}});
    }
    return records;
}

QList<DrawnLot> LotStore::putBack(LotDocument document, int number) {
    const QVariantList key{QString(QChar(char(document))), number};
    QList<DrawnLot> drawn;
    {
        Rows rows = m_db.exec(
            QStringLiteral("select code_kala, code_lot, qu from kala_lot_line where type_doc=? and sh_factor=? order by code_lot"), key);
        while (rows.next()) drawn.append({rows.value(0).toDouble(), rows.value(1).toInt(), rows.value(2).toDouble()});
    }
    for (const DrawnLot& draw : drawn)
        m_db.exec(QStringLiteral("update kala_lot set qu=qu+? where code_lot=?"), {draw.quantity, draw.lot});
    if (!drawn.isEmpty())
        m_db.exec(QStringLiteral("delete from kala_lot_line where type_doc=? and sh_factor=?"), key);
    m_db.exec(QStringLiteral("delete from kala_serial where type_doc=? and sh_factor=?"), key);
    return drawn;
}

std::optional<SerialSeen> LotStore::serialSeen(double item, const QString& batch, const QString& serial) {
    if (serial.trimmed().isEmpty()) return std::nullopt;
    Rows rows = m_db.exec(m_db.dialect().selectLimited(
                              QStringLiteral("type_doc, sh_factor from kala_serial where code_kala=? and serial=? "
                                             "and batch=? order by sh_factor"),
                              1),
                          {item, serial.trimmed(), batchText(LotKey{batch, {}})});
    if (!rows.next()) return std::nullopt;
    const QString kind = rows.value(0).toString();
    return SerialSeen{LotDocument(kind.isEmpty() ? 'd' : kind.at(0).toLatin1()), rows.value(1).toInt()};
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
