#pragma once

#include <QList>
#include <QString>

namespace ph {

class Database;

// The heading an item is printed under in the stock list. Drugs are goods group 1, equipment
// any other group; an item is free when every insurer's rule for it says it is not covered
// (with no rule at all it is priced under the contracts, so it counts as tariff); an item any
// insurer pays as hoteling is printed under hoteling; an item with no catalogue row or group
// under other.
enum class StockCategory { DrugTariff, DrugFree, EquipmentTariff, EquipmentFree, Hoteling, Other };

// One item's stock in the pharmacy (stock unit 20).
struct StockRow {
    double code = 0;
    QString name;
    double quantity = 0;
    StockCategory category = StockCategory::Other;
};

// The printed caption of a category.
QString stockCategoryCaption(StockCategory category);

// The stock list: every item that has a pharmacy stock row, by code.
class StockStore {
public:
    explicit StockStore(Database& db) : m_db(db) {}
    QList<StockRow> pharmacyStock();

private:
    Database& m_db;
};

namespace texts {
inline const QString kStockPrintTitle = QStringLiteral("گزارش موجودي دارو");
inline const QString kStockDrugTariff = QStringLiteral("داروي تعرفه");
inline const QString kStockDrugFree = QStringLiteral("داروي آزاد");
inline const QString kStockEquipmentTariff = QStringLiteral("تجهيزات تعرفه");
inline const QString kStockEquipmentFree = QStringLiteral("تجهيزات آزاد");
inline const QString kStockHoteling = QStringLiteral("هتلينگ");
inline const QString kStockOther = QStringLiteral("ساير");
} // namespace texts

} // namespace ph
