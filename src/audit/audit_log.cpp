#include "audit/audit_log.h"

#include "db/database.h"
#include "db/key_allocator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlRecord>

#include <sodium.h>

namespace ph {
namespace {

constexpr int kHostWidth = 100;
constexpr int kSourceWidth = 100;
constexpr int kKeyWidth = 100;

const char* const kColumns = "seq, changed_at, user_code, host, source, kind, doc_key, changes, prev_hash, hash";

QString timeText(const QDateTime& moment) {
    return moment.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

} // namespace

QString auditFirstPrevHash() { return QString(64, u'0'); }

QString auditHash(const AuditEntry& e) {
    static const bool ready = sodium_init() >= 0;
    if (!ready) throw Error(QStringLiteral("the hashing library could not start"));
    // A JSON array of texts is one unambiguous form of the fields, whatever they hold.
    const QByteArray text =
        e.prevHash.toUtf8() + '\n' +
        QJsonDocument(QJsonArray{QString::number(e.seq), e.changedAt, QString::number(e.userCode), e.host, e.source,
                                 e.kind, e.key, e.changes})
            .toJson(QJsonDocument::Compact);
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(text.constData()),
                       static_cast<unsigned long long>(text.size()));
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), sizeof digest).toHex());
}

namespace {

// The last entry's number and hash and the server's time, read under the history's lock: in
// one call where the server has a function for it (a round trip less in every save), else the
// lock and then the read.
Rows readTail(Database& db) {
    const QString table = QStringLiteral("audit_log");
    const QString column = QStringLiteral("seq");
    if (const QString tail = db.dialect().auditTailSql(); !tail.isEmpty()) {
        const KeyLock lock = keyColumnLock(table, column);
        return db.exec(tail, {lock.kind, lock.key});
    }
    lockKeyColumn(db, table, column);
    return db.exec(QStringLiteral("select (select max(seq) from audit_log), (select hash from audit_log where "
                                  "seq=(select max(seq) from audit_log)), %1")
                       .arg(db.dialect().serverUtcTimeSql()));
}

} // namespace

Statement auditEntryStatement(Database& db, const AuditOrigin& origin, const AuditChange& change) {
    auto last = readTail(db);
    if (!last.next()) throw Error(QStringLiteral("the history's last entry could not be read"));
    const AuditTail tail{last.value(0), last.value(1), last.value(2).toString()};
    if (last.record().count() > 3) db.rememberTransactionId(last.value(3));
    last.finish();
    return auditEntryAfter(tail, origin, change);
}

Statement auditEntryAfter(const AuditTail& tail, const AuditOrigin& origin, const AuditChange& change) {
    AuditEntry e;
    e.seq = tail.lastSeq.isNull() ? 1 : qint64(tail.lastSeq.toDouble()) + 1;
    e.prevHash = tail.lastHash.isNull() ? auditFirstPrevHash() : tail.lastHash.toString();
    e.changedAt = tail.now;
    e.userCode = origin.userCode;
    e.host = origin.host.left(kHostWidth);
    e.source = origin.source.left(kSourceWidth);
    e.kind = change.kind;
    e.key = change.key.left(kKeyWidth);
    e.changes = QString::fromUtf8(QJsonDocument(change.changes).toJson(QJsonDocument::Compact));
    e.hash = auditHash(e);
    return {QStringLiteral("insert into audit_log (%1) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)").arg(QLatin1String(kColumns)),
            {e.seq, e.changedAt, e.userCode, e.host, e.source, e.kind, e.key, e.changes, e.prevHash, e.hash}};
}

void appendAudit(Database& db, const AuditOrigin& origin, const AuditChange& change) {
    const Statement insert = auditEntryStatement(db, origin, change);
    db.exec(insert.sql, insert.values);
}

namespace {

AuditEntry entryOf(auto& q) {
    AuditEntry e;
    e.seq = qint64(q.value(0).toDouble());
    e.changedAt = q.value(1).toString();
    e.userCode = q.value(2).toInt();
    e.host = q.value(3).toString();
    e.source = q.value(4).toString();
    e.kind = q.value(5).toString();
    e.key = q.value(6).toString();
    e.changes = q.value(7).toString();
    e.prevHash = q.value(8).toString();
    e.hash = q.value(9).toString();
    return e;
}

} // namespace

QList<AuditEntry> AuditLog::entries(const AuditFilter& filter) {
    QStringList where;
    QVariantList values;
    if (filter.from) {
        where.append(QStringLiteral("changed_at>=?"));
        values.append(timeText(*filter.from));
    }
    if (filter.to) {
        where.append(QStringLiteral("changed_at<?"));
        values.append(timeText(*filter.to));
    }
    if (filter.userCode) {
        where.append(QStringLiteral("user_code=?"));
        values.append(*filter.userCode);
    }
    if (!filter.kind.isEmpty()) {
        where.append(QStringLiteral("kind=?"));
        values.append(filter.kind);
    }
    if (!filter.key.isEmpty()) {
        where.append(QStringLiteral("doc_key=?"));
        values.append(filter.key);
    }
    auto q = m_db.exec(QStringLiteral("select %1 from audit_log%2 order by seq")
                           .arg(QLatin1String(kColumns),
                                where.isEmpty() ? QString() : QStringLiteral(" where ") + where.join(QStringLiteral(" and "))),
                       values);
    QList<AuditEntry> list;
    while (q.next())
        list.append(entryOf(q));
    return list;
}

AuditVerdict AuditLog::verify() {
    AuditVerdict verdict;
    auto q = m_db.exec(QStringLiteral("select %1 from audit_log order by seq").arg(QLatin1String(kColumns)));
    QString prevHash = auditFirstPrevHash();
    qint64 expected = 1;
    while (q.next()) {
        const AuditEntry e = entryOf(q);
        ++verdict.entries;
        if (e.seq != expected) {
            verdict.broken = AuditBreak{expected, e.seq > expected
                                                      ? QStringLiteral("entry %1 is missing (the next is %2)").arg(expected).arg(e.seq)
                                                      : QStringLiteral("entry %1 appears twice").arg(e.seq)};
            break;
        }
        if (e.prevHash != prevHash) {
            verdict.broken = AuditBreak{e.seq, QStringLiteral("entry %1 does not follow the entry before it "
                                                              "(an entry before it was removed, added or moved)")
                                                   .arg(e.seq)};
            break;
        }
        if (auditHash(e) != e.hash) {
            verdict.broken = AuditBreak{e.seq, QStringLiteral("entry %1 was changed after it was written").arg(e.seq)};
            break;
        }
        prevHash = e.hash;
        ++expected;
    }
    return verdict;
}

} // namespace ph
