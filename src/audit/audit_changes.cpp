#include "audit/audit_changes.h"

#include "db/database.h"

#include <QJsonArray>
#include <QSqlRecord>

namespace ph {
namespace {

QJsonValue jsonOf(const QVariant& value) {
    if (value.isNull() || !value.isValid()) return QJsonValue::Null;
    const QJsonValue json = QJsonValue::fromVariant(value);
    // A text column read back with its padding, or a number read as text, compares as typed.
    if (json.isString()) return json.toString().trimmed();
    return json;
}

QJsonArray jsonRows(const QList<AuditRow>& rows) {
    QJsonArray array;
    for (const AuditRow& row : rows) {
        QJsonObject object;
        for (auto it = row.cbegin(); it != row.cend(); ++it)
            object.insert(it.key(), jsonOf(it.value()));
        array.append(object);
    }
    return array;
}

// Two values are the same when their JSON is, numbers compared as numbers (1 and 1.0).
bool same(const QJsonValue& a, const QJsonValue& b) {
    if (a.isDouble() && b.isDouble()) return a.toDouble() == b.toDouble();
    return a == b;
}

} // namespace

QList<AuditRow> readAuditRows(Database& db, const QString& table, const QString& where, const QVariantList& params,
                              const QString& order) {
    auto q = db.exec(QStringLiteral("select * from %1 where %2%3")
                         .arg(table, where, order.isEmpty() ? QString() : QStringLiteral(" order by ") + order),
                     params);
    QList<AuditRow> rows;
    while (q.next()) {
        const QSqlRecord record = q.record();
        AuditRow row;
        for (int i = 0; i < record.count(); ++i)
            row.insert(record.fieldName(i).toLower(), q.value(i));
        rows.append(row);
    }
    return rows;
}

AuditRow readAuditRow(Database& db, const QString& table, const QString& where, const QVariantList& params) {
    const QList<AuditRow> rows = readAuditRows(db, table, where, params);
    return rows.isEmpty() ? AuditRow{} : rows.first();
}

QList<AuditRow> rowsOfInsert(const Statement& insert) {
    const qsizetype open = insert.sql.indexOf(u'(');
    const qsizetype close = insert.sql.indexOf(u')', open);
    const qsizetype valuesAt = insert.sql.indexOf(QLatin1String("values"), close, Qt::CaseInsensitive);
    const qsizetype rowOpen = insert.sql.indexOf(u'(', valuesAt);
    const qsizetype rowClose = insert.sql.indexOf(u')', rowOpen);
    if (open < 0 || close < 0 || valuesAt < 0 || rowOpen < 0 || rowClose < 0) return {};
    QStringList columns = insert.sql.mid(open + 1, close - open - 1).split(u',');
    QStringList marks = insert.sql.mid(rowOpen + 1, rowClose - rowOpen - 1).split(u',');
    if (marks.size() != columns.size()) return {};
    qsizetype bound = 0; // values bound per row; the other columns hold a constant of the statement
    for (qsizetype i = 0; i < columns.size(); ++i) {
        columns[i] = columns.at(i).trimmed().toLower();
        marks[i] = marks.at(i).trimmed();
        if (marks.at(i) == QLatin1String("?")) ++bound;
    }
    QList<AuditRow> rows;
    for (qsizetype first = 0; bound > 0 && first + bound <= insert.values.size(); first += bound) {
        AuditRow row;
        qsizetype next = first;
        for (qsizetype i = 0; i < columns.size(); ++i)
            row.insert(columns.at(i), marks.at(i) == QLatin1String("?") ? insert.values.at(next++)
                                                                        : QVariant(marks.at(i).toDouble()));
        rows.append(row);
    }
    return rows;
}

QJsonArray auditRowsJson(const QList<AuditRow>& rows) { return jsonRows(rows); }

QJsonObject documentChanges(const AuditRow& before, const AuditRow& after,
                            const std::optional<QList<AuditRow>>& linesBefore,
                            const std::optional<QList<AuditRow>>& linesAfter, const QStringList& secret) {
    QJsonObject fields;
    QStringList names = before.keys() + after.keys();
    names.removeDuplicates();
    for (const QString& name : names) {
        const QJsonValue was = before.isEmpty() ? QJsonValue::Null : jsonOf(before.value(name));
        const QJsonValue is = after.isEmpty() ? QJsonValue::Null : jsonOf(after.value(name));
        const bool changed = !same(was, is) || before.isEmpty() != after.isEmpty();
        if (!changed) continue;
        if (secret.contains(name)) {
            fields.insert(name, QJsonObject{{QStringLiteral("changed"), true}});
            continue;
        }
        if (same(was, is) && was.isNull()) continue; // a null column of a new or removed row
        fields.insert(name, QJsonObject{{QStringLiteral("before"), was}, {QStringLiteral("after"), is}});
    }
    QJsonObject changes;
    if (!fields.isEmpty()) changes.insert(QStringLiteral("fields"), fields);
    const QJsonArray linesWere = jsonRows(linesBefore.value_or(QList<AuditRow>{}));
    const QJsonArray linesAre = jsonRows(linesAfter.value_or(QList<AuditRow>{}));
    if ((linesBefore || linesAfter) && linesWere != linesAre)
        changes.insert(QStringLiteral("lines"),
                       QJsonObject{{QStringLiteral("before"), linesWere}, {QStringLiteral("after"), linesAre}});
    return changes;
}

QJsonObject rowsChanges(const QList<AuditRow>& before, const QList<AuditRow>& after) {
    if (before.size() <= 1 && after.size() <= 1)
        return documentChanges(before.value(0), after.value(0));
    const QJsonArray were = jsonRows(before);
    const QJsonArray are = jsonRows(after);
    if (were == are) return {};
    return {{QStringLiteral("rows"), QJsonObject{{QStringLiteral("before"), were}, {QStringLiteral("after"), are}}}};
}

} // namespace ph
