#include "dispensing/print/label_print.h"

#include "core/amounts.h"

namespace ph {
namespace {

using print::Align;
using print::Band;
using print::ReportData;
using print::ReportLayout;
using print::TextField;

ReportLayout labelLayout(QSizeF pageMm) {
    const double width = std::max(pageMm.width(), 20.0);
    const double height = std::max(pageMm.height(), 15.0);
    const double margin = 1.5;
    const double inner = width - 2 * margin;
    const double line = 2.6;   // one printed line
    const double points = 5.5; // small enough for a 50 mm label
    const double caption = std::min(16.0, inner * 0.34);

    ReportLayout layout;
    layout.page = {{width, height}, {margin, margin, margin, margin}};

    // A caption at the right edge with its value to its left, one line each.
    const auto captioned = [&](Band& band, const QString& text, const QString& key) {
        const double top = band.heightMm;
        band.fields.append(TextField::fixed(text, {inner - caption, top, caption, line}, Align::Right, points).inBold());
        band.fields.append(TextField::value(key, {0, top, inner - caption - 0.5, line}, Align::Right, points));
        band.heightMm += line;
    };
    captioned(layout.title, QStringLiteral("داروخانه"), QStringLiteral("pharmacy"));
    captioned(layout.title, QStringLiteral(":نام بيمار"), QStringLiteral("patient"));
    captioned(layout.title, QStringLiteral(":نام پزشک"), QStringLiteral("prescriber"));
    captioned(layout.title, QStringLiteral(":دستور مصرف"), QStringLiteral("instruction"));
    captioned(layout.title, QStringLiteral(":نحوه نگهداري دارو"), QStringLiteral("storage"));
    captioned(layout.title, QStringLiteral(":پيام / تذکر"), QStringLiteral("message"));
    layout.title.fields.append(TextField::fixed(QStringLiteral("محتويات دارو"),
                                                {0, layout.title.heightMm, inner, line}, Align::Center, points)
                                   .inBold());
    layout.title.heightMm += line;

    // Material, quantity and unit, right to left.
    const double material = inner * 0.55;
    const double quantity = inner * 0.2;
    const double unit = inner - material - quantity;
    layout.columnHeader.heightMm = line;
    layout.columnHeader.fields = {
        TextField::fixed(QStringLiteral("نام مواد"), {inner - material, 0, material, line}, Align::Right, points).inBold(),
        TextField::fixed(QStringLiteral("مقدار"), {unit, 0, quantity, line}, Align::Center, points).inBold(),
        TextField::fixed(QStringLiteral("واحد"), {0, 0, unit, line}, Align::Center, points).inBold(),
    };
    layout.columnHeader.linesMm.append(QLineF(0, line, inner, line));
    layout.detail.heightMm = line;
    layout.detail.fields = {
        TextField::value(QStringLiteral("material"), {inner - material, 0, material, line}, Align::Right, points),
        TextField::value(QStringLiteral("quantity"), {unit, 0, quantity, line}, Align::Center, points),
        TextField::value(QStringLiteral("unit"), {0, 0, unit, line}, Align::Center, points),
    };
    Q_UNUSED(height);
    return layout;
}

} // namespace

print::Report labelReport(const CompoundedLabel& label, const QList<LabelContentLine>& contents,
                          const LabelHeading& heading, QSizeF pageMm) {
    ReportData data;
    data.values = {
        {QStringLiteral("pharmacy"), heading.pharmacyName.trimmed()},
        {QStringLiteral("patient"), heading.patient.trimmed()},
        {QStringLiteral("prescriber"), heading.prescriber.trimmed()},
        {QStringLiteral("instruction"), label.instruction.trimmed()},
        {QStringLiteral("storage"), label.storage.trimmed()},
        {QStringLiteral("message"), label.message.trimmed()},
    };
    for (const LabelContentLine& line : contents)
        data.rows.append({
            {QStringLiteral("material"), line.material.trimmed()},
            {QStringLiteral("quantity"), plainDecimalText(line.quantity)},
            {QStringLiteral("unit"), line.unit.trimmed()},
        });
    return print::Report(labelLayout(pageMm), data);
}

} // namespace ph
