#include "dispensing/pricing_repository.h"

#include "db/database.h"

namespace ph {

std::optional<DrugItem> PricingRepository::findDrug(double code, bool stockKeeping) {
    return m_drugs.find(code, stockKeeping);
}

std::optional<QString> PricingRepository::lastContractDay(int insurer) {
    return m_insurers.lastDay(insurer);
}

std::optional<ContractTerms> PricingRepository::firstContract(int insurer) {
    return m_insurers.first(insurer);
}

std::optional<DrugRule> PricingRepository::rule(int insurer, double drug) {
    QSqlQuery query = m_db.exec(
        m_db.dialect().selectLimited(QStringLiteral("ty_no, qu, mab, madrak, bimarestani, non_bimeh, deduct "
                                                    "from bimeh_daru where code_bimeh=? and code_kala=?"),
                                     1),
        {insurer, drug});
    if (!query.next()) return std::nullopt;
    DrugRule rule;
    rule.limitKind = query.value(0).toInt();
    rule.quantity = query.value(1).toDouble();
    rule.tariff = query.value(2).toDouble();
    rule.specialty = query.value(3).toInt();
    rule.hospitalOnly = query.value(4).toBool();
    rule.notCovered = query.value(5).toBool();
    rule.deduct = query.value(6).toDouble();
    return rule;
}

std::optional<double> PricingRepository::formulaFreePart(double drug) {
    QSqlQuery query =
        m_db.exec(m_db.dialect().selectLimited(
                      QStringLiteral("price_koll_azad from heading_formul_darou where code_darou=?"), 1),
                  {drug});
    if (!query.next()) return std::nullopt;
    return query.value(0).toDouble();
}

bool PricingRepository::isHoteling(int insurer, double drug) {
    return m_db
        .exec(m_db.dialect().selectLimited(
                  QStringLiteral("1 from hoteling where code_kala=? and code_bimeh=?"), 1),
              {drug, insurer})
        .next();
}

QList<CompanionItem> PricingRepository::companions(double drug, bool stockKeeping) {
    QSqlQuery query =
        stockKeeping
            ? m_db.exec(QStringLiteral("select h.code_kala_h, k.name_kala, t.name, v.price_u, h.condition "
                                       "from hamrah_kala h, moj_kala_vah v, mosh_kala_anbar k, type_kala t "
                                       "where v.code_vah=? and h.code_kala=? and h.code_kala_h=v.code_kala "
                                       "and v.code_kala=k.code_kala and k.type_code=t.code "
                                       "order by h.code_kala_h"),
                        {DrugList::kPharmacyUnit, drug})
            : m_db.exec(
                  QStringLiteral("select h.code_kala_h, k.name_kala, t.name, k.price_u, h.condition "
                                 "from hamrah_kala h, mosh_kala_anbar k, type_kala t "
                                 "where h.code_kala=? and h.code_kala_h=k.code_kala and k.type_code=t.code "
                                 "order by h.code_kala_h"),
                  {drug});
    QList<CompanionItem> companions;
    while (query.next())
        companions.append({query.value(0).toDouble(), query.value(1).toString(), query.value(2).toString(),
                           query.value(3).toDouble(), query.value(4).toString()});
    return companions;
}

std::optional<double> PricingRepository::pharmacyStock(double drug) {
    QSqlQuery query =
        m_db.exec(m_db.dialect().selectLimited(
                      QStringLiteral("moj_vah from moj_kala_vah where code_kala=? and code_vah=?"), 1),
                  {drug, DrugList::kPharmacyUnit});
    if (!query.next()) return std::nullopt;
    return query.value(0).toDouble();
}

} // namespace ph
