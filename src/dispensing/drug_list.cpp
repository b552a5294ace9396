#include "dispensing/drug_list.h"

#include "db/database.h"
#include "db/schema.h"

namespace ph {

bool DrugList::stockKeepingMode() {
    return m_db
        .exec(m_db.dialect().selectLimited(QStringLiteral("1 from moj_kala_vah where code_vah=?"), 1),
              {kPharmacyUnit})
        .next();
}

QList<DrugItem> DrugList::load(bool stockKeeping) {
    return select(stockKeeping, std::nullopt);
}

std::optional<DrugItem> DrugList::find(double code, bool stockKeeping) {
    const QList<DrugItem> found = select(stockKeeping, code);
    if (found.isEmpty()) return std::nullopt;
    return found.first();
}

QList<DrugItem> DrugList::select(bool stockKeeping, const std::optional<double>& code) {
    const QString columns = QStringLiteral("k.name_kala, k.code_sh, k.type_code, k.group_code, t.name ");
    const QString byCode = code ? QStringLiteral(" and k.code_kala=?") : QString();
    QString sql;
    QVariantList params;
    if (stockKeeping) {
        // Compounded drugs are made to order and never stocked: they are listed at their
        // goods row's price, which the formula sets, whether the unit has a row for them or not.
        sql = QStringLiteral("select v.code_kala, v.price_u, ") + columns +
              QStringLiteral("from moj_kala_vah v, mosh_kala_anbar k, type_kala t "
                             "where v.code_vah=? and v.code_kala=k.code_kala and k.type_code=t.code "
                             "and k.type_code<>?") +
              byCode + QStringLiteral(" union all select k.code_kala, k.price_u, ") + columns +
              QStringLiteral("from mosh_kala_anbar k, type_kala t where k.type_code=t.code and k.type_code=?") +
              byCode;
        params << kPharmacyUnit << kCompoundedFormCode;
        if (code) params << *code;
        params << kCompoundedFormCode;
        if (code) params << *code;
    } else {
        sql = QStringLiteral("select k.code_kala, k.price_u, ") + columns +
              QStringLiteral("from mosh_kala_anbar k, type_kala t where k.type_code=t.code") + byCode;
        if (code) params << *code;
    }
    // The list shows the drugs in the Persian collation of their names, which it sorts
    // itself; here they come in code order, so that names the collation holds equal stay in
    // code order.
    sql += QStringLiteral(" order by 1");
    Rows query = m_db.exec(sql, params);
    QList<DrugItem> drugs;
    while (query.next()) {
        DrugItem drug;
        drug.code = query.value(0).toDouble();
        if (!query.value(1).isNull()) drug.listPrice = query.value(1).toDouble();
        drug.name = query.value(2).toString();
        drug.identityCode = query.value(3).toDouble();
        drug.typeCode = query.value(4).toInt();
        drug.groupCode = query.value(5).toInt();
        drug.formName = query.value(6).toString();
        drugs.append(drug);
    }
    return drugs;
}

} // namespace ph
