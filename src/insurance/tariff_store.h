#pragma once

#include "audit/audit_origin.h"
#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// A tariff period (tarefeh): the technical fee by day and night below and above its
// ceiling, the emergency amounts and the over-the-counter rule. Amounts in Rials.
// A period is known by its pair of dates (yy/mm/dd); the dates are not compared with any
// prescription, and dispensing reads the first row of the table.
struct TariffPeriod {
    QString fromDate;            // from_d
    QString toDate;              // to_d
    double feeCeiling = 0;       // mab_fani_saghf
    double dayDown = 0;          // mab_day_down
    double dayUp = 0;            // mab_day_up
    double nightDown = 0;        // mab_night_down
    double nightUp = 0;          // mab_night_up
    double otcPercent = 0;       // percent_otc
    double otcMax = 0;           // mab_max_otc
    double emergencyCeiling = 0; // mab_orj
    double emergencyDown = 0;    // mab_orj_down
    double emergencyUp = 0;      // mab_orj_up
};

class TariffStore {
public:
    // Changes go to the history of changes as `origin`'s.
    explicit TariffStore(Database& db, AuditOrigin origin = {}) : m_db(db), m_origin(std::move(origin)) {}

    // Every period in the order the table returns them (the first is the one in force).
    QList<TariffPeriod> all();
    // The period in force, the first one; absent when there is none.
    std::optional<TariffPeriod> inForce();

    enum class SaveResult { Stored, MissingDate };
    // Stores a period. A new one (no `editing`) overwrites the period with the same dates or
    // is added after the others. An edited one rewrites the period it was loaded from; when
    // its new dates are those of another period, that other period takes the values and the
    // edited one goes, so that no two periods share their dates. A missing date stores nothing.
    SaveResult save(const TariffPeriod& period, const TariffPeriod* editing = nullptr);
    // Deletes the period with these dates.
    void remove(const QString& fromDate, const QString& toDate);

private:
    Database& m_db;
    AuditOrigin m_origin;
};

} // namespace ph
