#include "db/transaction.h"
#include "lots/lots.h"
#include "report_fixture.h"
#include "reports/goods_sheet.h"
#include "reports/sales_report.h"
#include "reports/stock_store.h"
#include "reports/store_documents.h"
#include "support/test_database.h"

#include <QMap>
#include <QTest>

#include <memory>
#include <optional>
#include <thread>

using namespace ph;
using namespace ph::test;

namespace {

struct Expected {
    double quantity = 0;
    double amount = 0;
    double insurer = 0;
    double patient = 0;
};

bool inRange(const QString& date, const SalesRequest& r) { return date >= r.from && date <= r.to; }

bool itemWanted(double code, const SalesRequest& r) {
    if (r.item) return code == *r.item;
    return (!r.codeFrom || code >= *r.codeFrom) && (!r.codeTo || code <= *r.codeTo);
}

const FixturePrescription& prescription(int number) {
    for (const FixturePrescription& p : kPrescriptions)
        if (p.number == number) return p;
    Q_UNREACHABLE();
}

// The report summed from the fixture's own tables, line by line, with `extraGoods` sold too.
QMap<double, Expected> expectedReport(const SalesRequest& r, const QList<FixtureGoodsLine>& extraGoods) {
    QMap<double, Expected> sums;
    for (const FixturePrescriptionLine& l : kPrescriptionLines) {
        const FixturePrescription& p = prescription(l.invoice);
        if (r.kind == SalesReportKind::General) {
            if (!inRange(QString::fromLatin1(p.entered), r)) continue;
            const double code = l.substituted ? l.prescribed : l.code;
            if (!itemWanted(code, r)) continue;
            sums[code].quantity += l.substituted ? l.prescribedQty : l.quantity;
            sums[code].amount += l.substituted ? l.prescribedQty * l.prescribedPrice : l.total;
        } else {
            if (!inRange(QString::fromLatin1(p.written), r) || !itemWanted(l.code, r)) continue;
            if (r.kind == SalesReportKind::ByInsurer ? p.insurer != r.insurer : QString::fromLatin1(p.doctor) != r.doctor)
                continue;
            Expected& e = sums[l.code];
            e.quantity += l.quantity;
            e.amount += l.total;
            if (r.kind == SalesReportKind::ByInsurer) {
                e.insurer += l.insurer;
                e.patient += l.patient;
            }
        }
    }
    if (r.kind == SalesReportKind::General)
        for (const FixtureGoodsLine& l : kGoodsLines + extraGoods)
            if (inRange(QString::fromLatin1(l.entered), r) && itemWanted(l.code, r)) {
                sums[l.code].quantity += l.quantity;
                sums[l.code].amount += l.total;
            }
    return sums;
}

void compareWithFixture(Database& db, SalesReport report, const SalesRequest& request,
                        const QList<FixtureGoodsLine>& extraGoods = {}) {
    const QMap<double, Expected> expected = expectedReport(request, extraGoods);
    QCOMPARE(report.rows.size(), expected.size());
    Expected total;
    int i = 0;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it, ++i) {
        const SalesRow& row = report.rows.at(i);
        QCOMPARE(row.code, it.key());
        QCOMPARE(row.quantity, it->quantity);
        QCOMPARE(row.amount, it->amount);
        QCOMPARE(row.insurerShare, it->insurer);
        QCOMPARE(row.patientShare, it->patient);
        total.quantity += it->quantity;
        total.amount += it->amount;
    }
    QCOMPARE(report.totals().quantity, total.quantity);
    QCOMPARE(report.totals().amount, total.amount);
    // The chart's days add up to the rows.
    QList<int> all;
    for (int row = 0; row < report.rows.size(); ++row) all.append(row);
    double days = 0;
    for (const SalesChartData::Point& day : SalesReportStore(db).chart(report, all).daily) days += day.amount;
    QCOMPARE(days, total.amount);
}

double stockOf(Database& db, double code) {
    return db.scalar(QStringLiteral("select moj_vah from moj_kala_vah where code_kala = ? and code_vah = 20"), {code})
        .toDouble();
}

} // namespace

class ReportsDbTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void salesReportsMatchTheLines_data();
    void salesReportsMatchTheLines();
    void chartFollowsTheShownRows();
    void twoGeneralReportsAtOnce();
    void incomingDocumentTakenIn_data();
    void incomingDocumentTakenIn();
    void documentTakenTwiceIsRefused();
    void documentTakenConcurrentlyCountsOnce();
    void returnLowersStock();
    void goodsSheetSummary_data();
    void goodsSheetSummary();
    void goodsSheetDetail_data();
    void goodsSheetDetail();
    void stockListShowsThePharmacyUnit();

