#pragma once

#include "audit/audit_origin.h"
#include "admin/price_workbook.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace ph {

class Database;

// A sheet row the correction could not read, and why.
struct UnreadablePriceRow {
    int sheetRow = 0;
    QString reason;

    friend bool operator==(const UnreadablePriceRow&, const UnreadablePriceRow&) = default;
};

// What a price correction did. Counts cover the rows dealt with, from the first row
// handed in up to where the run ended.
struct PriceCorrectionReport {
    int totalRows = 0;     // rows handed to the run
    int processedRows = 0; // rows dealt with; what they changed is kept
    int updated = 0;       // rows that set the price of a goods row
    int notFound = 0;      // rows whose code no goods row carries as its national code
    int withoutCode = 0;   // rows with an empty code cell
    int withoutPrice = 0;  // rows with a code and an empty price cell
    QList<UnreadablePriceRow> unreadable;
    int barcodesAdded = 0; // barcodes of the barcode column now held by their row's goods
    // Barcodes left out, each with its sheet row and the refusal (another item holds it,
    // or it cannot be a barcode); the prices of those rows are corrected all the same.
    QList<UnreadablePriceRow> refusedBarcodes;
    bool cancelled = false; // the user stopped the run after processedRows rows
    // A database failure that stopped the run: the rows before sheet row stoppedAtRow
    // stay updated, that row and the rows after it changed nothing.
    QString failure;
    int stoppedAtRow = 0;
};

// The number a workbook cell holds as text: digits in Latin, Persian or Arabic-Indic
// form, an optional sign, a decimal point ("." or "٫"), thousands separators in groups
// of three ("," or "٬") and an exponent; blanks and direction marks around it are
// ignored. Nothing for any other text.
std::optional<double> readSheetNumber(const QString& text);

// Sets the unit price of goods from the rows of a price workbook: a row with a code
// sets price_u of the first goods row (lowest goods code) whose national code
// (code_tow) is that whole number, when its price cell is not empty. A row that cannot
// be read (a code that is not a positive whole number, a price that is not a whole
// number of Rials above zero and below 10^12) is left out and listed; the rows around
// it are applied all the same. A row's barcode, when the workbook has that column, is added
// to the goods row its code names (with or without a price), after its batch is stored.
class PriceCorrection {
public:
    // Called after each row with the rows dealt with so far and the total; returning
    // false stops the run there, keeping what was done.
    using Progress = std::function<bool(int done, int total)>;

    // Each batch's changed prices go to the history of changes as `origin`'s, in the batch's
    // transaction.
    explicit PriceCorrection(Database& db, AuditOrigin origin = {}) : m_db(db), m_origin(std::move(origin)) {}

    PriceCorrectionReport run(const QList<PriceSheetRow>& rows, const Progress& progress = {});

private:
    struct Batch;
    Batch applyBatch(const QList<PriceSheetRow>& rows, int begin, int end, const Progress* progress);

    Database& m_db;
    AuditOrigin m_origin;
};

// The message shown when a run ends: "اصلاح قيمت ها انجام شد." after a complete run
// (or what stopped it), followed by the first 50 unreadable rows, one line each with
// the sheet row number and the reason, and the count of the others; then the barcodes
// left out, listed the same way.
QString priceCorrectionMessage(const PriceCorrectionReport& report);

} // namespace ph
