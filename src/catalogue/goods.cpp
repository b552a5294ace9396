#include "catalogue/goods.h"

#include "audit/audit_kinds.h"

#include "core/amounts.h"
#include "audit/audit_changes.h"
#include "catalogue/lookup_list.h"

#include "catalogue/goods_code.h"
#include "db/column_limits.h"
#include "db/database.h"
#include "db/key_allocator.h"
#include "db/pick_rows.h"
#include "lots/barcodes.h"


namespace ph {

int goodsNameWidth() {
    return columnWidth(QStringLiteral("mosh_kala_anbar"), QStringLiteral("name_kala"));
}

namespace {

struct Naming {
    const char* table;
    const char* column;
};

// Rows whose meaning is tied to the goods code: the goods keeps its code while any names it.
constexpr Naming kLinkedRows[] = {
    {"hamrah_kala", "code_kala"},         {"hamrah_kala", "code_kala_h"},
    {"moadel_kala", "code_kala"},         {"moadel_kala", "code_moadel"},
    {"details_noskhe", "code_darou"},     {"details_noskhe", "code_darou_main"},
    {"details_froosh_kala", "code_kala"}, {"details_masrafi", "code_darou"},
    {"heading_formul_darou", "code_darou"},
};

// The goods' own rows: they follow the goods to a new code.
constexpr Naming kOwnRows[] = {
    {"bimeh_daru", "code_kala"},
    {"moj_kala_anbar", "code_kala"},
    {"moj_kala_vah", "code_kala"},
    {"hoteling", "code_kala"},
};

QString text(const char* latin) { return QString::fromLatin1(latin); }

const QString kListSelect = QStringLiteral(
    "select t1.code_kala, t1.name_kala, t1.name_kala_latin, t1.group_code, t1.type_code, t1.code_tow, "
    "t1.code_sh, t1.price_u, t1.flag, t2.name from mosh_kala_anbar t1, type_kala t2 where t1.type_code=t2.code");

QString orderBy(GoodsOrder order) {
    switch (order) {
    case GoodsOrder::NameThenForm:
        return QStringLiteral("t1.name_kala, t2.name");
    case GoodsOrder::Name:
        return QStringLiteral("t1.name_kala");
    case GoodsOrder::Code:
        return QStringLiteral("t1.code_kala");
    case GoodsOrder::NationalCode:
        return QStringLiteral("t1.code_tow");
    case GoodsOrder::LatinName:
        return QStringLiteral("t1.name_kala_latin, t2.name");
    case GoodsOrder::Price:
        return QStringLiteral("t1.price_u, t1.name_kala, t2.name");
    case GoodsOrder::Form:
        return QStringLiteral("t2.name, t1.name_kala");
    case GoodsOrder::Unordered:
        break;
    }
    return {};
}

// A like pattern matching the text as typed at the start of a name: its own % and _ are
// matched as themselves.
QString prefixPattern(const QString& prefix) {
    QString escaped = prefix;
    escaped.replace(u'!', QStringLiteral("!!")).replace(u'%', QStringLiteral("!%")).replace(u'_', QStringLiteral("!_"));
    return escaped + u'%';
}

std::optional<double> optionalNumber(const QVariant& value) {
    if (value.isNull()) return std::nullopt;
    return value.toDouble();
}

GoodsItem readItem(const Rows& query) {
    GoodsItem item;
    item.code = query.value(0).toDouble();
    item.name = query.value(1).toString();
    item.latinName = query.value(2).toString();
    item.group = query.value(3).toInt();
    item.form = query.value(4).toInt();
    item.nationalCode = optionalNumber(query.value(5));
    item.identityCode = optionalNumber(query.value(6));
    item.price = optionalNumber(query.value(7));
    item.flag = query.value(8).toInt();
    item.formName = query.value(9).toString();
    return item;
}

// The values of a goods row, in the order of the insert and update statements below.
QVariantList rowValues(double code, const GoodsEntry& entry) {
    return {code,
            entry.name.trimmed(),
            entry.nationalCode.value_or(0.0),
            entry.group,
            entry.form,
            1, // flag: saved by the drug entry dialog
            entry.latinName.trimmed(),
            entry.identityCode.value_or(0.0),
            entry.price};
}

} // namespace

QList<GoodsItem> GoodsCatalogue::list(const GoodsQuery& query) {
    QString sql = kListSelect;
    QVariantList params;
    if (query.group) {
        sql += QStringLiteral(" and t1.group_code=?");
        params.append(*query.group);
    }
    if (query.form) {
        sql += QStringLiteral(" and t1.type_code=?");
        params.append(*query.form);
    }
    if (!query.namePrefix.isEmpty()) {
        sql += QStringLiteral(" and t1.name_kala like ? escape '!'");
        params.append(prefixPattern(query.namePrefix));
    }
    if (const QString order = orderBy(query.order); !order.isEmpty())
        sql += QStringLiteral(" order by ") + order;

    Rows rows = m_db.exec(sql, params);
    QList<GoodsItem> items;
    while (rows.next())
        items.append(readItem(rows));
    return items;
}

std::optional<GoodsItem> GoodsCatalogue::find(double code) {
    Rows row = m_db.exec(kListSelect + QStringLiteral(" and t1.code_kala=?"), {code});
    if (!row.next()) return std::nullopt;
    return readItem(row);
}

std::optional<QString> GoodsCatalogue::groupName(qint64 code) {
    return LookupList(m_db, LookupKind::Groups).nameOf(code);
}

std::optional<QString> GoodsCatalogue::formName(qint64 code) {
    return LookupList(m_db, LookupKind::Forms).nameOf(code);
}

bool GoodsCatalogue::exists(const QString& selectBody, const QVariantList& params) {
    Rows query = m_db.exec(m_db.dialect().selectLimited(selectBody, 1), params);
    return query.next();
}

bool GoodsCatalogue::anyRowNames(double code, bool ownRowsToo) {
    auto named = [&](const Naming& naming) {
        return exists(QStringLiteral("1 from %1 where %2=?").arg(text(naming.table), text(naming.column)), {code});
    };
    for (const Naming& naming : kLinkedRows)
        if (named(naming)) return true;
    if (ownRowsToo)
        for (const Naming& naming : kOwnRows)
            if (named(naming)) return true;
    return false;
}

GoodsSaveResult GoodsCatalogue::add(const GoodsEntry& entry) {
    return saveInTransaction(m_db, [&]() -> GoodsSaveResult {
        if (!groupName(entry.group)) return {GoodsOutcome::UnknownGroup};
        if (!formName(entry.form)) return {GoodsOutcome::UnknownForm};
        const double code = allocateGoodsCode(m_db, entry.group, entry.form);
        if (exists(QStringLiteral("1 from mosh_kala_anbar where code_kala=?"), {code}))
            return {GoodsOutcome::DuplicateCode, code}; // committed: the number stays used up
        m_db.exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, code_tow, group_code, type_code, "
                                 "flag, name_kala_latin, code_sh, price_u) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                  rowValues(code, entry));
        record(code, {});
        return {GoodsOutcome::Done, code};
    });
}

GoodsSaveResult GoodsCatalogue::update(double code, const GoodsEntry& entry) {
    return saveInTransaction(m_db, [&]() -> GoodsSaveResult {
        QVariant storedGroup, storedForm;
        {
            Rows stored =
                m_db.exec(QStringLiteral("select group_code, type_code from mosh_kala_anbar where code_kala=?"), {code});
            if (!stored.next()) return {GoodsOutcome::Missing, code};
            storedGroup = stored.value(0);
            storedForm = stored.value(1);
        }
        const AuditRow before = readAuditRow(m_db, QStringLiteral("mosh_kala_anbar"), QStringLiteral("code_kala=?"), {code});
        const bool groupChanged = storedGroup.isNull() || storedGroup.toLongLong() != entry.group;
        const bool formChanged = storedForm.isNull() || storedForm.toLongLong() != entry.form;

        double newCode = code;
        if (groupChanged || formChanged) {
            if (groupChanged && !groupName(entry.group)) return {GoodsOutcome::UnknownGroup, code};
            if (formChanged && !formName(entry.form)) return {GoodsOutcome::UnknownForm, code};
            if (anyRowNames(code, false)) return {GoodsOutcome::Referenced, code};
            newCode = allocateGoodsCode(m_db, entry.group, entry.form);
            if (exists(QStringLiteral("1 from mosh_kala_anbar where code_kala=?"), {newCode}))
                return {GoodsOutcome::DuplicateCode, newCode}; // committed: the number stays used up
            for (const Naming& naming : kOwnRows)
                m_db.exec(QStringLiteral("update %1 set %2=? where %2=?").arg(text(naming.table), text(naming.column)),
                          {newCode, code});
        }
        QVariantList values = rowValues(newCode, entry);
        values.append(code);
        m_db.exec(QStringLiteral("update mosh_kala_anbar set code_kala=?, name_kala=?, code_tow=?, group_code=?, "
                                 "type_code=?, flag=?, name_kala_latin=?, code_sh=?, price_u=? where code_kala=?"),
                  values);
        writePrice(newCode, entry.price);
        record(newCode, before);
        return {GoodsOutcome::Done, newCode};
    });
}

void GoodsCatalogue::record(double code, const AuditRow& before) {
    appendAudit(m_db, m_origin,
                {QString(audit_kind::kGoods), plainDecimalText(code),
                 documentChanges(before, readAuditRow(m_db, QStringLiteral("mosh_kala_anbar"),
                                                      QStringLiteral("code_kala=?"), {code}))});
}

void GoodsCatalogue::writePrice(double code, double price) {
    QVariant unit;
    {
        Rows first = m_db.exec(
            m_db.dialect().selectLimited(QStringLiteral("code_vah from moj_kala_vah where code_kala=? order by code_vah"), 1),
            {code});
        if (!first.next()) return;
        unit = first.value(0);
    }
    if (unit.isNull())
        m_db.exec(QStringLiteral("update moj_kala_vah set price_u=? where code_kala=? and code_vah is null"), {price, code});
    else
        m_db.exec(QStringLiteral("update moj_kala_vah set price_u=? where code_kala=? and code_vah=?"),
                  {price, code, unit});
}

std::optional<double> GoodsCatalogue::itemOfBarcode(const QString& code) {
    if (const std::optional<double> item = BarcodeStore(m_db).itemOf(code)) return item;
    // The national code printed as the pack's barcode.
    bool number = false;
    const qlonglong national = code.trimmed().toLongLong(&number);
    if (!number || national <= 0) return std::nullopt;
    const QVariant item = m_db.scalar(
        m_db.dialect().selectLimited(QStringLiteral("code_kala from mosh_kala_anbar where code_tow=? order by code_kala"), 1),
        {double(national)});
    if (item.isNull()) return std::nullopt;
    return item.toDouble();
}

GoodsOutcome GoodsCatalogue::remove(double code) {
    return saveInTransaction(m_db, [&] {
        if (anyRowNames(code, true)) return GoodsOutcome::Referenced;
        const AuditRow before = readAuditRow(m_db, QStringLiteral("mosh_kala_anbar"), QStringLiteral("code_kala=?"), {code});
        BarcodeStore(m_db).removeAllOf(code);
        m_db.exec(QStringLiteral("delete from mosh_kala_anbar where code_kala=?"), {code});
        if (!before.isEmpty()) record(code, before);
        return GoodsOutcome::Done;
    });
}

} // namespace ph
