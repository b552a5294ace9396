#include "dispensing/print/prescription_prints.h"

#include "core/amount_words.h"
#include "core/amounts.h"
#include "dispensing/print/print_texts.h"

namespace ph {

using print::Align;
using print::Band;
using print::ReportData;
using print::ReportLayout;
using print::TextField;
using print::Values;

namespace {

constexpr double kValueWidth = 22.5;
constexpr double kCodeWidth = 22.8;
constexpr double kFieldHeight = 5.0;
constexpr double kAmountPoints = 10;
constexpr double kLinePitch = 5.3; // the detail band's height on every prescription sheet

// Names of the printed values.
const QString kCode = QStringLiteral("code");
const QString kAmount = QStringLiteral("amount");
const QString kSum = QStringLiteral("sum");
const QString kPatientShare = QStringLiteral("patient");
const QString kInsurerShare = QStringLiteral("insurer");
const QString kFree = QStringLiteral("free");
const QString kFee = QStringLiteral("fee");
const QString kTotal = QStringLiteral("total");
const QString kPaid = QStringLiteral("paid");

TextField amountAt(const QString& key, double x, double y, Align align = Align::Right) {
    return TextField::value(key, QRectF(x, y, kValueWidth, kFieldHeight), align, kAmountPoints);
}

TextField codeAt(double x, double y) {
    return TextField::value(kCode, QRectF(x, y, kCodeWidth, kFieldHeight), Align::Left, kAmountPoints);
}

// The places of one fixed prescription sheet, in millimetres.
struct SheetPlaces {
    QSizeF page;
    QMarginsF margins; // left, top, right, bottom
    double titleHeight;
    QPointF code;
    QPointF amount;
    double footerHeight;
};

ReportLayout fixedSheet(const SheetPlaces& s) {
    ReportLayout layout;
    layout.page = {s.page, s.margins};
    layout.title.heightMm = s.titleHeight;
    layout.title.fields = {codeAt(s.code.x(), s.code.y())};
    layout.detail.heightMm = kLinePitch;
    layout.detail.fields = {amountAt(kAmount, s.amount.x(), s.amount.y())};
    layout.pageFooter.heightMm = s.footerHeight;
    return layout;
}

// Layout 1: the insured lines and, under them, their sum, the patient's and the insurer's share
// and the total.
ReportLayout layout1() {
    ReportLayout layout = fixedSheet({{111.9, 88.1}, {3.3, 0.9, 0.3, 0.9}, 11.9, {2.6, 6.6}, {82.6, -0.3}, 15.9});
    layout.pageFooter.fields = {amountAt(kSum, 82.6, 0.3), amountAt(kPatientShare, 82.6, 4.8),
                                amountAt(kInsurerShare, 82.6, 9.0), amountAt(kTotal, 2.4, 9.0, Align::Left)};
    return layout;
}

ReportLayout layout2() {
    ReportLayout layout = fixedSheet({{105.6, 114.6}, {0.3, 0.3, 0.2, 0.9}, 28.8, {2.6, 21.4}, {78.1, 0.0}, 18.0});
    layout.pageFooter.fields = {amountAt(kSum, 78.1, 1.6), amountAt(kPatientShare, 78.1, 6.1),
                                amountAt(kInsurerShare, 78.1, 10.3), amountAt(kTotal, 2.6, 9.8, Align::Left)};
    return layout;
}

// Layout 3: every line, and the free amount, the technical fee and the total.
ReportLayout layout3() {
    ReportLayout layout = fixedSheet({{111.9, 80.7}, {0.3, 0.9, 0.3, 0.9}, 10.6, {4.8, 4.5}, {80.4, 0.0}, 28.6});
    layout.pageFooter.fields = {amountAt(kFree, 80.4, 4.8), amountAt(kFee, 80.4, 9.0), amountAt(kTotal, 80.7, 17.5)};
    return layout;
}

// The custom placement: one band the size of an A5 sheet holding the six items at the
// insurer's positions; the line amounts run down from the price's position.
ReportLayout customSheet(const PrintPositions& p, int lineCount) {
    const auto at = [](const ItemPosition& item) { return QPointF(item.x.value_or(0), item.y.value_or(0)); };
    ReportLayout layout;
    layout.page = {QSizeF(148, 210), QMarginsF()};
    layout.title.heightMm = 210;
    layout.title.fields = {codeAt(at(p.code).x(), at(p.code).y()),
                           amountAt(kSum, at(p.total).x(), at(p.total).y()),
                           amountAt(kPatientShare, at(p.patient).x(), at(p.patient).y()),
                           amountAt(kFree, at(p.free).x(), at(p.free).y()),
                           amountAt(kPaid, at(p.paid).x(), at(p.paid).y())};
    for (int i = 0; i < lineCount; ++i)
        layout.title.fields.append(
            amountAt(kAmount + QString::number(i), at(p.price).x(), at(p.price).y() + i * kLinePitch));
    return layout;
}

// Amounts read as on the windows: grouped by thousands.
QString amountText(double amount) {
    return groupedAmountText(amount);
}

// An amount in Persian words with its unit; empty for nothing to pay or more than 12 digits.
QString inWords(double amount) {
    const QString digits = wholeRialText(amount);
    if (amount < 1 || digits.size() > 12) return {};
    return amountInWords(digits).trimmed() + print::texts::kRial;
}

} // namespace

PrescriptionLayout prescriptionLayoutFor(const PrescriptionPrintData& data) {
    if (!data.setting) return PrescriptionLayout::Layout3;
    switch (data.setting->choice) {
    case PrintChoice::Layout1: return PrescriptionLayout::Layout1;
    case PrintChoice::Layout2: return PrescriptionLayout::Layout2;
    case PrintChoice::Custom: return PrescriptionLayout::Custom;
    case PrintChoice::None: break;
    }
    return PrescriptionLayout::Layout3;
}

print::Report prescriptionReport(const PrescriptionPrintData& data) {
    const PrescriptionLayout which = prescriptionLayoutFor(data);
    ReportData values;
    values.values.insert(kCode, data.code);
    if (which == PrescriptionLayout::Layout3) {
        for (const PrintedLine& line : data.lines)
            values.rows.append({{kAmount, amountText(line.total)}});
        values.values.insert(kFree, amountText(data.free));
        values.values.insert(kFee, amountText(data.fee));
        values.values.insert(kTotal, amountText(data.total));
        return print::Report(layout3(), values);
    }
    const QList<PrintedLine> insured = data.insuredLines();
    double sum = 0;
    for (const PrintedLine& line : insured) {
        const double amount = line.insurer + line.patient;
        sum += amount;
        values.rows.append({{kAmount, amountText(amount)}});
    }
    values.values.insert(kSum, amountText(sum));
    values.values.insert(kPatientShare, amountText(data.patientShare));
    values.values.insert(kInsurerShare, amountText(data.insurerShare));
    values.values.insert(kTotal, amountText(data.total));
    if (which == PrescriptionLayout::Custom) {
        for (int i = 0; i < values.rows.size(); ++i)
            values.values.insert(kAmount + QString::number(i), values.rows.at(i).value(kAmount));
        values.rows.clear();
        values.values.insert(kFree, amountText(data.free));
        values.values.insert(kPaid, amountText(data.total));
        return print::Report(customSheet(data.setting->positions, int(insured.size())), values);
    }
    return print::Report(which == PrescriptionLayout::Layout1 ? layout1() : layout2(), values);
}

namespace {

// The invoice's columns from the right edge of the sheet, right to left, in millimetres.
struct Column {
    QString caption;
    QString key;
    double width;
};

struct InvoiceSizes {
    QSizeF page;
    double margin;
    double titlePoints, textPoints, smallPoints;
    double lineHeight;   // one line of text in the title and summary
    double rowHeight;    // a detail row
    QList<double> widths; // the seven columns
};

// The captions that differ between a prescription's invoice and a goods invoice.
struct InvoiceCaptions {
    QString patientShare = print::texts::kPatientShare;
    QString free = print::texts::kFree;
    QString fee = print::texts::kFee;
    bool insurer = true;
};

ReportLayout invoiceLayout(const InvoiceSizes& s, const InvoiceCaptions& captions = {}) {
    namespace t = print::texts;
    ReportLayout layout;
    layout.page = {s.page, QMarginsF(s.margin, s.margin, s.margin, s.margin)};
    const double width = s.page.width() - 2 * s.margin;
    const double half = width / 2;
    const double line = s.lineHeight;

    // A caption followed by its value, on the right or the left half of a line.
    const auto pair = [&](Band& band, const QString& text, const QString& key, bool rightHalf, double y) {
        const double right = rightHalf ? width : half;
        TextField field = TextField::value(key, QRectF(right - half + 1, y, half - 2, line), Align::Right, s.textPoints);
        field.prefix = text + QLatin1Char(' ');
        band.fields.append(field);
    };
    Band& title = layout.title;
    title.fields.append(
        TextField::value(QStringLiteral("pharmacy"), QRectF(0, 0, width, line * 1.5), Align::Center, s.titlePoints)
            .inBold());
    double y = line * 1.7;
    pair(title, t::kInvoiceNumber, QStringLiteral("number"), true, y);
    pair(title, t::kDate, QStringLiteral("date"), false, y);
    y += line;
    pair(title, t::kPatient, QStringLiteral("patient"), true, y);
    y += line;
    pair(title, captions.insurer ? t::kInsurer : QString(), QStringLiteral("insurer"), true, y);
    y += line * 1.2;
    title.heightMm = y;

    const QList<Column> columns = {
        {t::kRow, QStringLiteral("row"), s.widths.at(0)},        {t::kDrug, QStringLiteral("drug"), s.widths.at(1)},
        {t::kQuantity, QStringLiteral("quantity"), s.widths.at(2)}, {captions.patientShare, QStringLiteral("bimar"), s.widths.at(3)},
        {t::kGoods, QStringLiteral("kala"), s.widths.at(4)},    {t::kOtc, QStringLiteral("otc"), s.widths.at(5)},
        {captions.free, QStringLiteral("azad"), s.widths.at(6)},
    };
    Band& heads = layout.columnHeader;
    heads.heightMm = s.rowHeight + 1;
    heads.linesMm = {QLineF(0, 0, width, 0), QLineF(0, heads.heightMm, width, heads.heightMm)};
    Band& detail = layout.detail;
    detail.heightMm = s.rowHeight;
    double right = width;
    for (const Column& column : columns) {
        const double left = right - column.width;
        // Numbers keep a small gap from the column's right edge; the drug's name starts at it.
        const QRectF cell(left + 0.5, 0, column.width - 1, s.rowHeight);
        heads.fields.append(TextField::fixed(column.caption, cell.translated(0, 0.5), Align::Center, s.smallPoints).inBold());
        detail.fields.append(TextField::value(column.key, cell, column.key == QLatin1String("drug") ? Align::Right : Align::Center,
                                              s.smallPoints));
        right = left;
    }

    Band& summary = layout.summary;
    summary.linesMm = {QLineF(0, 0, width, 0)};
    y = 1;
    pair(summary, t::kTotal, QStringLiteral("total"), true, y);
    pair(summary, captions.fee, QStringLiteral("fee"), false, y);
    y += line;
    TextField words = TextField::value(QStringLiteral("words"), QRectF(0, y, width, line), Align::Right, s.smallPoints);
    words.prefix = t::kInWords + QLatin1Char(' ');
    summary.fields.append(words);
    summary.heightMm = y + line + 1;

    Band& footer = layout.pageFooter;
    footer.heightMm = line * 1.6;
    footer.linesMm = {QLineF(0, 0, width, 0)};
    footer.fields.append(
        TextField::value(QStringLiteral("message"), QRectF(0, 0.5, width, line), Align::Center, s.smallPoints));
    TextField page = TextField::value(print::kPageNumber, QRectF(0, 0.5, 12, line), Align::Left, s.smallPoints);
    page.prefix = t::kPage;
    footer.fields.append(page);
    return layout;
}

const InvoiceSizes kA5Invoice{{148, 210}, 0.8, 14, 10, 9, 6.5, 6.0, {10, 55, 14, 18, 15, 14.4, 20}};

ReportLayout a5Invoice() {
    return invoiceLayout(kA5Invoice);
}

ReportLayout thermalInvoice() {
    return invoiceLayout({{80, 80}, 0.8, 10, 7, 6.5, 4.6, 4.4, {5, 24.4, 8, 11, 9.5, 9.5, 11}});
}

} // namespace

print::Report invoiceReport(const PrescriptionPrintData& data, PrintKind kind, const InvoiceHeading& heading,
                            const ShownFigures* shown) {
    ReportData values;
    const double total = shown ? shown->total : data.total;
    values.values = {
        {QStringLiteral("pharmacy"), heading.pharmacyName.trimmed()},
        {QStringLiteral("number"), QString::number(data.invoice)},
        {QStringLiteral("date"), data.deliveryDate},
        {QStringLiteral("patient"), data.patientName().trimmed()},
        {QStringLiteral("insurer"), shown ? shown->insurerName.trimmed() : data.insurerName.value_or(QString())},
        {QStringLiteral("total"), amountText(total)},
        {QStringLiteral("fee"), amountText(shown ? shown->fee : data.fee)},
        {QStringLiteral("words"), inWords(total)},
        {QStringLiteral("message"), heading.message.trimmed()},
    };
    int count = 0;
    for (const PrintedLine& line : data.lines) {
        if (!line.name) continue; // a drug missing from the goods master is left off
        values.rows.append({
            {QStringLiteral("row"), QString::number(++count)},
            {QStringLiteral("drug"), line.name->trimmed()},
            {QStringLiteral("quantity"), plainDecimalText(line.quantity)},
            {QStringLiteral("bimar"), amountText(line.patient)},
            {QStringLiteral("kala"), amountText(line.goods)},
            {QStringLiteral("otc"), amountText(line.otc)},
            {QStringLiteral("azad"), amountText(line.free)},
        });
    }
    return print::Report(kind == PrintKind::ThermalInvoice ? thermalInvoice() : a5Invoice(), values);
}

print::Report goodsInvoiceReport(const GoodsInvoicePrint& data, const InvoiceHeading& heading) {
    ReportData values;
    values.values = {
        {QStringLiteral("pharmacy"), heading.pharmacyName.trimmed()},
        {QStringLiteral("number"), QString::number(data.invoice)},
        {QStringLiteral("date"), data.date},
        {QStringLiteral("patient"), data.customer.trimmed()},
        {QStringLiteral("insurer"), QStringLiteral(" ")},
        {QStringLiteral("total"), amountText(data.total)},
        {QStringLiteral("fee"), amountText(data.otc)},
        {QStringLiteral("words"), inWords(data.total)},
        {QStringLiteral("message"), heading.message.trimmed()},
    };
    int count = 0;
    for (const GoodsInvoicePrint::Line& line : data.lines) {
        if (line.name.trimmed().isEmpty()) continue;
        // The goods and OTC columns have no figure of their own on a goods invoice.
        values.rows.append({
            {QStringLiteral("row"), QString::number(++count)},
            {QStringLiteral("drug"), line.name.trimmed()},
            {QStringLiteral("quantity"), plainDecimalText(line.quantity)},
            {QStringLiteral("bimar"), amountText(line.price)},
            {QStringLiteral("kala"), QString()},
            {QStringLiteral("otc"), QString()},
            {QStringLiteral("azad"), amountText(line.total)},
        });
    }
    InvoiceCaptions captions;
    captions.patientShare = QStringLiteral("قيمت ");
    captions.free = QStringLiteral("قيمت کل");
    captions.fee = QStringLiteral("OTC");
    captions.insurer = false;
    return print::Report(invoiceLayout(kA5Invoice, captions), values);
}

print::Report reportFor(const PrescriptionPrintData& data, PrintKind kind, const InvoiceHeading& heading,
                        const ShownFigures* shown) {
    if (kind == PrintKind::Prescription) return prescriptionReport(data);
    return invoiceReport(data, kind, heading, shown);
}

} // namespace ph
