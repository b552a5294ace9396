#pragma once

#include "dispensing/pricing_types.h"

#include <optional>

namespace ph {

class Prompter;

// What an insured line is priced from.
struct InsuredInput {
    double quantity = 0;   // Q
    double unitPrice = 0;  // P, the compounding free part already taken off
    QString specialtyCode; // the prescriber's specialty, me_code_takhasos
    Admission admission = Admission::Outpatient;
    std::optional<Contract> contract;   // the insurer's first contract period
    std::optional<DrugRuleEntry> rule;  // the insurer's rule for the drug
};

enum class InsuredPath {
    ContractPercentage,  // the contract's percentage, no limits
    LimitSplit,          // the rule's quantity or tariff limit, at the rule's or the contract's percentage
    SpecialtyLimitSplit, // the limit of a rule that asks for a specialty, at the contract's percentage
    Free,                // not covered: priced as a free line
};

struct InsuredShares {
    double insurer = 0;
    double patient = 0;
    double free = 0; // the part above the rule's limit, F
};

// The insurer's coverage of one line: which way it is priced, and the shares.
class InsuredPricing {
public:
    // The ordered decisions on the rule. A hospital-only drug asks whether the
    // prescription bears the hospital stamp; "no" prices it free.
    static InsuredPath choosePath(const InsuredInput& input, Prompter& prompter);
    // The shares along a path (Free gives none).
    static InsuredShares shares(InsuredPath path, const InsuredInput& input);

    // The insurer's percentage of a split: the rule's own when it has one, else the contract's.
    static double coverage(const InsuredInput& input);
    static double contractDeduct(const InsuredInput& input);
};

} // namespace ph
