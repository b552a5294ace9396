#pragma once

#include "audit/audit_changes.h"
#include "audit/audit_origin.h"
#include "core/pick_row.h"

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;
class Prompter;

// A prescription recorded by its totals only (the lump entry): what the window's fields
// hold, as texts. Dates are stored texts: the prescription date yy/mm/dd, the booklet's
// validity date yyyy/mm/dd.
struct LumpPrescription {
    int invoiceNumber = 0;   // sh_factor; 0 for a new one
    QString code;            // code_no
    QString insurer;         // me_code_bime
    QString typeCode;        // me_ctype_no; empty stores 1
    QString date;            // me_date_no1's twin, yy/mm/dd
    QString booklet;         // me_sh_bime: sh_bimeh, and InsNoTamin as typed
    QString family;          // me_family
    QString name;            // me_name_bimar
    QString validity;        // me_date_bime1's twin, yyyy/mm/dd
    QString council;         // me_nezam_pe
    QString prescriberFamily; // me_family_pe
    QString prescriberName;   // me_name_pe
    QString total;           // me_koll
    QString insurerShare;    // me_sazman
    QString patientShare;    // me_bimar
};

// A refusal and the field it is about.
struct LumpProblem {
    QString message;
    QString focus; // the object name of the field
};

// A patient found by his booklet number (mosh_bimaran).
struct BookletPatient {
    QString name;
    QString family;
    QString validity; // date_bimeh as stored; empty when none
};

// Lump prescriptions as stored in heading_noskhe (with no lines and no cash row),
// and every stored prescription as the lump window steps through them.
class LumpPrescriptionStore {
public:
    explicit LumpPrescriptionStore(Database& db) : m_db(db) {}

    // The number a new prescription shows: the largest stored plus one.
    int nextNumber();
    std::optional<LumpPrescription> load(int invoiceNumber);
    // The lowest and highest stored numbers, and the stored number next to one in either
    // direction; absent when there is none.
    std::optional<int> first();
    std::optional<int> last();
    std::optional<int> next(int from);
    std::optional<int> previous(int from);

    std::optional<BookletPatient> patientByBooklet(const QString& booklet);
    // The insurer's patients as the lookup picker lists them: the booklet number as code,
    // family and name as name1, with `name_b` and `family_b` beside, by booklet number.
    PickRows bookletPickRows(int insurer);
    // The insurer's percentage: the deduct of its first contract period; absent without one.
    std::optional<double> insurerPercent(int insurer);

    // Whether a prescription with the same insurer, date, council number, total and
    // booklet is stored.
    bool isDuplicate(const LumpPrescription& p);

    // Stores a new prescription in one transaction, its number and its code's day counter
    // taken there (a number taken by another workstation at the same moment makes the save
    // run again with fresh numbers), with its prescriber and patient. Absent, with nothing
    // written, when the same prescription is already stored.
    std::optional<LumpPrescription> saveNew(const LumpPrescription& p, const AuditOrigin& origin, const QString& today);
    // Rewrites the stored prescription in one transaction: a new code when its date or
    // insurer changed. False, with nothing written, when it is not stored.
    bool saveEdit(const LumpPrescription& p, const AuditOrigin& origin, const QString& today);

    enum class RemoveResult { Removed, NotFound, HasLines };
    // Deletes the prescription's header; one dispensed with lines is refused.
    RemoveResult remove(int invoiceNumber, const AuditOrigin& origin);

private:
    // The stored header as the history of changes records it (empty when none is stored),
    // and the entry of a change to it, its header now read back.
    AuditRow storedHeader(int invoiceNumber);
    void record(const AuditOrigin& origin, int invoiceNumber, const AuditRow& before);

    Database& m_db;
};

// The lump entry's rules: the shares of a total, the checks before saving, and the save,
// edit and delete with their questions and refusals (through the Prompter).
class LumpPrescriptionSession {
public:
    LumpPrescriptionSession(Database& db, Prompter& prompter) : m_store(db), m_prompter(prompter) {}

    LumpPrescriptionStore& store() { return m_store; }

    // The insurer's and the patient's shares of a total at the insurer's percentage, in the
    // shortest decimal form, not rounded; both empty for an empty total.
    struct Shares {
        QString insurer;
        QString patient;
    };
    Shares shares(const QString& total, const QString& insurer);
    // The checks before saving or editing, in order; absent when all pass.
    static std::optional<LumpProblem> check(const LumpPrescription& p);

    struct Outcome {
        bool done = false;
        std::optional<LumpPrescription> saved; // a new prescription as stored
        QString focus;                         // after a refusal: the field to focus
    };
    // F2: checks, the duplicate test, then the save.
    Outcome save(const LumpPrescription& p, const AuditOrigin& origin, const QString& today);
    // F3: checks, the question, then the rewrite of the shown prescription.
    Outcome edit(const LumpPrescription& p, const AuditOrigin& origin, const QString& today);
    // F4: the question, then the deletion of the shown prescription.
    Outcome remove(int invoiceNumber, const AuditOrigin& origin);

private:
    Outcome refuse(const QString& message, const QString& focus = {});

    LumpPrescriptionStore m_store;
    Prompter& m_prompter;
};

} // namespace ph
