#include "catalogue/goods_tree.h"

#include "catalogue/goods_code.h"
#include "db/database.h"
#include "db/key_allocator.h"
#include "db/transaction.h"

#include <cmath>

namespace ph {
namespace {

std::optional<double> optionalNumber(const QVariant& value) {
    if (value.isNull()) return std::nullopt;
    return value.toDouble();
}

QVariant numberOrNull(const std::optional<double>& value) {
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Double));
}

QString displayName(const QVariant& name, const QVariant& latin) {
    return name.isNull() ? latin.toString() : name.toString();
}

// The membership column of a group, from a fixed list: groups 1 to 5 have one.
std::optional<QString> membershipColumn(qint64 group) {
    static const QStringList columns = {QStringLiteral("g1"), QStringLiteral("g2"), QStringLiteral("g3"),
                                        QStringLiteral("g4"), QStringLiteral("g5")};
    if (group < 1 || group > 5) return std::nullopt;
    return columns.at(int(group) - 1);
}

} // namespace

GoodsNodeKind goodsNodeKind(qint64 key) {
    if (key > 10'000'000) return GoodsNodeKind::Goods;
    if (key >= 1'000'001) return GoodsNodeKind::Form;
    if (key <= 10) return GoodsNodeKind::Group;
    return GoodsNodeKind::None;
}

qint64 formNodeKey(qint64 group, qint64 form) {
    return group * 1'000'000 + form * 10'000;
}

qint64 goodsNodeKey(double goodsCode) {
    return qint64(std::llround(goodsCode * 100));
}

double goodsCodeOfNode(qint64 key) {
    return double(key / 100);
}

qint64 groupOfFormNode(qint64 key) {
    return key / 1'000'000;
}

qint64 formOfFormNode(qint64 key) {
    return (key % 1'000'000) / 10'000;
}

QList<GoodsTreeNode> GoodsTree::build() const {
    QList<GoodsTreeNode> groups;
    {
        Rows query = m_db.exec(QStringLiteral("select code, name from group_kala order by code"));
        while (query.next())
            groups.append({query.value(0).toLongLong(), query.value(1).toString(), {}});
    }
    for (GoodsTreeNode& group : groups) {
        // A group without a membership column (codes above 5) shows no forms.
        const std::optional<QString> column = membershipColumn(group.key);
        if (!column) continue;
        QList<std::pair<qint64, QString>> forms;
        {
            Rows query = m_db.exec(
                QStringLiteral("select code, name from type_kala where %1=1 order by code").arg(*column));
            while (query.next())
                forms.append({query.value(0).toLongLong(), query.value(1).toString()});
        }
        for (const auto& [form, name] : forms) {
            GoodsTreeNode formNode{formNodeKey(group.key, form), name, {}};
            Rows goods = m_db.exec(QStringLiteral("select code_kala, name_kala, name_kala_latin from "
                                                       "mosh_kala_anbar where type_code=? and group_code=? "
                                                       "order by code_kala"),
                                        {form, group.key});
            while (goods.next())
                formNode.children.append(
                    {goodsNodeKey(goods.value(0).toDouble()), displayName(goods.value(1), goods.value(2)), {}});
            group.children.append(formNode);
        }
    }
    return groups;
}

QList<std::pair<double, QString>> GoodsTree::names() const {
    Rows query =
        m_db.exec(QStringLiteral("select code_kala, name_kala, name_kala_latin from mosh_kala_anbar "
                                 "order by name_kala, code_kala"));
    QList<std::pair<double, QString>> out;
    while (query.next())
        out.append({query.value(0).toDouble(), displayName(query.value(1), query.value(2))});
    return out;
}

std::optional<GoodsTreeItem> GoodsTree::find(double code) const {
    Rows query = m_db.exec(
        QStringLiteral("select k.code_kala, k.name_kala, k.name_kala_latin, k.code_tow, k.code_sh, k.price_u, t.name "
                       "from mosh_kala_anbar k left join type_kala t on t.code = k.type_code where k.code_kala=?"),
        {code});
    if (!query.next()) return std::nullopt;
    GoodsTreeItem item;
    item.code = query.value(0).toDouble();
    item.name = query.value(1).toString();
    item.latinName = query.value(2).toString();
    item.secondaryCode = optionalNumber(query.value(3));
    item.identityCode = optionalNumber(query.value(4));
    item.price = optionalNumber(query.value(5));
    item.formName = query.value(6).toString();
    return item;
}

bool GoodsTree::namesLocked(double code) const {
    for (const char* sql : {"1 from moj_kala_anbar where code_kala=?", "1 from moj_kala_vah where code_kala=?",
                            "1 from details_noskhe where code_darou=?"})
        if (m_db.exec(m_db.dialect().selectLimited(QString::fromLatin1(sql), 1), {code}).next()) return true;
    return false;
}

bool GoodsTree::stockFlagSet() const {
    const QVariant flag = m_db.scalar(m_db.dialect().selectLimited(QStringLiteral("mojodi from onvan_darou"), 1));
    return !flag.isNull() && flag.toInt() != 0;
}

bool GoodsTree::hasStoreStock(double code) const {
    return m_db.exec(m_db.dialect().selectLimited(QStringLiteral("1 from moj_kala_anbar where code_kala=?"), 1), {code})
        .next();
}

GoodsTree::Result GoodsTree::add(qint64 formKey, const GoodsTreeItem& item, double* code) {
    if (goodsNodeKind(formKey) != GoodsNodeKind::Form) return Result::UnknownForm;
    if (item.name.trimmed().isEmpty()) return Result::EmptyName;
    const qint64 group = groupOfFormNode(formKey);
    const qint64 form = formOfFormNode(formKey);
    return saveInTransaction(m_db, [&] {
        if (m_db.scalar(QStringLiteral("select code from type_kala where code=?"), {form}).isNull())
            return Result::UnknownForm;
        const double newCode = allocateGoodsCode(m_db, group, form);
        m_db.exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, code_tow, group_code, type_code, "
                                 "flag, name_kala_latin, code_sh) values (?, ?, ?, ?, ?, 0, ?, ?)"),
                  {newCode, item.name.trimmed(), numberOrNull(item.secondaryCode), group, form,
                   item.latinName.trimmed(), numberOrNull(item.identityCode)});
        if (code) *code = newCode;
        return Result::Saved;
    });
}

GoodsTree::Result GoodsTree::edit(const GoodsTreeItem& item, bool withPrice) {
    Transaction transaction(m_db);
    const std::optional<GoodsTreeItem> stored = find(item.code);
    if (!stored) return Result::Missing;
    if ((stored->name != item.name || stored->latinName != item.latinName) && namesLocked(item.code))
        return Result::NamesLocked;
    m_db.exec(QStringLiteral("update mosh_kala_anbar set name_kala=?, name_kala_latin=?, code_tow=?, code_sh=? "
                             "where code_kala=?"),
              {item.name, item.latinName, numberOrNull(item.secondaryCode), numberOrNull(item.identityCode),
               item.code});
    if (withPrice && item.price)
        m_db.exec(QStringLiteral("update mosh_kala_anbar set price_u=? where code_kala=?"), {*item.price, item.code});
    transaction.commit();
    return Result::Saved;
}

GoodsTree::Result GoodsTree::remove(double code) {
    Transaction transaction(m_db);
    if (!find(code)) return Result::Missing;
    if (hasStoreStock(code)) return Result::HasStock;
    m_db.exec(QStringLiteral("delete from mosh_kala_anbar where code_kala=?"), {code});
    transaction.commit();
    return Result::Saved;
}

} // namespace ph
