#pragma once

#include "catalogue/drug_links.h"
#include "dispensing/insured_pricing.h"
#include "dispensing/prescription_record.h"
#include "dispensing/pricing_types.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace ph {

class Prompter;

// The two quantities of a substitution as typed.
struct SubstitutionInput {
    QString prescribedQuantity; // me_tedad_main
    QString dispensedQuantity;  // me_tedad_moadel
};

struct SubstitutionResult {
    enum class Status {
        Written,  // the line is in the list
        NotValid, // a check failed; its warning was shown
        NotAdded, // the insurer code allows no substitution line; nothing was shown
    };
    Status status = Status::NotValid;
    int row = -1;
    QString focus; // the field at fault
    bool written() const { return status == Status::Written; }
};

// What one side of a substitution is priced from: the prescribed drug and the equivalent
// are both priced under the prescribed drug's rule.
struct SubstitutionFacts {
    double quantity = 0;
    double unitPrice = 0;
    QString specialtyCode;             // me_code_takhasos
    double percent = 0;                // the insurer's first contract's percentage (0 with none)
    std::optional<DrugRuleEntry> rule; // the insurer's rule for the prescribed drug
};

// The insurer's cover of a substitution: it pays at most what it would pay for the
// prescribed drug, and what the dispensed drug costs beyond that is free.
class SubstitutionPricing {
public:
    // One side's shares. A hospital-only rule asks whether the prescription bears the
    // hospital stamp; "no" makes it all free.
    static InsuredShares price(const SubstitutionFacts& facts, Prompter& prompter);
    // The line's shares from the prescribed drug's and the equivalent's.
    static InsuredShares compare(const InsuredShares& prescribed, const InsuredShares& equivalent);
};

// Whether a line replaces the prescribed drug by an equivalent (column 13 neither empty nor "0").
bool isSubstitutionLine(const QStringList& cells);

// The drug a line takes out of stock and how many: for an insured substitution the
// equivalent, held in columns 14 and 15; otherwise the line's own drug (a free
// substitution names the equivalent itself in columns 2 and 5).
StockLine dispensedGoods(const QStringList& cells);

} // namespace ph
