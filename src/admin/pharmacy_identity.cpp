#include "admin/pharmacy_identity.h"

#include "db/database.h"
#include "db/transaction.h"

namespace ph {

StoredIdentity PharmacyIdentityStore::read() {
    StoredIdentity identity;
    Rows query = m_db.exec(m_db.dialect().selectLimited(QStringLiteral("onvan_vahed, fani_nezam from onvan_darou"), 1));
    if (query.next()) {
        identity.name = query.value(0).toString();
        if (!query.value(1).isNull())
            identity.directorNezam = query.value(1).toString();
    }
    return identity;
}

void PharmacyIdentityStore::store(const PharmacyIdentity& identity) {
    bool isWhole = false;
    const qlonglong code = identity.code.trimmed().toLongLong(&isWhole);
    if (!isWhole || code < INT_MIN || code > INT_MAX)
        throw Error(QStringLiteral("كد داروخانه بايد عدد صحيح باشد: \"%1\"").arg(identity.code));
    const QVariantList values = {int(code), identity.name.trimmed(), identity.directorNezam.trimmed()};
    Transaction transaction(m_db);
    const bool hasRow =
        m_db.exec(m_db.dialect().selectLimited(QStringLiteral("1 from onvan_darou"), 1)).next();
    if (hasRow)
        m_db.exec(QStringLiteral("update onvan_darou set code_vahed=?, onvan_vahed=?, fani_nezam=?"), values);
    else
        m_db.exec(QStringLiteral("insert into onvan_darou (code_vahed, onvan_vahed, fani_nezam) values (?, ?, ?)"),
                  values);
    transaction.commit();
}

} // namespace ph
