#include "dispensing/pricing_store.h"

#include "db/database.h"
#include "insurance/hoteling_store.h"

namespace ph {

std::optional<DrugItem> PricingStore::findDrug(double code, bool stockKeeping) {
    return m_drugs.find(code, stockKeeping);
}

InsurerTerms PricingStore::insurerTerms(int insurer) {
    auto found = m_terms.constFind(insurer);
    if (found == m_terms.cend()) found = m_terms.insert(insurer, m_insurers.terms(insurer));
    return *found;
}

std::optional<DrugRuleEntry> PricingStore::rule(int insurer, double drug) {
    return m_rules.find(insurer, drug);
}

std::optional<double> PricingStore::formulaFreePart(double drug) {
    Rows query =
        m_db.exec(m_db.dialect().selectLimited(
                      QStringLiteral("price_koll_azad from heading_formul_darou where code_darou=?"), 1),
                  {drug});
    if (!query.next()) return std::nullopt;
    return query.value(0).toDouble();
}

bool PricingStore::isHoteling(int insurer, double drug) {
    return HotelingStore(m_db).exists(insurer, drug);
}

QList<CompanionItem> PricingStore::companions(double drug, bool stockKeeping) {
    Rows query =
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

std::optional<double> PricingStore::pharmacyStock(double drug) {
    Rows query =
        m_db.exec(m_db.dialect().selectLimited(
                      QStringLiteral("moj_vah from moj_kala_vah where code_kala=? and code_vah=?"), 1),
                  {drug, DrugList::kPharmacyUnit});
    if (!query.next()) return std::nullopt;
    return query.value(0).toDouble();
}

} // namespace ph
