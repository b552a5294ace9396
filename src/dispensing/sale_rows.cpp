#include "dispensing/sale_rows.h"

#include "db/database.h"
#include "dispensing/drug_list.h"

namespace ph {

void insertCashRow(Database& db, const CashRowValues& row, const SaveContext& c) {
    const bool waits = row.waitsAtCashDesk;
    db.exec(QStringLiteral("insert into cash (sh_factor, code_opr, code_cashier, flag_pa, date_no, date_pa, time_no, "
                           "time_pa, azad, otc, fani, bimar, koll_daryaft, koll_bargasht, ekhtetam, type_factor, "
                           "family_b, kala) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?)"),
            {row.invoice, c.userCode, waits ? c.cashierCode : c.userCode, waits ? 0 : 1, row.date, row.date, c.time,
             c.time, row.amounts.free, row.amounts.otc, row.amounts.fee, row.amounts.patient, row.amounts.total,
             row.refund, QString(QChar::fromLatin1(row.kind)), row.familyName, row.amounts.goods});
}

double heldByCashRows(Database& db, int invoice, char kind) {
    return db
        .scalar(QStringLiteral("select coalesce(sum(koll_daryaft), 0) - coalesce(sum(koll_bargasht), 0) from cash "
                               "where sh_factor=? and type_factor=?"),
                {invoice, QString(QChar::fromLatin1(kind))})
        .toDouble();
}

void moveStock(Database& db, const QList<StockLine>& lines, int sign) {
    for (const StockLine& line : lines)
        db.exec(QStringLiteral("update moj_kala_vah set moj_vah=moj_vah+? where code_kala=? and code_vah=? "
                               "and moj_vah is not null and not exists (select 1 from mosh_kala_anbar k "
                               "where k.code_kala=moj_kala_vah.code_kala and k.type_code=70)"),
                {sign * line.quantity, line.code, DrugList::kPharmacyUnit});
}

} // namespace ph
