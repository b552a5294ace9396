#include "db/write_chain.h"

#include "db/database.h"

namespace ph {

void WriteChain::run(Database& db) const {
    if (m_statements.isEmpty()) return;
    if (!db.dialect().chainsWrites() || m_statements.size() == 1) {
        for (const Statement& statement : m_statements)
            db.exec(statement.sql, statement.values);
        return;
    }
    QString sql = QStringLiteral("with ");
    QVariantList values;
    for (qsizetype i = 0; i + 1 < m_statements.size(); ++i) {
        if (i > 0) sql += QStringLiteral(", ");
        sql += QStringLiteral("w") + QString::number(i) + QStringLiteral(" as (") + m_statements.at(i).sql + u')';
        values += m_statements.at(i).values;
    }
    sql += u' ' + m_statements.last().sql;
    values += m_statements.last().values;
    db.exec(sql, values);
}

} // namespace ph
