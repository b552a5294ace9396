#include "db/sql_dialect.h"

#include <QSqlError>

namespace ph {

QString SqlDialect::qtDriverName() const {
    switch (m_engine) {
    case Engine::Sqlite:
        return QStringLiteral("QSQLITE");
    case Engine::Postgres:
        return QStringLiteral("QPSQL");
    case Engine::SqlServer:
        return QStringLiteral("QODBC");
    }
    return {};
}

QString SqlDialect::typeName(ColumnType type, int width) const {
    const bool mssql = m_engine == Engine::SqlServer;
    switch (type) {
    case ColumnType::Int:
        return QStringLiteral("integer");
    case ColumnType::Bit:
        return mssql ? QStringLiteral("bit") : QStringLiteral("smallint");
    case ColumnType::Float:
        return mssql ? QStringLiteral("float") : QStringLiteral("double precision");
    case ColumnType::Text:
        return mssql ? QStringLiteral("nvarchar(max)") : QStringLiteral("text");
    case ColumnType::NVarchar:
        return QStringLiteral("%1(%2)").arg(mssql ? QStringLiteral("nvarchar") : QStringLiteral("varchar")).arg(width);
    }
    return {};
}

QString SqlDialect::widenColumnSql(const QString& table, const QString& column, const QString& type) const {
    switch (m_engine) {
    case Engine::Sqlite:
        break;
    case Engine::Postgres:
        return QStringLiteral("alter table %1 alter column %2 type %3").arg(table, column, type);
    case Engine::SqlServer:
        return QStringLiteral("alter table %1 alter column %2 %3").arg(table, column, type);
    }
    return {};
}

QString SqlDialect::dropIndexSql(const QString& table, const QString& index) const {
    if (m_engine == Engine::SqlServer) return QStringLiteral("drop index %1 on %2").arg(index, table);
    return QStringLiteral("drop index %1").arg(index);
}

QString SqlDialect::concat(const QStringList& expressions) const {
    return expressions.join(m_engine == Engine::SqlServer ? QStringLiteral(" + ") : QStringLiteral(" || "));
}

QString SqlDialect::selectLimited(const QString& selectBody, int n) const {
    if (m_engine == Engine::SqlServer)
        return QStringLiteral("select top %1 %2").arg(n).arg(selectBody);
    return QStringLiteral("select %1 limit %2").arg(selectBody).arg(n);
}

QString SqlDialect::beginTransaction() const {
    switch (m_engine) {
    case Engine::Sqlite:
        // A plain BEGIN takes the write lock only at the first write, where a busy
        // database then fails at once; IMMEDIATE waits for the lock up front.
        return QStringLiteral("BEGIN IMMEDIATE");
    case Engine::Postgres:
        return QStringLiteral("BEGIN");
    case Engine::SqlServer:
        return QStringLiteral("BEGIN TRANSACTION");
    }
    return {};
}

QString SqlDialect::listTablesSql() const {
    switch (m_engine) {
    case Engine::Sqlite:
        return QStringLiteral("select name from sqlite_master where type in ('table','view')");
    case Engine::Postgres:
        // The system catalogue rather than information_schema, whose views take several
        // milliseconds to plan and run on every start.
        return QStringLiteral("select c.relname from pg_class c join pg_namespace n on n.oid = c.relnamespace "
                              "where n.nspname = current_schema() and c.relkind in ('r', 'v', 'f', 'p')");
    case Engine::SqlServer:
        return QStringLiteral("select table_name from information_schema.tables");
    }
    return {};
}

QString SqlDialect::listColumnsSql() const {
    switch (m_engine) {
    case Engine::Sqlite:
        return QStringLiteral("select name from pragma_table_info(lower(?)) order by cid");
    case Engine::Postgres:
        return QStringLiteral("select a.attname from pg_attribute a join pg_class c on c.oid = a.attrelid "
                              "join pg_namespace n on n.oid = c.relnamespace where n.nspname = current_schema() "
                              "and c.relname = lower(?) and a.attnum > 0 and not a.attisdropped order by a.attnum");
    case Engine::SqlServer:
        return QStringLiteral(
            "select column_name from information_schema.columns where table_name = ? order by ordinal_position");
    }
    return {};
}

bool SqlDialect::isDeadlock(const QSqlError& error) const {
    const QString code = error.nativeErrorCode();
    switch (m_engine) {
    case Engine::Sqlite: break; // one writer at a time: no deadlock between transactions
    case Engine::Postgres: return code == QLatin1String("40P01") || code == QLatin1String("40001");
    case Engine::SqlServer: return code.contains(QLatin1String("1205"));
    }
    return false;
}

bool SqlDialect::isUniqueViolation(const QSqlError& error) const {
    const QString code = error.nativeErrorCode();
    switch (m_engine) {
    case Engine::Sqlite:
        // SQLITE_CONSTRAINT_UNIQUE / _PRIMARYKEY, or the plain constraint code of older drivers.
        return code == QLatin1String("2067") || code == QLatin1String("1555") ||
               (code == QLatin1String("19") && error.databaseText().contains(QLatin1String("UNIQUE")));
    case Engine::Postgres:
        return code == QLatin1String("23505");
    case Engine::SqlServer:
        return code.contains(QLatin1String("2627")) || code.contains(QLatin1String("2601"));
    }
    return false;
}

} // namespace ph

