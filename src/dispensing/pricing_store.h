#pragma once

#include "dispensing/drug_list.h"
#include "dispensing/pricing_data.h"
#include "insurance/drug_rule_store.h"
#include "insurance/insurer_store.h"

#include <QHash>

namespace ph {

class Database;

// The reference data of line pricing, read from the database. An insurer's contracts are
// read once and kept until forget(): a prescription reads them once, however many lines
// it prices, and the session forgets them when a new prescription starts.
class PricingStore : public PricingData {
public:
    explicit PricingStore(Database& db) : m_db(db), m_drugs(db), m_insurers(db), m_rules(db) {}

    std::optional<DrugItem> findDrug(double code, bool stockKeeping) override;
    InsurerTerms insurerTerms(int insurer) override;
    std::optional<DrugRuleEntry> rule(int insurer, double drug) override;
    std::optional<double> formulaFreePart(double drug) override;
    bool isHoteling(int insurer, double drug) override;
    QList<CompanionItem> companions(double drug, bool stockKeeping) override;
    std::optional<double> pharmacyStock(double drug) override;

    // Whether the pharmacy keeps stock: the drug list is then the pharmacy unit's.
    bool stockKeepingMode() { return m_drugs.stockKeepingMode(); }
    // Drops the insurers' contracts read so far.
    void forget() { m_terms.clear(); }

private:
    Database& m_db;
    DrugList m_drugs;
    InsurerStore m_insurers;
    DrugRuleStore m_rules;
    QHash<int, InsurerTerms> m_terms;
};

} // namespace ph
