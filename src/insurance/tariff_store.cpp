#include "insurance/tariff_store.h"

#include "audit/audit_changes.h"
#include "db/database.h"
#include "db/key_allocator.h"
#include "db/transaction.h"

namespace ph {
namespace {

const char* const kColumns = "from_d, to_d, mab_fani_saghf, mab_day_down, mab_day_up, mab_night_down, "
                             "mab_night_up, percent_otc, mab_max_otc, mab_orj, mab_orj_down, mab_orj_up";

QVariantList values(const TariffPeriod& p) {
    return {p.fromDate, p.toDate,     p.feeCeiling, p.dayDown,          p.dayUp,         p.nightDown,
            p.nightUp,  p.otcPercent, p.otcMax,     p.emergencyCeiling, p.emergencyDown, p.emergencyUp};
}

// A date the entry panel left empty: no text, or the blank mask "  /  /  ".
bool isMissing(const QString& date) {
    for (QChar c : date)
        if (c.isDigit()) return false;
    return true;
}

bool exists(Database& db, const QString& from, const QString& to) {
    return db
        .exec(db.dialect().selectLimited(QStringLiteral("1 from tarefeh where from_d=? and to_d=?"), 1),
              {from, to})
        .next();
}

void rewrite(Database& db, const QString& from, const QString& to, const TariffPeriod& p) {
    db.exec(
        QStringLiteral("update tarefeh set from_d=?, to_d=?, mab_fani_saghf=?, mab_day_down=?, mab_day_up=?, "
                       "mab_night_down=?, mab_night_up=?, percent_otc=?, mab_max_otc=?, mab_orj=?, "
                       "mab_orj_down=?, mab_orj_up=? where from_d=? and to_d=?"),
        values(p) + QVariantList{from, to});
}

} // namespace

QList<TariffPeriod> TariffStore::all() {
    QList<TariffPeriod> periods;
    Rows q =
        m_db.exec(QStringLiteral("select %1 from tarefeh order by coalesce(ord, 0)").arg(QLatin1String(kColumns)));
    while (q.next()) {
        TariffPeriod p;
        p.fromDate = q.value(0).toString();
        p.toDate = q.value(1).toString();
        p.feeCeiling = q.value(2).toDouble();
        p.dayDown = q.value(3).toDouble();
        p.dayUp = q.value(4).toDouble();
        p.nightDown = q.value(5).toDouble();
        p.nightUp = q.value(6).toDouble();
        p.otcPercent = q.value(7).toDouble();
        p.otcMax = q.value(8).toDouble();
        p.emergencyCeiling = q.value(9).toDouble();
        p.emergencyDown = q.value(10).toDouble();
        p.emergencyUp = q.value(11).toDouble();
        periods.append(p);
    }
    return periods;
}

std::optional<TariffPeriod> TariffStore::inForce() {
    const QList<TariffPeriod> periods = all();
    if (periods.isEmpty()) return std::nullopt;
    return periods.first();
}

namespace {

// Writes the period over the stored one with its dates, or over the edited one, else as a
// new row; inside the caller's transaction.
void storePeriod(Database& db, const TariffPeriod& period, const TariffPeriod* editing) {
    const bool samePair = editing && editing->fromDate == period.fromDate && editing->toDate == period.toDate;
    if (exists(db, period.fromDate, period.toDate)) {
        rewrite(db, period.fromDate, period.toDate, period);
        if (editing && !samePair)
            db.exec(QStringLiteral("delete from tarefeh where from_d=? and to_d=?"),
                    {editing->fromDate, editing->toDate});
    } else if (editing && exists(db, editing->fromDate, editing->toDate)) {
        rewrite(db, editing->fromDate, editing->toDate, period);
    } else {
        // Entered rows keep their order, so "the first row" stays the same row on every engine.
        const qint64 order = nextKey(db, QStringLiteral("tarefeh"), QStringLiteral("ord"));
        db.exec(QStringLiteral("insert into tarefeh (%1, ord) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                    .arg(QLatin1String(kColumns)),
                values(period) + QVariantList{order});
    }
}

} // namespace

TariffStore::SaveResult TariffStore::save(const TariffPeriod& period, const TariffPeriod* editing) {
    if (isMissing(period.fromDate) || isMissing(period.toDate)) return SaveResult::MissingDate;
    // The history records the period's row and the edited one's, before and after.
    const TariffPeriod& old = editing ? *editing : period;
    writeRecorded(m_db, m_origin, QStringLiteral("tariff"), period.fromDate + u'-' + period.toDate,
                  QStringLiteral("tarefeh"), QStringLiteral("(from_d=? and to_d=?) or (from_d=? and to_d=?)"),
                  {period.fromDate, period.toDate, old.fromDate, old.toDate},
                  [&] { storePeriod(m_db, period, editing); });
    return SaveResult::Stored;
}

void TariffStore::remove(const QString& fromDate, const QString& toDate) {
    writeRecorded(m_db, m_origin, QStringLiteral("tariff"), fromDate + u'-' + toDate, QStringLiteral("tarefeh"),
                  QStringLiteral("from_d=? and to_d=?"), {fromDate, toDate}, [&] {
                      m_db.exec(QStringLiteral("delete from tarefeh where from_d=? and to_d=?"), {fromDate, toDate});
                  });
}

} // namespace ph
