// The goods sale session and its store: numbering, totals, lines, saving with the cash row
// and the stock, edits settled at their save, deleting, on both engines.
#include "core/scripted_prompter.h"
#include "lots/barcodes.h"
#include "lots/lots.h"
#include "sales/goods_sale_session.h"
#include "sales/sales_texts.h"
#include "sales_fixture.h"
#include "support/audit_entries.h"
#include "support/test_database.h"

#include <QJsonArray>

#include <QTest>

using namespace ph;
using ph::test::TestDatabase;
namespace t = ph::texts::sales;

class GoodsSaleTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstInvoiceIsNumberOne();
    void otcFeeIsCappedAndOnlyExactOtcCounts_data();
    void otcFeeIsCappedAndOnlyExactOtcCounts();
    void lineChecksInOrder_data();
    void lineChecksInOrder();
    void beyondStockWarnsButAdds();
    void emptyListIsRefused();
    void saveWritesHeadingLinesCashAndStockTogether();
    void cashRowWaitsAtSeparateCashDesk();
    void editUpAndDownTwice();
    void failedSaveLeavesNothing();
    void fieldsNotFittingTheirColumnsAreRefused();
    void deleteRefusedWhenClosedAndLeavesPrescriptionRows();
    void numbersTakenTwiceRetry();
    void wardConsumption();
    void removedLineTakesItsScannedPacks();

private:
    std::optional<DrugItem> goods(double code) { return m_session->findGoods(code); }
    void add(double code, const QString& quantity, const QString& kind = t::kGoods) {
        QVERIFY(m_session->addLine(goods(code), quantity, kind).written());
    }
    int saveNew() {
        const GoodsSaveOutcome outcome = m_session->save(test::saleContext(), true);
        if (!outcome.saved) qWarning() << m_prompter->shown().size();
        return outcome.saved ? outcome.invoiceNumber : 0;
    }
    QList<QVariantList> cashRows(int invoice, const QString& kind = QStringLiteral("k")) {
        QList<QVariantList> rows;
        Rows q = m_t->db().exec(QStringLiteral("select koll_daryaft, koll_bargasht, date_no, flag_pa, "
                                                     "code_cashier from cash where sh_factor=? and type_factor=? "
                                                     "order by koll_daryaft desc, koll_bargasht"),
                                     {invoice, kind});
        while (q.next())
            rows.append({q.value(0).toDouble(), q.value(1).toDouble(), q.value(2).toString(), q.value(3).toInt(),
                         q.value(4).toInt()});
        return rows;
    }

    std::unique_ptr<TestDatabase> m_t;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<GoodsSaleSession> m_session;
};

void GoodsSaleTest::init() {
    m_t = std::make_unique<TestDatabase>();
    test::fillShop(m_t->db());
    m_t->db().exec(QStringLiteral("update tarefeh set percent_otc=10, mab_max_otc=500"));
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_session = std::make_unique<GoodsSaleSession>(m_t->db(), *m_prompter);
    m_session->start(test::kSaleDay);
}

void GoodsSaleTest::cleanup() {
    m_session.reset();
    m_t.reset();
}

void GoodsSaleTest::firstInvoiceIsNumberOne() {
    QCOMPARE(m_session->header().invoiceNumber, 1);
    QCOMPARE(m_session->header().family, t::kCustomer);
    QVERIFY(m_session->stockKeeping());
}

void GoodsSaleTest::otcFeeIsCappedAndOnlyExactOtcCounts_data() {
    QTest::addColumn<QStringList>("kinds");
    QTest::addColumn<QList<double>>("totals");
    QTest::addColumn<double>("otc");
    // 1000 × 3 and 1000 × 4 as OTC: 700, capped at 500; a goods line adds nothing to the fee.
    QTest::newRow("capped") << QStringList{t::kOtc, t::kOtc, t::kGoods} << QList<double>{3000, 4000, 150.5} << 500.0;
    QTest::newRow("below the cap") << QStringList{t::kOtc} << QList<double>{3000} << 300.0;
    QTest::newRow("lower case is not OTC") << QStringList{QStringLiteral("otc")} << QList<double>{3000} << 0.0;
    QTest::newRow("no OTC line") << QStringList{t::kGoods} << QList<double>{4000} << 0.0;
}

