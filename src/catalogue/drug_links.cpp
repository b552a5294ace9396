#include "catalogue/drug_links.h"

#include "db/database.h"
#include "db/transaction.h"

namespace ph {

QList<GoodsChoice> goodsChoices(Database& db) {
    Rows q = db.exec(QStringLiteral("select k.code_kala, k.name_kala, k.name_kala_latin, t.name "
                                         "from mosh_kala_anbar k left join type_kala t on t.code=k.type_code "
                                         "order by k.name_kala, k.code_kala"));
    QList<GoodsChoice> choices;
    while (q.next())
        choices.append({q.value(0).toDouble(),
                        (q.value(1).isNull() ? q.value(2).toString() : q.value(1).toString()).trimmed(),
                        q.value(3).toString().trimmed()});
    return choices;
}

namespace {

QList<EquivalentRow> readEquivalents(Rows& q) {
    QList<EquivalentRow> rows;
    while (q.next())
        rows.append({q.value(0).toDouble(), q.value(1).toString().trimmed(), q.value(2).toString().trimmed(),
                     q.value(3).toDouble()});
    return rows;
}

} // namespace

QList<EquivalentRow> EquivalentStore::equivalentsOf(double drug) {
    Rows q = m_db.exec(QStringLiteral("select m.code_moadel, k.name_kala, t.name, k.price_u "
                                           "from moadel_kala m, mosh_kala_anbar k, type_kala t "
                                           "where m.code_kala=? and m.code_moadel=k.code_kala and k.type_code=t.code "
                                           "order by m.code_moadel"),
                            {drug});
    return readEquivalents(q);
}

QList<EquivalentRow> EquivalentStore::offers(double drug, std::optional<int> unit) {
    if (unit) {
        Rows q = m_db.exec(QStringLiteral("select m.code_moadel, k.name_kala, t.name, v.price_u "
                                               "from moadel_kala m, moj_kala_vah v, mosh_kala_anbar k, type_kala t "
                                               "where m.code_kala=? and v.code_vah=? and m.code_moadel=v.code_kala "
                                               "and v.code_kala=k.code_kala and k.type_code=t.code "
                                               "order by m.code_moadel"),
                                {drug, *unit});
        return readEquivalents(q);
    }
    return equivalentsOf(drug);
}

EquivalentStore::AddResult EquivalentStore::add(double main, double equivalent) {
    Transaction transaction(m_db);
    if (m_db.exec(m_db.dialect().selectLimited(
                      QStringLiteral("1 from moadel_kala where code_kala=? and code_moadel=?"), 1),
                  {main, equivalent})
            .next())
        return AddResult::AlreadyThere;
    const QString insert = QStringLiteral("insert into moadel_kala (code_kala, code_moadel) values (?, ?)");
    m_db.exec(insert, {main, equivalent});
    m_db.exec(insert, {equivalent, main});
    transaction.commit();
    return AddResult::Added;
}

void EquivalentStore::remove(double main, double equivalent) {
    m_db.exec(QStringLiteral("delete from moadel_kala where code_kala=? and code_moadel=?"), {main, equivalent});
}

QList<CompanionRow> CompanionStore::companionsOf(double drug) {
    Rows q = m_db.exec(QStringLiteral("select h.code_kala_h, k.name_kala, t.name, h.condition "
                                           "from hamrah_kala h, mosh_kala_anbar k, type_kala t "
                                           "where h.code_kala=? and h.code_kala_h=k.code_kala and k.type_code=t.code "
                                           "order by h.code_kala_h"),
                            {drug});
    QList<CompanionRow> rows;
    while (q.next())
        rows.append({q.value(0).toDouble(), q.value(1).toString().trimmed(), q.value(2).toString().trimmed(),
                     q.value(3).toString().trimmed()});
    return rows;
}

bool CompanionStore::exists(double drug, double companion, const QString& condition) {
    return m_db
        .exec(m_db.dialect().selectLimited(
                  QStringLiteral("1 from hamrah_kala where code_kala=? and code_kala_h=? and condition=?"), 1),
              {drug, companion, condition})
        .next();
}

bool CompanionStore::exists(double drug, double companion) {
    return m_db
        .exec(m_db.dialect().selectLimited(QStringLiteral("1 from hamrah_kala where code_kala=? and code_kala_h=?"),
                                           1),
              {drug, companion})
        .next();
}

bool CompanionStore::isGoods(double code) {
    return m_db.exec(m_db.dialect().selectLimited(QStringLiteral("1 from mosh_kala_anbar where code_kala=?"), 1),
                     {code})
        .next();
}

void CompanionStore::add(double drug, double companion, const QString& condition) {
    m_db.exec(QStringLiteral("insert into hamrah_kala (code_kala, code_kala_h, condition) values (?, ?, ?)"),
              {drug, companion, condition});
}

namespace {

// The rows of a pair are alike but for their condition and have no key of their own: a
// change to "the first" of them rewrites the pair's rows with that one changed or left out.
void rewritePair(Database& db, double drug, double companion, const std::optional<QString>& firstBecomes) {
    Transaction transaction(db);
    QStringList conditions;
    {
        Rows q = db.exec(QStringLiteral("select condition from hamrah_kala where code_kala=? and code_kala_h=?"),
                              {drug, companion});
        while (q.next())
            conditions.append(q.value(0).toString());
    }
    if (conditions.isEmpty()) return;
    if (firstBecomes)
        conditions.first() = *firstBecomes;
    else
        conditions.removeFirst();
    db.exec(QStringLiteral("delete from hamrah_kala where code_kala=? and code_kala_h=?"), {drug, companion});
    for (const QString& condition : std::as_const(conditions))
        db.exec(QStringLiteral("insert into hamrah_kala (code_kala, code_kala_h, condition) values (?, ?, ?)"),
                {drug, companion, condition});
    transaction.commit();
}

} // namespace

bool CompanionStore::changeCondition(double drug, double companion, const QString& condition) {
    if (!exists(drug, companion)) return false;
    rewritePair(m_db, drug, companion, condition);
    return true;
}

void CompanionStore::removeOne(double drug, double companion) {
    rewritePair(m_db, drug, companion, std::nullopt);
}

void CompanionStore::removeAll(double drug) {
    m_db.exec(QStringLiteral("delete from hamrah_kala where code_kala=?"), {drug});
}

} // namespace ph
