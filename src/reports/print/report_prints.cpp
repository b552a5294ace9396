#include "reports/print/report_prints.h"

#include "core/amounts.h"
#include "lots/lots.h"
#include "reports/print/table_print.h"


#include <algorithm>

namespace ph {
namespace {

using print::Align;
using print::TableColumn;
using print::TableHeadingLine;
using print::XlsxColumn;
using print::XlsxColumnKind;

const QString kSumCaption = QStringLiteral("جمع ");

QString code(double value) { return QString::number(qint64(value)); }
// Amounts grouped by thousands, as the windows show them.
QString amount(double value) { return groupedAmountText(roundRial(value)); }
QString count(double value) { return plainDecimalText(value); }

QList<int> rowsOf(const SalesReport& report, const QList<int>& shownRows) {
    return shownRows.isEmpty() ? allRows(report) : shownRows;
}

QString printTitle(SalesReportKind kind) {
    switch (kind) {
    case SalesReportKind::ByInsurer: return texts::kByInsurerPrintTitle;
    case SalesReportKind::ByDoctor: return texts::kByDoctorPrintTitle;
    case SalesReportKind::General: break;
    }
    return texts::kSalesPrintTitle;
}

} // namespace

print::Report salesPrint(SalesReportKind kind, const SalesReport& report, const QList<int>& shownRows,
                         const SalesPrintHeading& heading, const QImage& chart) {
    const bool byInsurer = kind == SalesReportKind::ByInsurer;
    print::TablePrint table;
    QList<TableHeadingLine> party;
    if (kind != SalesReportKind::General)
        party.append({QStringLiteral("party"),
                      byInsurer ? QStringLiteral("بيمه: ") : QStringLiteral("پزشك: "), Align::Right});
    party.append({QStringLiteral("reportDate"), QStringLiteral("تاريخ گزارش "), Align::Left});
    table.heading = {
        {{{}, QStringLiteral("بسمه تعالي "), Align::Center, true}},
        {{QStringLiteral("title"), {}, Align::Center, true, 12}},
        {{QStringLiteral("range"), {}, Align::Center}, {print::kPageNumber, QStringLiteral("صفحه "), Align::Left}},
        {{QStringLiteral("pharmacy"), QStringLiteral("داروخانه "), Align::Center}},
        party,
    };
    table.columns = {
        {QStringLiteral("رديف "), QStringLiteral("row"), 11},
        {QStringLiteral("كددارو/كالا"), QStringLiteral("code"), 24},
        {QStringLiteral("نام دارو/كالا"), QStringLiteral("name"), byInsurer ? 52.0 : 70.0, Align::Right},
        {QStringLiteral("شكل"), QStringLiteral("form"), 22},
        {QStringLiteral("تعداد"), QStringLiteral("quantity"), 18, Align::Center, true},
        {QStringLiteral("قيمت"), QStringLiteral("amount"), 26, Align::Center, true},
    };
    if (byInsurer) {
        table.columns.append({QStringLiteral("سهم بيمار"), QStringLiteral("patient"), 22, Align::Center, true});
        table.columns.append({QStringLiteral("سهم سازمان"), QStringLiteral("insurer"), 22, Align::Center, true});
    }
    table.sumCaption = kSumCaption;
    if (!chart.isNull()) table.pictureKey = QStringLiteral("chart");

    print::ReportData data;
    data.values = {{QStringLiteral("title"), printTitle(kind)},
                   {QStringLiteral("range"), QStringLiteral("از تاريخ %1 تا تاريخ %2").arg(heading.from, heading.to)},
                   {QStringLiteral("pharmacy"), heading.pharmacyName},
                   {QStringLiteral("reportDate"), heading.reportDate},
                   {QStringLiteral("party"), heading.partyName}};
    SalesTotals sum;
    int number = 0;
    for (int index : rowsOf(report, shownRows)) {
        const SalesRow& row = report.rows.at(index);
        sum.quantity += row.quantity;
        sum.amount += row.amount;
        sum.insurerShare += row.insurerShare;
        sum.patientShare += row.patientShare;
        data.rows.append({{QStringLiteral("row"), QString::number(++number)},
                          {QStringLiteral("code"), code(row.code)},
                          {QStringLiteral("name"), row.name},
                          {QStringLiteral("form"), row.form},
                          {QStringLiteral("quantity"), count(row.quantity)},
                          {QStringLiteral("amount"), amount(row.amount)},
                          {QStringLiteral("patient"), amount(row.patientShare)},
                          {QStringLiteral("insurer"), amount(row.insurerShare)}});
    }
    // The sums in whole numbers.
    data.values.insert(QStringLiteral("quantity_sum"), wholeRialText(sum.quantity));
    data.values.insert(QStringLiteral("amount_sum"), amount(sum.amount));
    data.values.insert(QStringLiteral("patient_sum"), amount(sum.patientShare));
    data.values.insert(QStringLiteral("insurer_sum"), amount(sum.insurerShare));
    if (!chart.isNull()) data.pictures.insert(QStringLiteral("chart"), chart);
    return print::Report(print::tableLayout(table), data);
}

print::XlsxSheet salesSheet(SalesReportKind kind, const SalesReport& report, const QList<int>& shownRows,
                            const SalesPrintHeading& heading) {
    const bool byInsurer = kind == SalesReportKind::ByInsurer;
    print::XlsxSheet sheet;
    sheet.name = QStringLiteral("گزارش");
    sheet.titleLines = {printTitle(kind), QStringLiteral("از تاريخ %1 تا تاريخ %2").arg(heading.from, heading.to)};
    if (!heading.pharmacyName.isEmpty()) sheet.titleLines.append(QStringLiteral("داروخانه ") + heading.pharmacyName);
    if (!heading.partyName.isEmpty()) sheet.titleLines.append(heading.partyName);
    sheet.columns = {{QStringLiteral("كد دارو/كالا"), XlsxColumnKind::Count},
                     {QStringLiteral("نام دارو/كالا"), XlsxColumnKind::Text},
                     {QStringLiteral("شكل"), XlsxColumnKind::Text},
                     {QStringLiteral("تعداد "), XlsxColumnKind::Count},
                     {QStringLiteral("قيمت"), XlsxColumnKind::Amount}};
    if (byInsurer) {
        sheet.columns.append({QStringLiteral("سهم سازمان"), XlsxColumnKind::Amount});
        sheet.columns.append({QStringLiteral("سهم بيمار"), XlsxColumnKind::Amount});
    }
    SalesTotals sum;
    for (int index : rowsOf(report, shownRows)) {
        const SalesRow& row = report.rows.at(index);
        QVariantList cells{row.code, row.name, row.form, row.quantity, roundRial(row.amount)};
        if (byInsurer) cells << roundRial(row.insurerShare) << roundRial(row.patientShare);
        sheet.rows.append(cells);
        sum.quantity += row.quantity;
        sum.amount += row.amount;
        sum.insurerShare += row.insurerShare;
        sum.patientShare += row.patientShare;
    }
    sheet.totals = {QVariant(), kSumCaption.trimmed(), QVariant(), sum.quantity, roundRial(sum.amount)};
    if (byInsurer) sheet.totals << roundRial(sum.insurerShare) << roundRial(sum.patientShare);
    return sheet;
}

print::Report stockPrint(const QList<StockRow>& rows, const StockPrintHeading& heading) {
    print::TablePrint table;
    table.heading = {
        {{{}, QStringLiteral("بسمه تعالي "), Align::Center, true}},
        {{{}, texts::kStockPrintTitle, Align::Center, true, 12},
         {print::kPageNumber, QStringLiteral("صفحه "), Align::Left}},
        {{QStringLiteral("date"), QStringLiteral(" تاريخ گزارش:"), Align::Right},
         {QStringLiteral("time"), QStringLiteral(" ساعت گزارش:"), Align::Left}},
    };
    table.columns = {{QStringLiteral("رديف"), QStringLiteral("row"), 14},
                     {QStringLiteral("كد دارو"), QStringLiteral("code"), 30},
                     {QStringLiteral("نام"), QStringLiteral("name"), 110, Align::Right},
                     {QStringLiteral("تعداد"), QStringLiteral("quantity"), 30, Align::Center, true}};
    table.sumCaption = kSumCaption;
    print::ReportData data;
    data.values = {{QStringLiteral("date"), heading.reportDate}, {QStringLiteral("time"), heading.reportTime}};
    // Grouped by category, in the categories' order, each under its caption and closed by its
    // sum; the rows keep their order inside a category.
    QList<StockRow> ordered = rows;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const StockRow& a, const StockRow& b) { return a.category < b.category; });
    double sum = 0;
    double groupSum = 0;
    int number = 0;
    for (int i = 0; i < ordered.size(); ++i) {
        const StockRow& row = ordered.at(i);
        const QString caption = stockCategoryCaption(row.category);
        if (i == 0 || ordered.at(i - 1).category != row.category) {
            data.rows.append({{QStringLiteral("name"), caption}});
            groupSum = 0;
        }
        sum += row.quantity;
        groupSum += row.quantity;
        data.rows.append({{QStringLiteral("row"), QString::number(++number)},
                          {QStringLiteral("code"), code(row.code)},
                          {QStringLiteral("name"), row.name},
                          {QStringLiteral("quantity"), count(row.quantity)}});
        if (i + 1 == ordered.size() || ordered.at(i + 1).category != row.category)
            data.rows.append({{QStringLiteral("name"), kSumCaption + caption},
                              {QStringLiteral("quantity"), plainDecimalText(groupSum)}});
    }
    data.values.insert(QStringLiteral("quantity_sum"), plainDecimalText(sum));
    return print::Report(print::tableLayout(table), data);
}

