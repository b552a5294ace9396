#pragma once

#include "dispensing/header_checks.h"
#include "dispensing/insurer_code.h"
#include "dispensing/prescription_header.h"
#include "dispensing/line_pricer.h"
#include "dispensing/prescription_lines.h"
#include "dispensing/prescription_store.h"
#include "dispensing/prescription_totals.h"
#include "dispensing/pricing_store.h"
#include "dispensing/stored_prescriptions.h"
#include "dispensing/substitution.h"
#include "dispensing/threshold_check.h"
#include "insurance/tariff_store.h"
#include "lots/pack_scan.h"

#include <QHash>
#include <QString>

#include <optional>

namespace ph {

class Database;
class Prompter;

// The moment a prescription is priced at.
struct PricingMoment {
    QString today; // the main context's current_date, yy/mm/dd
    QString time = QStringLiteral("12:00"); // HH:MM: the hour decides the day or night technical fee
    int hour() const { return time.left(2).toInt(); }
};

// How the council-number field (me_nezam_pe) is being used when the register is read.
enum class CouncilEntry {
    Typing,  // a character typed: an unknown number empties the first name only
    Leaving, // left forwards: an unknown number empties both names, typed next
};

// The outcome of a save (F2).
struct SaveOutcome {
    enum class Status { Saved, Refused };
    Status status = Status::Refused;
    SavedPrescription saved; // when saved
    QString focus;           // on a refusal by a header check: the field to focus
    bool isSaved() const { return status == Status::Saved; }
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

    // The insurer codes that take the four-part social-security number.
    void setTaminCodes(const QStringList& codes) { m_taminCodes = codes; }

    // A new, empty prescription: no lines and no insurer, the next invoice number, the
    // stock-keeping mode and the reference data read afresh.
    void start(const PricingMoment& moment);
    // Shows a stored prescription: its header, insurer and lines (its stored totals are
    // the caller's to show), as a new prescription of the same moment.
    void load(const StoredPrescription& stored);
    // Changes to the stored prescription with this invoice number are saved over it:
    // the header and the lines the caller puts in replace its own.
    void startEdit(int invoiceNumber);
    bool editing() const { return m_editing.has_value(); }

    // The time of day the technical fee is reckoned at from now on (HH:MM): the fee of a
    // prescription follows the current hour, not the hour it was started at.
    void setTime(const QString& time) { m_moment.time = time; }

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
    // The equivalents the counter may dispense for the drug: those the pharmacy unit holds,
    // at its price, in stock-keeping mode; else every equivalent at its catalogue price.
    QList<EquivalentRow> equivalentsFor(double drug);
    // Dispenses the equivalent instead of the prescribed drug: one line marked as a
    // substitution in the empty last row, without companions. With an insurer the line
    // names the prescribed drug and the insurer pays at most what it would pay for it;
    // without one ("0") the line is the equivalent sold free. The quantities and the
    // insurer code are checked first, each refusal shown through the Prompter.
    SubstitutionResult substitute(const DrugItem& prescribed, const EquivalentRow& equivalent,
                                  const SubstitutionInput& input);
    // A scanned pack: the drug its barcode names gets a line of one, or one more on its
    // line. An expired pack is given only after a yes; a serial given before is warned of.
    // Refusals are shown through the Prompter; a barcode no item has is the caller's to
    // offer for linking (Unknown, nothing shown).
    using ScanStatus = PackScanResult::Status;
    using ScanResult = PackScanResult;
    ScanResult takeScan(const QString& typed);
    // Removes a line (F4); the rows below move up and are numbered again. The totals are
    // the caller's to recompute.
    void removeLine(int row);
    // The unit price the row is priced again from; its own unit price when the drug
    // has left the drug list.
    QString priceFieldFor(int row);

    // The totals panel, recomputed from the lines and the fee facts.
    Totals totals();
    // The thresholds of the insurer's latest contract, checked before saving, with the
    // messages the settings switch on (read from the settings when not given).
    ThresholdResult checkThresholds(const Totals& totals, std::optional<ThresholdSettings> settings = {});

    // The prescriber fields of `header` for its council number, as that field fills them: a
    // prescriber of the register brings his names and specialty; an unknown number empties
    // the names (see CouncilEntry); an empty one empties both. Returns whether the register
    // knows the prescriber. The window passes its fields; pharmacyctl save the session's header.
    bool fillPrescriber(PrescriptionHeader& header, CouncilEntry entry) const;

    // The insurer takes the four-part social-security number (and has no page field).
    bool socialSecurity() const;
    // The header checks before an insured or free line is added.
    std::optional<HeaderProblem> checkHeaderForLine() const;
    // Saves the prescription (F2): the save right, the header checks, the duplicate
    // question, a list with lines and the thresholds first, each refusal shown through
    // the Prompter; then everything in one transaction. A saved prescription leaves the
    // session at a new, empty one; a refusal or a failure leaves it as it was.
    SaveOutcome save(const SaveContext& context, bool maySave);

private:
    // No lines, no insurer, an empty header; the reference data read afresh when next needed.
    // The stock-keeping mode is read again unless the caller keeps the one it has.
    void reset(bool readStockKeeping = true);
    // The new prescription that follows a save. A save changes neither the stock-keeping
    // mode nor, for a new prescription, the next number beyond the one it took (read
    // behind the numbering lock in its transaction): neither is read again.
    void startAfterSave(const PricingMoment& moment, std::optional<int> savedNewNumber);
    PricingContext context() const;
    // The fee facts; the patient's first invoice of the day read here unless given.
    FeeFacts feeFacts(std::optional<std::optional<int>> firstInvoiceOfDay = std::nullopt);
    QString storedInsuranceNumber() const;
    SaveOutcome refuse(const QString& message, const QString& focus = {});
    PrescriptionRecord record(const Totals& totals);

    Database& m_db;
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
    QStringList m_taminCodes;
    // The packs scanned since start, by the drug whose line they went to.
    QHash<double, QList<ScannedPack>> m_packs;
    std::optional<int> m_editing; // the invoice number of the stored prescription being changed
    // Read when first needed after start(): absent inside when there is no tariff.
    std::optional<std::optional<TariffPeriod>> m_tariff;
};

} // namespace ph
