#pragma once

#include "dispensing/insurer_repository.h"
#include "dispensing/prescription_totals.h"

#include <QString>

#include <optional>

namespace ph {

class Database;

// The prescription fields the fee facts are read for.
struct FeeQuery {
    QString insurerCode;      // me_code_bime; empty or "0": no insurer
    QString prescriptionDate; // me_date_no, yy/mm/dd
    QString insuranceNumber;  // the patient's number as sh_bimeh stores it
    QString currentInvoice;   // me_sh_factor
    int hour = 12;            // the hour of the current local time
};

// Reads what the technical fee depends on: the tariff, the insurer's emergency flag and
// contract, and the patient's earlier prescriptions of the day.
class TotalsRepository {
public:
    explicit TotalsRepository(Database& db) : m_db(db), m_insurers(db) {}

    FeeFacts facts(const FeeQuery& query);

    // The first tarefeh row; absent when the table is empty.
    std::optional<Tariff> tariff();
    // The lowest invoice number of the prescriptions stored for the insurance number on
    // the date; absent when there is none. An empty number identifies no patient.
    std::optional<int> firstInvoiceOfDay(const QString& date, const QString& insuranceNumber);
    // The invoice number a new prescription shows: the largest stored plus one.
    int nextInvoiceNumber();

private:
    Database& m_db;
    InsurerRepository m_insurers;
};

} // namespace ph