private:
    void addIncomingDocument();
    std::unique_ptr<TestDatabase> m_t;
};

void ReportsDbTest::init() {
    m_t = std::make_unique<TestDatabase>();
    fillReportFixture(m_t->db());
}

void ReportsDbTest::cleanup() { m_t.reset(); }

void ReportsDbTest::salesReportsMatchTheLines_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<double>("codeFrom"); // 0: none
    QTest::addColumn<double>("codeTo");
    QTest::addColumn<double>("item");
    QTest::addColumn<int>("insurer");
    QTest::addColumn<QString>("doctor");
    QTest::addColumn<bool>("repeatGoodsLine"); // a second invoice of the day repeats a goods line
    const int general = int(SalesReportKind::General);
    const int byInsurer = int(SalesReportKind::ByInsurer);
    const int byDoctor = int(SalesReportKind::ByDoctor);
    QTest::newRow("general, a month, every item") << general << "05/07/01" << "05/07/31" << 0. << 0. << 0. << 0 << "" << false;
    QTest::newRow("general, the start day alone") << general << "05/07/01" << "05/07/01" << 0. << 0. << 0. << 0 << "" << false;
    QTest::newRow("general, two months") << general << "05/07/01" << "05/08/30" << 0. << 0. << 0. << 0 << "" << false;
    QTest::newRow("general, code range") << general << "05/07/01" << "05/07/31" << 1010002. << 1010003. << 0. << 0 << "" << false;
    QTest::newRow("general, from a code") << general << "05/07/01" << "05/07/31" << 5000000. << 0. << 0. << 0 << "" << false;
    QTest::newRow("general, substituted item") << general << "05/07/01" << "05/07/31" << 0. << 0. << 1010002. << 0 << "" << false;
    QTest::newRow("general, two identical goods lines") << general << "05/07/01" << "05/07/31" << 0. << 0. << 0. << 0 << ""
                                                       << true;
    QTest::newRow("general, nothing sold") << general << "05/01/01" << "05/01/31" << 0. << 0. << 0. << 0 << "" << false;
    QTest::newRow("insurer 2") << byInsurer << "05/06/01" << "05/07/31" << 0. << 0. << 0. << 2 << "" << false;
    QTest::newRow("insurer 2, one item") << byInsurer << "05/06/01" << "05/08/31" << 0. << 0. << 1010001. << 2 << "" << false;
    QTest::newRow("insurer 3") << byInsurer << "05/07/01" << "05/07/31" << 0. << 0. << 0. << 3 << "" << false;
    QTest::newRow("doctor 222") << byDoctor << "05/07/01" << "05/07/31" << 0. << 0. << 0. << 0 << "222" << false;
    QTest::newRow("doctor 111, code range") << byDoctor << "05/06/01" << "05/08/31" << 1010001. << 1010002. << 0. << 0 << "111" << false;
}

void ReportsDbTest::salesReportsMatchTheLines() {
    QFETCH(int, kind);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(double, codeFrom);
    QFETCH(double, codeTo);
    QFETCH(double, item);
    QFETCH(int, insurer);
    QFETCH(QString, doctor);
    QFETCH(bool, repeatGoodsLine);
    QList<FixtureGoodsLine> extraGoods;
    if (repeatGoodsLine) {
        const FixtureGoodsLine& line = kGoodsLines.last();
        extraGoods.append({line.invoice + 1, line.entered, line.code, line.quantity, line.total});
        m_t->db().exec(QStringLiteral("insert into heading_froosh_kala (sh_factor, date_sabt) values (?, ?)"),
                       {line.invoice + 1, QString::fromLatin1(line.entered)});
        m_t->db().exec(QStringLiteral("insert into details_froosh_kala (sh_factor, code_kala, tedad, price, price_koll) "
                                      "values (?, ?, ?, ?, ?)"),
                       {line.invoice + 1, line.code, line.quantity, line.total / line.quantity, line.total});
    }
    SalesRequest request;
    request.kind = SalesReportKind(kind);
    request.from = from;
    request.to = to;
    if (codeFrom > 0) request.codeFrom = codeFrom;
    if (codeTo > 0) request.codeTo = codeTo;
    if (item > 0) request.item = item;
    request.insurer = insurer;
    request.doctor = doctor;
    const SalesReport report = SalesReportStore(m_t->db()).run(request);
    compareWithFixture(m_t->db(), report, request, extraGoods);
    // Names and forms come from the catalogue.
    for (const SalesRow& row : report.rows) QVERIFY2(!row.name.isEmpty() && !row.form.isEmpty(), qPrintable(row.name));
}

