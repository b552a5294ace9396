#include "print/barcode_label.h"

#include "print/barcode_image.h"

#include <algorithm>

namespace ph::print {

Report barcodeLabelReport(const QString& itemName, const QString& storedBarcode, QSizeF pageMm) {
    const double width = std::max(pageMm.width(), 20.0);
    const double height = std::max(pageMm.height(), 15.0);
    const double margin = 1.5;
    const double inner = width - 2 * margin;
    const double line = 3;
    const double points = 6.5;

    ReportLayout layout;
    layout.page = {{width, height}, {margin, margin, margin, margin}};
    layout.title.heightMm = height - 2 * margin;
    layout.title.fields.append(
        TextField::value(QStringLiteral("name"), {0, 0, inner, line}, Align::Center, points).inBold());
    const double barcodeHeight = layout.title.heightMm - 2 * line - 0.5;
    layout.title.pictures.append({{0, line, inner, barcodeHeight}, QStringLiteral("barcode")});
    layout.title.fields.append(
        TextField::value(QStringLiteral("digits"), {0, line + barcodeHeight + 0.5, inner, line}, Align::Center, points));

    const Symbology symbology = symbologyFor(storedBarcode);
    const QString encoded = encodedText(storedBarcode, symbology);
    ReportData data;
    data.values = {{QStringLiteral("name"), itemName.trimmed()}, {QStringLiteral("digits"), encoded}};
    data.pictures.insert(QStringLiteral("barcode"), barcodeImage(encoded, symbology));
    return Report(layout, data);
}

} // namespace ph::print
