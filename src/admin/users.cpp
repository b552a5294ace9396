#include "admin/users.h"

#include "admin/password_hash.h"
#include "admin/rights.h"
#include "db/database.h"
#include "db/key_allocator.h"

#include <QStringList>

namespace ph {

bool UserStore::hasUsers() {
    return m_db.exec(m_db.dialect().selectLimited(QStringLiteral("code from u_pharmacy"), 1)).next();
}

int UserStore::addUserWithAllRights(const QString& name, const QString& password) {
    const QString hash = hashPassword(password); // slow on purpose: outside the transaction
    QStringList columns = {QStringLiteral("code"), QStringLiteral("name"), QStringLiteral("pass")};
    for (std::string_view flag : kRightFlags)
        columns.append(QString::fromLatin1(flag.data(), qsizetype(flag.size())));
    columns.append(QStringLiteral("tarif15"));
    QStringList marks(columns.size(), QStringLiteral("?"));
    const QString sql = QStringLiteral("insert into u_pharmacy (%1) values (%2)")
                            .arg(columns.join(u','), marks.join(u','));
    return saveInTransaction(m_db, [&] {
        const int code = int(nextKey(m_db, QStringLiteral("u_pharmacy"), QStringLiteral("code")));
        QVariantList values = {code, name.trimmed(), hash};
        for (std::size_t i = 0; i < kRightFlags.size(); ++i)
            values.append(1);
        values.append(0);
        m_db.exec(sql, values);
        return code;
    });
}

} // namespace ph
