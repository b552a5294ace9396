#pragma once

#include "db/write_chain.h"
#include "dispensing/prescription_record.h"

#include <QList>
#include <QString>

namespace ph {

class Database;

// A cash row (cash) of a sale: what the customer pays or gets back. A sale's rows are
// those with its number and its kind; prescriptions and goods invoices are numbered by
// counters of their own.
struct CashRowValues {
    int invoice = 0;         // sh_factor
    char kind = 'd';         // type_factor: 'd' prescription, 'k' goods invoice
    CashAmounts amounts;     // koll_daryaft is amounts.total
    double refund = 0;       // koll_bargasht
    QString date;            // date_no and date_pa
    QString familyName;      // family_b
    bool waitsAtCashDesk = false; // paid at a cash desk of its own (flag_pa 0) or at once (1)
};

// Writes a sale's cash row, inside the caller's transaction: not closed, recorded and (when
// paid at once) paid now by the saving user, else waiting for the context's cashier.
void insertCashRow(Database& db, const CashRowValues& row, const SaveContext& context);
// The same row as a statement, for a caller that sends it with others.
Statement cashRowStatement(const CashRowValues& row, const SaveContext& context);

// What the sale's cash rows of the kind hold in sum, received minus refunded.
double heldByCashRows(Database& db, int invoice, char kind);

// Takes lines out of the pharmacy unit's stock (sign -1) or puts them back (+1), by a
// relative update inside the caller's transaction, so that other counters' sales in the
// meantime are kept. A unit without a stock figure for the goods keeps none, and a
// compounded drug is made here and kept in no stock, whichever way the lines move.
void moveStock(Database& db, const QList<StockLine>& lines, int sign);
// The same moves as statements, for a caller that sends them with others.
QList<Statement> stockMoveStatements(const QList<StockLine>& lines, int sign);

// Draws the lines from the pharmacy unit's lots as they leave stock (see LotStore), first
// the lots the document drew before its correction.
void drawLots(Database& db, LotDocument document, int number, const QList<StockLine>& lines, const QString& today,
              const QList<DrawnLot>& before = {});

// A new document's lines drawn from the pharmacy unit's lots before it has its number, and
// the rows that record the draws once it has (for its writes, sent together).
struct LotsDrawnAhead {
    QList<LotLine> lines;
    QList<QList<LotDraw>> draws;
    QList<Statement> records(LotDocument document, int number) const;
};
LotsDrawnAhead drawLotsAhead(Database& db, const QList<StockLine>& lines, const QString& today);

} // namespace ph
