#pragma once

#include <QString>

namespace ph {

class Database;

// The users table as the start-up needs it; the user window adds its own rules.
class UserStore {
public:
    explicit UserStore(Database& db) : m_db(db) {}

    // Whether any user is defined (reads at most one row).
    bool hasUsers();
    // Adds a user with every right and a hashed password; returns the new code.
    int addUserWithAllRights(const QString& name, const QString& password);

private:
    Database& m_db;
};

} // namespace ph
