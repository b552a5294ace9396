#include "core/error.h"
#include "core/scripted_prompter.h"
#include "dispensing/bulk_insurer_change.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/line_pricer.h"
#include "dispensing/prescription_lines.h"
#include "dispensing/pricing_store.h"
#include "pharmacy_fixture.h"
#include "support/test_database.h"

#include <QSqlRecord>
#include <QTest>

using namespace ph;
using ph::test::exec;
using ph::test::TestDatabase;
using Col = PrescriptionLines::Column;

namespace {

const QString kToday = QStringLiteral("05/07/15");
const QString kFile = QStringLiteral("555");

struct StoredLine {
    double code;
    QString kind;
    double quantity;
    double unitPrice;
    double hoteling = 0;
};

// An inpatient (paz_type 0) or outpatient prescription of insurer 4 with its lines; each
// line carries old amounts of its own, the OTC and goods lines their whole total in their column.
void storePrescription(Database& db, int invoice, const QString& date, int admission, const QList<StoredLine>& lines,
                       const QString& file = kFile) {
    exec(db,
         QStringLiteral("insert into heading_noskhe (sh_factor, date_no, sh_bimeh, code_bimeh, paz_type, price_otc, "
                        "price_kala, fani, fani2, price_koll, price_bimeh, price_bimar, price_azad) "
                        "values (?, ?, ?, 4, ?, 320, 80, 1000, 1000, 1, 1, 1, 1)"),
         {invoice, date, file, admission});
    int row = 0;
    for (const StoredLine& l : lines) {
        const double total = l.quantity * l.unitPrice;
        const bool otc = l.kind == texts::kOtc, goods = l.kind == texts::kGoods;
        exec(db,
             QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, vaziat, tedad, price_one, "
                            "price_koll, sazman, bimar, azad, otc, kala, price_h, sh_bimeh) "
                            "values (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?, ?)"),
             {invoice, ++row, l.code, l.kind, l.quantity, l.unitPrice, total, otc || goods ? 0 : total * 0.6,
              otc || goods ? 0 : total * 0.4,
              otc ? total : 0.0, goods ? total : 0.0, l.hoteling, file});
    }
}

// Every header and line (of the prescriptions from `from` on).
QStringList snapshot(Database& db, int from = 0) {
    QStringList rows;
    for (const char* table : {"heading_noskhe", "details_noskhe"}) {
        QSqlQuery q = db.exec(QStringLiteral("select * from %1 where sh_factor>=? order by sh_factor%2")
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
    return {kFile, first, last, insurer, kToday};
}

// Reference data that fails when the rule of one drug is read, as a database failing
// half-way through the change would.
class FailingPricing : public PricingStore {
public:
    FailingPricing(Database& db, double failingDrug) : PricingStore(db), m_failing(failingDrug) {}
    std::optional<DrugRuleEntry> rule(int insurer, double drug) override {
        if (drug == m_failing) throw Error(QStringLiteral("injected failure"));
        ++reads;
        return PricingStore::rule(insurer, drug);
    }
    int reads = 0;

private:
    double m_failing;
};

} // namespace

class BulkInsurerChangeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void linesPricedAsDispensingPricesThem();
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
    // Insurer 10 has two periods of a year; insurer 11 is named free.
    exec(db, QStringLiteral("insert into organs_m (code, name, orj_flag) values (10, 'تكميلي', 0), (11, 'آزاد', 0)"), {});
    exec(db,
         QStringLiteral("insert into organs_s (code, row, from_d, to_d, deduct, fani_flag) values "
                        "(10, 1, '05/01/01', '05/06/31', 60, 0), (10, 2, '05/07/01', '05/12/29', 80, 0), "
                        "(11, 1, '05/01/01', '05/12/29', 0, 0)"),
         {});
}

void BulkInsurerChangeTest::cleanup() {
    m_t.reset();
}

