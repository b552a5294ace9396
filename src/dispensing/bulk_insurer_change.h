#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace ph {

class Database;
class PricingData;
class Prompter;

// What the bulk insurer change is asked to do: move the inpatient prescriptions of one
// insurance file number, dated within a range, to another insurer.
struct InsurerChangeRequest {
    QString fileNumber;  // sh_bimeh, compared as text
    QString firstDate;   // yy/mm/dd
    QString lastDate;    // yy/mm/dd
    QString insurerCode; // the new insurer's organs_m code, as typed
    QString today;       // the main context's current_date, yy/mm/dd
};

// A refusal: the message and the field it is about.
struct InsurerChangeProblem {
    QString message;
    QString focus; // sh_parvandeh, me_code_bime, me_date1 or me_date2
};

struct InsurerChangeOutcome {
    std::optional<InsurerChangeProblem> refused; // nothing changed when set
    int prescriptions = 0; // headers given the new insurer
    int lines = 0;         // lines priced again
    bool done() const { return !refused; }
};

// Moves stored inpatient prescriptions to another insurer. Every insured and free line is
// priced again by the line pricing of the dispensing window, as if the prescription's insurer
// had been changed there, under the contract period of the new insurer that covers the whole
// date range and with the hospital stamp taken as given; OTC and goods lines keep their
// amounts. Each header takes the new insurer and the sums of its lines, the technical fee it
// already had split by the period's percentage when the insurer pays part of it.
//
// Everything happens in one transaction: every line and header changes, or nothing does.
// Before anything changes, the request is refused when a field is missing, the insurer is
// unknown, no contract period of it covers the range, or a line's drug cannot be priced.
class BulkInsurerChange {
public:
    explicit BulkInsurerChange(Database& db);
    // Prices from the given reference data instead of the database's own.
    BulkInsurerChange(Database& db, PricingData& pricing);
    ~BulkInsurerChange();

    // The field checks, in the window's order; absent when all four are filled.
    static std::optional<InsurerChangeProblem> checkFields(const InsurerChangeRequest& request);

    InsurerChangeOutcome run(const InsurerChangeRequest& request);

    // The name and family name of the first prescription stored with the file number;
    // absent when none is.
    std::optional<QString> patientOfFile(const QString& fileNumber);

private:
    Database& m_db;
    std::unique_ptr<PricingData> m_ownPricing;
    PricingData& m_pricing;
};

} // namespace ph