void ReportsDbTest::chartFollowsTheShownRows() {
    SalesRequest request;
    request.from = QStringLiteral("05/07/01");
    request.to = QStringLiteral("05/07/31");
    SalesReport report = SalesReportStore(m_t->db()).run(request);
    // Rows by code: 1010001 (420), 1010002 (500), 1010003 (300), 5020001 (280).
    QCOMPARE(report.rows.size(), 4);
    const SalesChartData all = SalesReportStore(m_t->db()).chart(report, {0, 1, 2, 3}, 2);
    QCOMPARE(all.topItems.size(), 2);
    QCOMPARE(all.topItems.at(0).amount, 500.0);
    QCOMPARE(all.topItems.at(0).label, QString::fromUtf8(kItems.at(1).name));
    QCOMPARE(all.topItems.at(1).amount, 420.0);
    QCOMPARE(all.daily.size(), 3); // 05/07/01, 05/07/15, 05/07/20
    QCOMPARE(all.daily.at(0).date, QStringLiteral("05/07/01"));
    QCOMPARE(all.daily.at(0).amount, 200.0 + 200.0);
    QCOMPARE(all.daily.at(1).amount, 100.0 + 300 + 300 + 80 + 120);
    QCOMPARE(all.daily.at(2).amount, 200.0);
    // Only the goods item shown: its days alone.
    const SalesChartData goods = SalesReportStore(m_t->db()).chart(report, {3});
    QCOMPARE(goods.topItems.size(), 1);
    QCOMPARE(goods.daily.size(), 2);
    QCOMPARE(goods.daily.at(0).amount, 80.0);
    QCOMPARE(goods.daily.at(1).amount, 200.0);
}

// Two workstations run the general report at once, each over its own range: each gets its own
// rows, since nothing is shared between runs (the old scratch table stays untouched).
void ReportsDbTest::twoGeneralReportsAtOnce() {
    std::unique_ptr<Database> other = m_t->connect();
    SalesRequest july;
    july.from = QStringLiteral("05/07/01");
    july.to = QStringLiteral("05/07/31");
    SalesRequest august;
    august.from = QStringLiteral("05/08/01");
    august.to = QStringLiteral("05/08/31");
    SalesReport a, b;
    std::thread first([&] {
        std::unique_ptr<Database> db = m_t->connect();
        for (int i = 0; i < 20; ++i) a = SalesReportStore(*db).run(july);
    });
    std::thread second([&] {
        std::unique_ptr<Database> db = m_t->connect();
        for (int i = 0; i < 20; ++i) b = SalesReportStore(*db).run(august);
    });
    first.join();
    second.join();
    compareWithFixture(m_t->db(), a, july);
    compareWithFixture(m_t->db(), b, august);
    QCOMPARE(m_t->db().scalar(QStringLiteral("select count(*) from g_froosh")).toInt(), 0);
}

void ReportsDbTest::addIncomingDocument() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into mosh_havaleh (num_h, code_anbar, year1, code_vah, taeed_darou, date_sod, price_kol) "
                           "values (7, 1, 1405, 20, 0, '05/07/03', 5000)"));
    // 1010001 has pharmacy stock; 1010003 has none yet.
    db.exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (1010001, 20, 10, 90)"));
    db.exec(QStringLiteral("insert into kala_havaleh (num_h, code_anbar, year1, code_kala, price_u, qu, date_exps) values "
                           "(7, 1, 1405, 1010001, 110, 5, '06/01/01'), (7, 1, 1405, 1010003, 320, 2, '06/02/01')"));
}

void ReportsDbTest::incomingDocumentTakenIn_data() {
    QTest::addColumn<bool>("firstAtDocumentPrice");
    QTest::addColumn<bool>("secondAtDocumentPrice");
    QTest::newRow("catalogue prices") << false << false;
    QTest::newRow("document price for the first line only") << true << false;
    QTest::newRow("document prices") << true << true;
}

