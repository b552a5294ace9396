#pragma once

#include "dispensing/pricing_types.h"

#include <QList>
#include <QString>

namespace ph {

struct WindowContext;

// Whether fast text ending with Enter in a document window's line entry is a scanned pack:
// GS1 data, or a code of 8 to 14 digits (a drug code or a name typed as fast is left to the
// lookup).
bool isPackScan(const QString& text);

// A barcode no item has, scanned into a document window: asks whether to link it, then
// offers the window's items in the shared lookup picker; the chosen item gets the barcode
// (a refusal shown). True when linked: the caller takes the scan again. A window without
// a picker only says the barcode is unknown.
bool offerBarcodeLink(const WindowContext& windows, const QString& code, const QList<DrugItem>& items);

} // namespace ph
