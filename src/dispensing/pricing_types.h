#pragma once

// Plain values the pricing rules work on. Stores fill them from the reference tables;
// tests write them by hand. Insurers' contracts, tariffs and drug rules are the insurance
// stores' own values (Contract, TariffPeriod, DrugRuleEntry).

#include "insurance/drug_rule_store.h"
#include "insurance/insurer_store.h"
#include "insurance/tariff_store.h"

#include <QString>

#include <optional>

namespace ph {

// What a line is priced as: the text of the kind field, "تعرفه", "آزاد", "OTC" or "كالا".
enum class LineKind { Insured, Free, Otc, Goods };

// The admission type: item 0 inpatient, item 1 outpatient (heading_noskhe.paz_type).
enum class Admission { Inpatient = 0, Outpatient = 1 };

// A row of the drug list the window picks drugs from (catalogue prices, or the
// pharmacy unit's prices in stock-keeping mode).
struct DrugItem {
    double code = 0;                 // code_kala
    QString name;                    // name_kala
    QString formName;                // type_kala.name
    std::optional<double> listPrice; // price_u; absent when null
    int typeCode = 0;                // 70: compounded drug
    int groupCode = 0;               // above 1: goods rather than a drug
    double identityCode = 0;         // code_sh

    bool isCompounded() const { return typeCode == 70; }
};

// A companion goods item of a drug (hamrah_kala with its goods row).
struct CompanionItem {
    double code = 0;   // code_kala_h
    QString name;      // name_kala
    QString formName;  // type_kala.name
    double price = 0;  // price_u (the pharmacy unit's in stock-keeping mode)
    QString condition; // "آزاد" or "تعرفه"
};

} // namespace ph
