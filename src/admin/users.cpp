#include "admin/users.h"

#include "admin/password_hash.h"
#include "admin/rights.h"
#include "audit/audit_kinds.h"
#include "audit/audit_log.h"
#include "db/database.h"
#include "db/key_allocator.h"
#include "db/transaction.h"

#include <QStringList>

namespace ph {
namespace {

QStringList rightNames() {
    QStringList names;
    for (std::string_view flag : kRightFlags)
        names.append(QString::fromLatin1(flag.data(), qsizetype(flag.size())));
    return names;
}

QHash<QString, bool> readRights(const Rows& query, int firstColumn) {
    QHash<QString, bool> rights;
    const QStringList names = rightNames();
    for (int i = 0; i < names.size(); ++i)
        rights.insert(names.at(i), query.value(firstColumn + i).toInt() != 0);
    return rights;
}

// Runs `write` in a transaction of its own, or in the caller's when one is open (demo fills a
// whole database in one).
template <typename Write> void inTransaction(Database& db, Write&& write) {
    if (db.inTransaction()) return write();
    Transaction transaction(db);
    write();
    transaction.commit();
}

QVariantList rightValues(const UserRecord& user) {
    QVariantList values;
    for (const QString& name : rightNames())
        values.append(user.rights.value(name, false) ? 1 : 0);
    return values;
}

} // namespace

QString UserStore::rightsColumns() const { return rightNames().join(QStringLiteral(", ")); }

bool UserStore::hasUsers() {
    return m_db.exec(m_db.dialect().selectLimited(QStringLiteral("code from u_pharmacy"), 1)).next();
}

int UserStore::addUserWithAllRights(const QString& name, const QString& password) {
    UserRecord user;
    user.name = name;
    user.password = password;
    for (const QString& flag : rightNames())
        user.rights.insert(flag, true);
    const QString hash = hashPassword(password); // slow on purpose: outside the transaction
    const QString sql = QStringLiteral("insert into u_pharmacy (code, name, pass, tarif15, %1) values (?, ?, ?, 0%2)")
                            .arg(rightsColumns(), QStringLiteral(", ?").repeated(int(kRightFlags.size())));
    return saveInTransaction(m_db, [&] {
        const int code = int(nextKey(m_db, QStringLiteral("u_pharmacy"), QStringLiteral("code")));
        m_db.exec(sql, QVariantList{code, name.trimmed(), hash} + rightValues(user));
        record(code, {});
        return code;
    });
}

std::optional<QString> UserStore::nameOf(int code) {
    Rows query = m_db.exec(QStringLiteral("select name from u_pharmacy where code=?"), {code});
    if (!query.next())
        return std::nullopt;
    return query.value(0).toString();
}

bool UserStore::passwordMatches(int code, const QString& stored, const QString& password) {
    if (isPasswordHash(stored))
        return verifyPassword(stored, password);
    if (stored.isEmpty() || stored != password)
        return false;
    // A clear password of an older database: keep it no longer than this sign-in. The history
    // records that it was hashed, never either form of it.
    const QString hash = hashPassword(password); // slow on purpose: outside the transaction
    AuditOrigin origin = m_origin.source.isEmpty() ? AuditOrigin::here(code, QStringLiteral("sign-in")) : m_origin;
    origin.userCode = code;
    Transaction transaction(m_db);
    m_db.exec(QStringLiteral("update u_pharmacy set pass=? where code=?"), {hash, code});
    appendAudit(m_db, origin,
                {audit_kind::kUser, QString::number(code),
                 QJsonObject{{QStringLiteral("fields"),
                              QJsonObject{{QStringLiteral("pass"), QJsonObject{{QStringLiteral("changed"), true}}}}},
                             {QStringLiteral("password_rehashed"), true}}});
    transaction.commit();
    return true;
}

std::optional<UserRecord> UserStore::signIn(int code, const QString& password) {
    Rows query = m_db.exec(
        QStringLiteral("select code, name, pass, %1 from u_pharmacy where code=?").arg(rightsColumns()), {code});
    if (!query.next())
        return std::nullopt;
    UserRecord user;
    user.code = query.value(0).toInt();
    user.name = query.value(1).toString();
    const QString stored = query.value(2).toString();
    user.rights = readRights(query, 3);
    query.finish();
    if (!passwordMatches(code, stored, password))
        return std::nullopt;
    return user;
}

QHash<QString, bool> UserStore::rightsOf(int code) {
    Rows query = m_db.exec(QStringLiteral("select %1 from u_pharmacy where code=?").arg(rightsColumns()), {code});
    return query.next() ? readRights(query, 0) : QHash<QString, bool>();
}

int UserStore::nextCode() { return int(nextKey(m_db, QStringLiteral("u_pharmacy"), QStringLiteral("code"))); }

QList<UserRecord> UserStore::all() {
    QList<UserRecord> users;
    Rows query =
        m_db.exec(QStringLiteral("select code, name, %1 from u_pharmacy order by code").arg(rightsColumns()));
    while (query.next()) {
        UserRecord user;
        user.code = query.value(0).toInt();
        user.name = query.value(1).toString();
        user.rights = readRights(query, 2);
        users.append(user);
    }
    return users;
}

bool UserStore::passwordInUse(const QString& password) {
    Rows query = m_db.exec(QStringLiteral("select pass from u_pharmacy"));
    QStringList stored;
    while (query.next())
        stored.append(query.value(0).toString());
    for (const QString& value : stored) {
        if (isPasswordHash(value) ? verifyPassword(value, password) : value.trimmed() == password.trimmed())
            return true;
    }
    return false;
}

UserStore::AddResult UserStore::add(const UserRecord& user) {
    if (m_db.exec(QStringLiteral("select code from u_pharmacy where code=?"), {user.code}).next())
        return AddResult::DuplicateCode;
    if (m_db.exec(QStringLiteral("select code from u_pharmacy where name=?"), {user.name.trimmed()}).next())
        return AddResult::DuplicateName;
    if (passwordInUse(user.password))
        return AddResult::DuplicatePassword;
    const QString sql = QStringLiteral("insert into u_pharmacy (code, name, pass, %1) values (?, ?, ?%2)")
                            .arg(rightsColumns(), QStringLiteral(", ?").repeated(int(kRightFlags.size())));
    const QString hash = hashPassword(user.password); // slow on purpose: outside the transaction
    inTransaction(m_db, [&] {
        m_db.exec(sql, QVariantList{user.code, user.name, hash} + rightValues(user));
        record(user.code, {});
    });
    return AddResult::Added;
}

void UserStore::update(const UserRecord& user) {
    QStringList assignments = {QStringLiteral("name=?")};
    QVariantList values = {user.name};
    if (!user.password.isEmpty()) {
        assignments.append(QStringLiteral("pass=?"));
        values.append(hashPassword(user.password));
    }
    for (const QString& flag : rightNames())
        assignments.append(flag + QStringLiteral("=?"));
    values += rightValues(user);
    values.append(user.code);
    inTransaction(m_db, [&] {
        const AuditRow before = storedRow(user.code);
        m_db.exec(QStringLiteral("update u_pharmacy set %1 where code=?").arg(assignments.join(QStringLiteral(", "))),
                  values);
        record(user.code, before);
    });
}

bool UserStore::hasRecordedSales(int code) {
    const SqlDialect& d = m_db.dialect();
    return m_db.exec(d.selectLimited(QStringLiteral("sh_factor from heading_noskhe where code_opr=?"), 1), {code}).next() ||
           m_db.exec(d.selectLimited(QStringLiteral("sh_factor from heading_froosh_kala where code_opr=?"), 1), {code}).next();
}

void UserStore::remove(int code) {
    inTransaction(m_db, [&] {
        const AuditRow before = storedRow(code);
        m_db.exec(QStringLiteral("delete from u_pharmacy where code=?"), {code});
        record(code, before);
    });
}

AuditRow UserStore::storedRow(int code) {
    return readAuditRow(m_db, QStringLiteral("u_pharmacy"), QStringLiteral("code=?"), {code});
}

void UserStore::record(int code, const AuditRow& before) {
    appendAudit(m_db, m_origin,
                {audit_kind::kUser, QString::number(code),
                 documentChanges(before, storedRow(code), std::nullopt, std::nullopt, {QStringLiteral("pass")})});
}

bool UserStore::changePassword(int code, const QString& oldPassword, const QString& newPassword) {
    Rows query = m_db.exec(QStringLiteral("select pass from u_pharmacy where code=?"), {code});
    if (!query.next())
        return false;
    const QString stored = query.value(0).toString();
    query.finish();
    if (!passwordMatches(code, stored, oldPassword))
        return false;
    const QString hash = hashPassword(newPassword.trimmed());
    inTransaction(m_db, [&] {
        const AuditRow before = storedRow(code);
        m_db.exec(QStringLiteral("update u_pharmacy set pass=? where code=?"), {hash, code});
        record(code, before);
    });
    return true;
}

} // namespace ph
