#include "print/barcode_image.h"

#include <zint.h>

#include <memory>

namespace ph::print {
namespace {

bool allDigits(const QString& text) {
    for (const QChar c : text)
        if (!c.isDigit() || c.unicode() > '9') return false;
    return !text.isEmpty();
}

} // namespace

Symbology symbologyFor(const QString& storedBarcode) {
    if (storedBarcode.startsWith(QLatin1String("(01)"))) return Symbology::DataMatrix; // a pack's element string
    if (storedBarcode.size() == 14 && allDigits(storedBarcode)) {
        // An EAN-8 kept as 14 digits has six leading zeros: no EAN-13 of it exists.
        if (storedBarcode.startsWith(QLatin1Char('0')) && !storedBarcode.startsWith(QLatin1String("000000")))
            return Symbology::Ean13;
        if (!storedBarcode.startsWith(QLatin1Char('0'))) return Symbology::DataMatrix;
    }
    return Symbology::Code128;
}

QString encodedText(const QString& storedBarcode, Symbology symbology) {
    switch (symbology) {
    case Symbology::Ean13: return storedBarcode.right(13);
    case Symbology::DataMatrix:
        return storedBarcode.startsWith(QLatin1Char('(')) ? storedBarcode : QStringLiteral("(01)") + storedBarcode;
    case Symbology::Code128: break;
    }
    return storedBarcode;
}

QImage barcodeImage(const QString& text, Symbology symbology) {
    const std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> symbol(ZBarcode_Create(), &ZBarcode_Delete);
    if (!symbol) return {};
    switch (symbology) {
    case Symbology::Ean13: symbol->symbology = BARCODE_EANX; break;
    case Symbology::Code128: symbol->symbology = BARCODE_CODE128; break;
    case Symbology::DataMatrix:
        symbol->symbology = BARCODE_DATAMATRIX;
        symbol->input_mode = GS1_MODE | GS1PARENS_MODE; // "(01)…" element strings
        break;
    }
    symbol->show_hrt = 0;
    symbol->scale = 0.5f; // one pixel per module
    const QByteArray data = text.toLatin1();
    if (ZBarcode_Encode_and_Buffer(symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()),
                                   int(data.size()), 0) >= ZINT_ERROR)
        return {};
    const int width = symbol->bitmap_width;
    const int height = symbol->bitmap_height;
    // A quiet zone of ten modules on each side, white, so that a reader finds the edges.
    const int quiet = 10;
    QImage image(width + 2 * quiet, height + 2 * quiet, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    const unsigned char* rgb = symbol->bitmap;
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y + quiet);
        for (int x = 0; x < width; ++x) line[x + quiet] = rgb[(y * width + x) * 3] < 128 ? 0 : 255;
    }
    return image;
}

} // namespace ph::print