void GoodsSaleTest::otcFeeIsCappedAndOnlyExactOtcCounts() {
    QFETCH(QStringList, kinds);
    QFETCH(QList<double>, totals);
    QFETCH(double, otc);
    GoodsLines lines;
    double goods = 0;
    for (int i = 0; i < kinds.size(); ++i) {
        lines.append({QString(), QStringLiteral("x"), QStringLiteral("1"), QString(), kinds[i], QStringLiteral("1"),
                      QString::number(totals[i]), QString::number(totals[i])});
        goods += totals[i];
    }
    const GoodsTotals sum = goodsTotals(lines, GoodsLines::Kind, GoodsLines::Total, {10, 500});
    QCOMPARE(sum.otc, otc);
    QCOMPARE(sum.goods, goods);
    QCOMPARE(sum.payable, goods + otc);
}

void GoodsSaleTest::lineChecksInOrder_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("family") << "" << "" << "" << 1010001.0 << t::kNoFamilyForLine << "me_family";
    QTest::newRow("quantity") << "x" << "" << "" << 1010001.0 << t::kNoQuantity << "me_tedad";
    QTest::newRow("kind") << "x" << "2" << " " << 1010001.0 << t::kNoKind << "cb_vaziat";
    QTest::newRow("no price") << "x" << "2" << t::kGoods << 1400001.0 << t::kNoPrice << "DBGrid2";
}

void GoodsSaleTest::lineChecksInOrder() {
    QFETCH(QString, family);
    QFETCH(QString, quantity);
    QFETCH(QString, kind);
    QFETCH(double, code);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    // 1400001 has no stock row of the pharmacy unit, so the unit's list has no price for it.
    m_session->header().family = family;
    std::optional<DrugItem> item = goods(code);
    if (!item) item = DrugItem{code, QStringLiteral("x"), {}, std::nullopt};
    const GoodsLineResult result = m_session->addLine(item, quantity, kind);
    QVERIFY(!result.written());
    QCOMPARE(result.focus, focus);
    QCOMPARE(m_prompter->shown().last().text, message);
    QCOMPARE(m_session->lines().lineCount(), 0);
}

void GoodsSaleTest::beyondStockWarnsButAdds() {
    add(1010001, QStringLiteral("11"));
    add(1010001, QStringLiteral("2"));
    QCOMPARE(m_prompter->texts(), QStringList{t::kBeyondStock});
    QCOMPARE(m_session->lines().lineCount(), 2); // the same goods twice: two lines
    QCOMPARE(m_session->totals().goods, 13000.0);
}

void GoodsSaleTest::emptyListIsRefused() {
    QVERIFY(!m_session->save(test::saleContext(), true).saved);
    QCOMPARE(m_prompter->texts().last(), t::kNoLines);
    QVERIFY(!m_session->save(test::saleContext(), false).saved);
    QCOMPARE(m_prompter->texts().last(), t::kNoSaveRight);
}

