#include "dispensing/sale_rows.h"

#include "db/database.h"
#include "dispensing/drug_list.h"

#include <map>

namespace ph {

void insertCashRow(Database& db, const CashRowValues& row, const SaveContext& c) {
    const Statement insert = cashRowStatement(row, c);
    db.exec(insert.sql, insert.values);
}

Statement cashRowStatement(const CashRowValues& row, const SaveContext& c) {
    const bool waits = row.waitsAtCashDesk;
    return {QStringLiteral("insert into cash (sh_factor, code_opr, code_cashier, flag_pa, date_no, date_pa, time_no, "
                           "time_pa, azad, otc, fani, bimar, koll_daryaft, koll_bargasht, ekhtetam, type_factor, "
                           "family_b, kala) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?)"),
            {row.invoice, c.userCode, waits ? c.cashierCode : c.userCode, waits ? 0 : 1, row.date, row.date, c.time,
             c.time, row.amounts.free, row.amounts.otc, row.amounts.fee, row.amounts.patient, row.amounts.total,
             row.refund, QString(QChar::fromLatin1(row.kind)), row.familyName, row.amounts.goods}};
}

double heldByCashRows(Database& db, int invoice, char kind) {
    return db
        .scalar(QStringLiteral("select coalesce(sum(koll_daryaft), 0) - coalesce(sum(koll_bargasht), 0) from cash "
                               "where sh_factor=? and type_factor=?"),
                {invoice, QString(QChar::fromLatin1(kind))})
        .toDouble();
}

void moveStock(Database& db, const QList<StockLine>& lines, int sign) {
    for (const Statement& move : stockMoveStatements(lines, sign))
        db.exec(move.sql, move.values);
}

void drawLots(Database& db, LotDocument document, int number, const QList<StockLine>& lines, const QString& today,
              const QList<DrawnLot>& before) {
    QList<LotLine> drawn;
    for (const StockLine& line : lines)
        drawn.append({line.code, line.quantity, line.packs});
    LotStore(db).drawDocument(document, number, DrugList::kPharmacyUnit, drawn, lotsDay(today), before);
}

LotsDrawnAhead drawLotsAhead(Database& db, const QList<StockLine>& lines, const QString& today) {
    LotsDrawnAhead ahead;
    for (const StockLine& line : lines)
        ahead.lines.append({line.code, line.quantity, line.packs});
    LotStore store(db);
    LotStore::ItemLots lots = store.lotsOfLines(DrugList::kPharmacyUnit, ahead.lines);
    ahead.draws = store.takeOut(lots, ahead.lines, lotsDay(today));
    return ahead;
}

QList<Statement> LotsDrawnAhead::records(LotDocument document, int number) const {
    return LotStore::drawRecords(document, number, lines, draws);
}

QList<Statement> stockMoveStatements(const QList<StockLine>& lines, int sign) {
    QList<Statement> statements;
    // Each goods once, by the sum of its lines, in order of code: one statement moves them
    // all (up to kGoodsAtOnce goods a statement, within every engine's limit of values).
    std::map<double, double> moves;
    for (const StockLine& line : lines)
        moves[line.code] += line.quantity;
    constexpr int kGoodsAtOnce = 40;
    auto next = moves.cbegin();
    while (next != moves.cend()) {
        QString cases;
        QStringList marks;
        QVariantList amounts;
        QVariantList codes;
        for (int n = 0; n < kGoodsAtOnce && next != moves.cend(); ++n, ++next) {
            cases += QStringLiteral(" when ? then moj_vah+?");
            amounts << next->first << sign * next->second;
            marks.append(QStringLiteral("?"));
            codes.append(next->first);
        }
        statements.append({QStringLiteral("update moj_kala_vah set moj_vah=case code_kala%1 end where code_vah=? and code_kala "
                               "in (%2) and moj_vah is not null and not exists (select 1 from mosh_kala_anbar k "
                               "where k.code_kala=moj_kala_vah.code_kala and k.type_code=70)")
                    .arg(cases, marks.join(QStringLiteral(", "))),
                amounts + QVariantList{DrugList::kPharmacyUnit} + codes});
    }
    return statements;
}

} // namespace ph