void ReportsDbTest::incomingDocumentTakenIn() {
    QFETCH(bool, firstAtDocumentPrice);
    QFETCH(bool, secondAtDocumentPrice);
    addIncomingDocument();
    Database& db = m_t->db();
    StoreDocumentStore store(db);
    const QList<StoreDocument> pending = store.pending(StoreDocumentKind::Incoming);
    QCOMPARE(pending.size(), 1);
    const QList<StoreDocumentLine> lines = store.lines(StoreDocumentKind::Incoming, pending.first().key);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).catalogPrice, 100.0);
    QCOMPARE(lines.at(0).documentPrice, 110.0);
    QCOMPARE(store.takeIn(StoreDocumentKind::Incoming, pending.first().key, {firstAtDocumentPrice, secondAtDocumentPrice}),
             TakeInOutcome::Done);
    QCOMPARE(stockOf(db, 1010001), 15.0);
    QCOMPARE(stockOf(db, 1010003), 2.0); // a new stock row with the line's quantity
    const auto pharmacyPrice = [&db](double code) {
        return db.scalar(QStringLiteral("select price_u from moj_kala_vah where code_kala = ? and code_vah = 20"), {code})
            .toDouble();
    };
    const auto catalogPrice = [&db](double code) {
        return db.scalar(QStringLiteral("select price_u from mosh_kala_anbar where code_kala = ?"), {code}).toDouble();
    };
    QCOMPARE(pharmacyPrice(1010001), firstAtDocumentPrice ? 110.0 : 100.0);
    QCOMPARE(catalogPrice(1010001), firstAtDocumentPrice ? 110.0 : 100.0);
    QCOMPARE(pharmacyPrice(1010003), secondAtDocumentPrice ? 320.0 : 300.0);
    QCOMPARE(catalogPrice(1010003), secondAtDocumentPrice ? 320.0 : 300.0);
    QVERIFY(store.pending(StoreDocumentKind::Incoming).isEmpty());
}

void ReportsDbTest::documentTakenTwiceIsRefused() {
    addIncomingDocument();
    StoreDocumentStore store(m_t->db());
    const StoreDocumentKey key{7, 1, 1405};
    QCOMPARE(store.takeIn(StoreDocumentKind::Incoming, key), TakeInOutcome::Done);
    QVERIFY(!store.isPending(StoreDocumentKind::Incoming, key));
    QCOMPARE(store.takeIn(StoreDocumentKind::Incoming, key), TakeInOutcome::AlreadyTaken);
    QCOMPARE(stockOf(m_t->db(), 1010001), 15.0);
    QCOMPARE(stockOf(m_t->db(), 1010003), 2.0);
    // Each line became a lot by its expiry; the stock from before stays untracked.
    const QList<Lot> lots = LotStore(m_t->db()).lotsOf(1010001, 20);
    QCOMPARE(lots.size(), 1);
    QCOMPARE(lots.front().quantity, 5.0);
    QCOMPARE(lots.front().expiry, expiryFromDocumentText(QStringLiteral("1406/01/01")));
    QCOMPARE(LotStore(m_t->db()).lotsOf(1010003, 20).front().quantity, 2.0);
}

// Two workstations take the same document at the same moment: one takes it, the other is
// refused, and the stock moves once.
void ReportsDbTest::documentTakenConcurrentlyCountsOnce() {
    addIncomingDocument();
    const StoreDocumentKey key{7, 1, 1405};
    std::optional<TakeInOutcome> outcomes[2];
    QString failures[2];
    const auto take = [&](int i) {
        try {
            std::unique_ptr<Database> db = m_t->connect();
            outcomes[i] = StoreDocumentStore(*db).takeIn(StoreDocumentKind::Incoming, key);
        } catch (const Error& error) {
            failures[i] = error.message();
        }
    };
    std::thread first(take, 0);
    std::thread second(take, 1);
    first.join();
    second.join();
    QVERIFY2(failures[0].isEmpty() && failures[1].isEmpty(), qPrintable(failures[0] + failures[1]));
    QVERIFY(outcomes[0] && outcomes[1]);
    QCOMPARE(int(*outcomes[0] == TakeInOutcome::Done) + int(*outcomes[1] == TakeInOutcome::Done), 1);
    QCOMPARE(stockOf(m_t->db(), 1010001), 15.0);
    QCOMPARE(stockOf(m_t->db(), 1010003), 2.0);
    QCOMPARE(LotStore(m_t->db()).lotsOf(1010001, 20).front().quantity, 5.0);
}

