// The cash desk on both engines: payments, two cashiers collecting one invoice, till
// closings with sales going on at another counter.
#include "dispensing/settings_store.h"
#include "support/audit_entries.h"
#include "db/transaction.h"
#include "sales/cash_desk.h"
#include "sales_fixture.h"
#include "support/cli_run.h"
#include "support/test_database.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QTest>

using namespace ph;
using ph::test::TestDatabase;

class CashDeskTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void payingMovesTheRowIntoTheTill();
    void sameNumberOfTwoKindsAreDistinct();
    void twoCashiersCollectOneInvoice();
    void closingWithNothingPaid();
    void closingCountsEachPaidRowOnce();
    void closingWhileAnotherCounterSells();
    void tillKeeper();
    void tillCommandShowsWhatAClosingWouldRecord();

private:
    // A sale's cash row as the selling windows write it.
    static void sell(Database& db, int invoice, const QString& kind, double amount, bool paid,
                     const QString& time = QStringLiteral("09:00"), double refund = 0) {
        db.exec(QStringLiteral("insert into cash (sh_factor, type_factor, code_opr, code_cashier, flag_pa, date_no, "
                               "time_no, koll_daryaft, koll_bargasht, ekhtetam, family_b) "
                               "values (?, ?, 3, 7, ?, ?, ?, ?, ?, 0, 'x')"),
                {invoice, kind, paid ? 1 : 0, test::kSaleDay, time, amount, refund});
    }
    double closedSum(Database& db) {
        return db.scalar(QStringLiteral("select coalesce(sum(koll_daryaft), 0) from ekhtetam")).toDouble();
    }

    std::unique_ptr<TestDatabase> m_t;
};

void CashDeskTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Schema(m_t->db()).ensure();
}

void CashDeskTest::cleanup() {
    m_t.reset();
}

