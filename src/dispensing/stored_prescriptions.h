#pragma once

#include "audit/audit_origin.h"
#include "dispensing/prescription_header.h"
#include "dispensing/prescription_totals.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ph {

class Database;

// A stored prescription as the dispensing window shows it: its header, its line list's
// cells and its stored totals (not recomputed).
struct StoredPrescription {
    int invoiceNumber = 0; // sh_factor
    QString code;          // code_no
    QString insurerCode;   // code_bimeh as the insurer field shows it; empty when null
    QString insNoTamin;    // the insurance number as stored; the insurer decides its parts
    PrescriptionHeader header;
    QList<QStringList> lines; // the line list's rows, in the order they were stored
    Totals totals;
};

// Stored prescriptions: read one for showing or correcting, step through them, delete one.
class StoredPrescriptions {
public:
    explicit StoredPrescriptions(Database& db) : m_db(db) {}

    // The prescription with the invoice number; absent when none is stored under it.
    // The prescriber's names and specialty come from the prescriber register.
    std::optional<StoredPrescription> load(int invoiceNumber);
    // The lowest and the highest stored invoice numbers; absent with none stored.
    std::optional<int> first();
    std::optional<int> last();

    enum class RemoveResult { Removed, NotFound, ClosedByCashDesk };
    // Deletes the prescription, its lines and its own cash rows (type "d") in one
    // transaction, its lines going back into stock in stock-keeping mode; one the cash
    // desk has closed is refused. The patient, the prescriber and the day counter are
    // left as they are. The history of changes records what it held, in the same transaction.
    RemoveResult remove(int invoiceNumber, const AuditOrigin& origin);

private:
    Database& m_db;
};

} // namespace ph
