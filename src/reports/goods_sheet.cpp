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
    Rows query = m_db.exec(sql, params);
    QList<GoodsSheetRow> rows;
    while (query.next())
        rows.append({query.value(0).toString(), query.value(1).toString(), query.value(2).toDouble(),
                     query.value(3).toDouble(), query.value(4).toDouble()});
    return rows;
}

namespace {

// The inpatient prescriptions' condition shared by both lists of the detailed sheet.
QString detailCondition(const GoodsSheetRequest& request, const QString& alias, QVariantList& params) {
    QString where = QStringLiteral(" where %1.paz_type = 0 and %1.date_no >= ? and %1.date_no <= ?").arg(alias);
    params << request.from << request.to;
    if (request.request) {
        where += QStringLiteral(" and %1.sh_darkhast = ?").arg(alias);
        params << *request.request;
    }
    if (request.ward) {
        where += QStringLiteral(" and %1.code_bakhsh = ?").arg(alias);
        params << *request.ward;
    }
    return where;
}

} // namespace

QList<GoodsSheetLine> GoodsSheetDetail::linesOf(double invoice) const {
    QList<GoodsSheetLine> result;
    for (const GoodsSheetLine& line : lines)
        if (line.invoice == invoice) result.append(line);
    return result;
}

GoodsSheetDetail GoodsSheetStore::detail(const GoodsSheetRequest& request) {
    GoodsSheetDetail detail;
    QVariantList params;
    QString sql = QStringLiteral(
        "select l.sh_factor, h.sh_darkhast, l.family_b, l.name_b, l.sh_bimeh, l.date_no, l.code_no, l.name_p "
        "from v_list_bimeh l join heading_noskhe h on h.sh_factor = l.sh_factor");
    sql += detailCondition(request, QStringLiteral("h"), params) + QStringLiteral(" order by l.sh_factor");
    Rows query = m_db.exec(sql, params);
    while (query.next()) {
        GoodsSheetPrescription p;
        p.invoice = query.value(0).toDouble();
        p.request = query.value(1).toDouble();
        p.family = query.value(2).toString();
        p.name = query.value(3).toString();
        p.insuranceNumber = query.value(4).toString();
        p.written = query.value(5).toString();
        p.code = query.value(6).toString();
        p.doctor = query.value(7).toString().trimmed();
        detail.prescriptions.append(p);
    }
    params.clear();
    sql = QStringLiteral("select v.sh_factor, v.name, v.name_kala, v.tedad, v.price_one, v.price_koll1 from v_see_noskhe v");
    sql += detailCondition(request, QStringLiteral("v"), params) + QStringLiteral(" order by v.sh_factor, v.row");
    query = m_db.exec(sql, params);
    while (query.next())
        detail.lines.append({query.value(0).toDouble(), query.value(1).toString(), query.value(2).toString(),
                             query.value(3).toDouble(), query.value(4).toDouble(), query.value(5).toDouble()});
    return detail;
}

} // namespace ph
