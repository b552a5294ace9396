#pragma once

#include "dispensing/threshold_check.h"

namespace ph {

class Database;

// Reads the settings and the latest contract period the check needs.
class ThresholdRepository {
public:
    explicit ThresholdRepository(Database& db) : m_db(db) {}

    // The first settings row; both off when there is none.
    ThresholdSettings settings();
    // The input for a prescription, its sums as the totals panel shows them.
    ThresholdInput input(const QString& insurerCode, const QString& specialtyCode, double patientSum,
                         double insurerSum);

private:
    Database& m_db;
};

} // namespace ph
