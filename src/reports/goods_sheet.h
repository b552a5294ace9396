#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// The summary goods sheet: what the wards received in a date range, per form, item and unit
// price, from inpatient prescriptions or from ward consumption documents.
struct GoodsSheetRequest {
    QString from; // yy/mm/dd
    QString to;
    bool wardConsumption = false;
    std::optional<double> request; // request number
    std::optional<int> ward;
};

struct GoodsSheetRow {
    QString form;
    QString name;
    double quantity = 0;
    double unitPrice = 0;
    double amount = 0;
};

// The detailed goods sheet: the inpatient prescriptions of the range, ward and request, and
// their lines.
struct GoodsSheetPrescription {
    double invoice = 0; // sh_factor
    double request = 0; // sh_darkhast
    QString family;
    QString name;
    QString insuranceNumber; // booklet or file number
    QString written;         // date_no
    QString code;            // code_no
    QString doctor;
};

struct GoodsSheetLine {
    double invoice = 0;
    QString form;
    QString name;
    double quantity = 0;
    double unitPrice = 0;
    double amount = 0;
};

struct GoodsSheetDetail {
    QList<GoodsSheetPrescription> prescriptions; // by invoice number
    QList<GoodsSheetLine> lines;                 // by invoice number, then as stored
    QList<GoodsSheetLine> linesOf(double invoice) const;
};

class GoodsSheetStore {
public:
    explicit GoodsSheetStore(Database& db) : m_db(db) {}
    QList<GoodsSheetRow> summary(const GoodsSheetRequest& request);
    // Inpatient prescriptions only: ward consumption documents have only a summary.
    GoodsSheetDetail detail(const GoodsSheetRequest& request);

private:
    Database& m_db;
};

namespace texts {
inline const QString kNoDateRange = QStringLiteral("محدوده تاريخي مشخص نشده است");
inline const QString kGoodsSheetPrintTitle = QStringLiteral("گزارش کالا برگ");
inline const QString kGoodsSheetDetailPrintTitle = QStringLiteral("گزارش مشروح کالا برگ");
inline const QString kWardConsumptionPrintTitle = QStringLiteral("گزارش مصرفي بخش");
} // namespace texts

} // namespace ph
