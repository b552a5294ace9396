#pragma once

#include "audit/audit_log.h"

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// A kind of document the history names, with its Persian caption.
struct AuditKindCaption {
    QString kind;
    QString caption;
};

// Every kind the program records, in the order the history window offers them.
const QList<AuditKindCaption>& auditKindCaptions();
// The caption of a kind; the kind itself when it has none.
QString auditKindCaption(const QString& kind);

// One changed value of an entry, as the history window shows it: which line of the document
// it belongs to ("سطر 2", "صندوق 1"; empty for the document's own fields), the field and its
// values before and after as text.
struct AuditChangeLine {
    QString row;
    QString field;
    QString before;
    QString after;
};

// The recorded changes (the JSON an entry keeps) field by field. A document's lines are paired
// by their place and only the fields that differ are listed, each with the line's row; a
// secret field shows only that it changed.
QList<AuditChangeLine> auditChangeLines(const QString& changesJson);

// What the history window asks for; every part may be left empty. Dates are the program's
// solar yy/mm/dd, both days included, on this workstation's clock.
struct AuditQuery {
    QString fromDate;
    QString toDate;
    std::optional<int> userCode;
    QString kind;
    QString key;
};

// An entry as the history window lists it.
struct AuditListedEntry {
    AuditEntry entry;
    QString time;     // solar date and local time: "05/07/15 10:30:12"
    QString userName; // empty for a code no user has now
    QString kindCaption;
};

struct AuditUser {
    int code = 0;
    QString name;
};

// The history as people read it: the entries a query selects with their users' names and
// local times, and the users to choose from.
class AuditHistory {
public:
    explicit AuditHistory(Database& db) : m_db(db) {}

    // False with no entry read when a date is given but is not a real date.
    bool find(const AuditQuery& query, QList<AuditListedEntry>& found);
    QList<AuditUser> users();

private:
    Database& m_db;
};

// The server's UTC time of an entry as a local solar date and time.
QString auditLocalTime(const QString& changedAt);

// The entries as one table, for printing and spreadsheets: each changed value on a row of its
// own beside its entry (an entry with none on one row), in the columns auditTableCaptions()
// names: time, user, workstation, window or command, kind, key, line, field, before, after.
QStringList auditTableCaptions();
QList<QStringList> auditTableRows(const QList<AuditListedEntry>& entries);
// The user as the history shows them: the name, or the code when no user has it now.
QString auditUserText(const AuditListedEntry& entry);

} // namespace ph
