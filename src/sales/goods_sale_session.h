#pragma once

#include "dispensing/pricing_types.h"
#include "dispensing/prescription_record.h"
#include "sales/goods_lines.h"
#include "sales/sale_document_store.h"
#include "lots/pack_scan.h"

#include <QHash>

#include <QString>

#include <optional>

namespace ph {

class Database;
class Prompter;

// The header of a goods invoice (or a ward consumption) being entered or shown.
struct GoodsHeader {
    int invoiceNumber = 0; // sh_factor (the next one for a new document)
    QString date;          // date_sabt, yy/mm/dd
    QString family;        // a goods invoice's customer
    QString name;
    QString requestNumber; // a ward consumption's sh_darkhast
    QString wardCode;      // and its code_bakhsh
};

// The totals panel: goods total, OTC fee and payable total, in the shortest decimal form.
struct GoodsTotals {
    double goods = 0;
    double otc = 0;
    double payable = 0;
};

// The OTC fee of the tariff's first row: a percentage of the OTC lines, capped.
struct OtcRate {
    double percent = 0; // percent_otc
    double cap = 0;     // mab_max_otc
};

// The goods totals of a line list: every line counts towards the goods total; lines of the
// kind "OTC" (exactly so) also pay the OTC percentage, the fee capped at the rate's cap.
GoodsTotals goodsTotals(const LineList& lines, int kindColumn, int totalColumn, const OtcRate& rate);

// The outcome of adding or replacing a line.
struct GoodsLineResult {
    enum class Status { Written, Refused, NotInList };
    Status status = Status::Refused;
    int row = 0;      // the row written
    QString focus;    // on a refusal: the field to focus (me_family, me_tedad, cb_vaziat, DBGrid2)
    bool written() const { return status == Status::Written; }
};

struct GoodsSaveOutcome {
    bool saved = false;
    int invoiceNumber = 0;
    QString focus; // on a refusal: the field to focus
};

// A goods invoice being entered, shown or changed: its header, its lines and totals, saved
// with its cash row and its stock in one transaction. The goods sale window and the tests
// drive it; messages and questions go through the Prompter. The list of goods is the
// dispensing drug list (the pharmacy unit's goods at its prices in stock-keeping mode).
class GoodsSaleSession {
public:
    GoodsSaleSession(Database& db, Prompter& prompter, SaleVariant variant = SaleVariant::GoodsInvoice);
    SaleVariant variant() const { return m_variant; }

    // A new invoice: cleared header (the customer "مشتري", today), no lines, the next
    // number, stock-keeping mode and the OTC rate read afresh. Leaves an edit.
    void start(const QString& today);
    // Shows the stored invoice (its stored totals); false, with a cleared invoice, when the
    // number has none.
    bool load(int number);
    // Changes to the shown invoice are saved over it. Nothing is written until the save.
    void startEdit();
    bool editing() const { return m_editing.has_value(); }

    GoodsHeader& header() { return m_header; }
    const GoodsHeader& header() const { return m_header; }
    const GoodsLines& lines() const { return m_lines; }
    bool stockKeeping() const { return m_stockKeeping; }
    const GoodsTotals& totals() const { return m_totals; }
    SaleDocumentStore& store() { return m_store; }

    // The goods list's row of a code; absent when the list does not hold it.
    std::optional<DrugItem> findGoods(double code);
    // The kind a goods item chosen from the list starts with: "OTC" for drugs, else "كالا".
    static QString kindFor(const DrugItem& goods);
    // The kinds the kind field offers, the first being the cleared state's.
    QStringList kinds() const;

    // Adds the goods with the quantity and kind typed: the family name, quantity, kind and
    // price checks first; a quantity beyond the stock only warns.
    GoodsLineResult addLine(const std::optional<DrugItem>& goods, const QString& quantity, const QString& kind);
    // Writes the row's goods again with the quantity and kind typed ("اصلاح دارو").
    GoodsLineResult replaceLine(int row, const QString& quantity, const QString& kind);
    // Removes a line; the rows below move up and are numbered again.
    void removeLine(int row);
    // A scanned pack: the item its barcode names gets a line of one (of its own kind in a
    // goods invoice, of `kind` in a ward's consumption), or one more on its line. The
    // header's check comes first; an expired pack is given only after a yes; a serial given
    // before is warned of. Refusals are shown through the Prompter; a barcode no item has
    // is the caller's to offer for linking (Unknown, nothing shown). The pack goes with its
    // line into the save, which draws it from its own lot.
    PackScanResult takeScan(const QString& typed, const QString& kind);

    // F2: the save right, the edit question, the family name and a list with lines first,
    // each refusal shown; then the whole invoice in one transaction. A saved invoice leaves
    // the session at a new one.
    GoodsSaveOutcome save(const SaveContext& context, bool maySave);

    enum class RemoveOutcome { Removed, Declined, Refused };
    // Ctrl+F4: the delete right, the question, then the shown invoice deleted, its lines back
    // in stock in stock-keeping mode; a refusal shown. The caller starts a new invoice after
    // a removal.
    RemoveOutcome removeStored(bool mayDelete, const AuditOrigin& origin);

private:
    GoodsLineResult refuse(const QString& message, const QString& focus);
    // The header's refusal of a new line (the customer, or the ward's request), shown.
    std::optional<GoodsLineResult> checkHeader();
    std::optional<GoodsLineResult> checkLine(const std::optional<DrugItem>& goods, const QString& quantity,
                                             const QString& kind);
    void warnBeyondStock(const DrugItem& goods, double quantity);
    void recompute();
    SaleRecord record(const SaveContext& context);

    bool goods() const { return m_variant == SaleVariant::GoodsInvoice; }

    Database& m_db;
    Prompter& m_prompter;
    SaleVariant m_variant;
    SaleDocumentStore m_store;
    GoodsHeader m_header;
    GoodsLines m_lines;
    GoodsTotals m_totals;
    OtcRate m_rate;
    bool m_stockKeeping = false;
    bool m_waitsAtCashDesk = false;
    std::optional<int> m_editing;
    QString m_today; // the day the session was started on, yy/mm/dd: packs expire by it
    // The packs scanned since start, by the item whose line they went to.
    QHash<double, QList<ScannedPack>> m_packs;
};

} // namespace ph
