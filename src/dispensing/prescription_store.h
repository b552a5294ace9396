#pragma once

#include "dispensing/threshold_check.h"

#include <QString>

#include <optional>

namespace ph {

class Database;

// Stored prescriptions as the one being entered reads them: its invoice number, the
// patient's earlier prescriptions of the day, and the settings of the checks before saving.
class PrescriptionStore {
public:
    explicit PrescriptionStore(Database& db) : m_db(db) {}

    // The lowest invoice number of the prescriptions stored for the insurance number on
    // the date; absent when there is none. An empty number identifies no patient.
    std::optional<int> firstInvoiceOfDay(const QString& date, const QString& insuranceNumber);
    // The invoice number a new prescription shows: the largest stored plus one.
    int nextInvoiceNumber();
    // The threshold messages switched on in the settings (the first tanzimat row); both
    // off when there is none.
    ThresholdSettings thresholdSettings();

private:
    Database& m_db;
};

} // namespace ph
