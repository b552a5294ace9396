#include "db/key_allocator.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

namespace ph {
namespace {

void requireIdentifier(const QString& name) {
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!identifier.match(name).hasMatch())
        throw Error(QStringLiteral("invalid identifier for a key: ") + name);
}

// A stable number for a column's name (FNV-1a), the same on every workstation.
qint32 nameHash(const QString& name) {
    quint32 hash = 2166136261u;
    for (const char byte : name.toLower().toUtf8()) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    return qint32(hash);
}

// The first number of the locks taken on numbered columns (the second is the column's hash).
constexpr qint32 kKeyLockKind = 0x7068; // "ph"

} // namespace

KeyLock keyColumnLock(const QString& table, const QString& column) {
    requireIdentifier(table);
    requireIdentifier(column);
    return {kKeyLockKind, nameHash(table + u'.' + column)};
}

void lockKeyColumn(Database& db, const QString& table, const QString& column) {
    const KeyLock lock = keyColumnLock(table, column);
    db.lockInTransaction(lock.kind, lock.key);
}

void waitBeforeRetry(int attempt) {
    QThread::msleep(QRandomGenerator::global()->bounded(2u, 12u) * unsigned(attempt));
}

qint64 nextKey(Database& db, const QString& table, const QString& column, const QString& where,
               const QVariantList& params) {
    lockKeyColumn(db, table, column);
    QString sql = QStringLiteral("select max(%1) from %2").arg(column, table);
    if (!where.isEmpty())
        sql += QStringLiteral(" where ") + where;
    const QVariant largest = db.scalar(sql, params);
    return largest.isNull() ? 1 : static_cast<qint64>(largest.toDouble()) + 1;
}

} // namespace ph
