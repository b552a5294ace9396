#include "reports/store_documents.h"

#include "db/database.h"
#include "db/transaction.h"
#include "lots/lots.h"

namespace ph {
namespace {

double number(const QVariant& value) { return value.isNull() ? 0 : value.toDouble(); }

QVariantList keyParams(const StoreDocumentKey& key) { return {key.number, key.store, key.year}; }

} // namespace

QList<StoreDocument> StoreDocumentStore::pending(StoreDocumentKind kind) {
    const QString sql = kind == StoreDocumentKind::Incoming
                            ? QStringLiteral("select num_h, code_anbar, year1, date_sod, price_kol from mosh_havaleh "
                                             "where taeed_darou = 0 and code_vah = 20 order by year1, num_h, code_anbar")
                            : QStringLiteral("select num_b, code_anbar, year1, date_b, price_kol from mosh_bargasht_b "
                                             "where taeed_daro = 0 and code_vah = 20 order by year1, num_b, code_anbar");
    Rows query = m_db.exec(sql);
    QList<StoreDocument> documents;
    while (query.next())
        documents.append({{query.value(0).toInt(), query.value(1).toInt(), query.value(2).toInt()},
                          query.value(3).toString(),
                          number(query.value(4))});
    return documents;
}

QList<StoreDocumentLine> StoreDocumentStore::lines(StoreDocumentKind kind, const StoreDocumentKey& key) {
    const QString sql =
        kind == StoreDocumentKind::Incoming
            ? QStringLiteral("select l.num_h, l.code_kala, t.name, k.name_kala, l.date_exps, l.qu, k.price_u, l.price_u "
                             "from kala_havaleh l left join mosh_kala_anbar k on k.code_kala = l.code_kala "
                             "left join type_kala t on t.code = k.type_code "
                             "where l.num_h = ? and l.code_anbar = ? and l.year1 = ? order by l.code_kala")
            : QStringLiteral("select l.num_b, l.code_kala, t.name, k.name_kala, l.date_exps, l.qu, k.price_u, l.price_u "
                             "from kala_bargasht_b l left join mosh_kala_anbar k on k.code_kala = l.code_kala "
                             "left join type_kala t on t.code = k.type_code "
                             "where l.num_b = ? and l.code_anbar = ? and l.year1 = ? order by l.code_kala");
    Rows query = m_db.exec(sql, keyParams(key));
    QList<StoreDocumentLine> result;
    while (query.next()) {
        StoreDocumentLine line;
        line.number = query.value(0).toInt();
        line.code = number(query.value(1));
        line.form = query.value(2).toString();
        line.name = query.value(3).toString();
        line.expiry = query.value(4).toString();
        line.quantity = number(query.value(5));
        line.catalogPrice = number(query.value(6));
        line.documentPrice = number(query.value(7));
        result.append(line);
    }
    return result;
}

bool StoreDocumentStore::isPending(StoreDocumentKind kind, const StoreDocumentKey& key) {
    const QString sql = kind == StoreDocumentKind::Incoming
                            ? QStringLiteral("select count(*) from mosh_havaleh where num_h = ? and code_anbar = ? "
                                             "and year1 = ? and taeed_darou = 0")
                            : QStringLiteral("select count(*) from mosh_bargasht_b where num_b = ? and code_anbar = ? "
                                             "and year1 = ? and taeed_daro = 0");
    return m_db.scalar(sql, keyParams(key)).toInt() > 0;
}

TakeInOutcome StoreDocumentStore::takeIn(StoreDocumentKind kind, const StoreDocumentKey& key,
                                         const QList<bool>& documentPrice) {
    const bool incoming = kind == StoreDocumentKind::Incoming;
    Transaction transaction(m_db);
    // The flag is raised first and only from "not taken": of two workstations taking the same
    // document, the second waits for the first's row and then finds nothing to raise.
    {
        Rows accept = m_db.exec(
            incoming ? QStringLiteral("update mosh_havaleh set taeed_darou = 1 where num_h = ? and code_anbar = ? "
                                      "and year1 = ? and taeed_darou = 0")
                     : QStringLiteral("update mosh_bargasht_b set taeed_daro = 1 where num_b = ? and code_anbar = ? "
                                      "and year1 = ? and taeed_daro = 0"),
            keyParams(key));
        const int accepted = accept.numRowsAffected();
        accept.finish();
        if (accepted < 1) {
            transaction.rollback();
            return TakeInOutcome::AlreadyTaken;
        }
    }
    const QList<StoreDocumentLine> documentLines = lines(kind, key);
    for (int i = 0; i < documentLines.size(); ++i) {
        const StoreDocumentLine& line = documentLines.at(i);
        int changed = 0;
        if (incoming) {
            Rows update = m_db.exec(QStringLiteral("update moj_kala_vah set moj_vah = coalesce(moj_vah, 0) + ?, "
                                                        "price_u = ? where code_kala = ? and code_vah = 20"),
                                         {line.quantity, line.catalogPrice, line.code});
            changed = update.numRowsAffected();
        } else {
            Rows update = m_db.exec(QStringLiteral("update moj_kala_vah set moj_vah = coalesce(moj_vah, 0) - ? "
                                                        "where code_kala = ? and code_vah = 20"),
                                         {line.quantity, line.code});
            changed = update.numRowsAffected();
        }
        if (changed < 1)
            m_db.exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) "
                                     "values (?, 20, ?, ?)"),
                      {line.code, incoming ? line.quantity : -line.quantity,
                       incoming ? line.catalogPrice : line.documentPrice});
        // Lines with an expiry are kept as lots; the others stay untracked stock.
        const LotKey lot{QString(), expiryFromDocumentText(line.expiry)};
        if (incoming)
            LotStore(m_db).takeIn(line.code, 20, lot, line.quantity);
        else
            LotStore(m_db).giveBack(line.code, 20, lot, line.quantity);
        if (incoming && i < documentPrice.size() && documentPrice.at(i)) {
            m_db.exec(QStringLiteral("update mosh_kala_anbar set price_u = ? where code_kala = ?"),
                      {line.documentPrice, line.code});
            m_db.exec(QStringLiteral("update moj_kala_vah set price_u = ? where code_kala = ? and code_vah = 20"),
                      {line.documentPrice, line.code});
        }
    }
    transaction.commit();
    return TakeInOutcome::Done;
}

} // namespace ph
