#include "db/legacy_upgrades.h"

#include "db/database.h"
#include "db/schema.h"
#include "db/transaction.h"


namespace ph {
namespace {

// Counted from the catalogue rather than a "select *", whose columns the SQLite driver
// can misread when another connection has just changed the table.
int columnCount(Database& db, const QString& table) { return int(db.columnNames(table).size()); }

// The old users table is the one that still has tanzim_p; its column count no longer tells,
// since the schema adds later rights to every users table before this upgrade runs.
bool isOldUsersTable(Database& db) {
    return db.columnNames(QStringLiteral("u_pharmacy")).contains(QStringLiteral("tanzim_p"), Qt::CaseInsensitive);
}

} // namespace

bool upgradeUsersTable(Database& db) {
    if (!isOldUsersTable(db))
        return false;
    const QString bit = db.dialect().typeName(ColumnType::Bit);
    Transaction transaction(db);
    lockSchema(db);
    if (!isOldUsersTable(db))
        return false; // another workstation upgraded it meanwhile
    db.exec(QStringLiteral("ALTER TABLE u_pharmacy DROP COLUMN tanzim_p "));
    db.exec(QStringLiteral("alter table u_pharmacy  add tarif15 %1 ").arg(bit));
    db.exec(QStringLiteral("alter table u_pharmacy  add phar %1 ").arg(bit));
    db.exec(QStringLiteral("update  u_pharmacy  set phar=0  "));
    transaction.commit();
    return true;
}

bool upgradeSettingsTable(Database& db) {
    const QString table = QStringLiteral("tanzimat");
    if (columnCount(db, table) != 11)
        return false;
    Transaction transaction(db);
    lockSchema(db);
    if (columnCount(db, table) != 11)
        return false; // another workstation upgraded it meanwhile
    db.exec(QStringLiteral("alter table tanzimat  add mode %1 ").arg(db.dialect().typeName(ColumnType::NVarchar, 50)));
    db.exec(QStringLiteral("update  tanzimat  set mode=  'Single'"));
    transaction.commit();
    return true;
}

} // namespace ph
