#include "catalogue/lookup_list.h"

#include "db/database.h"
#include "db/key_allocator.h"
#include "db/pick_rows.h"
#include "db/schema.h"
#include "db/transaction.h"

namespace ph {
namespace {

// Where each list lives and what refers to it. Every identifier put into a statement below
// comes from this table.
struct ListDef {
    LookupKind kind;
    QString table;
    QString nameColumn;
    QString usedInTable; // empty: never in use
    QString usedInColumn;
};

const QList<ListDef>& listDefs() {
    static const QList<ListDef> defs = {
        {LookupKind::Groups, QStringLiteral("group_kala"), QStringLiteral("name"),
         QStringLiteral("mosh_kala_anbar"), QStringLiteral("group_code")},
        {LookupKind::Forms, QStringLiteral("type_kala"), QStringLiteral("name"),
         QStringLiteral("mosh_kala_anbar"), QStringLiteral("type_code")},
        {LookupKind::PrescriptionTypes, QStringLiteral("type_noskhe"), QStringLiteral("name"),
         QStringLiteral("heading_noskhe"), QStringLiteral("type_no")},
        {LookupKind::Specialties, QStringLiteral("doctor_type"), QStringLiteral("doc_type"),
         QStringLiteral("doctor_s"), QStringLiteral("typeno")},
        {LookupKind::Units, QStringLiteral("vahed_madeh"), QStringLiteral("name"), QString(), QString()},
        {LookupKind::Wards, QStringLiteral("place"), QStringLiteral("name"), QStringLiteral("heading_noskhe"),
         QStringLiteral("code_bakhsh")},
    };
    return defs;
}

const ListDef& defOf(LookupKind kind) {
    for (const ListDef& def : listDefs())
        if (def.kind == kind) return def;
    Q_UNREACHABLE();
}

qint64 codeOf(const QVariant& value) {
    return static_cast<qint64>(value.toDouble());
}

// The next code of a list, read inside the saving transaction. Forms pass over the
// compounded drugs' form: every database holds it, and goods codes leave room for forms
// up to 99 only, so the forms entered do not start after it.
qint64 nextListCode(Database& db, LookupKind kind, const QString& table) {
    if (kind != LookupKind::Forms) return nextKey(db, table, QStringLiteral("code"));
    const qint64 next = nextKey(db, table, QStringLiteral("code"), QStringLiteral("code<>?"), {kCompoundedFormCode});
    return next == kCompoundedFormCode ? next + 1 : next;
}

bool containsTrimmed(const QList<LookupEntry>& entries, const QString& trimmed) {
    for (const LookupEntry& entry : entries)
        if (entry.name.trimmed() == trimmed) return true;
    return false;
}

} // namespace

std::optional<LookupKind> lookupKindForFormMode(int formMode) {
    for (const ListDef& def : listDefs())
        if (int(def.kind) == formMode) return def.kind;
    return std::nullopt;
}

LookupList::LookupList(Database& db, LookupKind kind) : m_db(db), m_kind(kind) {}

QList<LookupEntry> LookupList::entries() const {
    const ListDef& def = defOf(m_kind);
    const QString active = hasActiveFlag() ? QStringLiteral("active") : QStringLiteral("0");
    Rows query = m_db.exec(
        QStringLiteral("select code, %1, %2 from %3 order by code").arg(def.nameColumn, active, def.table));
    QList<LookupEntry> out;
    while (query.next())
        out.append({codeOf(query.value(0)), query.value(1).toString(), query.value(2).toInt() == 1});
    return out;
}

qint64 LookupList::nextCode() const {
    return nextListCode(m_db, m_kind, defOf(m_kind).table);
}

std::optional<QString> LookupList::nameOf(qint64 code) const {
    const ListDef& def = defOf(m_kind);
    Rows query =
        m_db.exec(QStringLiteral("select %1 from %2 where code=?").arg(def.nameColumn, def.table), {code});
    if (!query.next()) return std::nullopt;
    return query.value(0).toString();
}

bool LookupList::containsName(const QString& name) const {
    return containsTrimmed(entries(), name.trimmed());
}

bool LookupList::isInUse(qint64 code) const {
    const ListDef& def = defOf(m_kind);
    if (def.usedInTable.isEmpty()) return false;
    const QString sql = m_db.dialect().selectLimited(
        QStringLiteral(" 1 from %1 where %2=?").arg(def.usedInTable, def.usedInColumn), 1);
    return m_db.exec(sql, {code}).next();
}

LookupList::Result LookupList::add(const QString& name, bool active, qint64* code) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) return Result::EmptyName;
    const ListDef& def = defOf(m_kind);
    return saveInTransaction(m_db, [&] {
        if (containsTrimmed(entries(), trimmed)) return Result::Duplicate;
        const qint64 next = nextListCode(m_db, m_kind, def.table);
        switch (m_kind) {
        case LookupKind::Forms:
            // A new form's goods-code counter starts at 0; its group columns are set elsewhere.
            m_db.exec(QStringLiteral("insert into type_kala (code, name, num) values (?, ?, 0)"),
                      {next, trimmed});
            break;
        case LookupKind::Wards:
            m_db.exec(QStringLiteral("insert into place (code, name, active) values (?, ?, ?)"),
                      {next, trimmed, active ? 1 : 0});
            break;
        default:
            m_db.exec(
                QStringLiteral("insert into %1 (code, %2) values (?, ?)").arg(def.table, def.nameColumn),
                {next, trimmed});
            break;
        }
        if (code) *code = next;
        return Result::Saved;
    });
}

