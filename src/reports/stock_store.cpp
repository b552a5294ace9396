#include "reports/stock_store.h"

#include "db/database.h"

namespace ph {

QString stockCategoryCaption(StockCategory category) {
    switch (category) {
    case StockCategory::DrugTariff: return texts::kStockDrugTariff;
    case StockCategory::DrugFree: return texts::kStockDrugFree;
    case StockCategory::EquipmentTariff: return texts::kStockEquipmentTariff;
    case StockCategory::EquipmentFree: return texts::kStockEquipmentFree;
    case StockCategory::Hoteling: return texts::kStockHoteling;
    case StockCategory::Other: break;
    }
    return texts::kStockOther;
}

QList<StockRow> StockStore::pharmacyStock() {
    Rows query = m_db.exec(QStringLiteral(
        "select v.code_kala, k.name_kala, v.moj_vah, k.group_code, "
        "(select count(*) from hoteling h where h.code_kala = v.code_kala), "
        "(select count(*) from bimeh_daru b where b.code_kala = v.code_kala), "
        "(select count(*) from bimeh_daru b where b.code_kala = v.code_kala and b.non_bimeh = 1) "
        "from moj_kala_vah v "
        "left join mosh_kala_anbar k on k.code_kala = v.code_kala where v.code_vah = 20 order by v.code_kala"));
    QList<StockRow> rows;
    while (query.next()) {
        StockRow row{query.value(0).toDouble(), query.value(1).toString(),
                     query.value(2).isNull() ? 0 : query.value(2).toDouble()};
        const int group = query.value(3).isNull() ? 0 : query.value(3).toInt();
        const qint64 rules = query.value(5).toLongLong();
        const bool free = rules > 0 && query.value(6).toLongLong() == rules;
        if (query.value(4).toLongLong() > 0)
            row.category = StockCategory::Hoteling;
        else if (group == 1)
            row.category = free ? StockCategory::DrugFree : StockCategory::DrugTariff;
        else if (group > 1)
            row.category = free ? StockCategory::EquipmentFree : StockCategory::EquipmentTariff;
        rows.append(row);
    }
    return rows;
}

} // namespace ph
