#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// The three sales reports: everything sold (prescriptions and goods invoices) by entry date,
// and the prescriptions of one insurer or one doctor by prescription date.
enum class SalesReportKind { General, ByInsurer, ByDoctor };

struct SalesRequest {
    SalesReportKind kind = SalesReportKind::General;
    QString from; // yy/mm/dd, both ends included
    QString to;
    // All items, optionally within a code range, or one item.
    std::optional<double> codeFrom;
    std::optional<double> codeTo;
    std::optional<double> item;
    int insurer = 0;  // by insurer
    QString doctor;   // by doctor: the council number
};

// One item's line of the report.
struct SalesRow {
    double code = 0;
    QString name;
    QString form;
    double quantity = 0;
    double amount = 0;
    double insurerShare = 0; // by insurer only
    double patientShare = 0;
};

// What one item sold on one day, for the chart's daily line over some of the rows.
struct SalesItemDay {
    double code = 0;
    QString date;
    double amount = 0;
};

// The Rials of one day of the report.
struct SalesDay {
    QString date;
    double amount = 0;
};

struct SalesTotals {
    double quantity = 0;
    double amount = 0;
    double insurerShare = 0;
    double patientShare = 0;
};

struct SalesReport {
    SalesRequest request; // what was asked, for the chart's daily line read when it is drawn
    QList<SalesRow> rows; // by code
    // Read the first time a chart is drawn, then kept: the day totals of every row, and each
    // item's days when the chart covers some of the rows only.
    std::optional<QList<SalesDay>> days;
    std::optional<QList<SalesItemDay>> itemDays;
    SalesTotals totals() const;
    bool isEmpty() const { return rows.isEmpty(); }
};

// The indexes of every row of the report, in code order.
QList<int> allRows(const SalesReport& report);

// What a sales print shows besides the rows: the pharmacy, the range as entered, the day of
// the report and, by insurer or by doctor, the insurer's or doctor's name.
struct SalesPrintHeading {
    QString pharmacyName;
    QString from;
    QString to;
    QString reportDate;
    QString partyName;
};


// The chart of a report: the items with the most Rials, and the daily totals of the range.
struct SalesChartData {
    struct Bar {
        QString label;
        double amount = 0;
    };
    struct Point {
        QString date;
        double amount = 0;
    };
    QList<Bar> topItems;   // largest first
    QList<Point> daily;    // every day of the range with sales, in order
};

// Reads the reports. The rows are one statement of their own, summed per item, so
// workstations running the same report at once never see each other's rows; a chart's daily
// line is read when the chart is drawn, summed per day.
class SalesReportStore {
public:
    explicit SalesReportStore(Database& db) : m_db(db) {}
    SalesReport run(const SalesRequest& request);
    // The chart of the rows that are shown: `shownRows` are indexes into report.rows (all of
    // them when the grid has no filter). The daily line is read once per report and kept in it.
    SalesChartData chart(SalesReport& report, const QList<int>& shownRows, int topCount = 10);

private:
    Database& m_db;
};

namespace texts {
inline const QString kSalesTitle = QStringLiteral("   گزارش كلي مصرف ريالي و مقداري دارو و كالا  ");
inline const QString kByInsurerTitle = QStringLiteral("گزارش مصرف دارو به تفکيک بيمه");
inline const QString kByDoctorTitle = QStringLiteral("گزارش مصرف دارو به تفکيک پزشک");
inline const QString kSalesPrintTitle = QStringLiteral("گزارش مصرف ريالي و مقداري دارو");
inline const QString kByInsurerPrintTitle = QStringLiteral("گزارش مصرف دارو به تفكيك بيمه");
inline const QString kByDoctorPrintTitle = QStringLiteral("گزارش مصرف دارو به تفكيك پزشك");
inline const QString kNoSales = QStringLiteral("گزارش فروشي دراين تاريخ وجود ندارد");
inline const QString kNoConsumption = QStringLiteral("گزارشي با مشخصات وارد شده وجود ندارد");
inline const QString kNoReportDate = QStringLiteral("تاريخ گزارش مشخص نشده است");
inline const QString kNoInsurer = QStringLiteral("کد بيمه مشخص نشده است");
inline const QString kNoDoctor = QStringLiteral("نام پزشک مشخص نشده است");
} // namespace texts

} // namespace ph
