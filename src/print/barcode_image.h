#pragma once

#include <QImage>
#include <QString>

namespace ph::print {

// How a barcode is drawn: EAN-13 for a GTIN-13 (and a UPC-A, its GTIN-13 with a leading 0),
// DataMatrix for GS1 data (a GTIN-14, or an element string of a pack), Code 128 for anything else.
enum class Symbology { Ean13, Code128, DataMatrix };

// The symbology a stored barcode is printed in (GTINs are stored as 14 digits).
Symbology symbologyFor(const QString& storedBarcode);
// The text to encode: the 13 digits of an EAN-13, "(01)" + the GTIN-14 for DataMatrix, else as stored.
QString encodedText(const QString& storedBarcode, Symbology symbology);

// The barcode drawn black on white, one pixel per module, with its quiet zone and without
// the human-readable text; a null image when the text cannot be drawn in the symbology.
QImage barcodeImage(const QString& text, Symbology symbology);

} // namespace ph::print