print::XlsxSheet stockSheet(const QList<StockRow>& rows) {
    print::XlsxSheet sheet;
    sheet.name = QStringLiteral("موجودي");
    sheet.titleLines = {texts::kStockPrintTitle};
    sheet.columns = {{QStringLiteral("كد دارو"), XlsxColumnKind::Count},
                     {QStringLiteral("نام دارو"), XlsxColumnKind::Text},
                     {QStringLiteral("موجودي دارو"), XlsxColumnKind::Count}};
    double sum = 0;
    for (const StockRow& row : rows) {
        sheet.rows.append({row.code, row.name, row.quantity});
        sum += row.quantity;
    }
    sheet.totals = {QVariant(), kSumCaption.trimmed(), sum};
    return sheet;
}

namespace {

QString expiryLookAhead(int days) { return QStringLiteral("تا %1 روز آينده و منقضي شده ها").arg(days); }

} // namespace

print::Report expiryPrint(const ExpiryReport& report, const ExpiryPrintHeading& heading) {
    print::TablePrint table;
    table.heading = {
        {{{}, QStringLiteral("بسمه تعالي "), Align::Center, true}},
        {{{}, texts::kExpiryTitle, Align::Center, true, 12}, {print::kPageNumber, QStringLiteral("صفحه "), Align::Left}},
        {{QStringLiteral("pharmacy"), QStringLiteral("داروخانه "), Align::Right},
         {QStringLiteral("date"), QStringLiteral(" تاريخ گزارش:"), Align::Left}},
        {{QStringLiteral("days"), QString(), Align::Right}},
    };
    table.columns = {{QStringLiteral("رديف"), QStringLiteral("row"), 10},
                     {QStringLiteral("كد دارو"), QStringLiteral("code"), 20},
                     {QStringLiteral("نام دارو"), QStringLiteral("name"), 58, Align::Right},
                     {QStringLiteral("سري ساخت"), QStringLiteral("batch"), 22},
                     {QStringLiteral("تاريخ انقضا"), QStringLiteral("expiry"), 22},
                     {QStringLiteral("وضعيت"), QStringLiteral("state"), 18},
                     {QStringLiteral("تعداد"), QStringLiteral("quantity"), 14},
                     {QStringLiteral("قيمت واحد"), QStringLiteral("unit"), 18},
                     {QStringLiteral("ارزش"), QStringLiteral("value"), 22, Align::Center, true}};
    table.sumCaption = kSumCaption;
    print::ReportData data;
    data.values = {{QStringLiteral("pharmacy"), heading.pharmacyName},
                   {QStringLiteral("date"), heading.reportDate},
                   {QStringLiteral("days"), expiryLookAhead(heading.days)},
                   {QStringLiteral("value_sum"), amount(report.total)}};
    int number = 0;
    for (const ExpiryRow& row : report.rows)
        data.rows.append({{QStringLiteral("row"), QString::number(++number)},
                          {QStringLiteral("code"), code(row.item)},
                          {QStringLiteral("name"), row.name},
                          {QStringLiteral("batch"), row.batch},
                          {QStringLiteral("expiry"), row.expiryText},
                          {QStringLiteral("state"), row.expired ? texts::kExpiredMark : QString()},
                          {QStringLiteral("quantity"), count(row.quantity)},
                          {QStringLiteral("unit"), amount(row.unitPrice)},
                          {QStringLiteral("value"), amount(row.value)}});
    return print::Report(print::tableLayout(table), data);
}

