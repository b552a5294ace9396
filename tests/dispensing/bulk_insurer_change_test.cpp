#include "core/error.h"
#include "dispensing/bulk_insurer_change.h"
#include "dispensing/dispensing_texts.h"
#include "pharmacy_fixture.h"
#include "support/test_database.h"

#include "audit/audit_log.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QSqlRecord>
#include <QTest>

using namespace ph;
using ph::test::exec;
using ph::test::TestDatabase;

namespace {

const QString kFile = QStringLiteral("555");

struct StoredLine {
    double code;
    QString kind;
    double quantity;
    double unitPrice;
    double hoteling = 0;
};

// An inpatient (paz_type 0) or outpatient prescription of insurer 4, whose contract shared the
// technical fee, with its lines; each line carries old amounts of its own, the OTC and goods
// lines their whole total in their column.
void storePrescription(Database& db, int invoice, const QString& date, int admission,
                       const QList<StoredLine>& lines, const QString& file = kFile) {
    exec(db,
         QStringLiteral(
             "insert into heading_noskhe (sh_factor, date_no, sh_bimeh, code_bimeh, paz_type, price_otc, "
             "price_kala, fani, fani2, price_koll, price_bimeh, price_bimar, price_azad, fani_flag) "
             "values (?, ?, ?, 4, ?, 320, 80, 1000, 1000, 1, 1, 1, 1, 1)"),
         {invoice, date, file, admission});
    int row = 0;
    for (const StoredLine& l : lines) {
        const double total = l.quantity * l.unitPrice;
        const bool otc = l.kind == texts::kOtc, goods = l.kind == texts::kGoods;
        exec(db,
             QStringLiteral(
                 "insert into details_noskhe (sh_factor, row, code_darou, vaziat, tedad, price_one, "
                 "price_koll, sazman, bimar, azad, otc, kala, price_h, sh_bimeh) "
                 "values (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?, ?)"),
             {invoice, ++row, l.code, l.kind, l.quantity, l.unitPrice, total, otc || goods ? 0 : total * 0.6,
              otc || goods ? 0 : total * 0.4, otc ? total : 0.0, goods ? total : 0.0, l.hoteling, file});
    }
}

// Every header and line (of the prescriptions from `from` on).
QStringList snapshot(Database& db, int from = 0) {
    QStringList rows;
    for (const char* table : {"heading_noskhe", "details_noskhe"}) {
        Rows q = db.exec(QStringLiteral("select * from %1 where sh_factor>=? order by sh_factor%2")
                                  .arg(QLatin1String(table), QLatin1String(table[0] == 'd' ? ", row" : "")),
                              {from});
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells.append(q.value(i).toString());
            rows.append(cells.join(u'|'));
        }
    }
    return rows;
}

InsurerChangeRequest request(const QString& insurer, const QString& first = QStringLiteral("05/03/01"),
                             const QString& last = QStringLiteral("05/03/31")) {
    return {kFile, first, last, insurer};
}

// A change whose reading of one drug's rule fails, as a database failing half-way through
// the change would.
class FailingChange : public BulkInsurerChange {
public:
    FailingChange(Database& db, double failingDrug) : BulkInsurerChange(db), m_failing(failingDrug) {}
    int reads = 0;

protected:
    std::optional<InsurerChangeRule> rule(int insurer, double drug) override {
        if (drug == m_failing) throw Error(QStringLiteral("injected failure"));
        ++reads;
        return BulkInsurerChange::rule(insurer, drug);
    }

private:
    double m_failing;
};

// The line's kind and amounts as text: vaziat, price_one, price_koll, sazman, bimar, azad, price_h.
QStringList cellsOf(const InsurerChangeLine& l) {
    QStringList cells{l.kind};
    for (double v : {l.unitPrice, l.total, l.insurerShare, l.patientShare, l.freeAmount, l.hotelingPrice})
        cells.append(QString::number(v));
    return cells;
}

std::optional<double> limitOf(const QVariant& v) {
    return v.isNull() ? std::nullopt : std::optional<double>(v.toDouble());
}

} // namespace

class BulkInsurerChangeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void linePricing_data();
    void linePricing();
    void headerAmounts_data();
    void headerAmounts();
    void changeInPlace();
    void refusalsChangeNothing_data();
    void refusalsChangeNothing();
    void coveringPeriodAndFreeInsurer_data();
    void coveringPeriodAndFreeInsurer();
    void failureHalfWayChangesNothing();

private:
    std::unique_ptr<TestDatabase> m_t;
};

void BulkInsurerChangeTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Database& db = m_t->db();
    ph::test::fillPharmacy(db);
    for (const char* table : {"heading_noskhe", "details_noskhe"})
        db.exec(QStringLiteral("delete from ") + QLatin1String(table));
    // Insurer 10 has two half-year periods, the second sharing the technical fee; insurer 11
    // is named free.
    exec(db,
         QStringLiteral(
             "insert into organs_m (code, name, orj_flag) values (10, 'تكميلي', 0), (11, 'آزاد', 0)"),
         {});
    exec(db,
         QStringLiteral("insert into organs_s (code, row, from_d, to_d, deduct, fani_flag) values "
                        "(10, 1, '05/01/01', '05/06/31', 60, 0), (10, 2, '05/07/01', '05/12/29', 80, 1), "
                        "(11, 1, '05/01/01', '05/12/29', 0, 0)"),
         {});
}

void BulkInsurerChangeTest::cleanup() {
    m_t.reset();
}

void BulkInsurerChangeTest::linePricing_data() {
    QTest::addColumn<QStringList>(
        "stored"); // vaziat, tedad, price_one, price_koll, sazman, bimar, azad, price_h
    QTest::addColumn<bool>("hasRule");
    QTest::addColumn<bool>("notCovered");
    QTest::addColumn<QVariant>("qu"); // null: the column is null
    QTest::addColumn<QVariant>("mab");
    QTest::addColumn<QVariant>("tyNo");
    QTest::addColumn<bool>("hoteling");
    QTest::addColumn<bool>("freeInsurer");
    QTest::addColumn<QStringList>("priced"); // vaziat, price_one, price_koll, sazman, bimar, azad, price_h
    const QString insured = texts::kInsured, free = texts::kFree;
    const QVariant none;
    // 5 x 1000, stored with amounts of the former insurer; the new one pays 70 %.
    const QStringList fiveInsured{insured, "5", "1000", "5000", "4500", "500", "0", "0"};
    const QStringList fiveFree{free, "5", "1000", "5000", "0", "0", "5000", "0"};
    const QStringList fiveOtc{texts::kOtc, "5", "1000", "5000", "0", "0", "0", "0"};

    QTest::newRow("quantity limit below the quantity")
        << fiveInsured << true << false << QVariant(2) << QVariant(0) << QVariant(1) << false << false
        << QStringList{insured, "1000", "5000", "1400", "600", "3000", "0"};
    QTest::newRow("quantity limit not below")
        << fiveFree << true << false << QVariant(5) << QVariant(0) << QVariant(1) << false << false
        << QStringList{insured, "1000", "5000", "3500", "1500", "0", "0"};
    QTest::newRow("price limit below the price")
        << fiveInsured << true << false << QVariant(0) << QVariant(600) << QVariant(2) << false << false
        << QStringList{insured, "1000", "5000", "2100", "900", "2000", "0"};
    QTest::newRow("price limit not below")
        << fiveInsured << true << false << QVariant(0) << QVariant(1000) << QVariant(2) << false << false
        << QStringList{insured, "1000", "5000", "3500", "1500", "0", "0"};
    QTest::newRow("limit of another type")
        << fiveInsured << true << false << QVariant(2) << QVariant(0) << QVariant(3) << false << false
        << QStringList{insured, "1000", "5000", "0", "0", "0", "0"};
    // A former hoteling line is priced from its hoteling price before its rule applies.
    QTest::newRow("former hoteling line")
        << QStringList{insured, "2", "0", "0", "0", "0", "0", "500"} << false << false << none << none << none
        << false << false << QStringList{insured, "500", "1000", "700", "300", "0", "0"};
    QTest::newRow("no limits, insured line")
        << fiveInsured << true << false << QVariant(0) << QVariant(0) << none << false << false
        << QStringList{insured, "1000", "5000", "3500", "1500", "0", "0"};
    QTest::newRow("no limits, free line kept")
        << QStringList{free, "5", "1000", "5000", "1", "2", "3", "0"} << true << false << QVariant(0)
        << QVariant(0) << none << false << false << QStringList{free, "1000", "5000", "1", "2", "3", "0"};
    QTest::newRow("no rule, free line")
        << fiveFree << false << false << none << none << none << false << false
        << QStringList{insured, "1000", "5000", "3500", "1500", "0", "0"};
    QTest::newRow("null limits") << fiveFree << true << false << none << none << QVariant(1) << false << false
                                 << QStringList{insured, "1000", "5000", "3500", "1500", "0", "0"};
    QTest::newRow("not covered, no limits, insured line")
        << fiveInsured << true << true << QVariant(0) << QVariant(0) << none << false << false
        << QStringList{insured, "1000", "5000", "3500", "1500", "0", "0"};
    // OTC and goods lines keep their amounts (they are counted through their otc and
    // kala columns), whatever the rule.
    QTest::newRow("OTC line kept")
        << fiveOtc << true << true << QVariant(0) << QVariant(0) << none << false << false
        << QStringList{texts::kOtc, "1000", "5000", "0", "0", "0", "0"};
    QTest::newRow("goods line kept, no rule")
        << QStringList{texts::kGoods, "5", "1000", "5000", "0", "0", "0", "0"} << false << false << none << none
        << none << false << false << QStringList{texts::kGoods, "1000", "5000", "0", "0", "0", "0"};
    QTest::newRow("not covered, with a limit")
        << fiveInsured << true << true << QVariant(2) << QVariant(0) << QVariant(1) << false << false
        << QStringList{insured, "1000", "5000", "1400", "600", "3000", "0"};
    QTest::newRow("free insurer") << fiveInsured << true << false << QVariant(2) << QVariant(0) << QVariant(1)
                                  << false << true
                                  << QStringList{free, "1000", "5000", "0", "0", "5000", "0"};
    // A drug the new insurer keeps as hoteling has no amounts, even under a free insurer,
    // and keeps its unit price as the hoteling price.
    QTest::newRow("free insurer, hoteling line")
        << QStringList{insured, "2", "0", "0", "0", "0", "0", "500"} << false << false << none << none << none
        << true << true << QStringList{free, "0", "0", "0", "0", "0", "500"};
    QTest::newRow("becomes hoteling") << fiveInsured << false << false << none << none << none << true
                                      << false << QStringList{insured, "0", "0", "0", "0", "0", "1000"};
}

