#include "insurance/hoteling_store.h"

#include "db/database.h"

namespace ph {

QList<HotelingRow> HotelingStore::drugsOf(int insurer) {
    Rows q = m_db.exec(QStringLiteral("select h.code_bimeh, h.code_kala, k.name_kala, t.name "
                                           "from hoteling h, mosh_kala_anbar k, type_kala t "
                                           "where h.code_bimeh=? and h.code_kala=k.code_kala and k.type_code=t.code "
                                           "order by h.code_kala"),
                            {insurer});
    QList<HotelingRow> rows;
    while (q.next())
        rows.append({q.value(0).toInt(), q.value(1).toDouble(), q.value(2).toString().trimmed(),
                     q.value(3).toString().trimmed()});
    return rows;
}

bool HotelingStore::exists(int insurer, double drug) {
    return m_db
        .exec(m_db.dialect().selectLimited(QStringLiteral("1 from hoteling where code_kala=? and code_bimeh=?"), 1),
              {drug, insurer})
        .next();
}

bool HotelingStore::hasAny(int insurer) {
    return m_db.exec(m_db.dialect().selectLimited(QStringLiteral("1 from hoteling where code_bimeh=?"), 1), {insurer})
        .next();
}

bool HotelingStore::isGoods(double drug) {
    return m_db.exec(m_db.dialect().selectLimited(QStringLiteral("1 from mosh_kala_anbar where code_kala=?"), 1),
                     {drug})
        .next();
}

void HotelingStore::add(int insurer, double drug) {
    m_db.exec(QStringLiteral("insert into hoteling (code_kala, code_bimeh) values (?, ?)"), {drug, insurer});
}

void HotelingStore::remove(int insurer, double drug) {
    m_db.exec(QStringLiteral("delete from hoteling where code_kala=? and code_bimeh=?"), {drug, insurer});
}

void HotelingStore::removeAll(int insurer) {
    m_db.exec(QStringLiteral("delete from hoteling where code_bimeh=?"), {insurer});
}

} // namespace ph
