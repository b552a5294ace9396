#pragma once

#include "db/database.h"
#include "db/transaction.h"

#include <QString>
#include <QVariantList>

namespace ph {

// The next key of a column: its largest value plus one, 1 for an empty table (or an
// empty selection when `where` narrows it, e.g. "code_bimeh=? and rooz=?").
// Read inside the saving transaction, after a lock on the column held until the
// transaction ends (where the engine's transaction does not already admit one writer
// at a time), so that workstations saving at once take their numbers in turn. The
// column's unique index still turns a number taken twice into a unique-key failure,
// never a duplicate.
// `table`, `column` and `where` are the program's own text, never the user's.
qint64 nextKey(Database& db, const QString& table, const QString& column, const QString& where = {},
               const QVariantList& params = {});
// The lock nextKey takes, alone: for a key taken by the insert itself, as
// "(select coalesce(max(code), 0)+1 from table)" among its values.
void lockKeyColumn(Database& db, const QString& table, const QString& column);
// The two numbers of that lock, for a server function that takes it itself.
struct KeyLock {
    qint32 kind = 0;
    qint32 key = 0;
};
KeyLock keyColumnLock(const QString& table, const QString& column);

// A short random pause, longer after each collision, so that two workstations that
// keep taking the same number fall out of step.
void waitBeforeRetry(int attempt);

// Runs `save` in one transaction and commits it. When another workstation took one of
// its new keys first, or the server broke a deadlock with another's save by ending this
// one, everything is rolled back and `save` runs again, reading fresh numbers, up to
// `attempts` times. When the connection broke before the commit (the
// server has dropped the whole transaction), `save` runs once more on a new connection.
// Any other failure rolls back and propagates.
template <typename Save> auto saveInTransaction(Database& db, Save&& save, int attempts = 8) {
    bool reconnected = false;
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction transaction(db);
            if constexpr (std::is_void_v<decltype(save())>) {
                save();
                transaction.commit();
                return;
            } else {
                auto result = save();
                transaction.commit();
                return result;
            }
        } catch (const DbError& error) {
            if (error.isLostAndNotStored() && !reconnected) {
                reconnected = true;
                continue;
            }
            if (!(error.isUniqueViolation() || error.isDeadlock()) || attempt >= attempts)
                throw;
        }
        waitBeforeRetry(attempt);
    }
}

} // namespace ph