void BulkInsurerChangeTest::linePricing() {
    QFETCH(QStringList, stored);
    QFETCH(bool, hasRule);
    QFETCH(bool, notCovered);
    QFETCH(QVariant, qu);
    QFETCH(QVariant, mab);
    QFETCH(QVariant, tyNo);
    QFETCH(bool, hoteling);
    QFETCH(bool, freeInsurer);
    QFETCH(QStringList, priced);
    const InsurerChangeLine line{stored.at(0),
                                 stored.at(1).toDouble(),
                                 stored.at(2).toDouble(),
                                 stored.at(3).toDouble(),
                                 stored.at(4).toDouble(),
                                 stored.at(5).toDouble(),
                                 stored.at(6).toDouble(),
                                 stored.at(7).toDouble()};
    std::optional<InsurerChangeRule> rule;
    if (hasRule)
        rule = InsurerChangeRule{notCovered, limitOf(qu), limitOf(mab),
                                 tyNo.isNull() ? std::nullopt : std::optional<int>(tyNo.toInt())};
    QCOMPARE(cellsOf(priceLineForNewInsurer(line, rule, hoteling, {70, freeInsurer})), priced);
}

void BulkInsurerChangeTest::headerAmounts_data() {
    QTest::addColumn<bool>("feeInCommitment");
    QTest::addColumn<QList<double>>("expected"); // price_bimeh, price_bimar, price_azad, price_koll
    // Lines: patient 600, insurer 1400, free 3000, goods 80; OTC fee 320; technical fee 1000; 90 %.
    QTest::newRow("insurer pays its part of the fee") << true << QList<double>{2300, 700, 3000, 4100};
    QTest::newRow("fee left to the patient") << false << QList<double>{1400, 600, 3000, 5000};
}