void GoodsSaleTest::saveWritesHeadingLinesCashAndStockTogether() {
    Database& db = m_t->db();
    const LotKey lot{QStringLiteral("L7"), QDate(2030, 1, 31)}; // two of the goods' ten are in a lot
    LotStore(db).takeIn(3300001, 20, lot, 2);
    m_session->header().name = QStringLiteral("علي");
    add(1010001, QStringLiteral("2"), t::kOtc);
    add(3300001, QStringLiteral("3"));
    add(1700001, QStringLiteral("1")); // compounded: no stock moves
    QCOMPARE(saveNew(), 1);
    Rows h = db.exec(QStringLiteral("select family, name, code_opr, price_koll, price_otc, price_koll_f, "
                                         "date_sabt from heading_froosh_kala where sh_factor=1"));
    QVERIFY(h.next());
    QCOMPARE(h.value(0).toString(), t::kCustomer);
    QCOMPARE(h.value(2).toInt(), 3);
    QCOMPARE(h.value(3).toDouble(), 2000 + 451.5 + 1200);
    QCOMPARE(h.value(4).toDouble(), 200.0);
    QCOMPARE(h.value(5).toDouble(), 3651.5 + 200);
    QCOMPARE(h.value(6).toString(), test::kSaleDay);
    h.finish();
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from details_froosh_kala where sh_factor=1")).toInt(), 3);
    QCOMPARE(cashRows(1), (QList<QVariantList>{{3851.5, 0.0, test::kSaleDay, 1, 3}}));
    QCOMPARE(db.scalar(QStringLiteral("select family_b from cash where sh_factor=1")).toString(),
             t::kCustomer + QStringLiteral(" علي"));
    QCOMPARE(test::stockOf(db, 1010001), 8.0);
    QCOMPARE(test::stockOf(db, 3300001), 7.0);
    QCOMPARE(test::stockOf(db, 1700001), 10.0);
    QCOMPARE(LotStore(db).find(3300001, 20, lot)->quantity, 0.0);
    // The session is at the next invoice, and showing the stored one gives its lines.
    QCOMPARE(m_session->header().invoiceNumber, 2);
    QVERIFY(m_session->load(1));
    QCOMPARE(m_session->lines().lineCount(), 3);
    QCOMPARE(m_session->totals().payable, 3851.5);
    QCOMPARE(m_session->lines().cell(3, GoodsLines::Quantity), QStringLiteral("3")); // by goods code
    // Saved again unchanged: the stored lines go back and leave again, the compounded one
    // neither way, and no cash row is added.
    m_session->startEdit();
    m_prompter->answerYes();
    QVERIFY(m_session->save(test::saleContext(), true).saved);
    QCOMPARE(test::stockOf(db, 1010001), 8.0);
    QCOMPARE(test::stockOf(db, 1700001), 10.0);
    QCOMPARE(LotStore(db).find(3300001, 20, lot)->quantity, 0.0); // the same lot drawn again
    QCOMPARE(db.scalar(QStringLiteral("select sum(qu) from kala_lot_line where type_doc='k' and sh_factor=1")).toDouble(), 2.0);
    QCOMPARE(cashRows(1).size(), 1);
    QVERIFY(!m_session->load(9));
    QCOMPARE(m_session->lines().lineCount(), 0);
}

void GoodsSaleTest::cashRowWaitsAtSeparateCashDesk() {
    m_t->db().exec(QStringLiteral("update tanzimat set cash=1"));
    add(3300002, QStringLiteral("1"));
    QCOMPARE(saveNew(), 1);
    QCOMPARE(cashRows(1), (QList<QVariantList>{{80.0, 0.0, test::kSaleDay, 0, 7}}));
}

void GoodsSaleTest::editUpAndDownTwice() {
    Database& db = m_t->db();
    add(1010001, QStringLiteral("10")); // 10,000
    QCOMPARE(saveNew(), 1);
    QCOMPARE(test::stockOf(db, 1010001), 0.0);
    struct Step {
        QString quantity;
        QList<QVariantList> newRow; // the cash row the edit adds
        double stock;
    };
    const QString today = QStringLiteral("05/07/25");
    const QList<Step> steps = {
        {QStringLiteral("12"), {{2000.0, 0.0, test::kSaleDay, 1, 3}}, -2},
        {QStringLiteral("9"), {{0.0, 3000.0, today, 1, 3}}, 1},
        {QStringLiteral("11"), {{2000.0, 0.0, test::kSaleDay, 1, 3}}, -1},
        {QStringLiteral("10"), {{0.0, 1000.0, today, 1, 3}}, 0},
    };
    for (const Step& step : steps) {
        QVERIFY(m_session->load(1));
        const double before = test::stockOf(db, 1010001);
        m_session->startEdit();
        QCOMPARE(test::stockOf(db, 1010001), before); // beginning an edit writes nothing
        QVERIFY(m_session->replaceLine(1, step.quantity, t::kGoods).written());
        m_prompter->answerYes();
        const GoodsSaveOutcome outcome = m_session->save({3, 7, today, QStringLiteral("11:00")}, true);
        QVERIFY(outcome.saved);
        QCOMPARE(outcome.invoiceNumber, 1);
        QCOMPARE(test::stockOf(db, 1010001), step.stock);
        const double payable = step.quantity.toDouble() * 1000;
        QCOMPARE(db.scalar(QStringLiteral("select sum(koll_daryaft) - sum(koll_bargasht) from cash "
                                          "where sh_factor=1 and type_factor='k'"))
                     .toDouble(),
                 payable);
        QCOMPARE(db.scalar(QStringLiteral("select price_koll_f from heading_froosh_kala where sh_factor=1")).toDouble(),
                 payable);
        QVERIFY(cashRows(1).contains(step.newRow.first()));
    }
    QCOMPARE(cashRows(1).size(), 5);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from heading_froosh_kala")).toInt(), 1);
}

