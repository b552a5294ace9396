#include "db/legacy_upgrades.h"

#include "db/database.h"
#include "db/transaction.h"

#include <QSqlRecord>

namespace ph {
namespace {

int resultColumnCount(Database& db, const QString& select) { return db.exec(select).record().count(); }

} // namespace

bool upgradeUsersTable(Database& db) {
    if (resultColumnCount(db, QStringLiteral("select * from u_pharmacy  where code=0")) != 40)
        return false;
    const QString bit = db.dialect().typeName(ColumnType::Bit);
    Transaction transaction(db);
    db.exec(QStringLiteral("ALTER TABLE u_pharmacy DROP COLUMN tanzim_p "));
    db.exec(QStringLiteral("alter table u_pharmacy  add tarif15 %1 ").arg(bit));
    db.exec(QStringLiteral("alter table u_pharmacy  add phar %1 ").arg(bit));
    db.exec(QStringLiteral("update  u_pharmacy  set phar=0  "));
    transaction.commit();
    return true;
}

bool upgradeSettingsTable(Database& db) {
    if (resultColumnCount(db, QStringLiteral("select * from tanzimat  ")) != 11)
        return false;
    Transaction transaction(db);
    db.exec(QStringLiteral("alter table tanzimat  add mode %1 ").arg(db.dialect().typeName(ColumnType::NVarchar, 50)));
    db.exec(QStringLiteral("update  tanzimat  set mode=  'Single'"));
    transaction.commit();
    return true;
}

} // namespace ph
