#pragma once

#include "audit/audit_log.h"
#include "db/database.h"
#include "db/transaction.h"
#include "db/write_chain.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace ph {

class Database;

// A row by its columns (lower-case names).
using AuditRow = QVariantMap;

// The rows `select * from table where …` reads, in the order given (a column list such
// as "row"). `table`, `where` and `order` are the program's own text.
QList<AuditRow> readAuditRows(Database& db, const QString& table, const QString& where, const QVariantList& params,
                              const QString& order = {});
// The first of them, or an empty row.
AuditRow readAuditRow(Database& db, const QString& table, const QString& where, const QVariantList& params);
// The rows an insert of the form "insert into t (a, b) values (?, ?), (?, ?)" writes, by
// column: a new document's rows taken from its own statements, with no read. A column given
// as a number in the statement ("0") holds that number.
QList<AuditRow> rowsOfInsert(const Statement& insert);

// Rows as the history records them (a JSON array of objects).
QJsonArray auditRowsJson(const QList<AuditRow>& rows);

// The recorded change of a document: {"fields": {column: {"before": …, "after": …}}} for the
// header columns that differ (every one of a new or a removed document, whose other side
// is null), and {"lines": {"before": […], "after": […]}} when its lines differ. A column
// named in `secret` is never recorded by value: only that it changed.
QJsonObject documentChanges(const AuditRow& before, const AuditRow& after,
                            const std::optional<QList<AuditRow>>& linesBefore = std::nullopt,
                            const std::optional<QList<AuditRow>>& linesAfter = std::nullopt,
                            const QStringList& secret = {});

// The change of the rows of a register (tariffs, rules, prices): a single row's changed
// fields, or the rows before and after ({"rows": {"before": […], "after": […]}}) when more
// than one row is involved.
QJsonObject rowsChanges(const QList<AuditRow>& before, const QList<AuditRow>& after);

// Runs `write` and records, as one entry of `kind` and `key`, the rows of `table` that `where`
// selects before and after it: all in one transaction, the caller's when one is open.
// `table` and `where` are the program's own text.
template <typename Write>
auto writeRecorded(Database& db, const AuditOrigin& origin, const QString& kind, const QString& key,
                   const QString& table, const QString& where, const QVariantList& params, Write&& write) {
    const auto run = [&] {
        const QList<AuditRow> before = readAuditRows(db, table, where, params);
        const auto record = [&] {
            appendAudit(db, origin, {kind, key, rowsChanges(before, readAuditRows(db, table, where, params))});
        };
        if constexpr (std::is_void_v<decltype(write())>) {
            write();
            record();
        } else {
            auto result = write();
            record();
            return result;
        }
    };
    if (db.inTransaction()) return run();
    Transaction transaction(db);
    if constexpr (std::is_void_v<decltype(run())>) {
        run();
        transaction.commit();
    } else {
        auto result = run();
        transaction.commit();
        return result;
    }
}

} // namespace ph