void GoodsSaleTest::failedSaveLeavesNothing() {
    Database& db = m_t->db();
    add(1010001, QStringLiteral("2"));
    // A cash table that refuses every row makes the save fail after the heading and lines.
    db.exec(QStringLiteral("drop table cash"));
    QVERIFY_THROWS_EXCEPTION(std::exception, m_session->save(test::saleContext(), true));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from heading_froosh_kala")).toInt(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from details_froosh_kala")).toInt(), 0);
    QCOMPARE(test::stockOf(db, 1010001), 10.0);
    QCOMPARE(m_session->lines().lineCount(), 1); // nothing lost on the screen either
}

// A text with a NUL, or a number beyond the integer column, is refused with a message
// naming the field before anything is written, on every engine alike.
void GoodsSaleTest::fieldsNotFittingTheirColumnsAreRefused() {
    Database& db = m_t->db();
    add(1010001, QStringLiteral("2"));
    m_session->header().family = QStringLiteral("رضا") + QChar(0) + QStringLiteral("يي");
    GoodsSaveOutcome outcome = m_session->save(test::saleContext(), true);
    QVERIFY(!outcome.saved);
    QCOMPARE(outcome.focus, QStringLiteral("me_family"));
    QCOMPARE(m_prompter->texts().last(), QStringLiteral("نام خانوادگي نويسه نامعتبر دارد"));

    GoodsSaleSession ward(db, *m_prompter, SaleVariant::WardConsumption);
    ward.start(test::kSaleDay);
    ward.header().requestNumber = QStringLiteral("4411");
    QVERIFY(ward.addLine(ward.findGoods(1010001), QStringLiteral("3"), t::kOtc).written());
    ward.header().wardCode = QStringLiteral("99999999999");
    outcome = ward.save(test::saleContext(), true);
    QVERIFY(!outcome.saved);
    QCOMPARE(outcome.focus, QStringLiteral("me_code_bakhsh"));
    QCOMPARE(m_prompter->texts().last(), QStringLiteral("بخش بيش از اندازه مجاز است"));
    for (const char* table : {"heading_froosh_kala", "details_froosh_kala", "heading_masrafi", "details_masrafi", "cash"})
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from %1").arg(QLatin1String(table))).toInt(), 0);
    QCOMPARE(test::stockOf(db, 1010001), 10.0);
}

