#include "reports/goods_sheet.h"

#include "db/database.h"

namespace ph {

QList<GoodsSheetRow> GoodsSheetStore::summary(const GoodsSheetRequest& request) {
    QVariantList params{request.from, request.to};
    QString sql = request.wardConsumption
                      ? QStringLiteral("select name, name_kala, sum(tedad), price_one, sum(price_koll1) from v_see_masrafi "
                                       "where date_no >= ? and date_no <= ?")
                      : QStringLiteral("select name, name_kala, sum(tedad), price_one, sum(price_koll1) from v_see_noskhe "
                                       "where date_no >= ? and date_no <= ? and paz_type = 0");
    if (request.request) {
        sql += QStringLiteral(" and sh_darkhast = ?");
        params << *request.request;
    }
    if (request.ward) {
        sql += QStringLiteral(" and code_bakhsh = ?");
        params << *request.ward;
    }
    sql += QStringLiteral(" group by name, name_kala, price_one order by name, name_kala, price_one");
    QSqlQuery query = m_db.exec(sql, params);
    QList<GoodsSheetRow> rows;
    while (query.next())
        rows.append({query.value(0).toString(), query.value(1).toString(), query.value(2).toDouble(),
                     query.value(3).toDouble(), query.value(4).toDouble()});
    return rows;
}

} // namespace ph
