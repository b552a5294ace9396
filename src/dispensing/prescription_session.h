#pragma once

#include "dispensing/insurer_code.h"
#include "dispensing/line_pricer.h"
#include "dispensing/prescription_lines.h"
#include "dispensing/prescription_store.h"
#include "dispensing/prescription_totals.h"
#include "dispensing/pricing_store.h"
#include "dispensing/threshold_check.h"
#include "insurance/tariff_store.h"

#include <QString>

#include <optional>

namespace ph {

class Database;
class Prompter;

// The moment a prescription is priced at.
struct PricingMoment {
    QString today; // the main context's current_date, yy/mm/dd
    int hour = 12; // the hour of the current local time: day or night technical fee
};

// The header fields that pricing, the totals and the checks read, besides the insurer.
struct PrescriptionHeader {
    QString specialtyCode; // me_code_takhasos
    Admission admission = Admission::Outpatient;
    QString prescriptionDate; // me_date_no, yy/mm/dd
    QString insuranceNumber;  // the patient's number as sh_bimeh stores it
    QString invoiceNumber;    // me_sh_factor
};

// A prescription being entered: its header, its line list, its totals and the checks
// before saving, priced from the database. The dispensing window and `pharmacyctl quote`
// drive it; questions and warnings go through the Prompter.
//
// The insurer's contracts and the tariff are read once per prescription (again after
// a change of insurer only for the new insurer), however many lines are priced.
class PrescriptionSession {
public:
    PrescriptionSession(Database& db, Prompter& prompter);

    // A new, empty prescription: no lines and no insurer, the next invoice number, the
    // stock-keeping mode and the reference data read afresh.
    void start(const PricingMoment& moment);

    PrescriptionHeader& header() { return m_header; }
    const PrescriptionHeader& header() const { return m_header; }
    const InsurerCode& insurer() const { return m_insurer; }
    bool stockKeeping() const { return m_stockKeeping; }
    const PrescriptionLines& lines() const { return m_lines; }

    // Leaving the insurer field with a known code. With lines in the list and a code
    // other than the current one, asks, then prices every line again for the new insurer;
    // Declined keeps the current insurer (the window shows it again).
    LinePricer::InsurerChange changeInsurer(const InsurerCode& insurer);

    // The drug list's row of a code; absent when the list does not hold it.
    std::optional<DrugItem> findDrug(double code);
    // The kind a drug chosen from the drug list starts with, for the current insurer.
    QString kindForChosen(const DrugItem& drug) const;
    // Prices the drug into the list, then its companions.
    LineResult addLine(const DrugItem& drug, const LineInput& input);
    // Prices the row's drug again from the input ("اصلاح دارو").
    LineResult replaceLine(int row, const LineInput& input);
    // The unit price the row is priced again from; its own unit price when the drug
    // has left the drug list.
    QString priceFieldFor(int row);

    // The totals panel, recomputed from the lines and the fee facts.
    Totals totals();
    // The thresholds of the insurer's latest contract, checked before saving.
    ThresholdResult checkThresholds(const Totals& totals);

private:
    PricingContext context() const;
    FeeFacts feeFacts();

    Prompter& m_prompter;
    PricingStore m_pricing;
    PrescriptionStore m_prescriptions;
    TariffStore m_tariffs;
    LinePricer m_pricer;

    PricingMoment m_moment;
    PrescriptionHeader m_header;
    InsurerCode m_insurer;
    bool m_stockKeeping = false;
    PrescriptionLines m_lines;
    // Read when first needed after start(): absent inside when there is no tariff.
    std::optional<std::optional<TariffPeriod>> m_tariff;
};

} // namespace ph
