#pragma once

#include "print/report.h"

#include <QSizeF>
#include <QString>

namespace ph::print {

// A shelf or pack label on a label page of `pageMm` (width × height): the item's name on top,
// its barcode drawn in the symbology the barcode calls for (symbologyFor), and the barcode's
// digits under it. The barcode's picture is named "barcode" in the report's data; it is null
// when the barcode cannot be drawn.
Report barcodeLabelReport(const QString& itemName, const QString& storedBarcode, QSizeF pageMm);

} // namespace ph::print
