#pragma once

#include "audit/audit_origin.h"
#include "db/write_chain.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace ph {

class Database;

// One entry of the history of changes (audit_log), as stored.
struct AuditEntry {
    qint64 seq = 0;        // 1, 2, 3 … without gaps
    QString changedAt;     // the database server's clock, UTC, "yyyy-MM-dd HH:mm:ss.zzz"
    int userCode = 0;
    QString host;
    QString source;        // window class or "pharmacyctl <command>"
    QString kind;          // the document's kind ("prescription", "user", …)
    QString key;           // the document's key within its kind
    QString changes;       // JSON: the changed fields before and after
    QString prevHash;      // the hash of the entry before (64 zeros for the first)
    QString hash;          // SHA-256 of prevHash and this entry's fields, hexadecimal
};

// What one change records: the document and its fields before and after.
struct AuditChange {
    QString kind;
    QString key;
    QJsonObject changes;
};

// The hash an entry carries: SHA-256 over the previous hash and the entry's own fields
// in one fixed text form.
QString auditHash(const AuditEntry& entry);
// The previous hash of the first entry.
QString auditFirstPrevHash();

// The entry a save appends, as one insert for the caller to run last in its transaction
// (alone or in its WriteChain). Takes the history's lock, held to the commit, and reads the
// last entry's number and hash and the server's time under it, so saves appending at the
// same moment form one line. Take it after every other lock of the save: the history's lock
// is always the last one taken.
Statement auditEntryStatement(Database& db, const AuditOrigin& origin, const AuditChange& change);
// The same, run at once inside the caller's transaction.
void appendAudit(Database& db, const AuditOrigin& origin, const AuditChange& change);

// The history's last entry and the server's time, as read under the history's lock.
struct AuditTail {
    QVariant lastSeq;  // null for an empty history
    QVariant lastHash; // null for an empty history
    QString now;       // the server's clock, UTC, as changed_at keeps it
};
// The entry a save appends after a tail its own statement read under the history's lock (a
// server function that takes the save's locks and reads in one call).
Statement auditEntryAfter(const AuditTail& tail, const AuditOrigin& origin, const AuditChange& change);

// Which entries a reading wants; every part may be left open.
struct AuditFilter {
    std::optional<QDateTime> from; // inclusive
    std::optional<QDateTime> to;   // exclusive
    std::optional<int> userCode;
    QString kind;
    QString key;
};

// Where the chain breaks: the entry's number and why (English, for logs and pharmacyctl).
struct AuditBreak {
    qint64 seq = 0;
    QString reason;
};

// The result of walking the whole chain.
struct AuditVerdict {
    qint64 entries = 0;
    std::optional<AuditBreak> broken;
    bool holds() const { return !broken; }
};

class AuditLog {
public:
    explicit AuditLog(Database& db) : m_db(db) {}

    // The entries the filter selects, oldest first.
    QList<AuditEntry> entries(const AuditFilter& filter);
    // Walks every entry in order: numbers without gaps, each linked to the hash of the one
    // before and each hash matching its content. Names the first entry that fails.
    AuditVerdict verify();

private:
    Database& m_db;
};

} // namespace ph
