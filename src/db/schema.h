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

const QList<TableDef>& schemaTables();
const QList<ViewDef>& schemaViews();

// Creates and upgrades the schema. A new database gets every table, index and view;
// an existing one gets whatever it lacks (its own tables are left as they are), then
// the upgrades newer than the version it records. Needs no work proportional to the data.
class Schema {
public:
    static constexpr int kCurrentVersion = 1;

    explicit Schema(Database& db) : m_db(db) {}

    void ensure();
    int storedVersion();

    QString createTableSql(const TableDef& table) const;
    QStringList createIndexSql(const TableDef& table) const;

private:
    Database& m_db;
};

} // namespace ph
