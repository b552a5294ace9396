#pragma once

#include "dispensing/pricing_types.h"

#include <QString>

#include <optional>

namespace ph {

class Database;

// An insurer (organs_m) and its contract periods (organs_s) as dispensing reads them.
class InsurerRepository {
public:
    explicit InsurerRepository(Database& db) : m_db(db) {}

    // The insurer's name; absent for an unknown code.
    std::optional<QString> name(int insurer);
    // An emergency insurer (orj_flag) takes the emergency amounts as technical fee.
    bool isEmergency(int insurer);

    // The last day of all the insurer's periods, max(to_d); absent with none.
    std::optional<QString> lastDay(int insurer);
    // The period whose percentage and fee flag price the prescription: the first
    // one, in the order the periods were numbered.
    std::optional<ContractTerms> first(int insurer);
    // The period with the largest number, whose thresholds are checked before saving.
    std::optional<ContractTerms> latest(int insurer);

private:
    Database& m_db;
};

} // namespace ph
