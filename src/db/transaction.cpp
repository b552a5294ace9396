#include "db/transaction.h"

#include "db/database.h"

namespace ph {

Transaction::Transaction(Database& db) : m_db(db) {
    m_db.beginTransaction();
    m_active = true;
}

Transaction::~Transaction() {
    if (m_active) {
        try {
            rollback();
        } catch (const DbError&) {
            // The connection is gone; the server has dropped the transaction with it.
        }
    }
}

void Transaction::commit() {
    m_db.commitTransaction();
    m_active = false;
}

void Transaction::rollback() {
    m_active = false;
    m_db.rollbackTransaction();
}

} // namespace ph
