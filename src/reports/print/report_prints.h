#pragma once

#include "print/report.h"
#include "print/xlsx_table.h"
#include "reports/expiry_report.h"
#include "reports/goods_sheet.h"
#include "reports/sales_report.h"
#include "reports/report_files.h"
#include "reports/stock_store.h"

#include <QImage>

namespace ph {

// The rows a print or a file holds: `shownRows` are indexes into report.rows, in the order
// shown (the grid's filter and order); empty takes every row by code.
print::Report salesPrint(SalesReportKind kind, const SalesReport& report, const QList<int>& shownRows,
                         const SalesPrintHeading& heading, const QImage& chart = QImage());
print::XlsxSheet salesSheet(SalesReportKind kind, const SalesReport& report, const QList<int>& shownRows,
                            const SalesPrintHeading& heading);

struct StockPrintHeading {
    QString reportDate;
    QString reportTime;
};
print::Report stockPrint(const QList<StockRow>& rows, const StockPrintHeading& heading);
print::XlsxSheet stockSheet(const QList<StockRow>& rows);

// The near-expiry list: expired lots marked, values grouped by thousands, the total under them.
print::Report expiryPrint(const ExpiryReport& report, const ExpiryPrintHeading& heading);
print::XlsxSheet expirySheet(const ExpiryReport& report, const ExpiryPrintHeading& heading);

struct GoodsSheetHeading {
    QString pharmacyName;
    QString from;
    QString to;
    QString wardName;
    QString request;
    QString reportDate;
    bool wardConsumption = false;
};
print::Report goodsSheetPrint(const QList<GoodsSheetRow>& rows, const GoodsSheetHeading& heading);
// The detailed sheet: every line of the prescriptions with its prescription and patient.
print::Report goodsSheetDetailPrint(const GoodsSheetDetail& detail, const GoodsSheetHeading& heading);
print::XlsxSheet goodsSheetSheet(const QList<GoodsSheetRow>& rows, const GoodsSheetHeading& heading);

} // namespace ph
