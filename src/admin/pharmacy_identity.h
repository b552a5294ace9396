#pragma once

#include "core/prompter.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace ph {

class Database;

struct StoredIdentity {
    QString name;                         // onvan_vahed, empty when missing
    std::optional<QString> directorNezam; // fani_nezam, absent when null
};

// The pharmacy's identity row (onvan_darou).
class PharmacyIdentityStore {
public:
    explicit PharmacyIdentityStore(Database& db) : m_db(db) {}

    // The first row's name and council number; an empty table reads as an empty name.
    StoredIdentity read();
    // Writes the one identity row (inserted when the table is empty). The code must be a
    // whole number, else ph::Error is thrown and nothing is written.
    void store(const PharmacyIdentity& identity);

private:
    Database& m_db;
};

} // namespace ph
