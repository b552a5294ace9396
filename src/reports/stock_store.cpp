#include "reports/stock_store.h"

#include "db/database.h"

namespace ph {

QList<StockRow> StockStore::pharmacyStock() {
    QSqlQuery query = m_db.exec(QStringLiteral(
        "select v.code_kala, k.name_kala, v.moj_vah from moj_kala_vah v "
        "left join mosh_kala_anbar k on k.code_kala = v.code_kala where v.code_vah = 20 order by v.code_kala"));
    QList<StockRow> rows;
    while (query.next())
        rows.append({query.value(0).toDouble(), query.value(1).toString(),
                     query.value(2).isNull() ? 0 : query.value(2).toDouble()});
    return rows;
}

} // namespace ph
