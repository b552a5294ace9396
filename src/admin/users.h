#pragma once

#include "audit/audit_changes.h"
#include "audit/audit_origin.h"
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// A user with the access-right flags by name (see kRightFlags).
struct UserRecord {
    int code = 0;
    QString name;
    QString password; // as typed; never read back from the table
    QHash<QString, bool> rights;
};

// The users table: sign-in, the user window's rules and the password change.
// Passwords are stored as argon2id hashes; a row that still holds a clear password
// (an older database) signs in once and is rehashed at that moment.
class UserStore {
public:
    // Changes to users, rights and passwords go to the history of changes as `origin`'s
    // (the password itself never does: only that it changed).
    explicit UserStore(Database& db, AuditOrigin origin = {}) : m_db(db), m_origin(std::move(origin)) {}

    // Whether any user is defined (reads at most one row).
    bool hasUsers();
    // Adds a user with every right and a hashed password; returns the new code.
    int addUserWithAllRights(const QString& name, const QString& password);

    // The name of the user with this code, when there is one.
    std::optional<QString> nameOf(int code);
    // The user when the code and password match, with the rights; nothing otherwise.
    std::optional<UserRecord> signIn(int code, const QString& password);
    QHash<QString, bool> rightsOf(int code);

    // The code a new user gets: the largest plus one, 1 for an empty table.
    int nextCode();
    // Every user in code order, passwords left empty.
    QList<UserRecord> all();

    enum class AddResult { Added, DuplicateCode, DuplicateName, DuplicatePassword };
    // Refuses a used code, a used trimmed name, or a password another user has.
    AddResult add(const UserRecord& user);
    // Rewrites name, rights and, when not empty, the password of the user's row.
    void update(const UserRecord& user);
    // Whether the user has saved a prescription or a goods sale (and so is never deleted).
    bool hasRecordedSales(int code);
    void remove(int code);
    // Sets the new password when the code and old password match; false otherwise.
    bool changePassword(int code, const QString& oldPassword, const QString& newPassword);

private:
    bool passwordMatches(int code, const QString& stored, const QString& password);
    bool passwordInUse(const QString& password);
    QString rightsColumns() const;
    // The history's entry of a change to the user, its row now read back.
    void record(int code, const AuditRow& before);
    AuditRow storedRow(int code);

    Database& m_db;
    AuditOrigin m_origin;
};

} // namespace ph
