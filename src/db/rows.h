#pragma once

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <memory>

namespace ph {

// The rows of a statement run by Database::exec, read forward from before the first row.
// A handle on a query that may be one the connection keeps prepared: while any copy of
// this handle lives, the connection gives the next caller of the same statement a query
// of its own, and once the last copy is gone the query is finished and ready again.
class Rows {
public:
    Rows() = default;
    explicit Rows(std::shared_ptr<QSqlQuery> query) : m_query(std::move(query)) {}

    bool next() { return m_query && m_query->next(); }
    QVariant value(int column) const { return m_query ? m_query->value(column) : QVariant(); }
    QVariant value(const QString& name) const { return m_query ? m_query->value(name) : QVariant(); }
    bool isNull(int column) const { return !m_query || m_query->isNull(column); }
    bool isActive() const { return m_query && m_query->isActive(); }
    // The rows changed by a write (-1 when unknown).
    int numRowsAffected() const { return m_query ? m_query->numRowsAffected() : -1; }
    QVariant lastInsertId() const { return m_query ? m_query->lastInsertId() : QVariant(); }
    QSqlRecord record() const { return m_query ? m_query->record() : QSqlRecord(); }
    // Ends the read early, letting the server drop its cursor before the handle goes.
    void finish() {
        if (m_query)
            m_query->finish();
    }

private:
    std::shared_ptr<QSqlQuery> m_query;
};

} // namespace ph
