#pragma once

#include <QString>

namespace ph {

// Passwords are kept as argon2id hashes in the standard encoded form ("$argon2id$...").
QString hashPassword(const QString& password);
// Whether `password` matches a stored value; false for anything that is not a hash.
bool verifyPassword(const QString& stored, const QString& password);
// A stored value that is still a clear password from an older database.
bool isPasswordHash(const QString& stored);

} // namespace ph
