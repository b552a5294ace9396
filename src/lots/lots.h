#pragma once

#include "db/write_chain.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// A lot of an item in a stock unit: its batch, its expiry and the quantity on hand. The
// item's quantity no lot accounts for (stock from before lots were kept, documents without
// an expiry) is its untracked quantity: moj_vah less the sum of its lots.
struct Lot {
    int id = 0;        // code_lot
    double item = 0;   // code_kala
    int unit = 0;      // code_vah
    QString batch;     // empty when the document gave none
    QDate expiry;      // invalid when not known
    double quantity = 0;
};

// Which lot a scanned pack names.
struct LotKey {
    QString batch;
    QDate expiry;
};

// A pack scanned into a document line: the lot its code names and its serial (empty when
// the code carries none).
struct ScannedPack {
    LotKey lot;
    QString serial;
};

// A document line as lots see it: an item's quantity and the packs scanned for it.
struct LotLine {
    double item = 0;
    double quantity = 0;
    QList<ScannedPack> packs;
};

// Part of a document line's quantity taken from one lot (lot 0: the untracked quantity).
struct LotDraw {
    int lot = 0;
    double quantity = 0;
};

// The documents that draw lots, as their cash rows name them.
enum class LotDocument : char { Prescription = 'd', GoodsInvoice = 'k', WardConsumption = 'm' };

// What a document drew from a lot of an item.
struct DrawnLot {
    double item = 0;
    int lot = 0;
    double quantity = 0;
};

// A document that gave out a pack before.
struct SerialSeen {
    LotDocument document = LotDocument::Prescription;
    int number = 0;
};

// Lots of items (kala_lot) and what each document drew from them (kala_lot_line). Every
// change is made in the caller's transaction, beside the stock move it goes with.
class LotStore {
public:
    explicit LotStore(Database& db) : m_db(db) {}

    // Adds a quantity taken into stock to its lot, making the lot when it is new. A line
    // without an expiry stays untracked: nothing is written.
    void takeIn(double item, int unit, const LotKey& key, double quantity);
    // Takes a quantity given back to the store out of its lot, as far as the lot holds it;
    // the rest comes off the untracked quantity.
    void giveBack(double item, int unit, const LotKey& key, double quantity);

    // Draws a document line's quantity: from the scanned pack's lot when one is named and
    // holds it, else first expiry first, never from an expired lot; what the lots do not
    // hold comes from the untracked quantity. Records the draws against the document.
    QList<LotDraw> draw(LotDocument document, int number, double item, int unit, double quantity, const QDate& today,
                        const std::optional<LotKey>& scanned = std::nullopt);
    // Draws a whole document's lines as draw() does one, a scanned pack from its own lot, and
    // records the packs' serials. Lots the document drew before it was corrected (`before`)
    // come first, so that a correction draws the same packs again. One read when no item of
    // the document has lots; the draws per line, lot 0 for the untracked part.
    QList<QList<LotDraw>> drawDocument(LotDocument document, int number, int unit, const QList<LotLine>& lines,
                                       const QDate& today, const QList<DrawnLot>& before = {});
    // drawDocument in its three steps, for a save that draws before it knows its number:
    // the lots of the lines' items read at once; the quantities taken out of them; then the
    // rows recording the draws and the serials against the document, once it has its number.
    using ItemLots = QHash<double, QList<Lot>>;
    ItemLots lotsOfLines(int unit, const QList<LotLine>& lines);
    QList<QList<LotDraw>> takeOut(ItemLots& lots, const QList<LotLine>& lines, const QDate& today,
                                  const QList<DrawnLot>& before = {});
    static QList<Statement> drawRecords(LotDocument document, int number, const QList<LotLine>& lines,
                                        const QList<QList<LotDraw>>& draws);
    // Puts everything a document drew back into its lots and forgets the draws and the
    // serials (the document is deleted, or its lines are about to be written again); returns
    // what it had drawn.
    QList<DrawnLot> putBack(LotDocument document, int number);
    // The document that gave out the pack with this serial of the item's batch before; none
    // when the serial is new (or empty).
    std::optional<SerialSeen> serialSeen(double item, const QString& batch, const QString& serial);

    // The lots of an item with something in them, first expiry first.
    QList<Lot> lotsOf(double item, int unit);
    // Lots with something in them whose expiry is before today plus the days (expired ones too).
    QList<Lot> expiringWithin(const QDate& today, int days, int unit);
    std::optional<Lot> find(double item, int unit, const LotKey& key);

private:
    Database& m_db;
};

// The expiry a store document's line carries (date_exps): a solar date yyyy/mm/dd or
// yy/mm/dd, or an ISO date; invalid for anything else.
QDate expiryFromDocumentText(const QString& text);

// The day a document's lots count expiry from: its solar date yy/mm/dd (the save's today),
// else the clock's.
QDate lotsDay(const QString& solarToday);

// The stored form of an expiry: ISO yyyy-mm-dd, empty when not known (sorts as time runs).
QString lotExpiryText(const QDate& expiry);

} // namespace ph
