#pragma once

#include "audit/audit_changes.h"
#include "dispensing/prescription_record.h"
#include "dispensing/threshold_check.h"

#include <QString>

#include <optional>

namespace ph {

class Database;

// A patient already known (mosh_bimaran), as the header shows him.
struct KnownPatient {
    QString name;                      // name_b
    QString family;                    // family_b
    std::optional<QString> expiryDate; // date_bimeh, yyyy/mm/dd
    std::optional<QString> insNoTamin; // InsNoTamin
};

// Stored prescriptions as the one being entered reads them: its invoice number, the
// patient's earlier prescriptions of the day, and the settings of the checks before saving.
class PrescriptionStore {
public:
    explicit PrescriptionStore(Database& db) : m_db(db) {}

    // The lowest invoice number of the prescriptions dispensed with lines for the insurance
    // number on the date (lump prescriptions do not count); absent when there is none. An
    // empty number identifies no patient.
    std::optional<int> firstInvoiceOfDay(const QString& date, const QString& insuranceNumber);
    // The invoice number a new prescription shows: the largest stored plus one.
    int nextInvoiceNumber();
    // What the settings (the first tanzimat row) ask of a save: the threshold messages
    // and whether sales wait at a cash desk of their own; all off when there is none.
    struct SaveSettings {
        ThresholdSettings thresholds;
        bool separateCashDesk = false;
    };
    SaveSettings saveSettings();

    // The patient of the insurer with this insurance number (InsNoTamin); for a
    // social-security insurer, when none has it whole, one whose number begins with it.
    std::optional<KnownPatient> findPatient(const QString& number, int insurer, bool socialSecurity);

    // What a save reads before its transaction, in one look: the patient's first invoice
    // of the day (by the record's date and `insuranceNumber`, as firstInvoiceOfDay), whether the prescription is
    // stored already (when the record refuses duplicates), whether its prescriber (by the
    // council number) is known, and the settings.
    struct BeforeSave {
        std::optional<int> firstInvoiceOfDay;
        bool duplicate = false;
        bool prescriberKnown = false;
        SaveSettings settings;
    };
    BeforeSave readBeforeSave(const PrescriptionRecord& record, const QString& insuranceNumber);

    // Whether a prescription is stored for the patient on the date: with no insurer by the
    // date and the names; with an insurer also by the prescriber and the insurance number.
    bool isDuplicate(const PrescriptionRecord& record, bool withInsurer);
    // Whether a stored prescription has the invoice number.
    bool exists(int invoiceNumber);

    // Stores a new prescription in one transaction: its invoice number and its code's day
    // counter taken there, the header, a new prescriber, the patient, the lines, the
    // cash row and the stock. Another workstation taking the same number at the same
    // moment makes the whole save run again with fresh numbers. Absent, with nothing
    // written, when the record refuses duplicates and the patient's prescription of the
    // day is stored already (decided in the same transaction, so that of several
    // workstations saving the same prescription at once one stores it).
    std::optional<SavedPrescription> saveNew(const PrescriptionRecord& record, const SaveContext& context);
    // Stores the edited prescription in one transaction: its stored lines go back to
    // stock and the new ones leave it, the header is rewritten (a new code only when its
    // date or insurer changed), and the cash rows get the difference to what they hold.
    SavedPrescription saveEdit(int invoiceNumber, const PrescriptionRecord& record, const SaveContext& context);
    // Puts the stored prescription's lines back into the pharmacy unit's stock and its lots,
    // inside the caller's transaction (deleting a prescription in stock-keeping mode).
    void putBackStock(int invoiceNumber);

    // A stored prescription's header, lines and cash rows as the history of changes records them.
    struct StoredRows {
        AuditRow header;
        QList<AuditRow> lines;
        QList<AuditRow> cash;
    };
    static StoredRows storedRows(Database& db, int invoiceNumber);
    // The history's record of a change from `before` to `after` (empty rows: a removal).
    static QJsonObject changes(const StoredRows& before, const StoredRows& after);

private:
    Database& m_db;
};

// Takes the next serial of the insurer's day counter (code_noskhe) and returns the
// prescription code: operator, insurer part, month, day and the four-digit serial. Runs
// inside the caller's saving transaction.
QString takePrescriptionCode(Database& db, int userCode, int insurer, const QString& insurerText,
                             const QString& date);
// The prescription code of the insurer's day counter `counter`.
QString prescriptionCodeText(int userCode, const QString& insurerText, const QString& date, int counter);
// Registers the record's prescriber when he is new and has a first name, and adds or
// updates its patient (by the booklet number sh_bimeh), inside the caller's transaction.
void storePrescriberAndPatient(Database& db, const PrescriptionRecord& record);

} // namespace ph
