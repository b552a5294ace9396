#include "dispensing/print/inpatient_bill_print.h"

#include "core/amounts.h"
#include "print/column_table.h"

namespace ph {

using print::Align;
using print::Band;
using print::ReportData;
using print::ReportLayout;
using print::TextField;
using print::Values;

namespace {

constexpr double kRowHeight = 6;

// The columns, from the right edge of the 190 mm wide printing area; the amounts aligned left.
constexpr print::TableColumn kColumns[] = {
    {"row", u"رديف", 182, 8, Align::Right},           {"name", u"نام", 127, 55, Align::Right},
    {"form", u"شكل دارو", 107, 20, Align::Right},     {"quantity", u"تعداد", 95, 12, Align::Left},
    {"unit", u"قيمت واحد", 76, 19, Align::Left},      {"total", u"قيمت كل", 57, 19, Align::Left},
    {"insurer", u"سهم بيمه", 38, 19, Align::Left},    {"patient", u"سهم بيمار", 19, 19, Align::Left},
    {"free", u"آزاد", 0, 19, Align::Left},
};

TextField fixedAt(const QString& caption, double x, double y, double width, double points = 9) {
    return TextField::fixed(caption, QRectF(x, y, width, 5.5), Align::Right, points);
}

TextField valueAt(const QString& key, double x, double y, double width, Align align = Align::Right) {
    return TextField::value(key, QRectF(x, y, width, 5.5), align, 9);
}

QString amount(double value) {
    return plainDecimalText(roundRial(value * 100) / 100);
}

ReportLayout billLayout() {
    ReportLayout layout;
    layout.page = {QSizeF(210, 297), QMarginsF(10, 10, 10, 12)};

    Band& header = layout.pageHeader;
    header.heightMm = 40;
    header.fields = {
        TextField::fixed(QStringLiteral("بسمه تعالي "), QRectF(0, 0, 190, 6), Align::Center, 10),
        TextField::fixed(QStringLiteral("صورتحساب بيمار"), QRectF(0, 6, 190, 7), Align::Center, 13).inBold(),
        fixedAt(QStringLiteral("داروخانه"), 170, 14, 20), valueAt(QStringLiteral("pharmacy"), 110, 14, 60),
        fixedAt(QStringLiteral("صفحه"), 25, 14, 12), valueAt(print::kPageNumber, 0, 14, 24),
        fixedAt(QStringLiteral("شماره پرونده:"), 165, 21, 25), valueAt(QStringLiteral("file"), 125, 21, 40),
        fixedAt(QStringLiteral(" نام بيمار:"), 105, 21, 20), valueAt(QStringLiteral("patientName"), 45, 21, 60),
        fixedAt(QStringLiteral("بيمه:"), 30, 21, 12), valueAt(QStringLiteral("insurerName"), 0, 21, 30),
        fixedAt(QStringLiteral("از تاريخ  :"), 172, 28, 18), valueAt(QStringLiteral("from"), 150, 28, 22),
        fixedAt(QStringLiteral("تا تاريخ:"), 135, 28, 15), valueAt(QStringLiteral("to"), 113, 28, 22),
        fixedAt(QStringLiteral(" تاريخ گزارش:"), 85, 28, 23), valueAt(QStringLiteral("date"), 63, 28, 22),
        fixedAt(QStringLiteral(" ساعت گزارش:"), 30, 28, 23), valueAt(QStringLiteral("time"), 10, 28, 20),
    };
    header.linesMm = {QLineF(0, 39, 190, 39)};

    // One band for the three kinds of rows: a category's title, a line, a category's sums.
    layout.detail.heightMm = kRowHeight;
    layout.detail.fields.append(TextField::value(QStringLiteral("group"), QRectF(100, 0.3, 90, 5.5), Align::Right, 10).inBold());
    layout.detail.fields.append(TextField::value(QStringLiteral("sumCaption"), QRectF(127, 0.3, 55, 5.5), Align::Right, 9).inBold());
    print::addColumnTable(layout, kColumns, 190, 8);

    Band& summary = layout.summary;
    summary.heightMm = 62;
    summary.linesMm = {QLineF(0, 1, 190, 1)};
    summary.fields = {
        fixedAt(QStringLiteral(" جمع كل"), 127, 3, 55).inBold(),
        valueAt(QStringLiteral("sumInsurer"), 38, 3, 19, Align::Left),
        valueAt(QStringLiteral("sumPatient"), 19, 3, 19, Align::Left),
        valueAt(QStringLiteral("sumFree"), 0, 3, 19, Align::Left),
        fixedAt(QStringLiteral("حق فني"), 160, 11, 30), valueAt(QStringLiteral("fee"), 120, 11, 38),
        fixedAt(QStringLiteral("جمع كل پرداختي:"), 160, 18, 30).inBold(), valueAt(QStringLiteral("payable"), 120, 18, 38),
        fixedAt(QStringLiteral("جمع كل داروهاي تعرفه اي:"), 60, 11, 45),
        valueAt(QStringLiteral("tariffTotal"), 20, 11, 38),
        fixedAt(QStringLiteral("جمع كل داروهاي آزاد"), 60, 18, 45), valueAt(QStringLiteral("freeTotal"), 20, 18, 38),
        fixedAt(QStringLiteral("اپراتور"), 160, 40, 30), fixedAt(QStringLiteral("مسئول داروخانه"), 110, 40, 40),
        fixedAt(QStringLiteral("مسئول امور مالي"), 55, 40, 40), fixedAt(QStringLiteral("رئيس بيمارستان"), 0, 40, 40),
    };
    return layout;
}

} // namespace

print::Report inpatientBillReport(const InpatientBill& bill, const BillHeading& h) {
    ReportData data;
    data.values = {
        {QStringLiteral("pharmacy"), h.pharmacyName},
        {QStringLiteral("file"), h.fileNumber},
        {QStringLiteral("patientName"), h.patientName},
        {QStringLiteral("insurerName"), h.insurerName},
        {QStringLiteral("from"), h.fromDate},
        {QStringLiteral("to"), h.toDate},
        {QStringLiteral("date"), h.reportDate},
        {QStringLiteral("time"), h.reportTime},
        {QStringLiteral("sumInsurer"), amount(bill.insurer)},
        {QStringLiteral("sumPatient"), amount(bill.patient)},
        {QStringLiteral("sumFree"), amount(bill.free)},
        {QStringLiteral("fee"), amount(bill.fee)},
        {QStringLiteral("payable"), amount(bill.payable())},
        {QStringLiteral("tariffTotal"), amount(bill.tariffTotal())},
        {QStringLiteral("freeTotal"), amount(bill.free)},
    };
    for (const BillGroup& group : bill.groups) {
        data.rows.append({{QStringLiteral("group"), group.category}});
        int number = 0;
        for (const BillLine& line : group.lines)
            data.rows.append({{QStringLiteral("row"), QString::number(++number)},
                              {QStringLiteral("name"), line.name},
                              {QStringLiteral("form"), line.formName},
                              {QStringLiteral("quantity"), plainDecimalText(line.quantity)},
                              {QStringLiteral("unit"), amount(line.unitPrice)},
                              {QStringLiteral("total"), amount(line.total())},
                              {QStringLiteral("insurer"), amount(line.insurer)},
                              {QStringLiteral("patient"), amount(line.patient)},
                              {QStringLiteral("free"), amount(line.free)}});
        data.rows.append({{QStringLiteral("sumCaption"), QStringLiteral(" جمع ")},
                          {QStringLiteral("total"), amount(group.tariff)},
                          {QStringLiteral("insurer"), amount(group.insurer)},
                          {QStringLiteral("patient"), amount(group.patient)},
                          {QStringLiteral("free"), amount(group.free)}});
    }
    return print::Report(billLayout(), data);
}

} // namespace ph
