#pragma once

#include "dispensing/pricing_types.h"

#include <QList>

#include <optional>

namespace ph {

class Database;

// The drug list of the dispensing and goods sale windows. In stock-keeping mode (the
// pharmacy unit 20 has stock rows) it lists the unit's goods at the unit's prices;
// otherwise every catalogued goods item at its catalogue price. Compounded drugs (form 70)
// are never stocked: in either mode every one is listed at its goods row's price.
class DrugList {
public:
    static constexpr int kPharmacyUnit = 20;

    explicit DrugList(Database& db) : m_db(db) {}

    // Whether the pharmacy keeps stock: any row of unit 20 exists (form_mode 1).
    bool stockKeepingMode();
    // The whole list, by code (the window orders it by name).
    QList<DrugItem> load(bool stockKeeping);
    // The list's row of a code; absent when the list does not hold it.
    std::optional<DrugItem> find(double code, bool stockKeeping);

private:
    QList<DrugItem> select(bool stockKeeping, const std::optional<double>& code);

    Database& m_db;
};

} // namespace ph
