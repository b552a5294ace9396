#include "insurance/insurer_store.h"

#include "audit/audit_changes.h"
#include "db/database.h"
#include "db/key_allocator.h"
#include "db/pick_rows.h"
#include "db/transaction.h"

namespace ph {
namespace {

const char* const kContractColumns =
    "from_d, to_d, deduct, goksaghf, gadresssag, toksaghf, tadresssag, foghok, "
    "foghaddress, msaghf, dsaghf, fani_flag";

QVariantList contractValues(const Contract& c) {
    return {c.fromDate,
            c.toDate,
            c.percent,
            c.gpApproval,
            c.gpAddress,
            c.specialistApproval,
            c.specialistAddress,
            c.subSpecialistApproval,
            c.subSpecialistAddress,
            c.midwifeApproval,
            c.dentistApproval,
            c.feeInCommitment ? 1 : 0};
}

QString orZero(const QString& code) {
    const QString trimmed = code.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("0") : trimmed;
}

Insurer readInsurer(const Rows& q) {
    Insurer insurer;
    insurer.code = q.value(0).toInt();
    insurer.name = q.value(1).toString();
    insurer.claimCode = q.value(2).toString();
    insurer.pharmacyCode = q.value(3).toString();
    insurer.emergency = q.value(4).toInt() != 0;
    return insurer;
}

// The where clause that finds one contract, and its values.
QPair<QString, QVariantList> contractKey(const Contract& c) {
    if (c.row) return {QStringLiteral("code=? and row=?"), {c.insurer, *c.row}};
    return {QStringLiteral("code=? and row is null and coalesce(from_d,'')=? and coalesce(to_d,'')=?"),
            {c.insurer, c.fromDate, c.toDate}};
}

void rewriteContract(Database& db, const Contract& original, const Contract& changed) {
    const auto [where, keyValues] = contractKey(original);
    db.exec(
        QStringLiteral("update organs_s set from_d=?, to_d=?, deduct=?, goksaghf=?, gadresssag=?, "
                       "toksaghf=?, tadresssag=?, foghok=?, foghaddress=?, msaghf=?, dsaghf=?, fani_flag=? "
                       "where ") +
            where,
        contractValues(changed) + keyValues);
}

} // namespace

QList<Insurer> InsurerStore::all() {
    QList<Insurer> insurers;
    Rows q = m_db.exec(
        QStringLiteral("select code, name, code_bimeh, code_pharmacy, orj_flag from organs_m order by code"));
    while (q.next())
        insurers.append(readInsurer(q));
    return insurers;
}

std::optional<Insurer> InsurerStore::find(int code) {
    Rows q = m_db.exec(
        QStringLiteral("select code, name, code_bimeh, code_pharmacy, orj_flag from organs_m where code=?"),
        {code});
    if (!q.next()) return std::nullopt;
    return readInsurer(q);
}

std::optional<QString> InsurerStore::nameOf(int code) {
    Rows q = m_db.exec(QStringLiteral("select name from organs_m where code=?"), {code});
    if (!q.next()) return std::nullopt;
    return q.value(0).toString().trimmed();
}

PickRows InsurerStore::pickRows() {
    return loadPickRows(m_db, QStringLiteral("select code, name as name1 from organs_m order by code"));
}

PickRows InsurerStore::pickRowsByName() {
    return loadPickRows(m_db, QStringLiteral("select code, name as name1 from organs_m order by name"));
}

InsurerStore::Added InsurerStore::add(const Insurer& insurer) {
    const QString name = insurer.name.trimmed();
    if (name.isEmpty()) return {AddResult::EmptyName, 0};
    return saveInTransaction(m_db, [&]() -> Added {
        if (m_db.exec(QStringLiteral("select code from organs_m where ltrim(rtrim(name))=?"), {name}).next())
            return {AddResult::DuplicateName, 0};
        const int code = int(nextKey(m_db, QStringLiteral("organs_m"), QStringLiteral("code")));
        m_db.exec(
            QStringLiteral("insert into organs_m (code, name, code_bimeh, code_pharmacy, orj_flag) "
                           "values (?, ?, ?, ?, ?)"),
            {code, name, orZero(insurer.claimCode), orZero(insurer.pharmacyCode), insurer.emergency ? 1 : 0});
        return {AddResult::Added, code};
    });
}

bool InsurerStore::inUse(int code) {
    for (const char* table : {"heading_noskhe", "bimeh_daru"}) {
        const QString sql = QStringLiteral("1 from %1 where code_bimeh=?").arg(QLatin1String(table));
        if (m_db.exec(m_db.dialect().selectLimited(sql, 1), {code}).next()) return true;
    }
    return false;
}

void InsurerStore::update(const Insurer& insurer) {
    Transaction transaction(m_db);
    const QVariantList codes = {insurer.claimCode.trimmed(), insurer.pharmacyCode.trimmed(),
                                insurer.emergency ? 1 : 0};
    if (inUse(insurer.code))
        m_db.exec(
            QStringLiteral("update organs_m set code_bimeh=?, code_pharmacy=?, orj_flag=? where code=?"),
            codes + QVariantList{insurer.code});
    else
        m_db.exec(QStringLiteral(
                      "update organs_m set code_bimeh=?, code_pharmacy=?, orj_flag=?, name=? where code=?"),
                  codes + QVariantList{insurer.name.trimmed(), insurer.code});
    transaction.commit();
}

InsurerStore::RemoveResult InsurerStore::remove(int code) {
    Transaction transaction(m_db);
    if (inUse(code)) return RemoveResult::InUse;
    // What names only this insurer goes with it, so that a later insurer given the same
    // code does not inherit it.
    for (const char* sql :
         {"delete from organs_m where code=?", "delete from organs_s where code=?",
          "delete from hoteling where code_bimeh=?", "delete from tanzimat_bimeh where code_bimeh=?"})
        m_db.exec(QString::fromLatin1(sql), {code});
    transaction.commit();
    return RemoveResult::Removed;
}

QList<Contract> InsurerStore::contracts(int insurer) {
    QList<Contract> contracts;
    Rows q = m_db.exec(QStringLiteral("select row, %1 from organs_s where code=? "
                                           "order by case when row is null then 1 else 0 end, row")
                                .arg(QLatin1String(kContractColumns)),
                            {insurer});
    while (q.next()) {
        Contract c;
        c.insurer = insurer;
        if (!q.value(0).isNull()) c.row = q.value(0).toInt();
        c.fromDate = q.value(1).toString();
        c.toDate = q.value(2).toString();
        c.percent = q.value(3).toDouble();
        c.gpApproval = q.value(4).toDouble();
        c.gpAddress = q.value(5).toDouble();
        c.specialistApproval = q.value(6).toDouble();
        c.specialistAddress = q.value(7).toDouble();
        c.subSpecialistApproval = q.value(8).toDouble();
        c.subSpecialistAddress = q.value(9).toDouble();
        c.midwifeApproval = q.value(10).toDouble();
        c.dentistApproval = q.value(11).toDouble();
        c.feeInCommitment = q.value(12).toInt() != 0;
        contracts.append(c);
    }
    return contracts;
}

InsurerTerms InsurerStore::terms(int insurer) {
    InsurerTerms terms;
    if (const std::optional<Insurer> found = find(insurer)) terms.emergency = found->emergency;
    const QList<Contract> periods = contracts(insurer);
    if (!periods.isEmpty()) terms.first = periods.first();
    for (const Contract& c : periods) {
        // Dates compare as the database compares them: yy/mm/dd text, byte by byte.
        if (!c.toDate.isEmpty() && (!terms.lastDay || c.toDate > *terms.lastDay)) terms.lastDay = c.toDate;
        if (c.row && (!terms.latest || *c.row > *terms.latest->row)) terms.latest = c;
    }
    return terms;
}

int InsurerStore::saveNewContract(const Contract& contract) {
    return saveInTransaction(m_db, [&] {
        // The history records the insurer's contract rows before and after.
        return writeRecorded(m_db, m_origin, QStringLiteral("contract"), QString::number(contract.insurer),
                             QStringLiteral("organs_s"), QStringLiteral("code=?"), {contract.insurer}, [&] {
            Rows same =
                m_db.exec(m_db.dialect().selectLimited(
                              QStringLiteral("row from organs_s where code=? and from_d=? and to_d=?"), 1),
                          {contract.insurer, contract.fromDate, contract.toDate});
            if (same.next()) {
                Contract existing = contract;
                existing.row = same.value(0).isNull() ? std::nullopt : std::optional<int>(same.value(0).toInt());
                same.finish();
                rewriteContract(m_db, existing, contract);
                return existing.row.value_or(0);
            }
            same.finish();
            const int row = int(nextKey(m_db, QStringLiteral("organs_s"), QStringLiteral("row"),
                                        QStringLiteral("code=?"), {contract.insurer}));
            m_db.exec(
                QStringLiteral(
                    "insert into organs_s (code, row, %1) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                    .arg(QLatin1String(kContractColumns)),
                QVariantList{contract.insurer, row} + contractValues(contract));
            return row;
        });
    });
}

void InsurerStore::updateContract(const Contract& original, const Contract& changed) {
    writeRecorded(m_db, m_origin, QStringLiteral("contract"), QString::number(changed.insurer),
                  QStringLiteral("organs_s"), QStringLiteral("code=?"), {changed.insurer},
                  [&] { rewriteContract(m_db, original, changed); });
}

} // namespace ph