void BulkInsurerChangeTest::headerAmounts() {
    QFETCH(bool, feeInCommitment);
    QFETCH(QList<double>, expected);
    const InsurerChangeHeader h = headerForNewInsurer({600, 1400, 3000, 80}, 320, 1000, 90, feeInCommitment);
    QCOMPARE((QList<double>{h.insurerTotal, h.patientTotal, h.freeTotal, h.total}), expected);
}

void BulkInsurerChangeTest::changeInPlace() {
    Database& db = m_t->db();
    // Insurer 10's rule: a quantity limit of 2, with a share, specialty and hospital mark of
    // its own that play no part; drug 1400001 is its hoteling drug.
    exec(db,
         QStringLiteral("insert into bimeh_daru (code_bimeh, code_kala, ty_no, qu, mab, madrak, bimarestani, "
                        "non_bimeh, deduct) values (10, 1010002, 1, 2, 0, 5, 1, 0, 30)"),
         {});
    exec(db, QStringLiteral("insert into hoteling (code_bimeh, code_kala) values (10, 1400001)"), {});
    const QList<StoredLine> lines = {
        {1010003, texts::kFree, 3, 2500},      // no rule: 60 % of 7500
        {1010002, texts::kInsured, 5, 1000},   // 2 of 5 at 60 %, the rest free
        {1400001, texts::kInsured, 1, 50000},  // hoteling: no amounts, its price kept
        {1400002, texts::kInsured, 2, 0, 750}, // former hoteling line: priced at 750
        {3300001, texts::kOtc, 2, 150},        // an OTC line keeps its amounts
    };
    storePrescription(db, 1, QStringLiteral("05/03/10"), 0, lines);
    storePrescription(db, 2, QStringLiteral("05/03/31"), 0, lines.mid(0, 2));
    // Not to be touched: an outpatient one in range, inpatient ones before and after the
    // range, and another file's.
    storePrescription(db, 3, QStringLiteral("05/03/10"), 1, lines.mid(0, 2));
    storePrescription(db, 4, QStringLiteral("05/02/31"), 0, lines.mid(0, 2));
    storePrescription(db, 5, QStringLiteral("05/04/01"), 0, lines.mid(0, 2));
    storePrescription(db, 6, QStringLiteral("05/03/10"), 0, lines.mid(0, 2), QStringLiteral("556"));
    const QStringList untouched = snapshot(db, 3);

    const InsurerChangeOutcome outcome = BulkInsurerChange(db).run(request(QStringLiteral("10")));
    QVERIFY(outcome.done());
    QCOMPARE(outcome.prescriptions, 2);
    QCOMPARE(outcome.lines, 7);

    QStringList stored;
    Rows q =
        db.exec(QStringLiteral("select vaziat, price_one, price_koll, sazman, bimar, azad, otc, price_h "
                               "from details_noskhe where sh_factor=1 order by row"));
    while (q.next()) {
        QStringList cells{q.value(0).toString()};
        for (int i = 1; i < 8; ++i)
            cells.append(QString::number(q.value(i).toDouble()));
        stored.append(cells.join(u' '));
    }
    q.finish();
    QCOMPARE(stored, (QStringList{QStringLiteral("تعرفه 2500 7500 4500 3000 0 0 0"),
                                  QStringLiteral("تعرفه 1000 5000 1200 800 3000 0 0"),
                                  QStringLiteral("تعرفه 0 0 0 0 0 0 50000"),
                                  QStringLiteral("تعرفه 750 1500 900 600 0 0 0"),
                                  QStringLiteral("OTC 150 300 0 0 0 300 0")}));

    // The header: the new insurer and its lines' sums; the period does not share the
    // technical fee of 1000, so it stays whole in the total beside the OTC fee of 320.
    Rows header =
        db.exec(QStringLiteral("select code_bimeh, price_azad, price_bimeh, price_bimar, price_koll, "
                               "price_otc, price_kala, fani from heading_noskhe where sh_factor=1"));
    QVERIFY(header.next());
    QList<double> got;
    for (int i = 0; i < 8; ++i)
        got.append(header.value(i).toDouble());
    header.finish();
    QCOMPARE(got, (QList<double>{10, 3000, 6600, 4400, 4400 + 3000 + 320 + 1000, 320, 80, 1000}));

    QCOMPARE(snapshot(db, 3), untouched);

    // One entry for the whole change: each prescription's header and lines before and after.
    AuditFilter bulk;
    bulk.kind = QStringLiteral("bulk_insurer_change");
    const QList<AuditEntry> entries = AuditLog(db).entries(bulk);
    QCOMPARE(entries.size(), 1);
    const QJsonObject changed = QJsonDocument::fromJson(entries.first().changes.toUtf8())
                                    .object()[QStringLiteral("prescriptions")]
                                    .toObject();
    QCOMPARE(changed.keys(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    const QJsonObject insurer = changed[QStringLiteral("1")][QStringLiteral("fields")][QStringLiteral("code_bimeh")].toObject();
    QCOMPARE(insurer[QStringLiteral("after")].toDouble(), 10.0);
    QVERIFY(insurer[QStringLiteral("before")].toDouble() != 10.0);
    QCOMPARE(changed[QStringLiteral("1")][QStringLiteral("lines")][QStringLiteral("after")].toArray().size(), 5);

    // Running it again prices the lines again from their stored values: nothing moves.
    const QStringList once = snapshot(db);
    QVERIFY(BulkInsurerChange(db).run(request(QStringLiteral("10"))).done());
    QCOMPARE(snapshot(db), once);
}

void BulkInsurerChangeTest::refusalsChangeNothing_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("insurer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    const QString range = QStringLiteral("محدوده تاريخي مشخص نشده است");
    const QString noPeriod = QStringLiteral(
        "هيچ دوره قرارداد بيمه جديد همه محدوده تاريخي را در بر نمي گيرد؛ تغيير بيمه انجام نشد");
    QTest::newRow("no file") << ""
                             << "05/03/01"
                             << "05/03/31"
                             << "2"
                             << "شماره پرونده مشخص نشده است"
                             << "sh_parvandeh";
    QTest::newRow("no insurer") << "555"
                                << "05/03/01"
                                << "05/03/31"
                                << ""
                                << "نام بيمه مشخص نشده است"
                                << "me_code_bime";
    QTest::newRow("blank first date") << "555"
                                      << "  /  /  "
                                      << "05/03/31"
                                      << "2" << range << "me_date1";
    QTest::newRow("blank last date") << "555"
                                     << "05/03/01"
                                     << "  /  /  "
                                     << "2" << range << "me_date2";
    QTest::newRow("month 13") << "555"
                              << "05/13/01"
                              << "05/03/31"
                              << "2" << range << "me_date1";
    QTest::newRow("unknown insurer") << "555"
                                     << "05/03/01"
                                     << "05/03/31"
                                     << "99"
                                     << "اين كد موجود نمي باشد"
                                     << "me_code_bime";
    // Insurer 4's only period ends on 05/06/14; insurer 10's two periods each cover part.
    QTest::newRow("period ends inside") << "555"
                                        << "05/06/01"
                                        << "05/06/20"
                                        << "4" << noPeriod << "me_date1";
    QTest::newRow("range spans two periods") << "555"
                                             << "05/06/20"
                                             << "05/07/10"
                                             << "10" << noPeriod << "me_date1";
}

void BulkInsurerChangeTest::refusalsChangeNothing() {
    QFETCH(QString, file);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, insurer);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Database& db = m_t->db();
    storePrescription(db, 1, QStringLiteral("05/03/10"), 0, {{1010003, texts::kInsured, 3, 2500}});
    storePrescription(db, 2, QStringLiteral("05/03/11"), 0,
                      {{1010003, texts::kInsured, 1, 2500}, {9999999, texts::kInsured, 1, 10}});
    storePrescription(db, 3, QStringLiteral("05/06/05"), 0, {{1010003, texts::kInsured, 1, 2500}});
    const QStringList before = snapshot(db);
    const InsurerChangeOutcome outcome = BulkInsurerChange(db).run({file, first, last, insurer});
    QVERIFY(!outcome.done());
    QCOMPARE(outcome.refused->message, message);
    QCOMPARE(outcome.refused->focus, focus);
    QCOMPARE(snapshot(db), before);
}

void BulkInsurerChangeTest::coveringPeriodAndFreeInsurer_data() {
    QTest::addColumn<QString>("insurer");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QStringList>("line"); // vaziat, sazman, bimar, azad, price_h
    // The header: price_bimeh, price_bimar, price_koll, fani_flag (OTC fee 320, technical fee 1000).
    QTest::addColumn<QList<double>>("header");
    // 2 x 2500: insurer 10's second period (80 %, sharing the fee) covers the range; the
    // first (60 %, not sharing it) does not.
    QTest::newRow("covering period") << "10"
                                     << "05/07/01" << QStringList{"تعرفه", "4000", "1000", "0", "0"}
                                     << QList<double>{4800, 1200, 1520, 1};
    QTest::newRow("first period") << "10"
                                  << "05/01/01" << QStringList{"تعرفه", "3000", "2000", "0", "0"}
                                  << QList<double>{3000, 2000, 3320, 0};
    // An insurer named free makes the lines free.
    QTest::newRow("free insurer") << "11"
                                  << "05/07/01" << QStringList{"آزاد", "0", "0", "5000", "0"}
                                  << QList<double>{0, 0, 6320, 0};
}

void BulkInsurerChangeTest::coveringPeriodAndFreeInsurer() {
    QFETCH(QString, insurer);
    QFETCH(QString, first);
    QFETCH(QStringList, line);
    QFETCH(QList<double>, header);
    Database& db = m_t->db();
    storePrescription(db, 1, first, 0, {{1010003, texts::kInsured, 2, 2500}});
    const QString last = first.left(6) + QStringLiteral("30");
    QVERIFY(BulkInsurerChange(db).run({kFile, first, last, insurer}).done());
    Rows q = db.exec(QStringLiteral("select vaziat, sazman, bimar, azad, price_h from details_noskhe"));
    QVERIFY(q.next());
    QStringList got;
    for (int i = 0; i < 5; ++i)
        got.append(i == 0 ? q.value(i).toString() : QString::number(q.value(i).toDouble()));
    QCOMPARE(got, line);
    q.finish();
    // The header's amounts and the fee flag they were computed with: the covering period's.
    Rows h = db.exec(QStringLiteral("select price_bimeh, price_bimar, price_koll, fani_flag from heading_noskhe"));
    QVERIFY(h.next());
    QList<double> stored;
    for (int i = 0; i < 4; ++i)
        stored.append(h.value(i).toDouble());
    QCOMPARE(stored, header);
}

void BulkInsurerChangeTest::failureHalfWayChangesNothing() {
    Database& db = m_t->db();
    storePrescription(db, 1, QStringLiteral("05/03/10"), 0,
                      {{1010003, texts::kInsured, 3, 2500}, {1010002, texts::kFree, 5, 4000}});
    storePrescription(db, 2, QStringLiteral("05/03/20"), 0,
                      {{1010003, texts::kInsured, 1, 2500}, {1400002, texts::kInsured, 1, 3000}});
    const QStringList before = snapshot(db);
    FailingChange change(db, 1400002);
    QVERIFY_THROWS_EXCEPTION(Error, change.run(request(QStringLiteral("2"))));
    QCOMPARE(change.reads, 3); // the first prescription's lines were written before the failure
    QCOMPARE(snapshot(db), before);
    // The connection is usable afterwards: the same change without the failure goes through.
    QVERIFY(BulkInsurerChange(db).run(request(QStringLiteral("2"))).done());
    QCOMPARE(db.scalar("select count(*) from heading_noskhe where code_bimeh=2").toInt(), 2);
}

QTEST_GUILESS_MAIN(BulkInsurerChangeTest)
#include "bulk_insurer_change_test.moc"
