#include "catalogue/materials.h"

#include "db/database.h"
#include "db/key_allocator.h"
#include "db/transaction.h"

namespace ph {
namespace {

const QString kSelect = QStringLiteral(
    "select m.code_mat, m.name_mat, m.name_tejari, m.name_latin, m.vahed, u.name, m.price "
    "from material m join vahed_madeh u on u.code = m.vahed ");

Material readMaterial(const Rows& query) {
    Material m;
    m.code = query.value(0).toLongLong();
    m.name = query.value(1).toString();
    m.tradeName = query.value(2).toString();
    m.latinName = query.value(3).toString();
    m.unit = query.value(4).toLongLong();
    m.unitName = query.value(5).toString();
    if (!query.value(6).isNull()) m.price = query.value(6).toDouble();
    return m;
}

QVariant priceValue(const Material& m) {
    return m.price ? QVariant(*m.price) : QVariant(QMetaType(QMetaType::Double));
}

} // namespace

QList<Material> MaterialStore::list() const {
    Rows query = m_db.exec(kSelect + QStringLiteral("order by m.code_mat"));
    QList<Material> out;
    while (query.next())
        out.append(readMaterial(query));
    return out;
}

std::optional<Material> MaterialStore::find(qint64 code) const {
    Rows query = m_db.exec(kSelect + QStringLiteral("where m.code_mat=?"), {code});
    if (!query.next()) return std::nullopt;
    return readMaterial(query);
}

qint64 MaterialStore::nextCode() const {
    return nextKey(m_db, QStringLiteral("material"), QStringLiteral("code_mat"));
}

std::optional<QString> MaterialStore::unitName(qint64 unit) const {
    Rows query = m_db.exec(QStringLiteral("select name from vahed_madeh where code=?"), {unit});
    if (!query.next()) return std::nullopt;
    return query.value(0).toString();
}

MaterialStore::Result MaterialStore::add(const Material& material) {
    Transaction transaction(m_db);
    if (m_db.exec(QStringLiteral("select code_mat from material where code_mat=?"), {material.code}).next())
        return Result::DuplicateCode;
    if (m_db.exec(QStringLiteral("select code_mat from material where name_mat=?"), {material.name}).next())
        return Result::DuplicateName;
    m_db.exec(QStringLiteral("insert into material (code_mat, name_mat, vahed, price, name_tejari, name_latin) "
                             "values (?, ?, ?, ?, ?, ?)"),
              {material.code, material.name, material.unit, priceValue(material), material.tradeName,
               material.latinName});
    transaction.commit();
    return Result::Saved;
}

MaterialStore::Result MaterialStore::update(const Material& material) {
    Transaction transaction(m_db);
    if (!m_db.exec(QStringLiteral("select code_mat from material where code_mat=?"), {material.code}).next())
        return Result::Missing;
    m_db.exec(QStringLiteral("update material set name_mat=?, vahed=?, price=?, name_tejari=?, name_latin=? "
                             "where code_mat=?"),
              {material.name, material.unit, priceValue(material), material.tradeName, material.latinName,
               material.code});
    transaction.commit();
    return Result::Saved;
}

MaterialStore::Result MaterialStore::remove(qint64 code) {
    Transaction transaction(m_db);
    const QString used = m_db.dialect().selectLimited(QStringLiteral("1 from details_formul_darou where code_mat=?"), 1);
    if (m_db.exec(used, {code}).next()) return Result::InUse;
    m_db.exec(QStringLiteral("delete from material where code_mat=?"), {code});
    transaction.commit();
    return Result::Saved;
}

} // namespace ph