void CashDeskTest::payingMovesTheRowIntoTheTill() {
    Database& db = m_t->db();
    CashDesk desk(db);
    sell(db, 4, QStringLiteral("k"), 1500, false);
    sell(db, 2, QStringLiteral("d"), 700, true);
    QCOMPARE(desk.waiting().size(), 1);
    QCOMPARE(desk.receivedSinceClosing(), 700.0);
    QCOMPARE(desk.pay(4, QStringLiteral("k"), 9, QStringLiteral("05/07/21"), QStringLiteral("12:05"), {}),
             CashDesk::PayResult::Paid);
    QVERIFY(desk.waiting().isEmpty());
    QCOMPARE(desk.receivedSinceClosing(), 2200.0);
    Rows q = db.exec(QStringLiteral("select code_cashier, date_pa, time_pa from cash where sh_factor=4"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 9);
    QCOMPARE(q.value(1).toString(), QStringLiteral("05/07/21"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("12:05"));
}

void CashDeskTest::sameNumberOfTwoKindsAreDistinct() {
    Database& db = m_t->db();
    CashDesk desk(db);
    sell(db, 5, QStringLiteral("d"), 100, false);
    sell(db, 5, QStringLiteral("k"), 200, false);
    QCOMPARE(desk.pay(5, QStringLiteral("d"), 9, test::kSaleDay, QStringLiteral("10:00"), {}), CashDesk::PayResult::Paid);
    const QList<WaitingPayment> left = desk.waiting();
    QCOMPARE(left.size(), 1);
    QCOMPARE(left.first().kind, QStringLiteral("k"));
    QCOMPARE(left.first().total, 200.0);
}

void CashDeskTest::twoCashiersCollectOneInvoice() {
    Database& db = m_t->db();
    sell(db, 8, QStringLiteral("k"), 5000, false);
    auto other = m_t->connect();
    CashDesk first(db);
    CashDesk second(*other);
    // Both lists show the invoice; both cashiers press F2 on it.
    QCOMPARE(first.waiting().size(), 1);
    QCOMPARE(second.waiting().size(), 1);
    QCOMPARE(second.pay(8, QStringLiteral("k"), 11, test::kSaleDay, QStringLiteral("10:01"), {}),
             CashDesk::PayResult::Paid);
    QCOMPARE(first.pay(8, QStringLiteral("k"), 9, test::kSaleDay, QStringLiteral("10:01"), {}),
             CashDesk::PayResult::AlreadyPaid);
    QCOMPARE(db.scalar(QStringLiteral("select code_cashier from cash where sh_factor=8")).toInt(), 11);
    // One payment recorded, by the cashier who took it; the refused second one left nothing.
    const QList<QJsonObject> paid = test::auditChanges(db, QStringLiteral("cash"), QStringLiteral("k:8"));
    QCOMPARE(paid.size(), 1);
    QCOMPARE(test::auditField(paid[0], QStringLiteral("flag_pa"), "before").toDouble(), 0.0);
    QCOMPARE(test::auditField(paid[0], QStringLiteral("flag_pa"), "after").toDouble(), 1.0);
    QCOMPARE(test::auditField(paid[0], QStringLiteral("code_cashier"), "after").toDouble(), 11.0);
    QCOMPARE(first.receivedSinceClosing(), 5000.0);
}

void CashDeskTest::closingWithNothingPaid() {
    Database& db = m_t->db();
    sell(db, 1, QStringLiteral("d"), 300, false); // unpaid rows are never closed
    const TillClosing closing = CashDesk(db).close(7, test::kSaleDay, QStringLiteral("18:00"), {});
    QCOMPARE(closing.figures.received, 0.0);
    Rows q = db.exec(QStringLiteral("select date_first, time_first, koll_daryaft, koll_bargasht, khales, "
                                         "code_cashier from ekhtetam"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), test::kSaleDay);
    QCOMPARE(q.value(1).toString(), QStringLiteral("18:00"));
    QCOMPARE(q.value(2).toDouble() + q.value(3).toDouble() + q.value(4).toDouble(), 0.0);
    QCOMPARE(q.value(5).toInt(), 7);
    q.finish();
    QCOMPARE(db.scalar(QStringLiteral("select ekhtetam from cash where sh_factor=1")).toInt(), 0);
}

void CashDeskTest::closingCountsEachPaidRowOnce() {
    Database& db = m_t->db();
    CashDesk desk(db);
    sell(db, 1, QStringLiteral("d"), 1000, true, QStringLiteral("08:15"));
    sell(db, 1, QStringLiteral("k"), 500, true, QStringLiteral("09:40"));
    sell(db, 1, QStringLiteral("k"), 0, true, QStringLiteral("10:10"), 200); // an edit paid back 200
    sell(db, 2, QStringLiteral("k"), 900, false);
    const TillFigures before = desk.figures();
    QCOMPARE(before.rows, 3);
    QCOMPARE(before.net(), 1300.0);
    QCOMPARE(before.firstTime, QStringLiteral("08:15"));
    QCOMPARE(before.byKind.size(), 2);

    const TillClosing closing = desk.close(7, test::kSaleDay, QStringLiteral("18:00"), {});
    QCOMPARE(closing.figures.received, 1500.0);
    QCOMPARE(closing.figures.refunded, 200.0);
    QCOMPARE(closing.firstTime, QStringLiteral("08:15"));
    QCOMPARE(db.scalar(QStringLiteral("select khales from ekhtetam")).toDouble(), 1300.0);
    const QList<QJsonObject> closed =
        test::auditChanges(db, QStringLiteral("till_closing"), test::kSaleDay + QStringLiteral(" 18:00"));
    QCOMPARE(closed.size(), 1);
    QCOMPARE(test::auditField(closed[0], QStringLiteral("khales"), "after").toDouble(), 1300.0);
    QCOMPARE(test::auditField(closed[0], QStringLiteral("rows_closed"), "after").toDouble(), 3.0);
    // A second closing finds nothing more; paying the waiting row leaves it for the next.
    QCOMPARE(desk.figures().rows, 0);
    desk.pay(2, QStringLiteral("k"), 7, test::kSaleDay, QStringLiteral("18:05"), {});
    QCOMPARE(desk.close(7, test::kSaleDay, QStringLiteral("20:00"), {}).figures.received, 900.0);
    QCOMPARE(closedSum(db), 2400.0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from cash where ekhtetam<>1")).toInt(), 0);
}

void CashDeskTest::closingWhileAnotherCounterSells() {
    Database& db = m_t->db();
    auto counter = m_t->connect();
    sell(db, 1, QStringLiteral("d"), 1000, true);
    CashDesk desk(db);
    const TillFigures shown = desk.figures(); // the summary the closing window shows
    QCOMPARE(shown.received, 1000.0);
    if (m_t->engine() == Engine::Postgres) {
        // The other counter's sale is still being saved while the till closes: the closing
        // neither waits for it nor counts it.
        Transaction sale(*counter);
        sell(*counter, 2, QStringLiteral("k"), 400, true);
        QCOMPARE(desk.close(7, test::kSaleDay, QStringLiteral("18:00"), {}).figures.received, 1000.0);
        sale.commit();
    } else {
        // The embedded engine lets one writer in at a time: the sale lands just before or just
        // after the closing; here, after it.
        QCOMPARE(desk.close(7, test::kSaleDay, QStringLiteral("18:00"), {}).figures.received, 1000.0);
        sell(*counter, 2, QStringLiteral("k"), 400, true);
    }
    // The new sale waits for the next closing, which counts only it.
    QCOMPARE(db.scalar(QStringLiteral("select ekhtetam from cash where sh_factor=2")).toInt(), 0);
    QCOMPARE(CashDesk(*counter).close(7, test::kSaleDay, QStringLiteral("20:00"), {}).figures.received, 400.0);
    QCOMPARE(closedSum(db), 1400.0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from ekhtetam")).toInt(), 2);
}

void CashDeskTest::tillKeeper() {
    Database& db = m_t->db();
    SettingsStore settings(db);
    QVERIFY(!settings.tillKeeper().defined);
    settings.setTillKeeper({true, QStringLiteral(" 12 ")});
    QCOMPARE(settings.tillKeeper().code, QStringLiteral("12"));
    QVERIFY(settings.tillKeeper().defined);
    settings.setTillKeeper({false, QStringLiteral("12")});
    QVERIFY(!settings.tillKeeper().defined);
    QVERIFY(settings.tillKeeper().code.isEmpty());
}

void CashDeskTest::tillCommandShowsWhatAClosingWouldRecord() {
    Database& db = m_t->db();
    sell(db, 1, QStringLiteral("d"), 1000, true, QStringLiteral("08:30"));
    sell(db, 1, QStringLiteral("k"), 250.5, true, QStringLiteral("09:00"));
    sell(db, 2, QStringLiteral("k"), 0, true, QStringLiteral("09:10"), 50);
    sell(db, 3, QStringLiteral("k"), 400, false);
    const int before = db.scalar(QStringLiteral("select count(*) from cash where ekhtetam=0")).toInt();
    const test::CliRun run = test::pharmacyctl({QStringLiteral("--dir"), m_t->workingDir(), QStringLiteral("till")});
    QCOMPARE(run.status, 0);
    const QJsonObject till = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QCOMPARE(till.value(QStringLiteral("received")).toDouble(), 1250.5);
    QCOMPARE(till.value(QStringLiteral("refunded")).toDouble(), 50.0);
    QCOMPARE(till.value(QStringLiteral("net")).toDouble(), 1200.5);
    QCOMPARE(till.value(QStringLiteral("first_time")).toString(), QStringLiteral("08:30"));
    QCOMPARE(till.value(QStringLiteral("waiting_total")).toDouble(), 400.0);
    const QJsonArray kinds = till.value(QStringLiteral("by_kind")).toArray();
    QCOMPARE(kinds.size(), 2);
    QCOMPARE(kinds.at(1).toObject().value(QStringLiteral("net")).toDouble(), 200.5);
    // It reads only.
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from cash where ekhtetam=0")).toInt(), before);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from ekhtetam")).toInt(), 0);
    const test::CliRun wrong =
        test::pharmacyctl({QStringLiteral("--dir"), m_t->workingDir(), QStringLiteral("till"), QStringLiteral("--x")});
    QCOMPARE(wrong.status, 2);
}

QTEST_GUILESS_MAIN(CashDeskTest)
#include "cash_desk_test.moc"
