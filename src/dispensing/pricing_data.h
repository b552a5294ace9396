#pragma once

#include "dispensing/pricing_types.h"

#include <QList>
#include <QString>

#include <optional>

namespace ph {

// The reference data a line is priced from. PricingStore reads it from the database;
// tests give it by hand. Insurer codes are organs_m codes.
class PricingData {
public:
    virtual ~PricingData() = default;

    // The drug of a code in the window's drug list (the pharmacy unit's rows and prices
    // in stock-keeping mode, else the catalogue); absent when it is not in the list.
    virtual std::optional<DrugItem> findDrug(double code, bool stockKeeping) = 0;
    // The insurer's contracts as pricing reads them: the last day of all of them, and the
    // first one, whose percentage prices the lines.
    virtual InsurerTerms insurerTerms(int insurer) = 0;
    // The insurer's rule for the drug.
    virtual std::optional<DrugRuleEntry> rule(int insurer, double drug) = 0;
    // The free part (price_koll_azad) of a compounded drug's formula; absent with no formula.
    virtual std::optional<double> formulaFreePart(double drug) = 0;
    // Whether the insurer reimburses the drug as a hoteling item.
    virtual bool isHoteling(int insurer, double drug) = 0;
    // The drug's companion goods, in the order the companions window lists them.
    virtual QList<CompanionItem> companions(double drug, bool stockKeeping) = 0;
    // The pharmacy unit's stock of the drug (moj_vah of unit 20); absent with no stock row.
    virtual std::optional<double> pharmacyStock(double drug) = 0;
};

} // namespace ph
