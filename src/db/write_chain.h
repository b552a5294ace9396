#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

namespace ph {

class Database;

// One writing statement with its values.
struct Statement {
    QString sql;
    QVariantList values;
};

// Writing statements that do not read each other's rows, sent as one where the engine
// runs several writes in one statement (each a member of a WITH before the last), else
// one after another. A save's last writes then cost one round trip to the server while
// it holds the numbering lock.
class WriteChain {
public:
    void add(Statement statement) { m_statements.append(std::move(statement)); }
    void add(const QList<Statement>& statements) { m_statements.append(statements); }
    bool isEmpty() const { return m_statements.isEmpty(); }
    // Runs them inside the caller's transaction; throws DbError on failure.
    void run(Database& db) const;

private:
    QList<Statement> m_statements;
};

} // namespace ph
