#include "sales/sale_document_store.h"

#include "audit/audit_kinds.h"
#include "audit/audit_log.h"

#include "db/database.h"
#include "db/key_allocator.h"
#include "core/amounts.h"
#include "dispensing/drug_list.h"
#include "dispensing/sale_rows.h"

#include <QStringList>

namespace ph {

const SaleDocumentKind& SaleDocumentKind::goodsInvoice() {
    static const SaleDocumentKind kind{SaleVariant::GoodsInvoice, QStringLiteral("heading_froosh_kala"), QStringLiteral("details_froosh_kala"),
                                       QStringLiteral("code_kala"), QStringLiteral("price"), 'k',
                                       LotDocument::GoodsInvoice};
    return kind;
}

const SaleDocumentKind& SaleDocumentKind::wardConsumption() {
    static const SaleDocumentKind kind{SaleVariant::WardConsumption, QStringLiteral("heading_masrafi"), QStringLiteral("details_masrafi"),
                                       QStringLiteral("code_darou"), QStringLiteral("price_one"), std::nullopt,
                                       LotDocument::WardConsumption};
    return kind;
}

const SaleDocumentKind& SaleDocumentKind::of(SaleVariant variant) {
    return variant == SaleVariant::GoodsInvoice ? goodsInvoice() : wardConsumption();
}

std::optional<StoredSaleDocument> SaleDocumentStore::load(int number) {
    const bool goods = m_kind.variant == SaleVariant::GoodsInvoice;
    Rows q = m_db.exec(
        goods ? QStringLiteral("select date_sabt, name, family, price_koll_f, price_koll, price_otc, "
                               "name_kala, code_kala, name_type, vaziat, tedad, price, price_koll1 "
                               "from v_see_froosh_kala where sh_factor=? order by code_kala, vaziat, tedad")
              : QStringLiteral("select date_sabt, sh_darkhast, code_bakhsh, price_koll, price_koll, 0, "
                               "name_kala, code_darou, name, vaziat, tedad, price_one, price_koll1 "
                               "from v_see_masrafi where sh_factor=? order by code_darou, vaziat, tedad"),
        {number});
    std::optional<StoredSaleDocument> stored;
    const auto amount = [&](int i) { return q.value(i).isNull() ? QString() : plainDecimalText(q.value(i).toDouble()); };
    while (q.next()) {
        if (!stored) {
            stored.emplace();
            stored->date = q.value(0).toString();
            if (goods) {
                stored->name = q.value(1).toString();
                stored->family = q.value(2).toString();
            } else {
                stored->requestNumber = q.value(1).toString();
                stored->wardCode = q.value(2).isNull() ? QString() : QString::number(q.value(2).toLongLong());
            }
            stored->payable = q.value(3).toDouble();
            stored->goods = q.value(4).toDouble();
            stored->otc = q.value(5).toDouble();
        }
        stored->lines.append({QString(), q.value(6).toString(), amount(7), q.value(8).toString(),
                              q.value(9).toString(), amount(10), amount(11), amount(12)});
    }
    return stored;
}

std::optional<double> SaleDocumentStore::pharmacyStock(double code) {
    const QVariant stock = m_db.scalar(
        m_db.dialect().selectLimited(QStringLiteral("moj_vah from moj_kala_vah where code_kala=? and code_vah=?"), 1),
        {code, DrugList::kPharmacyUnit});
    return stock.isNull() ? std::nullopt : std::optional<double>(stock.toDouble());
}

int SaleDocumentStore::nextNumber() {
    const QVariant largest = m_db.scalar(QStringLiteral("select max(sh_factor) from %1").arg(m_kind.heading));
    return largest.isNull() ? 1 : largest.toInt() + 1;
}

bool SaleDocumentStore::exists(int number) {
    return !m_db
                .scalar(m_db.dialect().selectLimited(QStringLiteral("1 from %1 where sh_factor=?").arg(m_kind.heading), 1),
                        {number})
                .isNull();
}

std::optional<int> SaleDocumentStore::first() {
    const QVariant v = m_db.scalar(QStringLiteral("select min(sh_factor) from %1").arg(m_kind.heading));
    return v.isNull() ? std::nullopt : std::optional<int>(v.toInt());
}

std::optional<int> SaleDocumentStore::last() {
    const QVariant v = m_db.scalar(QStringLiteral("select max(sh_factor) from %1").arg(m_kind.heading));
    return v.isNull() ? std::nullopt : std::optional<int>(v.toInt());
}

void SaleDocumentStore::insertLines(int number, const SaleRecord& r) {
    const QString sql = QStringLiteral("insert into %1 (sh_factor, %2, vaziat, tedad, %3, price_koll) "
                                       "values (?, ?, ?, ?, ?, ?)")
                            .arg(m_kind.details, m_kind.codeColumn, m_kind.priceColumn);
    for (const SaleLine& line : r.lines)
        m_db.exec(sql, {number, line.code, line.kind.trimmed(), line.quantity, line.price, line.total});
}

QList<StockLine> SaleDocumentStore::storedStock(int number) {
    QList<StockLine> lines;
    Rows q = m_db.exec(
        QStringLiteral("select %1, tedad from %2 where sh_factor=?").arg(m_kind.codeColumn, m_kind.details), {number});
    while (q.next())
        lines.append({q.value(0).toDouble(), q.value(1).toDouble()});
    return lines;
}

namespace {

QList<StockLine> stockOf(const SaleRecord& r) {
    QList<StockLine> lines;
    for (const SaleLine& line : r.lines)
        lines.append({line.code, line.quantity, line.packs});
    return lines;
}

} // namespace

int SaleDocumentStore::saveNew(const SaleRecord& r, const SaveContext& c) {
    return saveInTransaction(m_db, [&] {
        const int number = int(nextKey(m_db, m_kind.heading, QStringLiteral("sh_factor")));
        QStringList columns = {QStringLiteral("sh_factor")};
        QStringList marks = {QStringLiteral("?")};
        QVariantList values = {number};
        for (const auto& [column, value] : r.heading) {
            columns.append(column);
            marks.append(QStringLiteral("?"));
            values.append(value);
        }
        m_db.exec(QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(m_kind.heading, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                  values);
        insertLines(number, r);
        if (m_kind.cash) {
            CashAmounts amounts;
            amounts.total = r.payable;
            insertCashRow(m_db, {number, *m_kind.cash, amounts, 0, c.today, r.familyName, r.waitsAtCashDesk}, c);
        }
        if (r.stockKeeping) {
            moveStock(m_db, stockOf(r), -1);
            drawLots(m_db, m_kind.lots, number, stockOf(r), c.today);
        }
        record(c.origin, number, {}, QList<AuditRow>{}, storedHeading(number), storedLines(number));
        return number;
    });
}

bool SaleDocumentStore::saveEdit(int number, const SaleRecord& r, const SaveContext& c) {
    return saveInTransaction(m_db, [&] {
        if (!exists(number)) return false;
        const AuditRow before = storedHeading(number);
        const QList<AuditRow> linesBefore = storedLines(number);
        QList<DrawnLot> drawnBefore;
        if (r.stockKeeping) {
            moveStock(m_db, storedStock(number), +1);
            drawnBefore = LotStore(m_db).putBack(m_kind.lots, number);
        }
        m_db.exec(QStringLiteral("delete from %1 where sh_factor=?").arg(m_kind.details), {number});
        insertLines(number, r);
        QStringList assignments;
        QVariantList values;
        for (const auto& [column, value] : r.heading) {
            assignments.append(column + QStringLiteral("=?"));
            values.append(value);
        }
        values.append(number);
        m_db.exec(QStringLiteral("update %1 set %2 where sh_factor=?").arg(m_kind.heading, assignments.join(u',')),
                  values);
        if (m_kind.cash) {
            // The difference to what the document's cash rows hold in sum, received minus refunded:
            // more is received at the document's date, less is paid back today.
            const double held = heldByCashRows(m_db, number, *m_kind.cash);
            if (r.payable > held) {
                CashAmounts more;
                more.total = r.payable - held;
                insertCashRow(m_db, {number, *m_kind.cash, more, 0, r.date, r.familyName, r.waitsAtCashDesk}, c);
            } else if (r.payable < held) {
                insertCashRow(m_db,
                              {number, *m_kind.cash, CashAmounts{}, held - r.payable, c.today, r.familyName,
                               r.waitsAtCashDesk},
                              c);
            }
        }
        if (r.stockKeeping) {
            moveStock(m_db, stockOf(r), -1);
            drawLots(m_db, m_kind.lots, number, stockOf(r), c.today, drawnBefore);
        }
        record(c.origin, number, before, linesBefore, storedHeading(number), storedLines(number));
        return true;
    });
}

SaleDocumentStore::RemoveResult SaleDocumentStore::remove(int number, bool stockKeeping, const AuditOrigin& origin) {
    return saveInTransaction(m_db, [&] {
        if (!exists(number)) return RemoveResult::NotFound;
        const AuditRow before = storedHeading(number);
        const QList<AuditRow> linesBefore = storedLines(number);
        if (m_kind.cash) {
            const QString kind(QChar::fromLatin1(*m_kind.cash));
            // Money a closing has counted stays explained by its document.
            if (!m_db.scalar(m_db.dialect().selectLimited(
                                 QStringLiteral("1 from cash where sh_factor=? and type_factor=? and ekhtetam<>0"), 1),
                             {number, kind})
                     .isNull())
                return RemoveResult::ClosedByCashDesk;
            m_db.exec(QStringLiteral("delete from cash where sh_factor=? and type_factor=?"), {number, kind});
        }
        if (stockKeeping) {
            moveStock(m_db, storedStock(number), +1);
            LotStore(m_db).putBack(m_kind.lots, number);
        }
        m_db.exec(QStringLiteral("delete from %1 where sh_factor=?").arg(m_kind.details), {number});
        m_db.exec(QStringLiteral("delete from %1 where sh_factor=?").arg(m_kind.heading), {number});
        record(origin, number, before, linesBefore, {}, QList<AuditRow>{});
        return RemoveResult::Removed;
    });
}

AuditRow SaleDocumentStore::storedHeading(int number) {
    return readAuditRow(m_db, m_kind.heading, QStringLiteral("sh_factor=?"), {number});
}

QList<AuditRow> SaleDocumentStore::storedLines(int number) {
    return readAuditRows(m_db, m_kind.details, QStringLiteral("sh_factor=?"), {number}, m_kind.codeColumn);
}

void SaleDocumentStore::record(const AuditOrigin& origin, int number, const AuditRow& before,
                               const std::optional<QList<AuditRow>>& linesBefore, const AuditRow& after,
                               const std::optional<QList<AuditRow>>& linesAfter) {
    const QString kind = m_kind.variant == SaleVariant::GoodsInvoice ? QString(audit_kind::kGoodsInvoice)
                                                                     : QString(audit_kind::kWardConsumption);
    appendAudit(m_db, origin, {kind, QString::number(number), documentChanges(before, after, linesBefore, linesAfter)});
}

} // namespace ph
