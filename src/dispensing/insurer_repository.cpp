#include "dispensing/insurer_repository.h"

#include "db/database.h"

namespace ph {
namespace {

const char* const kColumns =
    "row, to_d, deduct, fani_flag, goksaghf, gadresssag, toksaghf, tadresssag, foghok, "
    "foghaddress, msaghf, dsaghf from organs_s ";

ContractTerms readTerms(const QSqlQuery& query) {
    ContractTerms terms;
    terms.row = query.value(0).toInt();
    terms.toDate = query.value(1).toString();
    terms.deduct = query.value(2).toDouble();
    terms.feeFlag = query.value(3).toBool();
    terms.gpApproval = query.value(4).toDouble();
    terms.gpAddress = query.value(5).toDouble();
    terms.specialistApproval = query.value(6).toDouble();
    terms.specialistAddress = query.value(7).toDouble();
    terms.subSpecialistApproval = query.value(8).toDouble();
    terms.subSpecialistAddress = query.value(9).toDouble();
    terms.midwifeApproval = query.value(10).toDouble();
    terms.dentistApproval = query.value(11).toDouble();
    return terms;
}

} // namespace

std::optional<QString> InsurerRepository::name(int insurer) {
    QSqlQuery query = m_db.exec(
        m_db.dialect().selectLimited(QStringLiteral("name from organs_m where code=?"), 1), {insurer});
    if (!query.next()) return std::nullopt;
    return query.value(0).toString();
}

bool InsurerRepository::isEmergency(int insurer) {
    QSqlQuery query = m_db.exec(
        m_db.dialect().selectLimited(QStringLiteral("orj_flag from organs_m where code=?"), 1), {insurer});
    return query.next() && query.value(0).toBool();
}

std::optional<QString> InsurerRepository::lastDay(int insurer) {
    const QVariant day =
        m_db.scalar(QStringLiteral("select max(to_d) from organs_s where code=?"), {insurer});
    if (day.isNull()) return std::nullopt;
    return day.toString();
}

std::optional<ContractTerms> InsurerRepository::first(int insurer) {
    // Periods without a number come after the numbered ones, on every engine.
    QSqlQuery query = m_db.exec(
        m_db.dialect().selectLimited(QLatin1String(kColumns) +
                                         QStringLiteral("where code=? order by case when row is null then 1 "
                                                        "else 0 end, row"),
                                     1),
        {insurer});
    if (!query.next()) return std::nullopt;
    return readTerms(query);
}

std::optional<ContractTerms> InsurerRepository::latest(int insurer) {
    const QVariant maxRow =
        m_db.scalar(QStringLiteral("select max(row) from organs_s where code=?"), {insurer});
    if (maxRow.isNull()) return std::nullopt;
    QSqlQuery query = m_db.exec(
        m_db.dialect().selectLimited(QLatin1String(kColumns) + QStringLiteral("where code=? and row=?"), 1),
        {insurer, maxRow.toInt()});
    if (!query.next()) return std::nullopt;
    return readTerms(query);
}

} // namespace ph
