#include "sales/print/consumption_print.h"

#include "core/amounts.h"
#include "print/column_table.h"

namespace ph {

using print::Align;
using print::Band;
using print::ReportData;
using print::ReportLayout;
using print::TextField;

namespace {

constexpr double kRowHeight = 6;

// The columns, from the right edge of the 190 mm wide printing area.
constexpr print::TableColumn kColumns[] = {
    {"row", u"رديف", 182, 8, Align::Center},
    {"name", u"نام كالا", 122, 60, Align::Right},
    {"code", u"كد كالا", 100, 22, Align::Center},
    {"form", u"شكل", 79, 21, Align::Right},
    {"kind", u"وضعيت", 65, 14, Align::Right},
    {"quantity", u"تعداد", 53, 12, Align::Center},
    {"price", u"قيمت واحد", 27, 26, Align::Left},
    {"total", u"قيمت كل", 0, 27, Align::Left},
};

TextField fixedAt(const QString& caption, double x, double y, double width, double points = 10) {
    return TextField::fixed(caption, QRectF(x, y, width, 6), Align::Right, points);
}

TextField valueAt(const QString& key, double x, double y, double width, Align align = Align::Right) {
    return TextField::value(key, QRectF(x, y, width, 6), align, 10);
}

ReportLayout consumptionLayout() {
    ReportLayout layout;
    layout.page = {QSizeF(210, 297), QMarginsF(10, 10, 10, 12)};

    Band& header = layout.pageHeader;
    header.heightMm = 36;
    header.fields = {
        TextField::value(QStringLiteral("pharmacy"), QRectF(0, 0, 190, 7), Align::Center, 12).inBold(),
        TextField::fixed(QStringLiteral("برگ داروي مصرفي بخش"), QRectF(0, 7, 190, 8), Align::Center, 14).inBold(),
        fixedAt(QStringLiteral("شماره:"), 170, 17, 20), valueAt(QStringLiteral("number"), 140, 17, 30),
        fixedAt(QStringLiteral("تاريخ:"), 120, 17, 15), valueAt(QStringLiteral("date"), 95, 17, 25),
        fixedAt(QStringLiteral("صفحه"), 25, 17, 12), valueAt(print::kPageNumber, 0, 17, 24),
        fixedAt(QStringLiteral("بخش:"), 178, 25, 12), valueAt(QStringLiteral("wardCode"), 160, 25, 18),
        valueAt(QStringLiteral("wardName"), 100, 25, 58),
        fixedAt(QStringLiteral("شماره درخواست:"), 70, 25, 28), valueAt(QStringLiteral("request"), 30, 25, 40),
    };
    header.linesMm = {QLineF(0, 34, 190, 34)};

    layout.detail.heightMm = kRowHeight;
    print::addColumnTable(layout, kColumns, 190, 9);

    Band& summary = layout.summary;
    summary.heightMm = 45;
    summary.linesMm = {QLineF(0, 1, 190, 1)};
    summary.fields = {
        fixedAt(QStringLiteral("جمع كل:"), 60, 3, 25).inBold(),
        valueAt(QStringLiteral("total"), 0, 3, 58, Align::Left),
        fixedAt(QStringLiteral("مهر و امضاي مسئول بخش"), 130, 20, 60),
        fixedAt(QStringLiteral("امضاي مسئول داروخانه"), 0, 20, 60),
    };
    return layout;
}

} // namespace

print::Report wardConsumptionReport(const WardConsumptionPrint& data, const QString& pharmacyName) {
    ReportData values;
    values.values = {
        {QStringLiteral("pharmacy"), pharmacyName.trimmed()},
        {QStringLiteral("number"), QString::number(data.number)},
        {QStringLiteral("date"), data.date},
        {QStringLiteral("wardCode"), data.wardCode},
        {QStringLiteral("wardName"), data.wardName.trimmed()},
        {QStringLiteral("request"), data.requestNumber},
        {QStringLiteral("total"), groupedAmountText(data.total)},
    };
    int count = 0;
    for (const WardConsumptionPrint::Line& line : data.lines)
        values.rows.append({
            {QStringLiteral("row"), QString::number(++count)},
            {QStringLiteral("name"), line.name.trimmed()},
            {QStringLiteral("code"), line.code},
            {QStringLiteral("form"), line.form.trimmed()},
            {QStringLiteral("kind"), line.kind},
            {QStringLiteral("quantity"), plainDecimalText(line.quantity)},
            {QStringLiteral("price"), groupedAmountText(line.price)},
            {QStringLiteral("total"), groupedAmountText(line.total)},
        });
    return print::Report(consumptionLayout(), values);
}

} // namespace ph