void ReportsDbTest::returnLowersStock() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (1010001, 20, 10, 90)"));
    db.exec(QStringLiteral("insert into mosh_bargasht_b (num_b, code_anbar, year1, code_vah, taeed_daro, date_b, price_kol) "
                           "values (3, 1, 1405, 20, 0, '05/07/04', 700)"));
    db.exec(QStringLiteral("insert into kala_bargasht_b (num_b, code_anbar, year1, code_kala, price_u, qu, date_exps) values "
                           "(3, 1, 1405, 1010001, 95, 4, '06/01/01'), (3, 1, 1405, 1010002, 55, 6, '06/01/01')"));
    // Three of the returned item's packs are of the returned lot: that lot goes, the rest is untracked stock.
    LotStore(db).takeIn(1010001, 20, {QString(), expiryFromDocumentText(QStringLiteral("06/01/01"))}, 3);
    StoreDocumentStore store(db);
    QCOMPARE(store.pending(StoreDocumentKind::Return).size(), 1);
    QCOMPARE(store.takeIn(StoreDocumentKind::Return, {3, 1, 1405}), TakeInOutcome::Done);
    QCOMPARE(stockOf(db, 1010001), 6.0);
    QVERIFY(LotStore(db).lotsOf(1010001, 20).isEmpty());
    // The price of a returned item's stock row is left as it was.
    QCOMPARE(db.scalar(QStringLiteral("select price_u from moj_kala_vah where code_kala = 1010001")).toDouble(), 90.0);
    // No stock row yet: one with the quantity taken off and the line's price.
    QCOMPARE(stockOf(db, 1010002), -6.0);
    QCOMPARE(db.scalar(QStringLiteral("select price_u from moj_kala_vah where code_kala = 1010002")).toDouble(), 55.0);
    QVERIFY(store.pending(StoreDocumentKind::Return).isEmpty());
    QCOMPARE(store.takeIn(StoreDocumentKind::Return, {3, 1, 1405}), TakeInOutcome::AlreadyTaken);
    QCOMPARE(stockOf(db, 1010001), 6.0);
}

void ReportsDbTest::goodsSheetSummary_data() {
    QTest::addColumn<bool>("ward");
    QTest::addColumn<int>("wardCode"); // 0: any
    QTest::addColumn<double>("request"); // 0: any
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("inpatient prescriptions, every ward") << false << 0 << 0. << "05/07/01" << "05/08/30";
    QTest::newRow("inpatient prescriptions, July") << false << 0 << 0. << "05/07/01" << "05/07/31";
    QTest::newRow("ward consumption, every ward") << true << 0 << 0. << "05/07/01" << "05/07/31";
    QTest::newRow("ward consumption, ward 6") << true << 6 << 0. << "05/07/01" << "05/07/31";
    QTest::newRow("ward consumption, request 9") << true << 0 << 9. << "05/07/01" << "05/07/31";
}

void ReportsDbTest::goodsSheetSummary() {
    QFETCH(bool, ward);
    QFETCH(int, wardCode);
    QFETCH(double, request);
    QFETCH(QString, from);
    QFETCH(QString, to);
    GoodsSheetRequest r;
    r.from = from;
    r.to = to;
    r.wardConsumption = ward;
    if (wardCode) r.ward = wardCode;
    if (request > 0) r.request = request;
    // Summed by hand per item and unit price.
    QMap<QPair<QString, double>, QPair<double, double>> expected;
    if (ward) {
        for (const FixtureWardLine& l : kWardLines) {
            const QString date = QString::fromLatin1(l.written);
            if (date < from || date > to || (wardCode && l.ward != wardCode) || (request > 0 && l.request != request)) continue;
            auto& sums = expected[{QString::number(qint64(l.code)), l.unitPrice}];
            sums.first += l.quantity;
            sums.second += l.quantity * l.unitPrice;
        }
    } else {
        for (const FixturePrescriptionLine& l : kPrescriptionLines) {
            const FixturePrescription& p = prescription(l.invoice);
            const QString date = QString::fromLatin1(p.written);
            if (p.patientType != 0 || date < from || date > to) continue;
            auto& sums = expected[{QString::number(qint64(l.code)), l.unitPrice}];
            sums.first += l.quantity;
            sums.second += l.total;
        }
    }
    QMap<QString, QString> codeOfName;
    for (const FixtureItem& item : kItems) codeOfName.insert(QString::fromUtf8(item.name), QString::number(qint64(item.code)));
    const QList<GoodsSheetRow> rows = GoodsSheetStore(m_t->db()).summary(r);
    QCOMPARE(rows.size(), expected.size());
    for (const GoodsSheetRow& row : rows) {
        const auto key = qMakePair(codeOfName.value(row.name), row.unitPrice);
        QVERIFY2(expected.contains(key), qPrintable(row.name));
        QCOMPARE(row.quantity, expected.value(key).first);
        QCOMPARE(row.amount, expected.value(key).second);
    }
}

