#pragma once

#include "dispensing/drug_list.h"
#include "dispensing/insurer_repository.h"
#include "dispensing/pricing_data.h"

namespace ph {

class Database;

// The reference data of line pricing, read from the database at the moment of pricing.
class PricingRepository : public PricingData {
public:
    explicit PricingRepository(Database& db) : m_db(db), m_drugs(db), m_insurers(db) {}

    std::optional<DrugItem> findDrug(double code, bool stockKeeping) override;
    std::optional<QString> lastContractDay(int insurer) override;
    std::optional<ContractTerms> firstContract(int insurer) override;
    std::optional<DrugRule> rule(int insurer, double drug) override;
    std::optional<double> formulaFreePart(double drug) override;
    bool isHoteling(int insurer, double drug) override;
    QList<CompanionItem> companions(double drug, bool stockKeeping) override;
    std::optional<double> pharmacyStock(double drug) override;

private:
    Database& m_db;
    DrugList m_drugs;
    InsurerRepository m_insurers;
};

} // namespace ph
