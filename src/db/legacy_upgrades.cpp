#include "db/legacy_upgrades.h"

#include "db/database.h"
#include "db/schema.h"
#include "db/transaction.h"


namespace ph {
namespace {

// Counted from the catalogue rather than a "select *", whose columns the SQLite driver
// can misread when another connection has just changed the table.
int columnCount(Database& db, const QString& table) { return int(db.columnNames(table).size()); }

} // namespace

bool upgradeUsersTable(Database& db) {
    const QString table = QStringLiteral("u_pharmacy");
    if (columnCount(db, table) != 40)
        return false;
    const QString bit = db.dialect().typeName(ColumnType::Bit);
    Transaction transaction(db);
    lockSchema(db);
    if (columnCount(db, table) != 40)
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