void ReportsDbTest::goodsSheetDetail_data() {
    QTest::addColumn<int>("wardCode");   // 0: any
    QTest::addColumn<double>("request"); // 0: any
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("every ward") << 0 << 0. << "05/06/01" << "05/08/30";
    QTest::newRow("July") << 0 << 0. << "05/07/01" << "05/07/31";
    QTest::newRow("ward 5, request 9") << 5 << 9. << "05/06/01" << "05/08/30";
    QTest::newRow("ward 6") << 6 << 0. << "05/06/01" << "05/08/30";
    QTest::newRow("request 10") << 0 << 10. << "05/06/01" << "05/08/30";
}

void ReportsDbTest::goodsSheetDetail() {
    QFETCH(int, wardCode);
    QFETCH(double, request);
    QFETCH(QString, from);
    QFETCH(QString, to);
    GoodsSheetRequest r;
    r.from = from;
    r.to = to;
    if (wardCode) r.ward = wardCode;
    if (request > 0) r.request = request;
    // The inpatient prescriptions in the range and their lines, with quantities and totals summed
    // per prescription by hand.
    QList<double> invoices;
    QMap<double, QPair<double, double>> sums;
    for (const FixturePrescription& p : kPrescriptions) {
        const QString date = QString::fromLatin1(p.written);
        if (p.patientType != 0 || date < from || date > to || (wardCode && p.ward != wardCode) ||
            (request > 0 && p.request != request))
            continue;
        invoices.append(p.number);
        for (const FixturePrescriptionLine& l : kPrescriptionLines) {
            if (l.invoice != p.number) continue;
            sums[p.number].first += l.quantity;
            sums[p.number].second += l.total;
        }
    }
    const GoodsSheetDetail detail = GoodsSheetStore(m_t->db()).detail(r);
    QList<double> shown;
    for (const GoodsSheetPrescription& p : detail.prescriptions) {
        shown.append(p.invoice);
        QCOMPARE(p.request, prescription(int(p.invoice)).request);
        QCOMPARE(p.written, QString::fromLatin1(prescription(int(p.invoice)).written));
    }
    QCOMPARE(shown, invoices);
    double lineCount = 0;
    for (double invoice : invoices) {
        double quantity = 0;
        double amount = 0;
        for (const GoodsSheetLine& line : detail.linesOf(invoice)) {
            quantity += line.quantity;
            amount += line.amount;
            ++lineCount;
        }
        QCOMPARE(quantity, sums.value(invoice).first);
        QCOMPARE(amount, sums.value(invoice).second);
    }
    QCOMPARE(double(detail.lines.size()), lineCount); // no line of another prescription
    // The doctor's name by the prescription's council number.
    const QMap<QString, QString> doctors{{QStringLiteral("111"), QStringLiteral("مريم احمدي")},
                                         {QStringLiteral("222"), QStringLiteral("علي رضايي")}};
    for (const GoodsSheetPrescription& p : detail.prescriptions)
        QCOMPARE(p.doctor, doctors.value(QString::fromLatin1(prescription(int(p.invoice)).doctor)));
}

void ReportsDbTest::stockListShowsThePharmacyUnit() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values "
                           "(1010002, 20, 7, 50), (1010001, 20, 3, 100), (1010001, 30, 99, 100), (9999999, 20, 1, 1)"));
    const QList<StockRow> rows = StockStore(db).pharmacyStock();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).code, 1010001.0);
    QCOMPARE(rows.at(0).quantity, 3.0);
    QCOMPARE(rows.at(0).name, QString::fromUtf8(kItems.at(0).name));
    QCOMPARE(rows.at(1).quantity, 7.0);
    QCOMPARE(rows.at(2).code, 9999999.0); // not in the catalogue: listed with no name
    QVERIFY(rows.at(2).name.isEmpty());
}

QTEST_GUILESS_MAIN(ReportsDbTest)
#include "reports_db_test.moc"
