#include "sales/cash_desk.h"

#include "audit/audit_changes.h"
#include "audit/audit_kinds.h"
#include "audit/audit_log.h"
#include "db/database.h"
#include "db/key_allocator.h"

namespace ph {

namespace {
// Rows a running closing has taken, until it marks them closed before it commits; no other
// connection ever sees this value.
constexpr int kBeingClosed = 2;
} // namespace

QList<WaitingPayment> CashDesk::waiting() {
    QList<WaitingPayment> rows;
    Rows q = m_db.exec(QStringLiteral("select sh_factor, type_factor, family_b, date_no, time_no, koll_daryaft "
                                           "from cash where flag_pa=0 order by sh_factor, type_factor"));
    while (q.next())
        rows.append({q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                     q.value(4).toString(), q.value(5).toDouble()});
    return rows;
}

double CashDesk::receivedSinceClosing() {
    return m_db.scalar(QStringLiteral("select coalesce(sum(koll_daryaft), 0) from cash where flag_pa=1 and ekhtetam=0"))
        .toDouble();
}

CashDesk::PayResult CashDesk::pay(int invoice, const QString& kind, int cashier, const QString& date,
                                  const QString& time, const AuditOrigin& origin) {
    return saveInTransaction(m_db, [&] {
        Rows q = m_db.exec(QStringLiteral("update cash set flag_pa=1, date_pa=?, time_pa=?, code_cashier=? "
                                               "where sh_factor=? and type_factor=? and flag_pa=0"),
                                {date, time, cashier, invoice, kind});
        if (q.numRowsAffected() <= 0) return PayResult::AlreadyPaid;
        q.finish();
        appendAudit(m_db, origin,
                    {audit_kind::kCash, kind + u':' + QString::number(invoice),
                     documentChanges({{QStringLiteral("flag_pa"), 0}},
                                     {{QStringLiteral("flag_pa"), 1},
                                      {QStringLiteral("date_pa"), date},
                                      {QStringLiteral("time_pa"), time},
                                      {QStringLiteral("code_cashier"), cashier}})});
        return PayResult::Paid;
    });
}

TillFigures CashDesk::sum(const QString& condition) {
    TillFigures f;
    Rows q = m_db.exec(QStringLiteral("select type_factor, count(*), coalesce(sum(koll_daryaft), 0), "
                                           "coalesce(sum(koll_bargasht), 0) from cash where %1 "
                                           "group by type_factor order by type_factor")
                                .arg(condition));
    while (q.next()) {
        const TillFigures::ByKind kind{q.value(0).toString(), q.value(1).toInt(), q.value(2).toDouble(),
                                       q.value(3).toDouble()};
        f.byKind.append(kind);
        f.rows += kind.rows;
        f.received += kind.received;
        f.refunded += kind.refunded;
    }
    q.finish();
    Rows first = m_db.exec(m_db.dialect().selectLimited(
        QStringLiteral("date_no, time_no from cash where %1 order by date_no, time_no").arg(condition), 1));
    if (first.next()) {
        f.firstDate = first.value(0).toString();
        f.firstTime = first.value(1).toString();
    }
    return f;
}

TillFigures CashDesk::figures() {
    return sum(QStringLiteral("ekhtetam=0 and flag_pa=1"));
}

TillClosing CashDesk::close(int cashier, const QString& endDate, const QString& endTime, const AuditOrigin& origin) {
    return saveInTransaction(m_db, [&] {
        // One statement takes the rows paid so far; what it took is what is summed and closed.
        m_db.exec(QStringLiteral("update cash set ekhtetam=? where ekhtetam=0 and flag_pa=1"), {kBeingClosed});
        TillClosing closing;
        closing.cashier = cashier;
        closing.figures = sum(QStringLiteral("ekhtetam=%1").arg(kBeingClosed));
        closing.endDate = endDate;
        closing.endTime = endTime;
        closing.firstDate = closing.figures.rows ? closing.figures.firstDate : endDate;
        closing.firstTime = closing.figures.rows ? closing.figures.firstTime : endTime;
        m_db.exec(QStringLiteral("insert into ekhtetam (code_cashier, date_first, time_first, date_end, time_end, "
                                 "koll_daryaft, koll_bargasht, khales) values (?, ?, ?, ?, ?, ?, ?, ?)"),
                  {cashier, closing.firstDate, closing.firstTime, endDate, endTime, closing.figures.received,
                   closing.figures.refunded, closing.figures.net()});
        m_db.exec(QStringLiteral("update cash set ekhtetam=1 where ekhtetam=?"), {kBeingClosed});
        appendAudit(m_db, origin,
                    {audit_kind::kTillClosing, endDate + u' ' + endTime,
                     documentChanges({}, {{QStringLiteral("code_cashier"), cashier},
                                          {QStringLiteral("date_first"), closing.firstDate},
                                          {QStringLiteral("time_first"), closing.firstTime},
                                          {QStringLiteral("date_end"), endDate},
                                          {QStringLiteral("time_end"), endTime},
                                          {QStringLiteral("koll_daryaft"), closing.figures.received},
                                          {QStringLiteral("koll_bargasht"), closing.figures.refunded},
                                          {QStringLiteral("khales"), closing.figures.net()},
                                          {QStringLiteral("rows_closed"), closing.figures.rows}})});
        return closing;
    });
}

} // namespace ph
