#include "admin/structure_repair.h"

#include "db/database.h"
#include "db/pick_rows.h"
#include "db/schema.h"
#include "db/transaction.h"

#include <QSqlField>
#include <QSqlRecord>

#include <algorithm>

namespace ph {
namespace {

constexpr int kPrescriberNumberWidth = 30;

} // namespace

void StructureRepair::run(const std::function<void()>& socialSecurityRepair) {
    const SqlDialect& dialect = m_db.dialect();
    m_db.exec(QStringLiteral("update organs_s set from_d = ?"), {QStringLiteral("00/01/01")});
    addColumnIfMissing(QStringLiteral("onvan_darou"), QStringLiteral("fani_nezam"),
                       dialect.typeName(ColumnType::NVarchar, 20));
    addColumnIfMissing(QStringLiteral("bimeh_daru"), QStringLiteral("deduct"), dialect.typeName(ColumnType::Float));
    addColumnIfMissing(QStringLiteral("organs_m"), QStringLiteral("orj_flag"), dialect.typeName(ColumnType::Bit));
    if (m_db.hasTable(QStringLiteral("tanzimat")) && !m_db.hasColumn(QStringLiteral("tanzimat"), QStringLiteral("tamincode")) &&
        socialSecurityRepair)
        socialSecurityRepair();
    rebuildClaimScratchTable();
    widenPrescriberNumber();
}

void StructureRepair::addColumnIfMissing(const QString& table, const QString& column, const QString& type) {
    if (!m_db.hasTable(table) || m_db.hasColumn(table, column))
        return;
    m_db.exec(QStringLiteral("alter table %1 add %2 %3").arg(table, column, type));
}

void StructureRepair::rebuildClaimScratchTable() {
    const auto& tables = schemaTables();
    const auto def = std::find_if(tables.begin(), tables.end(),
                                  [](const TableDef& table) { return table.name == QLatin1String("list_koli"); });
    Transaction transaction(m_db);
    if (m_db.hasTable(def->name))
        m_db.exec(QStringLiteral("drop table ") + def->name);
    m_db.exec(Schema(m_db).createTableSql(*def));
    transaction.commit();
}

void StructureRepair::widenPrescriberNumber() {
    const QString table = QStringLiteral("heading_noskhe");
    const QString column = QStringLiteral("nezam_p");
    const QString sql =
        m_db.dialect().widenColumnSql(table, column, m_db.dialect().typeName(ColumnType::NVarchar, kPrescriberNumberWidth));
    if (sql.isEmpty() || !m_db.hasColumn(table, column))
        return;
    const int width = m_db.handle().record(table).field(column).length();
    if (width < 0 || width >= kPrescriberNumberWidth)
        return;
    {
        // The views over prescriptions read the column: they are made again after it.
        Transaction transaction(m_db);
        lockSchema(m_db);
        const auto& views = schemaViews();
        for (auto view = views.crbegin(); view != views.crend(); ++view)
            m_db.exec(QStringLiteral("drop view if exists ") + view->name);
        m_db.exec(sql);
        transaction.commit();
    }
    Schema(m_db).ensure();
}

QString dashedInsuranceNumber(const QString& plain) {
    return plain.mid(0, 10) + QLatin1Char('-') + plain.mid(10, 4) + QLatin1Char('-') + plain.mid(14, 2) +
           QLatin1Char('-') + plain.mid(16, 2);
}

PickRows SocialSecurityRepair::insurerPickRows() {
    return loadPickRows(m_db, QStringLiteral("select code, name as name1 from organs_m order by name"));
}

void SocialSecurityRepair::run(const QList<int>& codes) {
    const QString insurerType = m_db.dialect().typeName(ColumnType::NVarchar, 50);
    Transaction transaction(m_db);
    addDashedNumber(QStringLiteral("mosh_bimaran"), &codes);
    addDashedNumber(QStringLiteral("heading_noskhe"), &codes);
    addDashedNumber(QStringLiteral("details_noskhe"), nullptr);
    if (m_db.hasTable(QStringLiteral("tanzimat")) && !m_db.hasColumn(QStringLiteral("tanzimat"), QStringLiteral("tamincode"))) {
        QStringList text;
        for (int code : codes)
            text.append(QString::number(code));
        m_db.exec(QStringLiteral("alter table tanzimat add tamincode ") + insurerType);
        m_db.exec(QStringLiteral("update tanzimat set tamincode = ? where tamincode is null"), {text.join(u',')});
    }
    transaction.commit();
}

// The numbers are converted per distinct value, each bound, so the same statements serve
// every engine.
void SocialSecurityRepair::addDashedNumber(const QString& table, const QList<int>* codes) {
    if (!m_db.hasTable(table) || m_db.hasColumn(table, QStringLiteral("insnotamin")))
        return;
    m_db.exec(QStringLiteral("alter table %1 add insnotamin %2").arg(table, m_db.dialect().typeName(ColumnType::NVarchar, 50)));
    m_db.exec(QStringLiteral("update %1 set insnotamin = sh_bimeh where insnotamin is null").arg(table));
    auto convert = [&](const QString& select, const QString& update, const QVariantList& key) {
        QStringList numbers;
        Rows query = m_db.exec(select, key);
        while (query.next())
            numbers.append(query.value(0).toString());
        query.finish();
        for (const QString& plain : numbers)
            if (plain.size() == 18)
                m_db.exec(update, QVariantList{dashedInsuranceNumber(plain), plain} + key);
    };
    if (!codes) {
        convert(QStringLiteral("select distinct insnotamin from %1 where insnotamin is not null").arg(table),
                QStringLiteral("update %1 set insnotamin = ? where insnotamin = ?").arg(table), {});
        return;
    }
    for (int code : *codes)
        convert(QStringLiteral("select distinct insnotamin from %1 where code_bimeh = ? and insnotamin is not null").arg(table),
                QStringLiteral("update %1 set insnotamin = ? where insnotamin = ? and code_bimeh = ?").arg(table), {code});
}

} // namespace ph
