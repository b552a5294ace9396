#pragma once

#include <QList>
#include <QString>

namespace ph {

class Database;

// One item's stock in the pharmacy (stock unit 20).
struct StockRow {
    double code = 0;
    QString name;
    double quantity = 0;
};

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
} // namespace texts

} // namespace ph
