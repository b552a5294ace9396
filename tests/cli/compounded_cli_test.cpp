#include "db/schema.h"
#include "support/cli_run.h"
#include "support/test_database.h"
#include "../catalogue/compounding_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace ph;
using ph::test::pharmacyctl;

namespace {

QStringList cellTexts(const QJsonValue& array) {
    QStringList out;
    for (const QJsonValue& v : array.toArray())
        out.append(v.toString());
    return out;
}

} // namespace

// pharmacyctl reprice-compounded, and a compounded drug quoted at its formula's price.
class CompoundedCliTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void repricedFormulaIsDispensedAtItsPrice_data();
    void repricedFormulaIsDispensedAtItsPrice();
    void formulaSavedOnADatabaseMadeByInit();
    void refusesOptionsAndMissingDatabase();

private:
    std::unique_ptr<test::TestDatabase> m_t;
};

void CompoundedCliTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    Schema(m_t->db()).ensure();
    test::seedCompounding(m_t->db());
}

void CompoundedCliTest::cleanup() {
    m_t.reset();
}

void CompoundedCliTest::repricedFormulaIsDispensedAtItsPrice_data() {
    QTest::addColumn<bool>("stockKept");
    QTest::newRow("no stock kept") << false;
    // The pharmacy unit keeps stock, with a row of the first compounded drug at its old
    // price and none of the second: both are dispensed, at their formulas' new price.
    QTest::newRow("stock kept") << true;
}

void CompoundedCliTest::repricedFormulaIsDispensedAtItsPrice() {
    QFETCH(bool, stockKept);
    Database& db = m_t->db();
    double code = 0;
    double second = 0;
    FormulaStore(db).add(test::ointment(), &code);
    FormulaStore(db).add(test::ointment(QStringLiteral("پماد ديگر")), &second);
    db.exec(QStringLiteral("delete from mosh_kala_anbar where code_kala=?"), {second});
    if (stockKept)
        db.exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (?, 20, 5, 12600)"),
                {code});
    // Insured line 3 × 1,200 becomes 3 × 1,500: 900 more.
    db.exec(QStringLiteral("update material set price=1500 where code_mat=1"));

    const auto run = pharmacyctl({QStringLiteral("--dir"), m_t->workingDir(), QStringLiteral("reprice-compounded")});
    QCOMPARE(run.status, 0);
    const QJsonObject summary = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QCOMPARE(summary.value(QStringLiteral("formulas")).toInt(), 2);
    QCOMPARE(summary.value(QStringLiteral("formulas_changed")).toInt(), 2);
    QCOMPARE(summary.value(QStringLiteral("goods_changed")).toInt(), 2);
    QCOMPARE(summary.value(QStringLiteral("goods_created")).toInt(), 1);
    QVERIFY2(run.err.contains(QLatin1String("goods rows created: 1")), qPrintable(run.err));
    QCOMPARE(test::goodsPrice(db, code), 13500.0);
    QCOMPARE(test::goodsPrice(db, second), 13500.0);

    // The dispensing pricing takes the compounded drug at its goods price.
    const auto quote = pharmacyctl({QStringLiteral("--dir"), m_t->workingDir(), QStringLiteral("quote"),
                                    QStringLiteral("--insurer"), QStringLiteral("0"), QStringLiteral("--today"),
                                    QStringLiteral("05/06/15"), QStringLiteral("--time"), QStringLiteral("10:00"),
                                    QStringLiteral("--line"), QStringLiteral("1700001,2"), QStringLiteral("--line"),
                                    QStringLiteral("1700002,1")});
    QVERIFY2(quote.status == 0, qPrintable(quote.err));
    const QJsonArray lines = QJsonDocument::fromJson(quote.out.toUtf8()).object().value(QStringLiteral("lines")).toArray();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(cellTexts(lines.at(0)).mid(5, 3), (QStringList{"2", "13500", "27000"}));
    QCOMPARE(cellTexts(lines.at(1)).mid(5, 3), (QStringList{"1", "13500", "13500"}));
    if (stockKept)
        QCOMPARE(db.scalar(QStringLiteral("select price_u from moj_kala_vah where code_kala=?"), {code}).toDouble(),
                 13500.0);
}

void CompoundedCliTest::formulaSavedOnADatabaseMadeByInit() {
    // A new database made by init alone holds the compounded drugs' form.
    test::TestDatabase fresh;
    const auto init = pharmacyctl({QStringLiteral("--dir"), fresh.workingDir(), QStringLiteral("init")});
    QVERIFY2(init.status == 0, qPrintable(init.err));
    Formula formula = test::ointment();
    double code = 0;
    QCOMPARE(FormulaStore(fresh.db()).add(formula, &code), FormulaStore::Result::Saved);
    QCOMPARE(code, 1700001.0);
    QCOMPARE(fresh.db().scalar(QStringLiteral("select t.name from mosh_kala_anbar k, type_kala t "
                                              "where k.type_code=t.code and k.code_kala=?"),
                               {code})
                 .toString(),
             compoundedFormName());
}

void CompoundedCliTest::refusesOptionsAndMissingDatabase() {
    QCOMPARE(pharmacyctl({QStringLiteral("--dir"), m_t->workingDir(), QStringLiteral("reprice-compounded"),
                          QStringLiteral("--all")})
                 .status,
             2);
    QTemporaryDir empty;
    const auto missing = pharmacyctl({QStringLiteral("--dir"), empty.path(), QStringLiteral("reprice-compounded")});
    QCOMPARE(missing.status, 2);
    QVERIFY(pharmacyctl({QStringLiteral("--help")}).out.contains(QLatin1String("reprice-compounded")));
}

QTEST_GUILESS_MAIN(CompoundedCliTest)
#include "compounded_cli_test.moc"
