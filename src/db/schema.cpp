#include "db/schema.h"

#include "db/database.h"
#include "db/statement_watchdog.h"
#include "db/transaction.h"

#include <QSet>

#include <cmath>

namespace ph {
namespace {

QString columnSql(const SqlDialect& dialect, const QString& spec) {
    const QStringList parts = spec.simplified().split(u' ');
    if (parts.size() != 2)
        throw Error(QStringLiteral("bad column definition: ") + spec);
    const QString& type = parts[1];
    ColumnType kind;
    int width = 0;
    if (type == QLatin1String("i"))
        kind = ColumnType::Int;
    else if (type == QLatin1String("b"))
        kind = ColumnType::Bit;
    else if (type == QLatin1String("f"))
        kind = ColumnType::Float;
    else if (type == QLatin1String("t"))
        kind = ColumnType::Text;
    else if (type.startsWith(u'v')) {
        kind = ColumnType::NVarchar;
        width = type.mid(1).toInt();
    } else
        throw Error(QStringLiteral("bad column type: ") + spec);
    return parts[0] + u' ' + dialect.typeName(kind, width);
}

} // namespace

QString Schema::createTableSql(const TableDef& table) const {
    QStringList columns;
    for (const QString& spec : table.columns.split(u','))
        columns.append(columnSql(m_db.dialect(), spec));
    return QStringLiteral("create table %1 (%2)").arg(table.name, columns.join(QStringLiteral(", ")));
}

QStringList Schema::createIndexSql(const TableDef& table) const {
    QStringList statements;
    for (QString index : table.indexes) {
        const bool unique = index.startsWith(QLatin1String("unique "));
        if (unique)
            index = index.mid(7);
        index = index.simplified().remove(u' ');
        const QString name = QStringLiteral("ix_%1_%2").arg(table.name, QString(index).replace(u',', u'_'));
        statements.append(QStringLiteral("create %1index %2 on %3 (%4)")
                              .arg(unique ? QStringLiteral("unique ") : QString(), name, table.name, index));
    }
    return statements;
}

namespace {

// The first number of the schema lock, taken around the whole creation on a server.
constexpr qint32 kSchemaLockKind = 0x7073; // "ps"

QString indexName(const QString& sqlCreate) { return sqlCreate.section(u' ', -4, -4).toLower(); }

// Indexes of earlier versions that a wider one now serves: each costs every insert of its
// table and helps no read. Removed wherever they are found.
struct RetiredIndex {
    const char* table;
    const char* name;
};
// (sh_bimeh, date_no) answers every read by the insurance number alone.
constexpr RetiredIndex kRetiredIndexes[] = {{"heading_noskhe", "ix_heading_noskhe_sh_bimeh"}};

// One row: how many of the named tables, views and indexes the database holds, then how many
// of some other names. Binds two texts, each of lower-case names separated by commas.
QString countObjectsSql(Engine engine) {
    QString objects;
    switch (engine) {
    case Engine::Sqlite:
        objects = QStringLiteral("from sqlite_master where type in ('table', 'view', 'index') and "
                                 "instr(',' || ? || ',', ',' || lower(name) || ',') > 0");
        break;
    case Engine::Postgres:
        // One array of names rather than a list of marks: planned in a fraction of the time.
        objects = QStringLiteral("from pg_class c where c.relnamespace = (select n.oid from pg_namespace n where "
                                 "n.nspname = current_schema()) and c.relkind in ('r', 'v', 'f', 'p', 'i', 'I') "
                                 "and lower(c.relname) = any(string_to_array(?, ','))");
        break;
    case Engine::SqlServer:
        objects = QStringLiteral("from (select lower(table_name) as name from information_schema.tables union all "
                                 "select lower(name) from sys.indexes where name is not null) o "
                                 "where charindex(',' + o.name + ',', ',' + ? + ',') > 0");
        break;
    }
    return QStringLiteral("select (select count(*) %1), (select count(*) %1)").arg(objects);
}

} // namespace

QString compoundedFormName() { return QStringLiteral("داروهاي ساختني"); }

void lockSchema(Database& db) {
    // Adding an index to a large table takes longer than the bound of a statement.
    if (StatementWatchdog* watchdog = StatementWatchdog::of(db.handle()))
        watchdog->liftForTransaction();
    const QString schemaWork = db.dialect().schemaWorkSql();
    if (!schemaWork.isEmpty())
        db.exec(schemaWork);
    const QString lock = db.dialect().transactionLockSql();
    if (!lock.isEmpty())
        db.exec(lock, {kSchemaLockKind, 0});
}

int Schema::storedVersion() {
    if (!m_db.hasTable(QStringLiteral("schema_version")))
        return 0;
    return m_db.scalar(QStringLiteral("select max(version) from schema_version")).toInt();
}

Schema::State Schema::inspect() {
    State state;
    for (const QString& name : m_db.tableNames())
        state.tables.append(name.toLower());
    state.indexes = m_db.indexNames();
    if (state.tables.contains(QStringLiteral("schema_version")))
        state.version = m_db.scalar(QStringLiteral("select max(version) from schema_version")).toInt();
    return state;
}

bool Schema::needsWork(const State& state) const {
    if (state.version < kCurrentVersion)
        return true;
    for (const TableDef& table : schemaTables()) {
        if (!state.tables.contains(table.name))
            return true;
        for (const QString& sql : createIndexSql(table))
            if (!state.indexes.contains(indexName(sql)))
                return true;
    }
    for (const ViewDef& view : schemaViews())
        if (!state.tables.contains(view.name))
            return true;
    for (const RetiredIndex& retired : kRetiredIndexes)
        if (state.indexes.contains(QLatin1String(retired.name)))
            return true;
    return false;
}

bool Schema::needsWork() {
    // The names a complete schema holds, and those it no longer does: counted in one statement
    // instead of listing every table and index of the database.
    QStringList names{QStringLiteral("schema_version")};
    for (const TableDef& table : schemaTables()) {
        names.append(table.name);
        for (const QString& sql : createIndexSql(table))
            names.append(indexName(sql));
    }
    for (const ViewDef& view : schemaViews())
        names.append(view.name);
    QStringList retiredNames;
    for (const RetiredIndex& retired : kRetiredIndexes)
        retiredNames.append(QString::fromLatin1(retired.name));
    Rows counts = m_db.exec(countObjectsSql(m_db.dialect().engine()),
                            {names.join(u','), retiredNames.join(u',')});
    const bool allThere =
        counts.next() && counts.value(0).toInt() == names.size() && counts.value(1).toInt() == 0;
    counts.finish();
    return !allThere ||
           m_db.scalar(QStringLiteral("select max(version) from schema_version")).toInt() < kCurrentVersion;
}

void Schema::ensure() {
    if (!needsWork()) {
        m_db.optimizeStatistics();
        return;
    }
    bool indexesAdded;
    {
        // Everything is created in one transaction where the engine allows schema work
        // in one, so an interrupted first start leaves no half-made schema.
        Transaction transaction(m_db);
        lockSchema(m_db);
        // Another workstation may have created it all while this one waited for the lock.
        const State state = inspect();
        indexesAdded = needsWork(state) && createMissing(state);
        transaction.commit();
    }
    if (indexesAdded)
        m_db.refreshStatistics();
    else
        m_db.optimizeStatistics();
}

bool Schema::createMissing(const State& state) {
    bool indexesAdded = false;
    QStringList remade; // views an upgrade step dropped
    for (const TableDef& table : schemaTables()) {
        const bool newTable = !state.tables.contains(table.name);
        if (newTable) {
            m_db.exec(createTableSql(table));
            if (table.name == QLatin1String("audit_log"))
                for (const QString& sql :
                     m_db.dialect().appendOnlyGuardSql(table.name) + m_db.dialect().auditTailFunctionSql() +
                         m_db.dialect().prescriptionSaveStartFunctionSql())
                    m_db.exec(sql);
        }
        for (const QString& sql : createIndexSql(table)) {
            if (newTable || !state.indexes.contains(indexName(sql))) {
                m_db.exec(sql);
                indexesAdded = indexesAdded || !newTable;
            }
        }
    }
    if (!state.tables.contains(QStringLiteral("schema_version"))) {
        m_db.exec(QStringLiteral("create table schema_version (version integer)"));
        m_db.exec(QStringLiteral("insert into schema_version (version) values (?)"), {kCurrentVersion});
        addCompoundedForm();
    } else if (state.version < kCurrentVersion) {
        // Version 2 is the indexes added above; each later step goes here, written so
        // that it also holds on a database whose tables were just created in their
        // current form.
        if (state.version < 3) {
            // A merged claim block of many lines is longer than the 4000 characters the
            // merge's working column used to hold.
            const QString widen = m_db.dialect().widenToTextSql(QStringLiteral("list_koli"), QStringLiteral("list"));
            if (!widen.isEmpty()) m_db.exec(widen);
        }
        if (state.version < 4) addCompoundedForm();
        if (state.version < 5 && state.tables.contains(QStringLiteral("heading_masrafi"))) {
            // A ward's request number is free text ("R-205"); it was kept as a number. The view
            // over it is made again below.
            if (state.tables.contains(QStringLiteral("v_see_masrafi"))) {
                m_db.exec(QStringLiteral("drop view v_see_masrafi"));
                remade.append(QStringLiteral("v_see_masrafi"));
            }
            for (const QString& sql : m_db.dialect().numberToTextSql(QStringLiteral("heading_masrafi"),
                                                                     QStringLiteral("sh_darkhast"), 50))
                m_db.exec(sql);
        }
        if (state.version < 8)
            for (const QString& sql : m_db.dialect().auditTailFunctionSql()) m_db.exec(sql);
        if (state.version < 9)
            for (const QString& sql : m_db.dialect().prescriptionSaveStartFunctionSql()) m_db.exec(sql);
        m_db.exec(QStringLiteral("insert into schema_version (version) values (?)"), {kCurrentVersion});
    }
    for (const RetiredIndex& retired : kRetiredIndexes)
        if (state.indexes.contains(QLatin1String(retired.name)))
            m_db.exec(m_db.dialect().dropIndexSql(QLatin1String(retired.table), QLatin1String(retired.name)));
    addLaterRights(state);
    for (const ViewDef& view : schemaViews()) {
        if (!state.tables.contains(view.name) || remade.contains(view.name))
            m_db.exec(QStringLiteral("create view %1 as %2").arg(view.name, view.select(m_db.dialect())));
    }
    return indexesAdded;
}

void Schema::addLaterRights(const State& state) {
    const QString users = QStringLiteral("u_pharmacy");
    if (!state.tables.contains(users))
        return; // made just now with every column
    const QStringList held = m_db.columnNames(users);
    for (const QString& right : {QStringLiteral("tarikhche"), QStringLiteral("engheza")}) {
        if (held.contains(right, Qt::CaseInsensitive))
            continue;
        m_db.exec(QStringLiteral("alter table u_pharmacy add %1 %2").arg(right, m_db.dialect().typeName(ColumnType::Bit)));
        m_db.exec(QStringLiteral("update u_pharmacy set %1 = access").arg(right));
    }
}

void Schema::addCompoundedForm() {
    const QString name = compoundedFormName();
    Rows held = m_db.exec(QStringLiteral("select name from type_kala where code=?"), {kCompoundedFormCode});
    if (held.next()) {
        const QString heldName = held.value(0).toString().trimmed();
        held.finish();
        if (heldName != name)
            qWarning("type_kala: the form with code %d is \"%s\", not \"%s\"; it is kept, and compounded drugs "
                     "are saved under it",
                     kCompoundedFormCode, qPrintable(heldName), qPrintable(name));
        return;
    }
    held.finish();
    // Goods of the form made before it had its row keep their codes: the counter goes on
    // from the largest of them.
    const QVariant largest = m_db.scalar(QStringLiteral("select max(code_kala) from mosh_kala_anbar where type_code=?"),
                                         {kCompoundedFormCode});
    const qint64 counter = largest.isNull() ? 0 : qint64(std::fmod(largest.toDouble(), 10000.0));
    m_db.exec(QStringLiteral("insert into type_kala (code, name, num) values (?, ?, ?)"),
              {kCompoundedFormCode, name, counter});
}

} // namespace ph
