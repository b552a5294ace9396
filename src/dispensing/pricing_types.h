#pragma once

// Plain values the pricing rules work on. Repositories fill them from the reference
// tables; tests write them by hand.

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

// The parts of an insurer's contract period that pricing reads (organs_s).
struct ContractTerms {
    int row = 0;
    QString toDate;                   // to_d
    double deduct = 0;                // the insurer's percentage
    bool feeFlag = false;             // fani_flag: the insurer pays its percentage of the technical fee
    double gpApproval = 0;            // goksaghf
    double gpAddress = 0;             // gadresssag
    double specialistApproval = 0;    // toksaghf
    double specialistAddress = 0;     // tadresssag
    double subSpecialistApproval = 0; // foghok
    double subSpecialistAddress = 0;  // foghaddress
    double midwifeApproval = 0;       // msaghf
    double dentistApproval = 0;       // dsaghf
};

// An insurer's rule for one drug (bimeh_daru).
struct DrugRule {
    int limitKind = 0;         // ty_no: 0 none, 1 quantity limit, 2 tariff limit
    double quantity = 0;       // qu
    double tariff = 0;         // mab
    int specialty = 0;         // madrak: required prescriber specialty, 0 none
    bool hospitalOnly = false; // bimarestani
    bool notCovered = false;   // non_bimeh
    double deduct = 0;         // Deduct: the drug's own percentage, 0 none
};

// A companion goods item of a drug (hamrah_kala with its goods row).
struct CompanionItem {
    double code = 0;   // code_kala_h
    QString name;      // name_kala
    QString formName;  // type_kala.name
    double price = 0;  // price_u (the pharmacy unit's in stock-keeping mode)
    QString condition; // "آزاد" or "تعرفه"
};

// The technical-fee and over-the-counter tariff (first row of tarefeh).
struct Tariff {
    double feeCeiling = 0; // mab_fani_saghf
    double dayDown = 0;
    double dayUp = 0;
    double nightDown = 0;
    double nightUp = 0;
    double otcPercent = 0;       // percent_otc
    double otcMax = 0;           // mab_max_otc
    double emergencyCeiling = 0; // mab_orj
    double emergencyDown = 0;
    double emergencyUp = 0;
};

} // namespace ph