namespace ph {

bool SqlDialect::isConnectionLoss(const QSqlError& error) const {
    if (m_engine == Engine::Sqlite)
        return false;
    if (error.type() == QSqlError::ConnectionError)
        return true;
    const QString code = error.nativeErrorCode();
    if (m_engine == Engine::Postgres) {
        // Class 08 (connection exception), the server shutting down or ending this
        // session (57P01-57P03), or no code at all: libpq found the socket closed.
        if (code.isEmpty())
            return true;
        return code.startsWith(QLatin1String("08")) || code == QLatin1String("57P01") ||
               code == QLatin1String("57P02") || code == QLatin1String("57P03");
    }
    // ODBC: SQLSTATE class 08.
    return code.startsWith(QLatin1String("08"));
}

bool SqlDialect::isStalePlan(const QSqlError& error) const {
    // "cached plan must not change result type"
    return m_engine == Engine::Postgres && error.nativeErrorCode() == QLatin1String("0A000");
}

QString SqlDialect::connectOptions() const {
    switch (m_engine) {
    case Engine::Postgres:
        // A statement that runs for more than a minute is cancelled by the server; a
        // server that stops answering is noticed within about a minute by keepalives
        // (and by the user timeout while data is unacknowledged) instead of blocking.
        return QStringLiteral("connect_timeout=10;keepalives=1;keepalives_idle=30;keepalives_interval=10;"
                              "keepalives_count=3;tcp_user_timeout=60000;options=-cstatement_timeout=60000");
    case Engine::Sqlite:
        return QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000");
    case Engine::SqlServer:
        break;
    }
    return {};
}

QString SqlDialect::transactionLockSql() const {
    if (m_engine == Engine::Postgres)
        return QStringLiteral("select pg_advisory_xact_lock(?, ?)");
    return {};
}

QString SqlDialect::transactionIdSql() const {
    if (m_engine == Engine::Postgres)
        return QStringLiteral("select txid_current()");
    return {};
}

QString SqlDialect::transactionLockAndIdSql() const {
    if (m_engine == Engine::Postgres)
        return QStringLiteral("select pg_advisory_xact_lock(?, ?), txid_current()");
    return {};
}

QString SqlDialect::transactionStatusSql() const {
    if (m_engine == Engine::Postgres)
        return QStringLiteral("select txid_status(?)");
    return {};
}

QString SqlDialect::schemaWorkSql() const {
    if (m_engine == Engine::Postgres)
        return QStringLiteral("set local statement_timeout = 0");
    return {};
}

QString SqlDialect::listIndexesSql() const {
    switch (m_engine) {
    case Engine::Sqlite:
        return QStringLiteral("select lower(name) from sqlite_master where type = 'index'");
    case Engine::Postgres:
        return QStringLiteral("select lower(c.relname) from pg_class c join pg_namespace n on n.oid = c.relnamespace "
                              "where n.nspname = current_schema() and c.relkind in ('i', 'I')");
    case Engine::SqlServer:
        return QStringLiteral("select lower(name) from sys.indexes where name is not null");
    }
    return {};
}

QStringList SqlDialect::refreshStatisticsSql() const {
    switch (m_engine) {
    case Engine::Sqlite:
        // Each index is sampled rather than read whole, so this stays short on any size.
        return {QStringLiteral("PRAGMA analysis_limit=1000"), QStringLiteral("ANALYZE")};
    case Engine::Postgres:
        return {QStringLiteral("ANALYZE")};
    case Engine::SqlServer:
        return {QStringLiteral("EXEC sp_updatestats")};
    }
    return {};
}

QStringList SqlDialect::optimizeStatisticsSql() const {
    if (m_engine == Engine::Sqlite)
        // 0x10002: analyse the tables whose statistics are missing or out of date,
        // every table rather than only those this connection has read (where the
        // library knows that bit; older ones check the tables read).
        return {QStringLiteral("PRAGMA analysis_limit=400"), QStringLiteral("PRAGMA optimize=0x10002")};
    return {};
}

QString SqlDialect::noLockWaitSql() const {
    return m_engine == Engine::Sqlite ? QStringLiteral("PRAGMA busy_timeout=0") : QString();
}

QString SqlDialect::lockWaitSql() const {
    return m_engine == Engine::Sqlite ? QStringLiteral("PRAGMA busy_timeout=10000") : QString();
}

QString SqlDialect::widenToTextSql(const QString& table, const QString& column) const {
    switch (m_engine) {
    case Engine::Sqlite:
        return {};
    case Engine::Postgres:
        return QStringLiteral("alter table %1 alter column %2 type %3").arg(table, column, typeName(ColumnType::Text));
    case Engine::SqlServer:
        return QStringLiteral("alter table %1 alter column %2 %3").arg(table, column, typeName(ColumnType::Text));
    }
    return {};
}

QStringList SqlDialect::numberToTextSql(const QString& table, const QString& column, int width) const {
    const QString type = typeName(ColumnType::NVarchar, width);
    switch (m_engine) {
    case Engine::Sqlite: {
        // SQLite keeps a column's affinity: the column is made again as text, and a whole number
        // held as a real is written without its ".0".
        const QString old = column + QStringLiteral("_number");
        return {QStringLiteral("alter table %1 rename column %2 to %3").arg(table, column, old),
                QStringLiteral("alter table %1 add column %2 %3").arg(table, column, type),
                QStringLiteral("update %1 set %2 = case when typeof(%3)='real' and %3=cast(%3 as integer) "
                               "then cast(cast(%3 as integer) as text) else cast(%3 as text) end")
                    .arg(table, column, old),
                QStringLiteral("alter table %1 drop column %2").arg(table, old)};
    }
    case Engine::Postgres:
    case Engine::SqlServer:
        return {widenColumnSql(table, column, type)};
    }
    return {};
}

QString SqlDialect::serverUtcTimeSql() const {
    switch (m_engine) {
    case Engine::Sqlite:
        return QStringLiteral("strftime('%Y-%m-%d %H:%M:%f', 'now')");
    case Engine::Postgres:
        return QStringLiteral("to_char(clock_timestamp() at time zone 'UTC', 'YYYY-MM-DD HH24:MI:SS.MS')");
    case Engine::SqlServer:
        return QStringLiteral("convert(varchar(23), sysutcdatetime(), 121)");
    }
    return {};
}

QStringList SqlDialect::appendOnlyGuardSql(const QString& table) const {
    switch (m_engine) {
    case Engine::Sqlite:
        return {QStringLiteral("create trigger %1_no_update before update on %1 begin select raise(abort, "
                               "'%1 keeps its entries as written'); end")
                    .arg(table),
                QStringLiteral("create trigger %1_no_delete before delete on %1 begin select raise(abort, "
                               "'%1 keeps its entries as written'); end")
                    .arg(table)};
    case Engine::Postgres:
        return {QStringLiteral("create or replace function %1_refuse() returns trigger language plpgsql as "
                               "$body$ begin raise exception '%1 keeps its entries as written'; end $body$")
                    .arg(table),
                QStringLiteral("create trigger %1_no_change before update or delete on %1 for each row execute "
                               "function %1_refuse()")
                    .arg(table),
                QStringLiteral("create trigger %1_no_truncate before truncate on %1 for each statement execute "
                               "function %1_refuse()")
                    .arg(table)};
    case Engine::SqlServer:
        // Left to the server's own rights: the history is still checked by its hashes.
        break;
    }
    return {};
}

QString SqlDialect::auditTailSql() const {
    if (m_engine == Engine::Postgres)
        return QStringLiteral("select last_seq, last_hash, now_utc, tx from audit_log_tail(?, ?)");
    return {};
}

QStringList SqlDialect::auditTailFunctionSql() const {
    if (m_engine != Engine::Postgres)
        return {};
    // The read is a statement of its own after the lock: in a volatile function it sees every
    // entry committed before the lock was granted, where one statement taking the lock and
    // reading would read from before it waited.
    return {QStringLiteral(
        "create or replace function audit_log_tail(lock_kind integer, lock_key integer) "
        "returns table (last_seq double precision, last_hash text, now_utc text, tx bigint) "
        "language plpgsql volatile as $body$ begin "
        "perform pg_advisory_xact_lock(lock_kind, lock_key); "
        "return query select (select max(a.seq) from audit_log a)::double precision, "
        "(select a.hash from audit_log a where a.seq = (select max(b.seq) from audit_log b))::text, "
        "%1, txid_current(); "
        "end $body$")
                .arg(serverUtcTimeSql())};
}

QString SqlDialect::prescriptionSaveStartSql() const {
    if (m_engine == Engine::Postgres)
        return QStringLiteral("select next_number, duplicate, patient, counter, last_seq, last_hash, now_utc, tx from "
                              "prescription_save_start(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    return {};
}

QStringList SqlDialect::prescriptionSaveStartFunctionSql() const {
    if (m_engine != Engine::Postgres)
        return {};
    // The day counter's statements name every month's column and choose the month in their
    // values, so that they stay prepared from one save to the next.
    QStringList columns, raised, counter, first;
    for (int month = 1; month <= 12; ++month) {
        const QString column = QStringLiteral("m%1").arg(month);
        columns.append(column);
        raised.append(QStringLiteral("%1 = case when month_of_year = %2 then case when counted = 1 then "
                                     "coalesce(%1, 0) + 1 else 1 end else %1 end")
                          .arg(column)
                          .arg(month));
        counter.append(QStringLiteral("when %1 then %2").arg(month).arg(column));
        first.append(QStringLiteral("case when month_of_year = %1 then 1 end").arg(month));
    }
    // Each read is a statement of its own after the lock it needs, so that it sees every save
    // committed before the lock was granted. The history's lock comes last, as everywhere.
    return {QString(
        "create or replace function prescription_save_start(lock_kind integer, number_key integer, "
        "patient_key integer, audit_key integer, duplicates integer, insurance_number text, day_date text, "
        "council text, first_name text, family_name text, writes_patient integer, insurer integer, "
        "day_of_month integer, month_of_year integer, counted integer) "
        "returns table (next_number double precision, duplicate integer, patient double precision, "
        "counter integer, last_seq double precision, last_hash text, now_utc text, tx bigint) "
        "language plpgsql volatile as $body$ "
        "declare v_next double precision; v_duplicate integer; v_patient double precision; "
        "v_counter integer; "
        "begin "
        "perform pg_advisory_xact_lock(lock_kind, number_key); "
        "select coalesce(max(h.sh_factor), 0) + 1, "
        "case duplicates "
        "when 1 then (select 1 from heading_noskhe d where d.date_no = day_date and d.name_b = first_name "
        "and d.family_b = family_name limit 1) "
        "when 2 then (select 1 from heading_noskhe d where d.sh_bimeh = insurance_number and d.date_no = day_date "
        "and d.nezam_p = council and d.name_b = first_name and d.family_b = family_name limit 1) end, "
        "(select m.code from mosh_bimaran m where m.sh_bimeh = insurance_number limit 1) "
        "into v_next, v_duplicate, v_patient from heading_noskhe h; "
        "if v_duplicate is not null then "
        "return query select v_next, 1, v_patient, null::integer, null::double precision, null::text, null::text, "
        "txid_current(); "
        "return; "
        "end if; "
        "if writes_patient = 1 and v_patient is null then perform pg_advisory_xact_lock(lock_kind, patient_key); "
        "end if; "
        "update code_noskhe set " + raised.join(QStringLiteral(", ")) +
        " where code_bimeh = insurer and rooz = day_of_month returning case month_of_year " +
        counter.join(u' ') + " end into v_counter; "
        "if v_counter is null then "
        "insert into code_noskhe (code_bimeh, rooz, " + columns.join(QStringLiteral(", ")) +
        ") values (insurer, day_of_month, " + first.join(QStringLiteral(", ")) + "); "
        "v_counter := 1; "
        "end if; "
        // The history's lock and its last entry, as audit_log_tail() reads them.
        "perform pg_advisory_xact_lock(lock_kind, audit_key); "
        "return query select v_next, 0, v_patient, v_counter, "
        "(select max(a.seq) from audit_log a)::double precision, "
        "(select a.hash from audit_log a where a.seq = (select max(b.seq) from audit_log b))::text, "
        "%1, txid_current(); "
        "end $body$")
                .arg(serverUtcTimeSql())};
}

QStringList SqlDialect::dropAppendOnlyGuardSql(const QString& table) const {
    switch (m_engine) {
    case Engine::Sqlite:
        return {QStringLiteral("drop trigger if exists %1_no_update").arg(table),
                QStringLiteral("drop trigger if exists %1_no_delete").arg(table)};
    case Engine::Postgres:
        return {QStringLiteral("drop trigger if exists %1_no_change on %1").arg(table),
                QStringLiteral("drop trigger if exists %1_no_truncate on %1").arg(table)};
    case Engine::SqlServer:
        break;
    }
    return {};
}

} // namespace ph
