#pragma once

namespace ph {

class Database;

// One document is saved in one transaction: commit() keeps all of it; leaving the
// scope without commit() (an error, an early return) rolls all of it back.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();
    void rollback();
    bool isActive() const { return m_active; }

private:
    Database& m_db;
    bool m_active = false;
};

} // namespace ph
