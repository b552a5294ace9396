#pragma once

#include "audit/audit_changes.h"
#include "dispensing/prescription_record.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

#include <optional>

namespace ph {

class Database;

// What a goods sale session enters: a goods invoice sold over the counter, or a ward's
// consumption (no customer, no cash row, no OTC fee, numbered by a counter of its own).
enum class SaleVariant { GoodsInvoice, WardConsumption };

// Where a sale document without an insurer lives: a heading table numbered by a counter of
// its own and a lines table. A goods invoice leaves a cash row of its kind; a ward
// consumption document leaves none. Names are the program's own, never the user's.
struct SaleDocumentKind {
    SaleVariant variant;
    QString heading;           // heading_froosh_kala
    QString details;           // details_froosh_kala
    QString codeColumn;        // the lines' goods column: code_kala
    QString priceColumn;       // the lines' unit price column: price
    std::optional<char> cash;  // the cash rows' type_factor ('k'); none: no cash row
    LotDocument lots;          // the document as its lot draws name it

    static const SaleDocumentKind& goodsInvoice();
    static const SaleDocumentKind& wardConsumption();
    static const SaleDocumentKind& of(SaleVariant variant);
};

// One stored line of a sale document.
struct SaleLine {
    double code = 0;
    QString kind;      // vaziat, trimmed
    double quantity = 0;
    double price = 0;  // unit price at the time of sale
    double total = 0;  // price × quantity
    QList<ScannedPack> packs; // the packs scanned for the line, drawn from their own lots
};

// A sale document as it is stored.
struct SaleRecord {
    QList<QPair<QString, QVariant>> heading; // the heading's columns but the number
    QList<SaleLine> lines;
    bool stockKeeping = false;    // the pharmacy unit's stock moves with the document
    // The cash row, for a kind that has one.
    double payable = 0;           // koll_daryaft of a new document
    QString date;                 // the document's date: a later receipt is dated with it
    QString familyName;           // family_b
    bool waitsAtCashDesk = false; // the settings' cash flag
};

// A stored document as its window shows it: the heading's values, its stored totals and the
// line list's cells (line number left empty).
struct StoredSaleDocument {
    QString date;          // date_sabt
    QString family, name;  // a goods invoice's customer
    QString requestNumber; // a ward consumption's sh_darkhast
    QString wardCode;      // and code_bakhsh
    double goods = 0, otc = 0, payable = 0;
    QList<QStringList> lines;
};

// Stored sale documents of a kind: numbering, saving, deleting, browsing. Every save is one
// transaction that holds the heading, the lines, the cash row and the stock.
class SaleDocumentStore {
public:
    SaleDocumentStore(Database& db, const SaleDocumentKind& kind) : m_db(db), m_kind(kind) {}

    // The number a new document shows: the largest stored plus one.
    int nextNumber();
    bool exists(int number);
    std::optional<int> first();
    std::optional<int> last();

    // Stores a new document: its number taken inside the transaction (another workstation
    // taking the same number makes the whole save run again), the heading, the lines, the
    // cash row of the payable total and the stock. Returns the number.
    int saveNew(const SaleRecord& record, const SaveContext& context);
    // Stores the edited document over the stored one in one transaction: the stored lines
    // go back into stock and the new ones leave it, and a cash row takes the difference to
    // what the document's cash rows hold in sum. False when no document has the number.
    bool saveEdit(int number, const SaleRecord& record, const SaveContext& context);

    // The stored document with the number, its lines by goods code (the lines table keeps no
    // line number); absent when none is stored under it.
    std::optional<StoredSaleDocument> load(int number);
    // The pharmacy unit's stock of the goods; absent when the unit keeps no figure for it.
    std::optional<double> pharmacyStock(double code);

    enum class RemoveResult { Removed, NotFound, ClosedByCashDesk };
    // Deletes the heading, the lines and the document's own cash rows in one transaction,
    // with `stockKeeping` its lines going back into the pharmacy unit's stock in it (they
    // left it when the document was saved); a document a till closing has counted is refused.
    // The history of changes records what it held, in the same transaction.
    RemoveResult remove(int number, bool stockKeeping, const AuditOrigin& origin);

private:
    // The stored heading and lines, as the history of changes records them.
    AuditRow storedHeading(int number);
    QList<AuditRow> storedLines(int number);
    void record(const AuditOrigin& origin, int number, const AuditRow& before, const std::optional<QList<AuditRow>>& linesBefore,
                const AuditRow& after, const std::optional<QList<AuditRow>>& linesAfter);
    void insertLines(int number, const SaleRecord& record);
    QList<StockLine> storedStock(int number);

    Database& m_db;
    const SaleDocumentKind& m_kind;
};

} // namespace ph
