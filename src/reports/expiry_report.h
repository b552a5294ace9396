#pragma once

#include <QDate>
#include <QList>
#include <QString>

namespace ph {

class Database;

// A lot of the pharmacy's stock that expires soon (or has expired), valued at its item's
// current unit price.
struct ExpiryRow {
    double item = 0;
    QString name;
    QString batch;
    QDate expiry;
    QString expiryText; // solar, yyyy/mm/dd
    double quantity = 0;
    double unitPrice = 0; // price_u of the item's pharmacy unit row; 0 when it has none
    double value = 0;     // quantity at the unit price, to the Rial
    bool expired = false; // its expiry is before today: it is no longer dispensed
};

struct ExpiryReport {
    QList<ExpiryRow> rows; // first expiry first
    double total = 0;      // the sum of the values
};

// The default look-ahead of the near-expiry list, in days.
constexpr int kDefaultExpiryDays = 90;
// The longest look-ahead accepted: ten years.
constexpr int kMostExpiryDays = 3650;

// What the list's print and files show besides the rows.
struct ExpiryPrintHeading {
    QString pharmacyName;
    QString reportDate;
    int days = kDefaultExpiryDays;
};

// The pharmacy's lots (stock unit 20) that expire within `days` days of today, and those
// already expired.
ExpiryReport nearExpiryReport(Database& db, const QDate& today, int days);

// A date as the solar text yyyy/mm/dd; empty for an invalid date.
QString solarDateText(const QDate& date);

namespace texts {
inline const QString kExpiryTitle = QStringLiteral("اقلام نزديك به انقضا");
inline const QString kExpiredMark = QStringLiteral("منقضي شده");
} // namespace texts

} // namespace ph
