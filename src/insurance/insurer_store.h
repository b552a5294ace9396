#pragma once

#include "audit/audit_origin.h"
#include "core/pick_row.h"

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// An insurer (organs_m).
struct Insurer {
    int code = 0;
    QString name;
    QString claimCode;      // code_bimeh: the insurer's own code for the pharmacy's claims
    QString pharmacyCode;   // code_pharmacy: the pharmacy's code at this insurer
    bool emergency = false; // orj_flag: takes the emergency amounts of the tariff as fee
};

// A contract period of an insurer (organs_s). Amounts in Rials, dates yy/mm/dd.
struct Contract {
    int insurer = 0;               // code
    std::optional<int> row;        // the contract's number within its insurer; absent for an unnumbered one
    QString fromDate;              // from_d
    QString toDate;                // to_d
    double percent = 0;            // deduct: the insurer's share of an insured line, in percent
    double gpApproval = 0;         // goksaghf
    double gpAddress = 0;          // gadresssag
    double specialistApproval = 0; // toksaghf
    double specialistAddress = 0;  // tadresssag
    double subSpecialistApproval = 0; // foghok
    double subSpecialistAddress = 0;  // foghaddress
    double midwifeApproval = 0;       // msaghf
    double dentistApproval = 0;       // dsaghf
    bool feeInCommitment = false;     // fani_flag: the insurer pays its percentage of the technical fee
};

// What pricing reads of an insurer, once per prescription (or per change of insurer).
struct InsurerTerms {
    bool emergency = false;         // orj_flag
    std::optional<QString> lastDay; // the last day of all its contracts, max(to_d); absent with none
    std::optional<Contract> first;  // the first contract in numbering order: its percentage prices the lines
    std::optional<Contract> latest; // the contract with the largest number: its thresholds are checked
};

// Insurers and their contract periods.
class InsurerStore {
public:
    // Changes of contracts go to the history of changes as `origin`'s.
    explicit InsurerStore(Database& db, AuditOrigin origin = {}) : m_db(db), m_origin(std::move(origin)) {}

    // Every insurer, in code order.
    QList<Insurer> all();
    std::optional<Insurer> find(int code);
    // The insurer's name (for code fields); absent for an unknown code.
    std::optional<QString> nameOf(int code);
    // The insurers as the lookup picker lists them: code and name1, in code order.
    PickRows pickRows();
    // The same rows ordered by name.
    PickRows pickRowsByName();

    enum class AddResult { Added, EmptyName, DuplicateName };
    struct Added {
        AddResult result = AddResult::Added;
        int code = 0; // the new insurer's code when added
    };
    // A new insurer: code = the largest plus one (1 for the first); the name trimmed and
    // unique among insurers (compared trimmed); empty codes stored as "0".
    Added add(const Insurer& insurer);

    // Prescriptions or insurer-drug rules refer to the insurer: it keeps its name and
    // cannot be deleted.
    bool inUse(int code);
    // Rewrites the insurer's codes (trimmed) and emergency flag, and its name unless it is in use.
    void update(const Insurer& insurer);

    enum class RemoveResult { Removed, InUse };
    // Deletes an insurer that is not in use, with its contracts, hoteling items and print
    // settings, in one transaction.
    RemoveResult remove(int code);

    // The insurer's contracts, in the order they were numbered (unnumbered ones last).
    QList<Contract> contracts(int insurer);
    // The insurer's emergency flag and the contracts pricing reads; all empty for an unknown code.
    InsurerTerms terms(int insurer);
    // A new contract of contract.insurer: one with the same from and to dates is
    // overwritten, otherwise the contract is added with the number after the insurer's
    // largest. Returns the contract's number.
    int saveNewContract(const Contract& contract);
    // Rewrites the contract `original` (identified by its insurer and number, or by its
    // dates when it has no number) with the values of `changed`.
    void updateContract(const Contract& original, const Contract& changed);

private:
    Database& m_db;
    AuditOrigin m_origin;
};

} // namespace ph