void GoodsSaleTest::deleteRefusedWhenClosedAndLeavesPrescriptionRows() {
    Database& db = m_t->db();
    add(3300002, QStringLiteral("1"));
    QCOMPARE(saveNew(), 1);
    add(3300002, QStringLiteral("2"));
    QCOMPARE(saveNew(), 2);
    // A prescription with the same number as goods invoice 2 has its own cash row.
    db.exec(QStringLiteral("insert into cash (sh_factor, type_factor, flag_pa, ekhtetam, koll_daryaft) "
                           "values (2, 'd', 1, 0, 999)"));
    db.exec(QStringLiteral("update cash set ekhtetam=1 where sh_factor=1 and type_factor='k'"));

    QVERIFY(m_session->load(1));
    m_prompter->answerYes();
    QCOMPARE(m_session->removeStored(true, {}), GoodsSaleSession::RemoveOutcome::Refused);
    QCOMPARE(m_prompter->texts().last(), t::kDeleteClosed);
    QVERIFY(m_session->store().exists(1));
    QCOMPARE(cashRows(1).size(), 1);

    QVERIFY(m_session->load(2));
    QCOMPARE(m_session->removeStored(false, {}), GoodsSaleSession::RemoveOutcome::Refused);
    m_prompter->answerYes();
    QCOMPARE(m_session->removeStored(true, {}), GoodsSaleSession::RemoveOutcome::Removed);
    QVERIFY(!m_session->store().exists(2));
    // The refused deletion left no entry; the saves and the deletion one each.
    QCOMPARE(test::auditChanges(db, QStringLiteral("goods_invoice"), QStringLiteral("1")).size(), 1);
    QCOMPARE(test::auditChanges(db, QStringLiteral("goods_invoice"), QStringLiteral("2")).size(), 2);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from details_froosh_kala where sh_factor=2")).toInt(), 0);
    QCOMPARE(cashRows(2).size(), 0);
    QCOMPARE(cashRows(2, QStringLiteral("d")).size(), 1);
    // The deleted invoice's lines are back in stock (the refused one's stay out).
    QCOMPARE(test::stockOf(db, 3300002), 9.0);
}

void GoodsSaleTest::numbersTakenTwiceRetry() {
    // Another workstation's session, on its own connection, saves between this one's
    // start and its save: both invoices are kept, each with its own number.
    auto other = m_t->connect();
    ScriptedPrompter otherPrompter;
    GoodsSaleSession second(*other, otherPrompter);
    second.start(test::kSaleDay);
    QCOMPARE(second.header().invoiceNumber, 1);
    QVERIFY(second.addLine(second.findGoods(3300002), QStringLiteral("1"), t::kGoods).written());
    add(3300001, QStringLiteral("1"));
    QCOMPARE(second.save(test::saleContext(4), true).invoiceNumber, 1);
    QCOMPARE(saveNew(), 2);
    QCOMPARE(m_t->db().scalar(QStringLiteral("select count(*) from cash where type_factor='k'")).toInt(), 2);
}