LookupList::Result LookupList::edit(qint64 code, const QString& name, bool active) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) return Result::EmptyName;
    if (m_kind == LookupKind::Forms && code == kCompoundedFormCode) return Result::Fixed;
    const ListDef& def = defOf(m_kind);
    Transaction transaction(m_db);
    if (!hasActiveFlag() && containsName(trimmed)) return Result::Duplicate;
    if (isInUse(code)) {
        // A ward that prescriptions refer to keeps its name, but switching it on or off is
        // still stored: that is how a ward in use is retired from the ward lists.
        if (hasActiveFlag())
            m_db.exec(QStringLiteral("update place set active=? where code=?"), {active ? 1 : 0, code});
        transaction.commit();
        return Result::InUse;
    }
    if (hasActiveFlag())
        m_db.exec(QStringLiteral("update place set name=?, active=? where code=?"),
                  {trimmed, active ? 1 : 0, code});
    else
        m_db.exec(QStringLiteral("update %1 set %2=? where code=?").arg(def.table, def.nameColumn),
                  {trimmed, code});
    transaction.commit();
    return Result::Saved;
}

PickRows groupPickRows(Database& db) {
    return loadPickRows(db, QStringLiteral("select code,name as name1 from group_kala order by code"));
}

PickRows formPickRows(Database& db) {
    return loadPickRows(db, QStringLiteral("select code,name as name1 from type_kala order by name"));
}

PickRows prescriptionTypePickRows(Database& db) {
    return loadPickRows(db, QStringLiteral("select code,name as name1 from type_noskhe order by code"));
}

PickRows specialtyPickRows(Database& db) {
    return loadPickRows(db, QStringLiteral("select code,doc_type as name1 from doctor_type order by code"));
}

PickRows unitPickRows(Database& db) {
    return loadPickRows(db, QStringLiteral("select code,name as name1 from vahed_madeh order by code"));
}

PickRows activeWardPickRows(Database& db) {
    return loadPickRows(db,
                        QStringLiteral("select code,name as name1 from place where active=1 order by code"));
}

std::optional<QString> activeWardName(Database& db, qint64 code) {
    Rows query = db.exec(QStringLiteral("select name from place where active=1 and code=?"), {code});
    if (!query.next()) return std::nullopt;
    return query.value(0).toString();
}

} // namespace ph
