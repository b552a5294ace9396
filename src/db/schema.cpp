#include "db/schema.h"

#include "db/database.h"
#include "db/transaction.h"

#include <QSet>

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

int Schema::storedVersion() {
    if (!m_db.hasTable(QStringLiteral("schema_version")))
        return 0;
    return m_db.scalar(QStringLiteral("select max(version) from schema_version")).toInt();
}

void Schema::ensure() {
    QSet<QString> existing;
    for (const QString& name : m_db.tableNames())
        existing.insert(name.toLower());

    // Everything is created in one transaction where the engine allows schema work
    // in one, so an interrupted first start leaves no half-made schema.
    Transaction transaction(m_db);
    for (const TableDef& table : schemaTables()) {
        if (existing.contains(table.name))
            continue;
        m_db.exec(createTableSql(table));
        for (const QString& sql : createIndexSql(table))
            m_db.exec(sql);
    }
    if (!existing.contains(QStringLiteral("schema_version"))) {
        m_db.exec(QStringLiteral("create table schema_version (version integer)"));
        m_db.exec(QStringLiteral("insert into schema_version (version) values (?)"), {kCurrentVersion});
    }
    for (const ViewDef& view : schemaViews()) {
        if (!existing.contains(view.name))
            m_db.exec(QStringLiteral("create view %1 as %2").arg(view.name, view.select(m_db.dialect())));
    }
    // Upgrades of later versions go here, each written so that it also holds on a
    // database whose tables were just created in their current form.
    transaction.commit();
}

} // namespace ph
