#pragma once

#include "audit/audit_origin.h"
#include <QString>

#include <optional>

namespace ph {

class Database;
struct Contract;
struct Insurer;

// What the bulk insurer change is asked to do: move the inpatient prescriptions of one
// insurance file number, dated within a range, to another insurer.
struct InsurerChangeRequest {
    QString fileNumber;  // sh_bimeh, compared as text
    QString firstDate;   // yy/mm/dd
    QString lastDate;    // yy/mm/dd
    QString insurerCode; // the new insurer's organs_m code, as typed
    AuditOrigin origin;  // who asks, for the history of changes
};

// A refusal: the message and the field it is about.
struct InsurerChangeProblem {
    QString message;
    QString focus; // sh_parvandeh, me_code_bime, me_date1 or me_date2
};

struct InsurerChangeOutcome {
    std::optional<InsurerChangeProblem> refused; // nothing changed when set
    int prescriptions = 0;                       // headers given the new insurer
    int lines = 0;                               // lines priced again
    bool done() const { return !refused; }
};

// The new insurer's rule for a drug (bimeh_daru), with its nulls: a null limit is neither
// 0 nor above 0.
struct InsurerChangeRule {
    bool notCovered = false;        // non_bimeh (null reads as false)
    std::optional<double> quantity; // qu
    std::optional<double> tariff;   // mab
    std::optional<int> limitType;   // ty_no: 1 quantity limit, 2 price limit
};

// The amounts of a stored line (details_noskhe) the change reads and writes; nulls read as 0.
struct InsurerChangeLine {
    QString kind;             // vaziat
    double quantity = 0;      // tedad
    double unitPrice = 0;     // price_one
    double total = 0;         // price_koll
    double insurerShare = 0;  // sazman
    double patientShare = 0;  // bimar
    double freeAmount = 0;    // azad
    double hotelingPrice = 0; // price_h
};

// What of the new insurer prices the lines.
struct InsurerChangeTerms {
    double percent = 0;       // the covering contract period's deduct
    bool freeInsurer = false; // the insurer is named "آزاد": every line becomes free
};

// A stored line priced for the new insurer. A former hoteling line is first priced from its
// hoteling price. A free insurer, or a drug it does not cover, makes the line free; a rule
// without limits prices a former insured line at the contract percentage and keeps the
// amounts of any other; a rule with a limit prices by its limit type; no rule prices at the
// contract percentage. The percentage is always the contract period's; amounts are not rounded.
// A drug the insurer keeps as hoteling ends as a hoteling line at the hoteling price it had.
// The OTC and goods amounts of a line are not part of this.
InsurerChangeLine priceLineForNewInsurer(const InsurerChangeLine& stored,
                                         const std::optional<InsurerChangeRule>& rule, bool hoteling,
                                         const InsurerChangeTerms& terms);

// The sums of a prescription's lines after the change.
struct InsurerChangeSums {
    double patient = 0; // bimar
    double insurer = 0; // sazman
    double free = 0;    // azad
    double goods = 0;   // kala
};

// The header amounts the change writes (heading_noskhe).
struct InsurerChangeHeader {
    double insurerTotal = 0; // price_bimeh
    double patientTotal = 0; // price_bimar
    double freeTotal = 0;    // price_azad
    double total = 0;        // price_koll
};

// A header's totals from its lines' sums, its OTC fee and its technical fee (fani2). When the
// period's insurer pays its percentage of the technical fee, that part goes to the insurer and
// the rest to the patient; otherwise the patient's total leaves the fee out and the whole fee
// stays in the total.
InsurerChangeHeader headerForNewInsurer(const InsurerChangeSums& sums, double otcFee, double technicalFee,
                                        double percent, bool feeInCommitment);

// Moves stored inpatient prescriptions to another insurer: every line of them is priced again
// for the new insurer (priceLineForNewInsurer) under the contract period that covers the whole
// date range, and each header takes the new insurer and the sums of its lines.
//
// Everything happens in one transaction: every line and header changes, or nothing does.
// Before anything changes, the request is refused when a field is missing, the insurer is
// unknown, or no contract period of it covers the range.
class BulkInsurerChange {
public:
    explicit BulkInsurerChange(Database& db);
    virtual ~BulkInsurerChange();

    // The field checks, in the window's order; absent when all four are filled.
    static std::optional<InsurerChangeProblem> checkFields(const InsurerChangeRequest& request);

    InsurerChangeOutcome run(const InsurerChangeRequest& request);

    // The name and family name of the first prescription stored with the file number;
    // absent when none is.
    std::optional<QString> patientOfFile(const QString& fileNumber);

protected:
    // The insurer's rule for a drug; absent when it has none.
    virtual std::optional<InsurerChangeRule> rule(int insurer, double drug);

private:
    // Prices every inpatient line of the file in the range again for the insurer, as stored.
    void repriceLines(const Insurer& insurer, const InsurerChangeTerms& terms, const QString& fileNumber,
                      const QString& first, const QString& last, InsurerChangeOutcome& outcome);
    // Gives each prescription of the file in the range the insurer and the sums of its lines.
    void updateHeaders(const Insurer& insurer, const Contract& period, const QString& fileNumber,
                      const QString& first, const QString& last, InsurerChangeOutcome& outcome);

    Database& m_db;
};

} // namespace ph
