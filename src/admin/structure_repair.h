#pragma once

#include "core/pick_row.h"

#include <QList>
#include <QString>

#include <functional>

namespace ph {

class Database;

// The column upgrades a start does not apply, run on demand from the main window. In
// order: every insurer contract starts on 00/01/01; the pharmacy's director council
// number, the drug rule's own percentage and the emergency flag of insurers are added
// where missing; the social-security repair is offered when the settings lack the
// social-security insurer list; the claim-file scratch table is built anew (empty); the
// prescriber's council number of prescriptions is widened to 30 characters. Table and
// column names are compared without regard to letter case, so a second run adds nothing.
class StructureRepair {
public:
    explicit StructureRepair(Database& db) : m_db(db) {}

    // `socialSecurityRepair` is called when the settings table has no social-security
    // insurer list (the window that asks for the insurers); the repair goes on after it.
    void run(const std::function<void()>& socialSecurityRepair);

private:
    void addColumnIfMissing(const QString& table, const QString& column, const QString& type);
    void rebuildClaimScratchTable();
    void widenPrescriberNumber();

    Database& m_db;
};

// The dashed social-security number of an 18-character one: 10-4-2-2 characters.
QString dashedInsuranceNumber(const QString& plain);

// Adds the dashed social-security number to patients, prescriptions and their lines, and
// the social-security insurer list to the settings, each where it is missing: the new
// column takes the plain number, and 18-character numbers become their dashed form (for
// patients and prescriptions only those of the chosen insurers; for lines all of them).
// A table that has its column already is left as it is, so numbers are converted once.
class SocialSecurityRepair {
public:
    explicit SocialSecurityRepair(Database& db) : m_db(db) {}

    // The insurers the window offers: code and name1, by name.
    PickRows insurerPickRows();
    // Runs the repair in one transaction for the insurers of `codes` (not empty), and
    // stores them as comma text in the settings when its column is new.
    void run(const QList<int>& codes);

private:
    void addDashedNumber(const QString& table, const QList<int>* codes);

    Database& m_db;
};

} // namespace ph
