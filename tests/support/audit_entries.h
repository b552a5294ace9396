#pragma once

#include "audit/audit_log.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>

namespace ph::test {

// The recorded changes of one document, oldest first.
inline QList<QJsonObject> auditChanges(Database& db, const QString& kind, const QString& key) {
    AuditFilter filter;
    filter.kind = kind;
    filter.key = key;
    QList<QJsonObject> changes;
    for (const AuditEntry& entry : AuditLog(db).entries(filter))
        changes.append(QJsonDocument::fromJson(entry.changes.toUtf8()).object());
    return changes;
}

// A recorded field's value before or after ("before", "after"); undefined when the field
// did not change.
inline QJsonValue auditField(const QJsonObject& changes, const QString& field, const char* side) {
    return changes[QStringLiteral("fields")][field][QLatin1String(side)];
}

// The recorded lines before or after.
inline QJsonArray auditLines(const QJsonObject& changes, const char* side, const char* part = "lines") {
    return changes[QLatin1String(part)][QLatin1String(side)].toArray();
}

} // namespace ph::test
