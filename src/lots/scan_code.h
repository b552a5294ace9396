#pragma once

#include <QDate>
#include <QString>

#include <variant>

namespace ph {

// What a scanner typed, read: either a GS1 element string (the DataMatrix of a drug pack)
// or a plain code (a printed EAN/UPC barcode, the national code, the pharmacy's own code).
struct ScannedCode {
    bool gs1 = false;
    // The code to look the item up by: the GTIN as 14 digits for GS1 data and for any
    // EAN-8, UPC-A, EAN-13 or GTIN-14 with a valid check digit; else the plain text.
    QString code;
    QString batch;  // AI 10
    QDate expiry;   // AI 17; a day of 00 means the month's last day
    QString serial; // AI 21
};

// Why a text is not a code (a Persian text for the user).
struct ScanRefusal {
    QString message;
};

// Reads what a keyboard-wedge scanner typed. Accepts the symbology prefixes ]d2, ]C1,
// ]Q3 and ]e0, the group separator (ASCII 29) or the replacements scanners are set to
// send for it, and text typed on the Persian keyboard layout.
std::variant<ScannedCode, ScanRefusal> readScan(const QString& typed);

// Text a scanner typed while the Persian keyboard layout was chosen, turned back into the
// Latin keys it pressed (the standard Persian layout); other text comes back as it is.
QString fromPersianLayout(const QString& typed);

// Whether 8, 12, 13 or 14 digits end in their GS1 check digit.
bool hasValidGtinCheckDigit(const QString& digits);

// A GTIN of 8, 12, 13 or 14 digits with a valid check digit as the 14-digit form it is
// stored under; any other text as it is.
QString normalizedBarcode(const QString& code);

// The GS1 element string of a pack, its AIs in brackets as a label prints them under its
// DataMatrix: (01) the GTIN-14, (17) the expiry as YYMMDD, (10) the batch, the last two
// left out when unknown. A batch holding a bracket, or longer than GS1's 20 characters,
// cannot be carried and is left out too.
QString gs1PackText(const QString& gtin14, const QDate& expiry, const QString& batch);

} // namespace ph
