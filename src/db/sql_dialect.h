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
    // A statement changing a column to a wider type; empty where the engine does not hold
    // columns to their declared width (SQLite). Table and column come from the program.
    QString widenColumnSql(const QString& table, const QString& column, const QString& type) const;
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
    // Changes a column to unbounded text, keeping its values; empty where the engine
    // does not hold declared lengths (SQLite).
    QString widenToTextSql(const QString& table, const QString& column) const;
    // Statements turning a numeric column into a text column of `width` characters, each
    // number kept as its shortest text (205 stays "205"). A view reading the column must be
    // dropped first and made again after.
    QStringList numberToTextSql(const QString& table, const QString& column, int width) const;
    // A statement removing an index of a table; the names come from the program.
    QString dropIndexSql(const QString& table, const QString& index) const;
    // Whether "create index if not exists" is understood.
    bool hasCreateIndexIfNotExists() const { return m_engine != Engine::SqlServer; }

    // A statement failed because it would have duplicated a unique key.
    // Whether the server ended the statement's transaction to break a deadlock (or a
    // serialisation conflict): it was rolled back whole and may be run again.
    bool isDeadlock(const QSqlError& error) const;
    bool isUniqueViolation(const QSqlError& error) const;
    // A statement failed because the connection to the server broke (the embedded
    // database has no connection to lose).
    bool isConnectionLoss(const QSqlError& error) const;
    // A kept prepared statement failed because the tables it reads changed their
    // columns since it was prepared (it works when prepared again).
    bool isStalePlan(const QSqlError& error) const;
    bool canLoseConnection() const { return m_engine != Engine::Sqlite; }
    // Whether an update may end in "returning COLUMNS", giving the rows as it left them.
    bool updateReturns() const { return m_engine != Engine::SqlServer; }
    // Whether several writes may run as one statement, each but the last a member of its WITH.
    bool chainsWrites() const { return m_engine == Engine::Postgres; }

    // Libpq-style options of a server connection: connect timeout, TCP keepalives, and
    // the longest a statement may run before the server cancels it.
    QString connectOptions() const;

    // A lock held until the end of the transaction, taken by a statement binding two
    // numbers (a kind and a name's hash); empty where the engine's transaction already
    // admits one writer at a time (SQLite's BEGIN IMMEDIATE).
    QString transactionLockSql() const;
    // The server's number of the open transaction, and the statement binding it that
    // tells afterwards whether it was committed; empty where there is none.
    QString transactionIdSql() const;
    QString transactionStatusSql() const;
    // transactionLockSql() that also returns transactionIdSql()'s number as its second column.
    QString transactionLockAndIdSql() const;
    // Run first in a transaction that changes the schema: lifts the statement timeout,
    // since adding an index to a large table takes longer than any save.
    QString schemaWorkSql() const;

    // The database server's clock now, in UTC, as the text "yyyy-MM-dd HH:mm:ss.zzz" (an expression).
    QString serverUtcTimeSql() const;
    // Statements that make the server refuse to change or remove a row of the table (its
    // entries are only ever added), and the statements that take that refusal away again.
    // Empty where the program does not install it (SQL Server). The table is the program's own.
    QStringList appendOnlyGuardSql(const QString& table) const;
    QStringList dropAppendOnlyGuardSql(const QString& table) const;
    // The history's last entry read under the history's lock in one call to the server, where
    // the server has the function auditTailFunctionSql() makes: binds the lock's two numbers and
    // gives the last entry's number and hash (null for an empty history), the server's UTC time
    // as serverUtcTimeSql() writes it and the transaction's number. Empty where the lock and the
    // read are sent one after the other.
    QString auditTailSql() const;
    QStringList auditTailFunctionSql() const;
    // The start of a new prescription's save in one call to the server, where the server has
    // the function prescriptionSaveStartFunctionSql() makes; empty where the save sends the
    // steps one after the other. Binds the locks' kind, the numbering, patient and history
    // lock keys, then: the duplicate check (0 none, 1 by the date and the names, 2 also by the
    // insurance number and the prescriber), the insurance number (sh_bimeh), the date, the
    // prescriber's council number, the first and the family name, whether the patient's row
    // is written (0/1), the insurer, the day, the month and whether the insurer's day is
    // counted (0/1). Under the numbering lock it reads the next invoice number, whether the
    // prescription is stored already (when it is, nothing more is done) and the patient's
    // code; takes the patients' numbering lock for a new patient, raises the day counter and
    // reads the history's last entry under its lock, as auditTailSql() does.
    QString prescriptionSaveStartSql() const;
    QStringList prescriptionSaveStartFunctionSql() const;

    // A statement listing the index names of the database (one per row).
    QString listIndexesSql() const;
    // Statements that bring the planner's statistics up to date after bulk work.
    QStringList refreshStatisticsSql() const;
    // The light, time-bounded statistics check of a start or an end of a run; empty
    // where the server keeps its statistics itself. Run without waiting for a lock.
    QStringList optimizeStatisticsSql() const;
    // Statements that make the next ones fail at once rather than wait for a lock, and
    // that restore the usual wait (empty where statements do not wait on a lock).
    QString noLockWaitSql() const;
    QString lockWaitSql() const;

private:
    Engine m_engine;
};

} // namespace ph
