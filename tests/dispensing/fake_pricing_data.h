#pragma once

#include "dispensing/pricing_data.h"

#include <QHash>
#include <QMap>
#include <QPair>
#include <QStringList>

namespace ph::test {

// A rule written as "ty_no qu mab madrak" with optional flags h (hospital only),
// n (not covered) and d<percent> (the drug's own percentage); "-" for no rule.
inline std::optional<DrugRuleEntry> ruleFrom(const QString& text) {
    if (text == QLatin1String("-")) return std::nullopt;
    const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
    DrugRuleEntry rule;
    rule.limitKind = parts.at(0).toInt();
    rule.quantity = parts.at(1).toDouble();
    rule.tariff = parts.at(2).toDouble();
    rule.specialty = parts.at(3).toInt();
    for (const QString& flag : parts.mid(4)) {
        if (flag == QLatin1String("h"))
            rule.hospitalOnly = true;
        else if (flag == QLatin1String("n"))
            rule.notCovered = true;
        else if (flag.startsWith(u'd'))
            rule.deduct = flag.mid(1).toDouble();
    }
    return rule;
}

// Reference data held in memory, for pricing tests that need no database.
struct FakePricingData : PricingData {
    QMap<double, DrugItem> drugs;               // the drug list
    QHash<int, QList<Contract>> contracts; // by insurer, first period first
    QMap<QPair<int, double>, DrugRuleEntry> rules;
    QMap<double, double> formulas; // compounded drug -> price_koll_azad
    QList<QPair<int, double>> hoteling;
    QMap<double, QList<CompanionItem>> companionsOf;
    QMap<double, double> stock;

    std::optional<DrugItem> findDrug(double code, bool) override {
        if (!drugs.contains(code)) return std::nullopt;
        return drugs.value(code);
    }
    InsurerTerms insurerTerms(int insurer) override {
        InsurerTerms terms;
        for (const Contract& c : contracts.value(insurer)) {
            if (!terms.lastDay || c.toDate > *terms.lastDay) terms.lastDay = c.toDate;
            if (!terms.first) terms.first = c;
            terms.latest = c;
        }
        return terms;
    }
    std::optional<DrugRuleEntry> rule(int insurer, double drug) override {
        if (!rules.contains({insurer, drug})) return std::nullopt;
        return rules.value({insurer, drug});
    }
    std::optional<double> formulaFreePart(double drug) override {
        if (!formulas.contains(drug)) return std::nullopt;
        return formulas.value(drug);
    }
    bool isHoteling(int insurer, double drug) override { return hoteling.contains({insurer, drug}); }
    QList<CompanionItem> companions(double drug, bool) override { return companionsOf.value(drug); }
    std::optional<double> pharmacyStock(double drug) override {
        if (!stock.contains(drug)) return std::nullopt;
        return stock.value(drug);
    }

    // A drug of the list: group 1, an ordinary form unless given.
    DrugItem& addDrug(double code, const QString& name, double price, int typeCode = 1, int groupCode = 1) {
        DrugItem drug;
        drug.code = code;
        drug.name = name;
        drug.formName = QStringLiteral("قرص");
        drug.listPrice = price;
        drug.typeCode = typeCode;
        drug.groupCode = groupCode;
        drugs[code] = drug;
        return drugs[code];
    }
    // A contract period ending on `toDate` at `deduct` percent.
    void addContract(int insurer, const QString& toDate, double deduct, bool feeFlag = false) {
        Contract terms;
        terms.insurer = insurer;
        terms.row = int(contracts.value(insurer).size()) + 1;
        terms.toDate = toDate;
        terms.percent = deduct;
        terms.feeInCommitment = feeFlag;
        contracts[insurer].append(terms);
    }
};

} // namespace ph::test