print::XlsxSheet expirySheet(const ExpiryReport& report, const ExpiryPrintHeading& heading) {
    print::XlsxSheet sheet;
    sheet.name = QStringLiteral("انقضا");
    sheet.titleLines = {texts::kExpiryTitle, expiryLookAhead(heading.days) + QStringLiteral(" - ") + heading.reportDate};
    sheet.columns = {{QStringLiteral("كد دارو"), XlsxColumnKind::Count},   {QStringLiteral("نام دارو"), XlsxColumnKind::Text},
                     {QStringLiteral("سري ساخت"), XlsxColumnKind::Text},   {QStringLiteral("تاريخ انقضا"), XlsxColumnKind::Text},
                     {QStringLiteral("وضعيت"), XlsxColumnKind::Text},      {QStringLiteral("تعداد"), XlsxColumnKind::Count},
                     {QStringLiteral("قيمت واحد"), XlsxColumnKind::Amount}, {QStringLiteral("ارزش"), XlsxColumnKind::Amount}};
    for (const ExpiryRow& row : report.rows)
        sheet.rows.append({row.item, row.name, row.batch, row.expiryText,
                           row.expired ? texts::kExpiredMark : QString(), row.quantity, row.unitPrice, row.value});
    sheet.totals = {QVariant(), kSumCaption.trimmed(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                    report.total};
    return sheet;
}

namespace {

// The heading both goods sheet prints carry, under their own title.
QList<QList<print::TableHeadingLine>> goodsSheetHeading(const QString& title) {
    return {
        {{{}, QStringLiteral("بسمه تعالي "), Align::Center, true}},
        {{{}, title, Align::Center, true, 12}, {print::kPageNumber, QStringLiteral("صفحه "), Align::Left}},
        {{QStringLiteral("pharmacy"), QStringLiteral("داروخانه "), Align::Right},
         {QStringLiteral("reportDate"), QStringLiteral("تاريخ گزارش :"), Align::Left}},
        {{QStringLiteral("from"), QStringLiteral("از تاريخ  :"), Align::Right},
         {QStringLiteral("to"), QStringLiteral("تا تاريخ:"), Align::Center}},
        {{QStringLiteral("ward"), QStringLiteral("نام بخش:"), Align::Right},
         {QStringLiteral("request"), QStringLiteral("شماره درخواست:"), Align::Center}},
    };
}

print::Values goodsSheetValues(const GoodsSheetHeading& heading) {
    return {{QStringLiteral("pharmacy"), heading.pharmacyName}, {QStringLiteral("reportDate"), heading.reportDate},
            {QStringLiteral("from"), heading.from},             {QStringLiteral("to"), heading.to},
            {QStringLiteral("ward"), heading.wardName},         {QStringLiteral("request"), heading.request}};
}

} // namespace

print::Report goodsSheetPrint(const QList<GoodsSheetRow>& rows, const GoodsSheetHeading& heading) {
    print::TablePrint table;
    table.heading = goodsSheetHeading(
        heading.wardConsumption ? texts::kWardConsumptionPrintTitle : texts::kGoodsSheetPrintTitle);
    table.columns = {{QStringLiteral("رديف "), QStringLiteral("row"), 12},
                     {QStringLiteral("شكل دارو"), QStringLiteral("form"), 26},
                     {QStringLiteral("نام دارو"), QStringLiteral("name"), 70, Align::Right},
                     {QStringLiteral("تعداد"), QStringLiteral("quantity"), 20},
                     {QStringLiteral("قيمت واحد"), QStringLiteral("unit"), 28},
                     {QStringLiteral("قيمت کل"), QStringLiteral("amount"), 32, Align::Center, true}};
    table.sumCaption = kSumCaption;
    print::ReportData data;
    data.values = goodsSheetValues(heading);
    double sum = 0;
    int number = 0;
    for (const GoodsSheetRow& row : rows) {
        sum += row.amount;
        data.rows.append({{QStringLiteral("row"), QString::number(++number)},
                          {QStringLiteral("form"), row.form},
                          {QStringLiteral("name"), row.name},
                          {QStringLiteral("quantity"), count(row.quantity)},
                          {QStringLiteral("unit"), amount(row.unitPrice)},
                          {QStringLiteral("amount"), amount(row.amount)}});
    }
    data.values.insert(QStringLiteral("amount_sum"), amount(sum));
    return print::Report(print::tableLayout(table), data);
}

print::Report goodsSheetDetailPrint(const GoodsSheetDetail& detail, const GoodsSheetHeading& heading) {
    print::TablePrint table;
    table.heading = goodsSheetHeading(texts::kGoodsSheetDetailPrintTitle);
    table.columns = {{QStringLiteral("رديف "), QStringLiteral("row"), 10},
                     {QStringLiteral("نسخه"), QStringLiteral("invoice"), 14},
                     {QStringLiteral("نام بيمار"), QStringLiteral("patient"), 38, Align::Right},
                     {QStringLiteral("شكل دارو"), QStringLiteral("form"), 22},
                     {QStringLiteral("نام دارو"), QStringLiteral("name"), 50, Align::Right},
                     {QStringLiteral("تعداد"), QStringLiteral("quantity"), 14},
                     {QStringLiteral("قيمت واحد"), QStringLiteral("unit"), 20},
                     {QStringLiteral("قيمت کل"), QStringLiteral("amount"), 22, Align::Center, true}};
    table.sumCaption = kSumCaption;
    print::ReportData data;
    data.values = goodsSheetValues(heading);
    QHash<double, QString> patients;
    for (const GoodsSheetPrescription& p : detail.prescriptions)
        patients.insert(p.invoice, (p.name + QLatin1Char(' ') + p.family).trimmed());
    double sum = 0;
    int number = 0;
    for (const GoodsSheetLine& line : detail.lines) {
        sum += line.amount;
        data.rows.append({{QStringLiteral("row"), QString::number(++number)},
                          {QStringLiteral("invoice"), code(line.invoice)},
                          {QStringLiteral("patient"), patients.value(line.invoice)},
                          {QStringLiteral("form"), line.form},
                          {QStringLiteral("name"), line.name},
                          {QStringLiteral("quantity"), count(line.quantity)},
                          {QStringLiteral("unit"), amount(line.unitPrice)},
                          {QStringLiteral("amount"), amount(line.amount)}});
    }
    data.values.insert(QStringLiteral("amount_sum"), amount(sum));
    return print::Report(print::tableLayout(table), data);
}

print::XlsxSheet goodsSheetSheet(const QList<GoodsSheetRow>& rows, const GoodsSheetHeading& heading) {
    print::XlsxSheet sheet;
    sheet.name = QStringLiteral("كالا برگ");
    sheet.titleLines = {heading.wardConsumption ? texts::kWardConsumptionPrintTitle : texts::kGoodsSheetPrintTitle,
                        QStringLiteral("از تاريخ %1 تا تاريخ %2").arg(heading.from, heading.to)};
    sheet.columns = {{QStringLiteral("شكل دارو"), XlsxColumnKind::Text},
                     {QStringLiteral("نام دارو"), XlsxColumnKind::Text},
                     {QStringLiteral("تعداد"), XlsxColumnKind::Count},
                     {QStringLiteral("قيمت واحد"), XlsxColumnKind::Amount},
                     {QStringLiteral("قيمت کل"), XlsxColumnKind::Amount}};
    double sum = 0;
    for (const GoodsSheetRow& row : rows) {
        sheet.rows.append({row.form, row.name, row.quantity, roundRial(row.unitPrice), roundRial(row.amount)});
        sum += row.amount;
    }
    sheet.totals = {kSumCaption.trimmed(), QVariant(), QVariant(), QVariant(), roundRial(sum)};
    return sheet;
}

} // namespace ph
