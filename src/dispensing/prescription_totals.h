#pragma once

#include "dispensing/pricing_types.h"

#include <QString>

#include <optional>

namespace ph {

class PrescriptionLines;

// What the technical fee depends on besides the lines.
struct FeeFacts {
    std::optional<TariffPeriod> tariff; // the tariff in force, the first tarefeh row; none gives no fees
    bool emergencyInsurer = false;      // organs_m.orj_flag of the insurer
    std::optional<Contract> contract;   // the insurer's first contract period
    int hour = 12;                         // the hour of the current local time, 0 to 23
    // The lowest invoice number of the patient's prescriptions on the prescription date.
    std::optional<int> firstInvoiceOfDay;
    QString currentInvoice; // me_sh_factor, the prescription's own invoice number
};

// The totals panel, as its fields show it, and the fee values kept for saving. The panel
// shows what the prescription is stored with and what the cash desk asks for: when the
// insurer's contract pays part of the technical fee, the fee is inside the two shares and
// me_fani shows 0.
struct Totals {
    QString insurerShare = QStringLiteral("0"); // me_sahme_bime
    QString patientShare = QStringLiteral("0"); // me_sahme_bimar
    QString insuredTotal = QStringLiteral("0"); // MedtKol: insurer + patient
    QString free = QStringLiteral("0");         // me_azad
    QString otc = QStringLiteral("0");          // me_otc: OTC amounts plus the OTC fee
    QString goods = QStringLiteral("0");        // me_kala
    QString tariffTotal = QStringLiteral("0");  // me_koll_tarefeh: totals of the insured lines
    QString fee = QStringLiteral("0");          // me_fani: the technical fee
    QString payable = QStringLiteral("0");      // me_koll: what the patient pays, whole Rials
    double feeAmount = 0;                       // the technical fee stored with the prescription
    double insurerFeePart = 0;                  // the part of it the insurer pays under fani_flag
    bool feeInCommitment = false;               // the contract's fani_flag: the fee is in the shares
    double linesPatientSum = 0;                 // the lines' patient shares, without any fee
    double linesInsurerSum = 0;                 // the lines' insurer shares, without any fee
};

// The prescription's totals, recomputed after every change of its lines.
class PrescriptionTotals {
public:
    // A cell that is not a number stops the recomputation with a conversion error.
    static Totals compute(const PrescriptionLines& lines, const FeeFacts& facts);
    // The technical fee for the fee base A (free + patient + insurer) before the
    // same-day rule: day amounts from 7 to 20 inclusive, else night; an emergency
    // insurer's amounts replace them, even for A = 0.
    static double technicalFee(double base, const FeeFacts& facts);
};

} // namespace ph