void GoodsSaleTest::wardConsumption() {
    Database& db = m_t->db();
    add(3300002, QStringLiteral("1")); // goods invoice 1 on the goods counter
    QCOMPARE(saveNew(), 1);
    GoodsSaleSession ward(db, *m_prompter, SaleVariant::WardConsumption);
    ward.start(test::kSaleDay);
    QCOMPARE(ward.header().invoiceNumber, 1); // a counter of its own
    QCOMPARE(ward.kinds().first(), QStringLiteral("تعرفه"));
    // The request number comes first; then saving asks for the ward.
    QVERIFY(!ward.addLine(ward.findGoods(1010001), QStringLiteral("3"), t::kOtc).written());
    QCOMPARE(m_prompter->texts().last(), t::kNoRequestForLine);
    QVERIFY(!ward.save(test::saleContext(), true).saved);
    QCOMPARE(m_prompter->texts().last(), t::kNoRequest);
    ward.header().requestNumber = QStringLiteral("R-0205"); // free text, kept as written
    QVERIFY(ward.addLine(ward.findGoods(1010001), QStringLiteral("3"), t::kOtc).written());
    QVERIFY(ward.addLine(ward.findGoods(3300002), QStringLiteral("2"), QStringLiteral("تعرفه")).written());
    QCOMPARE(ward.totals().payable, 3160.0); // no OTC fee, whatever the kinds
    QVERIFY(!ward.save(test::saleContext(), true).saved);
    QCOMPARE(m_prompter->texts().last(), t::kNoWard);
    ward.header().wardCode = QStringLiteral("3");
    const GoodsSaveOutcome saved = ward.save(test::saleContext(), true);
    QVERIFY(saved.saved);
    QCOMPARE(saved.invoiceNumber, 1);
    Rows h = db.exec(QStringLiteral("select date_sabt, date_no, sh_darkhast, code_bakhsh, price_koll, code_opr "
                                         "from heading_masrafi where sh_factor=1"));
    QVERIFY(h.next());
    QCOMPARE(h.value(1).toString(), test::kSaleDay);
    QCOMPARE(h.value(2).toString(), QStringLiteral("R-0205"));
    QCOMPARE(h.value(3).toInt(), 3);
    QCOMPARE(h.value(4).toDouble(), 3160.0);
    QCOMPARE(h.value(5).toInt(), 3);
    h.finish();
    QCOMPARE(db.scalar(QStringLiteral("select sum(price_one * tedad) from details_masrafi")).toDouble(), 3160.0);
    QCOMPARE(test::stockOf(db, 1010001), 7.0);
    QCOMPARE(test::stockOf(db, 3300002), 7.0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from cash")).toInt(), 1); // the goods invoice's only

    // Shown, corrected (stock settled at the save), deleted without touching the cash.
    QVERIFY(ward.load(1));
    QCOMPARE(ward.header().requestNumber, QStringLiteral("R-0205"));
    QCOMPARE(ward.header().wardCode, QStringLiteral("3"));
    ward.startEdit();
    QVERIFY(ward.replaceLine(1, QStringLiteral("1"), t::kOtc).written());
    m_prompter->answerYes();
    QVERIFY(ward.save(test::saleContext(), true).saved);
    QCOMPARE(test::stockOf(db, 1010001), 9.0);
    QCOMPARE(db.scalar(QStringLiteral("select price_koll from heading_masrafi")).toDouble(), 1160.0);
    QVERIFY(ward.load(1));
    m_prompter->answerYes();
    QCOMPARE(ward.removeStored(true, {}), GoodsSaleSession::RemoveOutcome::Removed);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from details_masrafi")).toInt(), 0);
    QCOMPARE(test::stockOf(db, 1010001), 10.0); // its lines back in stock
    // The history: saved, corrected (the total 1160 after), deleted (its request number before).
    const QList<QJsonObject> history = test::auditChanges(db, QStringLiteral("ward_consumption"), QStringLiteral("1"));
    QCOMPARE(history.size(), 3);
    QCOMPARE(test::auditField(history[1], QStringLiteral("price_koll"), "after").toDouble(), 1160.0);
    QVERIFY(test::auditField(history[1], QStringLiteral("price_koll"), "before").toDouble() != 1160.0);
    QCOMPARE(test::auditField(history[2], QStringLiteral("sh_darkhast"), "before").toString(), QStringLiteral("R-0205"));
    QVERIFY(test::auditLines(history[2], "after").isEmpty());
    QVERIFY(!test::auditLines(history[2], "before").isEmpty());
    QCOMPARE(test::stockOf(db, 3300002), 9.0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from cash")).toInt(), 1);
}

void GoodsSaleTest::removedLineTakesItsScannedPacks() {
    Database& db = m_t->db();
    const LotKey early{QStringLiteral("E1"), QDate(2027, 6, 30)};
    const LotKey scanned{QStringLiteral("B7"), QDate(2029, 12, 31)};
    LotStore(db).takeIn(3300001, 20, early, 4);
    LotStore(db).takeIn(3300001, 20, scanned, 6);
    BarcodeStore(db).add(3300001, QStringLiteral("6260000000019"));
    QCOMPARE(m_session->takeScan(QStringLiteral("]d201062600000000191729123110B7~21SN1"), t::kGoods).status,
             PackScanResult::Status::Added);
    // The scanned line removed and the item added from the list: no pack of it is given.
    m_session->removeLine(1);
    add(3300001, QStringLiteral("1"));
    QCOMPARE(saveNew(), 1);
    QCOMPARE(LotStore(db).find(3300001, 20, early)->quantity, 3.0);
    QCOMPARE(LotStore(db).find(3300001, 20, scanned)->quantity, 6.0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from kala_serial")).toInt(), 0);
}

QTEST_GUILESS_MAIN(GoodsSaleTest)
#include "goods_sale_test.moc"
