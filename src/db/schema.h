#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace ph {

class Database;
class SqlDialect;

// A table as the program creates it. Columns are written "name type" separated by
// commas, with the types i (int), b (flag 0/1), f (double), t (text) and vN (text of
// at most N characters). Each index is "col1,col2", or "unique col1,col2".
struct TableDef {
    QString name;
    QString columns;
    QStringList indexes;
};

struct ViewDef {
    QString name;
    std::function<QString(const SqlDialect&)> select; // the view's select statement
};

// Inside a transaction that changes the schema: lifts the statement time limit and takes
// the schema lock (the transaction's write lock on SQLite, an advisory lock on a server),
// held until the transaction ends. What was seen before it must be looked at again.
void lockSchema(Database& db);

// The drug form of compounded drugs (goods of group 1 and this form), which saving a
// formula needs: the schema gives every database this row of type_kala.
inline constexpr int kCompoundedFormCode = 70;
QString compoundedFormName();

const QList<TableDef>& schemaTables();
const QList<ViewDef>& schemaViews();

// Creates and upgrades the schema. A new database gets every table, index and view;
// an existing one gets whatever it lacks (its own tables are left as they are), then
// the upgrades newer than the version it records.
//
// A start first looks without any lock; only when something is missing does it take
// the schema lock (the write lock on SQLite, an advisory lock on a server), look again
// and create what is still missing, so workstations starting a new database at once
// create it once and a start beside a saving workstation does not wait for it.
//
// Versions: 1 the first layout; 2 the indexes of the look-ups on the growing tables
// (goods, users and list entries in use, insurance numbers, sale dates), added to older
// databases; 3 the claim merge's working column of any length; 4 the compounded drugs'
// form (code 70), added where no form holds that code, and a patient's prescriptions of a
// day found by the insurance number and the date together; 5 a ward's request number kept
// as the text typed; 6 the history of changes (audit_log), which the server refuses to
// change or remove rows of; 7 the rights to the history and the near-expiry list; 8 on a
// server, the function that reads the history's last entry under its lock in one call; 9 on a
// server, the function that starts a new prescription's save (its number, its duplicate check,
// its patient, its day counter and the history's last entry) in one call.
class Schema {
public:
    static constexpr int kCurrentVersion = 9;

    explicit Schema(Database& db) : m_db(db) {}

    void ensure();
    int storedVersion();
    // Whether anything is missing: a table, a view, an index or a version step.
    bool needsWork();

    QString createTableSql(const TableDef& table) const;
    QStringList createIndexSql(const TableDef& table) const;

private:
    struct State {
        QStringList tables; // tables and views, lower case
        QStringList indexes;
        int version = 0;
    };
    State inspect();
    bool needsWork(const State& state) const;
    // Creates what is missing; returns whether indexes were added to existing tables.
    bool createMissing(const State& state);
    // Adds the compounded drugs' form where no form has its code; a database that holds
    // another form under it keeps that form, and the log says so.
    void addCompoundedForm();
    // Rights added after the first release: an older users table gains their columns, held
    // by the users who may already grant every right.
    void addLaterRights(const State& state);

    Database& m_db;
};

} // namespace ph