void BulkInsurerChangeTest::linesPricedAsDispensingPricesThem() {
    Database& db = m_t->db();
    // Insured, free, hoteling (for insurer 2), a former hoteling line, hospital-only, a rule's
    // quantity limit, a compounded drug with the formula's free part, an OTC and a goods line.
    const QList<StoredLine> lines = {
        {1010003, texts::kInsured, 3, 2500},         {1010002, texts::kFree, 5, 4000},
        {1400001, texts::kInsured, 2, 50000},        {1400001, texts::kInsured, 1, 0, 50000},
        {1400002, texts::kInsured, 4, 3000},         {1700001, texts::kInsured, 2, 900},
        {3300001, texts::kOtc, 2, 150.5},            {3300002, texts::kGoods, 1, 80},
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

    const InsurerChangeOutcome outcome = BulkInsurerChange(db).run(request(QStringLiteral("2")));
    QVERIFY(outcome.done());
    QCOMPARE(outcome.prescriptions, 2);
    QCOMPARE(outcome.lines, 10);

    // What the dispensing window writes for the same drugs dispensed to an inpatient of
    // insurer 2 with the hospital stamp.
    ScriptedPrompter prompter;
    prompter.setYesNoFallback([](const QString& q) { return q == texts::kHospitalStampQuestion; });
    PricingStore pricing(db);
    LinePricer pricer(pricing, prompter);
    PricingContext context{InsurerCode::fromText(QStringLiteral("2")), {}, Admission::Inpatient, kToday, false, {}};
    PrescriptionLines expected;
    const QStringList prices = {{}, {}, {}, {}, {}, QStringLiteral("1200"), {}, {}};
    for (int i = 0; i < lines.size(); ++i) {
        const StoredLine& l = lines.at(i);
        if (l.kind == texts::kOtc || l.kind == texts::kGoods) { // not priced again
            expected.append({{}, {}, QStringLiteral("0"), {}, l.kind});
            continue;
        }
        // The compounded drug is typed at its whole price; the others come at their list price.
        const DrugItem drug = *pricing.findDrug(l.code, false);
        QVERIFY(pricer.add(expected, context, drug, {QString::number(l.quantity), texts::kInsured, prices.at(i)}).written());
    }
    QCOMPARE(expected.lineCount(), lines.size());
    QCOMPARE(prompter.texts(ScriptedPrompter::Kind::Warning), QStringList());

    double patient = 0, insurer = 0, free = 0;
    QSqlQuery stored = db.exec(QStringLiteral("select vaziat, price_one, price_koll, sazman, bimar, azad, otc, kala, "
                                              "price_h from details_noskhe where sh_factor=1 order by row"));
    for (int row = 1; row <= lines.size(); ++row) {
        QVERIFY(stored.next());
        const StoredLine& l = lines.at(row - 1);
        if (l.kind == texts::kOtc || l.kind == texts::kGoods) { // kept as they were
            QCOMPARE(stored.value(0).toString(), l.kind);
            QCOMPARE(stored.value(2).toDouble(), l.quantity * l.unitPrice);
            QCOMPARE(stored.value(6).toDouble() + stored.value(7).toDouble(), l.quantity * l.unitPrice);
            continue;
        }
        const auto number = [&](int column) { return expected.cell(row, column).toDouble(); };
        QCOMPARE(stored.value(0).toString(), expected.cell(row, Col::Kind));
        QCOMPARE(stored.value(1).toDouble(), number(Col::UnitPrice));
        QCOMPARE(stored.value(2).toDouble(), number(Col::Total));
        QCOMPARE(stored.value(3).toDouble(), number(Col::InsurerShare));
        QCOMPARE(stored.value(4).toDouble(), number(Col::PatientShare));
        QCOMPARE(stored.value(5).toDouble(), number(Col::FreeAmount));
        QCOMPARE(stored.value(8).toDouble(), number(Col::HotelingPrice));
        insurer += number(Col::InsurerShare);
        patient += number(Col::PatientShare);
        free += number(Col::FreeAmount);
    }
    stored.finish();
    // A few lines checked by hand: the quantity limit (2 of 5 at 70 %), hoteling, the
    // compounded drug's free materials.
    QCOMPARE(expected.row(2).mid(Col::Kind, 7),
             QStringList({texts::kInsured, "5", "4000", "20000", "5600", "2400", "12000"}));
    QCOMPARE(expected.cell(3, Col::Total), QStringLiteral("0"));
    QCOMPARE(expected.cell(3, Col::HotelingPrice), QStringLiteral("50000"));
    QCOMPARE(expected.cell(6, Col::FreeAmount), QStringLiteral("600"));

    // The header: insurer 2's period pays 70 % of the technical fee of 1000.
    QSqlQuery header = db.exec(QStringLiteral("select code_bimeh, price_azad, price_bimeh, price_bimar, price_koll, "
                                              "price_otc, price_kala, fani from heading_noskhe where sh_factor=1"));
    QVERIFY(header.next());
    QCOMPARE(header.value(0).toInt(), 2);
    QCOMPARE(header.value(1).toDouble(), free);
    QCOMPARE(header.value(2).toDouble(), insurer + 700);
    QCOMPARE(header.value(3).toDouble(), patient + 300);
    QCOMPARE(header.value(4).toDouble(), patient + 80 + free + 320 + 300);
    QCOMPARE(header.value(5).toDouble(), 320.0);
    QCOMPARE(header.value(6).toDouble(), 80.0);
    QCOMPARE(header.value(7).toDouble(), 1000.0);
    header.finish();

    // Outpatient ones, those outside the range and another file's are as they were.
    QCOMPARE(snapshot(db, 3), untouched);

    // Running it again prices the lines again from their stored values: nothing moves.
    const QStringList once = snapshot(db);
    QVERIFY(BulkInsurerChange(db).run(request(QStringLiteral("2"))).done());
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
    const QString noPeriod =
        QStringLiteral("هيچ دوره قرارداد بيمه جديد همه محدوده تاريخي را در بر نمي گيرد؛ تغيير بيمه انجام نشد");
    QTest::newRow("no file") << "" << "05/03/01" << "05/03/31" << "2" << "شماره پرونده مشخص نشده است" << "sh_parvandeh";
    QTest::newRow("no insurer") << "555" << "05/03/01" << "05/03/31" << "" << "نام بيمه مشخص نشده است" << "me_code_bime";
    QTest::newRow("blank first date") << "555" << "  /  /  " << "05/03/31" << "2" << range << "me_date1";
    QTest::newRow("blank last date") << "555" << "05/03/01" << "  /  /  " << "2" << range << "me_date2";
    QTest::newRow("month 13") << "555" << "05/13/01" << "05/03/31" << "2" << range << "me_date1";
    QTest::newRow("unknown insurer") << "555" << "05/03/01" << "05/03/31" << "99" << "اين كد موجود نمي باشد"
                                     << "me_code_bime";
    // Insurer 4's only period ends on 05/06/14; insurer 10's two periods each cover part.
    QTest::newRow("period ends inside") << "555" << "05/06/01" << "05/06/20" << "4" << noPeriod << "me_date1";
    QTest::newRow("range spans two periods") << "555" << "05/06/20" << "05/07/10" << "10" << noPeriod << "me_date1";
    // A line whose drug has left the drug list cannot be priced again.
    QTest::newRow("drug gone") << "555" << "05/03/01" << "05/03/31" << "2"
                               << "نسخه شماره 2: امکان ويرايش اين نسخه وجود ندارد؛ تغيير بيمه انجام نشد" << "me_code_bime";
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
    storePrescription(db, 2, QStringLiteral("05/03/11"), 0, {{1010003, texts::kInsured, 1, 2500}, {9999999, texts::kInsured, 1, 10}});
    storePrescription(db, 3, QStringLiteral("05/06/05"), 0, {{1010003, texts::kInsured, 1, 2500}});
    const QStringList before = snapshot(db);
    const InsurerChangeOutcome outcome = BulkInsurerChange(db).run({file, first, last, insurer, kToday});
    QVERIFY(!outcome.done());
    QCOMPARE(outcome.refused->message, message);
    QCOMPARE(outcome.refused->focus, focus);
    QCOMPARE(snapshot(db), before);
}

void BulkInsurerChangeTest::coveringPeriodAndFreeInsurer_data() {
    QTest::addColumn<QString>("insurer");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QStringList>("line"); // vaziat, sazman, bimar, azad, price_h
    // 2 x 2500: insurer 10's second period (80 %) covers the range; the first (60 %) does not.
    QTest::newRow("covering period") << "10" << "05/07/01" << QStringList{"تعرفه", "4000", "1000", "0", "0"};
    QTest::newRow("first period") << "10" << "05/01/01" << QStringList{"تعرفه", "3000", "2000", "0", "0"};
    // An insurer named free makes the lines free.
    QTest::newRow("free insurer") << "11" << "05/07/01" << QStringList{"آزاد", "0", "0", "5000", "0"};
}

void BulkInsurerChangeTest::coveringPeriodAndFreeInsurer() {
    QFETCH(QString, insurer);
    QFETCH(QString, first);
    QFETCH(QStringList, line);
    Database& db = m_t->db();
    storePrescription(db, 1, first, 0, {{1010003, texts::kInsured, 2, 2500}});
    const QString last = first.left(6) + QStringLiteral("30");
    QVERIFY(BulkInsurerChange(db).run({kFile, first, last, insurer, kToday}).done());
    QSqlQuery q = db.exec(QStringLiteral("select vaziat, sazman, bimar, azad, price_h from details_noskhe"));
    QVERIFY(q.next());
    QStringList got;
    for (int i = 0; i < 5; ++i)
        got.append(i == 0 ? q.value(i).toString() : QString::number(q.value(i).toDouble()));
    QCOMPARE(got, line);
}

void BulkInsurerChangeTest::failureHalfWayChangesNothing() {
    Database& db = m_t->db();
    storePrescription(db, 1, QStringLiteral("05/03/10"), 0,
                      {{1010003, texts::kInsured, 3, 2500}, {1010002, texts::kFree, 5, 4000}});
    storePrescription(db, 2, QStringLiteral("05/03/20"), 0, {{1010003, texts::kInsured, 1, 2500}, {1400002, texts::kInsured, 1, 3000}});
    const QStringList before = snapshot(db);
    FailingPricing pricing(db, 1400002);
    BulkInsurerChange change(db, pricing);
    QVERIFY_THROWS_EXCEPTION(Error, change.run(request(QStringLiteral("2"))));
    QCOMPARE(pricing.reads, 3); // the first prescription was written before the failure
    QCOMPARE(snapshot(db), before);
    // The connection is usable afterwards: the same change without the failure goes through.
    QVERIFY(BulkInsurerChange(db).run(request(QStringLiteral("2"))).done());
    QCOMPARE(db.scalar("select count(*) from heading_noskhe where code_bimeh=2").toInt(), 2);
}

QTEST_GUILESS_MAIN(BulkInsurerChangeTest)
#include "bulk_insurer_change_test.moc"
