#include "catalogue/drug_texts.h"

#include "db/database.h"
#include "db/key_allocator.h"
#include "db/pick_rows.h"
#include "db/transaction.h"

namespace ph {
namespace {

// Where each list lives and which formula column names its codes. Every identifier put
// into a statement below comes from here.
struct TextListDef {
    QString table;
    QString formulaColumn;
};

TextListDef defOf(DrugTextKind kind) {
    switch (kind) {
    case DrugTextKind::Instructions:
        return {QStringLiteral("dastoor_darou"), QStringLiteral("code_dastoor")};
    case DrugTextKind::Messages:
        return {QStringLiteral("payam_darou"), QStringLiteral("code_payam")};
    case DrugTextKind::Storage:
        return {QStringLiteral("negahdari_darou"), QStringLiteral("code_negahdari")};
    }
    Q_UNREACHABLE();
}

} // namespace

std::optional<DrugTextKind> drugTextKindForFormMode(int formMode) {
    switch (formMode) {
    case 1:
        return DrugTextKind::Instructions;
    case 2:
        return DrugTextKind::Messages;
    case 3:
        return DrugTextKind::Storage;
    default:
        return std::nullopt;
    }
}

QList<DrugText> DrugTextStore::entries() const {
    Rows query = m_db.exec(QStringLiteral("select code, sharh from %1 order by code").arg(defOf(m_kind).table));
    QList<DrugText> out;
    while (query.next())
        out.append({query.value(0).toLongLong(), query.value(1).toString()});
    return out;
}

qint64 DrugTextStore::nextCode() const {
    return nextKey(m_db, defOf(m_kind).table, QStringLiteral("code"));
}

std::optional<QString> DrugTextStore::textOf(qint64 code) const {
    Rows query =
        m_db.exec(QStringLiteral("select sharh from %1 where code=?").arg(defOf(m_kind).table), {code});
    if (!query.next()) return std::nullopt;
    return query.value(0).toString();
}

std::optional<qint64> DrugTextStore::codeOf(const QString& text) const {
    Rows query = m_db.exec(
        m_db.dialect().selectLimited(QStringLiteral("code from %1 where sharh=?").arg(defOf(m_kind).table), 1),
        {text});
    if (!query.next()) return std::nullopt;
    return query.value(0).toLongLong();
}

DrugTextStore::Result DrugTextStore::add(const QString& text, qint64* code) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return Result::EmptyText;
    const QString table = defOf(m_kind).table;
    return saveInTransaction(m_db, [&] {
        const qint64 next = nextKey(m_db, table, QStringLiteral("code"));
        m_db.exec(QStringLiteral("insert into %1 (code, sharh, active) values (?, ?, 1)").arg(table), {next, trimmed});
        if (code) *code = next;
        return Result::Saved;
    });
}

DrugTextStore::Result DrugTextStore::edit(qint64 code, const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return Result::EmptyText;
    Transaction transaction(m_db);
    if (!textOf(code)) return Result::Missing;
    m_db.exec(QStringLiteral("update %1 set sharh=? where code=?").arg(defOf(m_kind).table), {trimmed, code});
    transaction.commit();
    return Result::Saved;
}

DrugTextStore::Result DrugTextStore::remove(qint64 code) {
    const TextListDef def = defOf(m_kind);
    Transaction transaction(m_db);
    const QString used = m_db.dialect().selectLimited(
        QStringLiteral("1 from heading_formul_darou where %1=?").arg(def.formulaColumn), 1);
    if (m_db.exec(used, {code}).next()) return Result::InUse;
    m_db.exec(QStringLiteral("delete from %1 where code=?").arg(def.table), {code});
    transaction.commit();
    return Result::Saved;
}

PickRows DrugTextStore::pickRows() const {
    return loadPickRows(m_db, QStringLiteral("select code,sharh as name1 from %1 order by code").arg(defOf(m_kind).table));
}

} // namespace ph
