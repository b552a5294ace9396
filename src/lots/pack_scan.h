#pragma once

#include "lots/lots.h"
#include "lots/scan_code.h"

#include <QDate>
#include <QString>

namespace ph {

class Database;
class Prompter;

// What became of a pack scanned into a document's line list.
struct PackScanResult {
    enum class Status {
        Added,    // a line of one, or one more on the item's line
        Refused,  // the message was shown
        Declined, // the user did not give an expired pack
        Unknown,  // no item has the barcode: nothing shown, the caller may offer to link it
    };
    Status status = Status::Refused;
    QString code;  // the code as read
    int row = -1;  // the line added or raised
    QString focus; // on a refusal by the document's header: the field to focus
};

// The pack a scan names: its lot and serial stay empty for a plain barcode.
ScannedPack packOf(const ScannedCode& scan);
// Whether a scan names anything of its pack (a batch, an expiry or a serial) worth keeping
// for the lot the pack is drawn from.
bool namesPack(const ScannedCode& scan);

// The document that gave out a pack, as messages name it ("نسخه 12").
QString documentName(const SerialSeen& seen);

// The checks before a scanned pack of an item goes into a document: a pack past its expiry
// (counted from `day`) is given only after a yes; a serial some document gave out before is
// warned of. False when the user declines the expired pack.
bool acceptPack(Database& db, Prompter& prompter, double item, const ScannedCode& scan, const QDate& day);

// Links a barcode to an item; a refusal (not a barcode, another item's) is shown. True when
// the item has the barcode.
bool linkBarcode(Database& db, Prompter& prompter, double item, const QString& code);

} // namespace ph
