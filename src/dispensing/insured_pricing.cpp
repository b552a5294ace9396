#include "dispensing/insured_pricing.h"

#include "core/prompter.h"
#include "dispensing/dispensing_texts.h"

namespace ph {
namespace {

// The specialty code as a number; a code that is not one matches no rule.
std::optional<int> specialtyNumber(const QString& code) {
    bool isNumber = false;
    const int value = code.trimmed().toInt(&isNumber);
    return isNumber ? std::optional<int>(value) : std::nullopt;
}

bool ruleAsksThisSpecialty(const DrugRuleEntry& rule, const QString& specialtyCode) {
    const auto specialty = specialtyNumber(specialtyCode);
    return specialty && *specialty == rule.specialty;
}

InsuredShares split(double amount, double percent) {
    return {amount * percent / 100, amount * (100 - percent) / 100, 0};
}

// The rule's limit applied to Q units at P: what lies within the quantity (kind 1) or
// the tariff (kind 2) is split at the percentage, the rest is free; absent when the
// rule's kind sets no limit.
std::optional<InsuredShares> withinLimit(const DrugRuleEntry& rule, double q, double p, double percent) {
    if (rule.limitKind == 1) {
        if (!(rule.quantity < q)) return split(q * p, percent);
        InsuredShares out = split(rule.quantity * p, percent);
        out.free = (q - rule.quantity) * p;
        return out;
    }
    if (rule.limitKind == 2) {
        if (!(rule.tariff < p)) return split(q * p, percent);
        InsuredShares out = split(rule.tariff * q, percent);
        out.free = q * (p - rule.tariff);
        return out;
    }
    return std::nullopt;
}

} // namespace

double InsuredPricing::contractDeduct(const InsuredInput& input) {
    return input.contract ? input.contract->percent : 0;
}

double InsuredPricing::coverage(const InsuredInput& input) {
    return input.rule && input.rule->deduct != 0 ? input.rule->deduct : contractDeduct(input);
}

InsuredPath InsuredPricing::choosePath(const InsuredInput& input, Prompter& prompter) {
    const bool inpatient = input.admission == Admission::Inpatient;
    // A midwife's outpatient prescription is covered only for drugs with a rule, and
    // then at the contract's percentage whatever the rule's limits.
    if (input.specialtyCode.trimmed() == QLatin1String("2") && !inpatient)
        return input.rule ? InsuredPath::ContractPercentage : InsuredPath::Free;
    if (!input.rule) return InsuredPath::ContractPercentage;
    const DrugRuleEntry& rule = *input.rule;
    if (rule.notCovered) return InsuredPath::Free;
    if (rule.hospitalOnly && !prompter.askYesNo(texts::kHospitalStampQuestion)) return InsuredPath::Free;
    const bool noLimit = rule.quantity == 0 && rule.tariff == 0;
    if (noLimit && inpatient) return InsuredPath::ContractPercentage;
    if (noLimit && rule.specialty == 0 && rule.deduct == 0) return InsuredPath::ContractPercentage;
    if (noLimit && rule.specialty > 0)
        return ruleAsksThisSpecialty(rule, input.specialtyCode) || rule.specialty == 2
                   ? InsuredPath::ContractPercentage
                   : InsuredPath::Free;
    if (((rule.specialty == 0 || inpatient) && rule.quantity > 0) || rule.tariff > 0 || rule.deduct != 0)
        return InsuredPath::LimitSplit;
    if (rule.specialty > 0 && rule.quantity > 0)
        return rule.specialty == 4 || ruleAsksThisSpecialty(rule, input.specialtyCode)
                   ? InsuredPath::SpecialtyLimitSplit
                   : InsuredPath::Free;
    return InsuredPath::Free;
}

InsuredShares InsuredPricing::shares(InsuredPath path, const InsuredInput& input) {
    const double q = input.quantity;
    const double p = input.unitPrice;
    switch (path) {
    case InsuredPath::Free:
        return {};
    case InsuredPath::ContractPercentage: {
        const double insurer = q * p * (contractDeduct(input) / 100);
        return {insurer, q * p - insurer, 0};
    }
    case InsuredPath::LimitSplit: {
        const DrugRuleEntry& rule = *input.rule;
        const double d = coverage(input);
        InsuredShares out = rule.deduct != 0 ? split(q * p, d) : InsuredShares{};
        // A tariff limit of 0 sets none: the drug's own percentage alone decides.
        const bool noTariff = rule.limitKind == 2 && rule.tariff == 0;
        if (!noTariff)
            if (const auto limited = withinLimit(rule, q, p, d)) out = *limited;
        return out;
    }
    case InsuredPath::SpecialtyLimitSplit:
        return withinLimit(*input.rule, q, p, contractDeduct(input)).value_or(InsuredShares{});
    }
    return {};
}

} // namespace ph
