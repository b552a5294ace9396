#pragma once

#include "core/ci_config.h"

#include <QString>
#include <QStringList>

class QSqlError;

namespace ph {

enum class ColumnType { Int, Bit, Float, Text, NVarchar };

// Every difference between the database engines lives here; nothing else asks which
// engine it runs on. Flags are small integers on every engine: bind 0/1, never bool.
class SqlDialect {
public:
    explicit SqlDialect(Engine engine) : m_engine(engine) {}

    Engine engine() const { return m_engine; }
    QString qtDriverName() const;

    // Column type text for a new column; width applies to NVarchar only.
    QString typeName(ColumnType type, int width = 0) const;
    // String concatenation of SQL expressions.
    QString concat(const QStringList& expressions) const;
    // A select of at most `n` rows: `select` is the statement without its leading "select".
    QString selectLimited(const QString& selectBody, int n) const;

    QString beginTransaction() const;
    QString commitTransaction() const { return QStringLiteral("COMMIT"); }
    QString rollbackTransaction() const { return QStringLiteral("ROLLBACK"); }

    // A statement listing the tables and views of the database (one name per row).
    QString listTablesSql() const;
    // A statement listing a table's columns in order; binds the table name once.
    QString listColumnsSql() const;
    // Whether "create index if not exists" is understood.
    bool hasCreateIndexIfNotExists() const { return m_engine != Engine::SqlServer; }

    // A statement failed because it would have duplicated a unique key.
    bool isUniqueViolation(const QSqlError& error) const;

private:
    Engine m_engine;
};

} // namespace ph
