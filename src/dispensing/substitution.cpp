#include "dispensing/substitution.h"

#include "core/amounts.h"
#include "core/prompter.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/prescription_lines.h"

namespace ph {

using Col = PrescriptionLines::Column;

namespace {

InsuredShares allFree(const SubstitutionFacts& f) {
    return {0, 0, f.quantity * f.unitPrice};
}

InsuredShares percentage(const SubstitutionFacts& f) {
    const double total = f.quantity * f.unitPrice;
    const double insurer = total * f.percent / 100;
    return {insurer, total - insurer, 0};
}

// The rule's quantity or tariff limit at the contract's percentage (the rule's own
// percentage does not apply to a substitution).
InsuredShares limitedSplit(const SubstitutionFacts& f, const DrugRuleEntry& rule) {
    const double q = f.quantity;
    const double p = f.unitPrice;
    const double d = f.percent;
    const auto whole = [&] { return InsuredShares{q * p * d / 100, q * p * (100 - d) / 100, 0}; };
    if (rule.limitKind == 1) {
        if (rule.quantity < q)
            return {rule.quantity * p * d / 100, rule.quantity * p * (100 - d) / 100, (q - rule.quantity) * p};
        return whole();
    }
    if (rule.limitKind == 2) {
        if (rule.tariff < p) return {rule.tariff * q * d / 100, rule.tariff * q * (100 - d) / 100, q * (p - rule.tariff)};
        return whole();
    }
    return {};
}

} // namespace

InsuredShares SubstitutionPricing::price(const SubstitutionFacts& f, Prompter& prompter) {
    const QString specialtyText = f.specialtyCode.trimmed();
    if (specialtyText == QLatin1String("2")) return f.rule ? percentage(f) : allFree(f);
    if (!f.rule) return percentage(f);
    const DrugRuleEntry& rule = *f.rule;
    if (rule.notCovered) return allFree(f);
    if (rule.hospitalOnly && !prompter.askYesNo(texts::kHospitalStampQuestion)) return allFree(f);
    bool isNumber = false;
    const int specialty = specialtyText.toInt(&isNumber);
    const bool prescriberMatches = isNumber && rule.specialty == specialty;
    if (rule.quantity == 0 && rule.tariff == 0) {
        if (rule.specialty == 0) return percentage(f);
        if (rule.specialty > 0 && (prescriberMatches || rule.specialty == 2)) return percentage(f);
        return allFree(f);
    }
    if ((rule.specialty == 0 && rule.quantity > 0) || rule.tariff > 0) return limitedSplit(f, rule);
    if (rule.specialty > 0 && rule.quantity > 0)
        return rule.specialty == 4 || prescriberMatches ? limitedSplit(f, rule) : allFree(f);
    return allFree(f);
}

InsuredShares SubstitutionPricing::compare(const InsuredShares& prescribed, const InsuredShares& equivalent) {
    const double o = prescribed.insurer + prescribed.patient;
    const double e = equivalent.insurer + equivalent.patient;
    if (o >= e) return equivalent;
    return {prescribed.insurer, prescribed.patient, (e - o) + prescribed.free};
}

bool isSubstitutionLine(const QStringList& cells) {
    const QString flag = cells.value(Col::Substitute).trimmed();
    return !flag.isEmpty() && flag != QLatin1String("0");
}

StockLine dispensedGoods(const QStringList& cells) {
    const auto number = [&](int column) {
        const QString text = cells.value(column).trimmed();
        return text.isEmpty() ? 0.0 : amountFromText(text);
    };
    if (isSubstitutionLine(cells) && cells.value(Col::Kind).trimmed() != texts::kFree)
        return {number(Col::MainDrugCode), number(Col::MainDrugQuantity)};
    return {number(Col::Code), number(Col::Quantity)};
}

} // namespace ph
