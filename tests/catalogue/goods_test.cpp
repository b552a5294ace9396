#include "catalogue/goods.h"
#include "catalogue/goods_code.h"
#include "db/schema.h"
#include "goods_fixture.h"
#include "core/amounts.h"
#include "support/audit_entries.h"
#include "support/test_database.h"

#include <QJsonArray>
#include <QtTest>

using namespace ph;
using namespace ph::test;

namespace {

GoodsEntry entry(qint64 group, qint64 form, const QString& name = QStringLiteral("آموكسي سيلين"),
                 double price = 1000) {
    GoodsEntry e;
    e.group = group;
    e.form = form;
    e.name = name;
    e.latinName = QStringLiteral("Amoxicillin");
    e.nationalCode = 123;
    e.identityCode = 456;
    e.price = price;
    return e;
}

QList<double> codesOf(const QList<GoodsItem>& items) {
    QList<double> codes;
    for (const GoodsItem& item : items)
        codes.append(item.code);
    return codes;
}

int rowsNaming(Database& db, const QString& table, const QString& column, double code) {
    return db.scalar(QStringLiteral("select count(*) from %1 where %2=?").arg(table, column), {code}).toInt();
}

// Rows of other tables that name the goods 1070001, with whether they are the goods' own rows
// (which move with it to a new code) or linked rows (which keep it on its code).
void referenceCases() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<bool>("ownRow");
    const struct {
        const char* table;
        const char* column;
        const char* insert;
        bool own;
    } cases[] = {
        {"bimeh_daru", "code_kala", "insert into bimeh_daru (code_bimeh, code_kala) values (1, ?)", true},
        {"hamrah_kala", "code_kala", "insert into hamrah_kala (code_kala, code_kala_h) values (?, 9999999)", false},
        {"hamrah_kala", "code_kala_h", "insert into hamrah_kala (code_kala, code_kala_h) values (9999999, ?)", false},
        {"moadel_kala", "code_kala", "insert into moadel_kala (code_kala, code_moadel) values (?, 9999999)", false},
        {"moadel_kala", "code_moadel", "insert into moadel_kala (code_kala, code_moadel) values (9999999, ?)", false},
        {"details_noskhe", "code_darou", "insert into details_noskhe (sh_factor, row, code_darou) values (1, 1, ?)", false},
        {"moj_kala_anbar", "code_kala", "insert into moj_kala_anbar (code_kala) values (?)", true},
        {"moj_kala_vah", "code_kala", "insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (?, 20, 5, 1)",
         true},
        // Beyond the six above: every other row that names a goods code.
        {"details_noskhe", "code_darou_main",
         "insert into details_noskhe (sh_factor, row, code_darou, code_darou_main) values (1, 1, 9999999, ?)", false},
        {"details_froosh_kala", "code_kala", "insert into details_froosh_kala (sh_factor, code_kala) values (1, ?)", false},
        {"details_masrafi", "code_darou", "insert into details_masrafi (sh_factor, code_darou) values (1, ?)", false},
        {"heading_formul_darou", "code_darou", "insert into heading_formul_darou (code_darou) values (?)", false},
        {"hoteling", "code_kala", "insert into hoteling (code_bimeh, code_kala) values (1, ?)", true},
    };
    for (const auto& c : cases)
        QTest::newRow(qPrintable(QStringLiteral("%1.%2").arg(QLatin1String(c.table), QLatin1String(c.column))))
            << QString::fromLatin1(c.table) << QString::fromLatin1(c.column) << QString::fromLatin1(c.insert) << c.own;
}

} // namespace

class GoodsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void codesComeFromTheFormsSharedCounter();
    void refusedNewGoodsAndTheCounter();
    void addStoresTrimmedNamesAndZeroForCodesNotGiven();
    void editKeepsTheCodeAndPricesTheFirstUnitRow();
    void groupOrFormChangeReKeys();
    void groupChangeWithARowNamingTheGoods_data() { referenceCases(); }
    void groupChangeWithARowNamingTheGoods();
    void deleteRefusedWhileARowNamesTheGoods_data() { referenceCases(); }
    void deleteRefusedWhileARowNamesTheGoods();
    void listsFilterByGroupFormAndNamePrefix();

private:
    Database& db() { return m_t->db(); }
    std::unique_ptr<TestDatabase> m_t;
};

void GoodsTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Schema(db()).ensure();
    seedGroupsAndForms(db());
}

void GoodsTest::cleanup() { m_t.reset(); }

void GoodsTest::codesComeFromTheFormsSharedCounter() {
    GoodsCatalogue goods(db());
    const GoodsSaveResult first = goods.add(entry(1, 7));
    const GoodsSaveResult second = goods.add(entry(2, 7));
    const GoodsSaveResult otherForm = goods.add(entry(2, 8));
    QCOMPARE(first.outcome, GoodsOutcome::Done);
    QCOMPARE(first.code, 1070001.0);
    QCOMPARE(second.code, 2070002.0);
    QCOMPARE(otherForm.code, 2080001.0);
    QCOMPARE(formCounter(db(), 7), 2);
    QCOMPARE(formCounter(db(), 8), 1);
    QCOMPARE(composeGoodsCode(1, 70, 12), 1700012.0); // a compounded drug's code
}

void GoodsTest::refusedNewGoodsAndTheCounter() {
    GoodsCatalogue goods(db());
    insertGoods(db(), 1070001, QStringLiteral("موجود"), 1, 7);

    // The duplicate is refused and its number stays used up.
    const GoodsSaveResult duplicate = goods.add(entry(1, 7));
    QCOMPARE(duplicate.outcome, GoodsOutcome::DuplicateCode);
    QCOMPARE(duplicate.code, 1070001.0);
    QCOMPARE(formCounter(db(), 7), 1);
    QCOMPARE(count(db(), QStringLiteral("mosh_kala_anbar")), 1);
    QCOMPARE(goods.add(entry(1, 7)).code, 1070002.0);

    // A group or form with no row takes no number.
    QCOMPARE(goods.add(entry(5, 7)).outcome, GoodsOutcome::UnknownGroup);
    QCOMPARE(goods.add(entry(1, 9)).outcome, GoodsOutcome::UnknownForm);
    QCOMPARE(formCounter(db(), 7), 2);
    QCOMPARE(count(db(), QStringLiteral("mosh_kala_anbar")), 2);
}

void GoodsTest::addStoresTrimmedNamesAndZeroForCodesNotGiven() {
    GoodsCatalogue goods(db());
    GoodsEntry e = entry(1, 7, QStringLiteral("  استامينوفن "), 2500);
    e.latinName = QStringLiteral(" Acetaminophen  ");
    e.nationalCode.reset();
    e.identityCode.reset();
    const double code = goods.add(e).code;

    Rows row = db().exec(QStringLiteral("select name_kala, name_kala_latin, code_tow, code_sh, group_code, type_code, "
                                             "price_u, flag from mosh_kala_anbar where code_kala=?"),
                              {code});
    QVERIFY(row.next());
    QCOMPARE(row.value(0).toString(), QStringLiteral("استامينوفن"));
    QCOMPARE(row.value(1).toString(), QStringLiteral("Acetaminophen"));
    QVERIFY(!row.value(2).isNull() && !row.value(3).isNull());
    QCOMPARE(row.value(2).toDouble(), 0.0);
    QCOMPARE(row.value(3).toDouble(), 0.0);
    QCOMPARE(row.value(4).toInt(), 1);
    QCOMPARE(row.value(5).toInt(), 7);
    QCOMPARE(row.value(6).toDouble(), 2500.0);
    QCOMPARE(row.value(7).toInt(), 1);

    const std::optional<GoodsItem> found = goods.find(code);
    QVERIFY(found);
    QCOMPARE(found->formName, QStringLiteral("قرص"));
    QCOMPARE(found->nationalCode, std::optional<double>(0));
}

void GoodsTest::editKeepsTheCodeAndPricesTheFirstUnitRow() {
    GoodsCatalogue goods(db());
    insertGoods(db(), 1070001, QStringLiteral("قديمي"), 1, 7, 100);
    db().exec(QStringLiteral("update mosh_kala_anbar set flag=0 where code_kala=1070001"));
    for (int unit : {30, 20})
        db().exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (1070001, ?, 1, 100)"),
                  {unit});

    GoodsEntry e = entry(1, 7, QStringLiteral("جديد"), 777);
    e.nationalCode = 5551234;
    const GoodsSaveResult result = goods.update(1070001, e);
    QCOMPARE(result.outcome, GoodsOutcome::Done);
    QCOMPARE(result.code, 1070001.0);
    QCOMPARE(formCounter(db(), 7), 0);
    const GoodsItem stored = *goods.find(1070001);
    QCOMPARE(stored.name, QStringLiteral("جديد"));
    QCOMPARE(stored.nationalCode, std::optional<double>(5551234));
    QCOMPARE(stored.price, std::optional<double>(777));
    QCOMPARE(stored.flag, 1);
    const QList<QJsonObject> history = test::auditChanges(db(), QStringLiteral("goods"), QStringLiteral("1070001"));
    QVERIFY(!history.isEmpty());
    QCOMPARE(test::auditField(history.last(), QStringLiteral("price_u"), "after").toDouble(), 777.0);
    QCOMPARE(test::auditField(history.last(), QStringLiteral("name_kala"), "after").toString(), QStringLiteral("جديد"));
    // Only the first unit row takes the new price.
    QCOMPARE(db().scalar(QStringLiteral("select price_u from moj_kala_vah where code_vah=20")).toDouble(), 777.0);
    QCOMPARE(db().scalar(QStringLiteral("select price_u from moj_kala_vah where code_vah=30")).toDouble(), 100.0);

    QCOMPARE(goods.update(1079999, e).outcome, GoodsOutcome::Missing);
}

void GoodsTest::groupOrFormChangeReKeys() {
    GoodsCatalogue goods(db());
    const double code = goods.add(entry(1, 7)).code; // 1070001, counter of 7 at 1

    const GoodsSaveResult newGroup = goods.update(code, entry(2, 7, QStringLiteral("آموكسي سيلين"), 1500));
    QCOMPARE(newGroup.outcome, GoodsOutcome::Done);
    QCOMPARE(newGroup.code, 2070002.0);
    QVERIFY(!goods.find(code));
    QCOMPARE(goods.find(2070002)->group, 2);

    const GoodsSaveResult newForm = goods.update(2070002, entry(2, 8));
    QCOMPARE(newForm.code, 2080001.0);
    QCOMPARE(count(db(), QStringLiteral("mosh_kala_anbar")), 1);

    // The new code is taken: refused, the number used up, the row unchanged.
    insertGoods(db(), 1080002, QStringLiteral("ديگر"), 1, 8);
    const GoodsSaveResult taken = goods.update(2080001, entry(1, 8, QStringLiteral("تغيير")));
    QCOMPARE(taken.outcome, GoodsOutcome::DuplicateCode);
    QCOMPARE(formCounter(db(), 8), 2);
    QCOMPARE(goods.find(2080001)->name, QStringLiteral("آموكسي سيلين"));

    // A new group that has no row is refused before any number is taken.
    QCOMPARE(goods.update(2080001, entry(6, 8)).outcome, GoodsOutcome::UnknownGroup);
    QCOMPARE(formCounter(db(), 8), 2);
}

void GoodsTest::groupChangeWithARowNamingTheGoods() {
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QString, insert);
    QFETCH(bool, ownRow);
    GoodsCatalogue goods(db());
    const double code = goods.add(entry(1, 7)).code;
    db().exec(insert, {code});

    // Changing names, codes or price is always allowed and keeps the code.
    QCOMPARE(goods.update(code, entry(1, 7, QStringLiteral("نام تازه"))).code, code);

    const GoodsSaveResult moved = goods.update(code, entry(2, 7, QStringLiteral("نام تازه"), 4321));
    if (!ownRow) {
        QCOMPARE(moved.outcome, GoodsOutcome::Referenced);
        QVERIFY(goods.find(code));
        QCOMPARE(goods.find(code)->group, 1);
        QCOMPARE(formCounter(db(), 7), 1);
        QCOMPARE(rowsNaming(db(), table, column, code), 1);
        return;
    }
    // The goods' own rows follow it to its new code.
    QCOMPARE(moved.outcome, GoodsOutcome::Done);
    QCOMPARE(moved.code, 2070002.0);
    QCOMPARE(rowsNaming(db(), table, column, code), 0);
    QCOMPARE(rowsNaming(db(), table, column, moved.code), 1);
    if (table == QLatin1String("moj_kala_vah"))
        QCOMPARE(db().scalar(QStringLiteral("select price_u from moj_kala_vah")).toDouble(), 4321.0);
}

void GoodsTest::deleteRefusedWhileARowNamesTheGoods() {
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QString, insert);
    GoodsCatalogue goods(db());
    const double code = goods.add(entry(1, 7)).code;
    const double other = goods.add(entry(1, 7, QStringLiteral("ديگري"))).code;
    db().exec(insert, {code});

    QCOMPARE(goods.remove(code), GoodsOutcome::Referenced);
    QVERIFY(goods.find(code));
    QCOMPARE(test::auditChanges(db(), QStringLiteral("goods"), plainDecimalText(code)).size(), 1); // its addition alone
    QCOMPARE(goods.remove(other), GoodsOutcome::Done);
    QVERIFY(!goods.find(other));
    // The deletion is recorded with what the row held.
    const QList<QJsonObject> history = test::auditChanges(db(), QStringLiteral("goods"), plainDecimalText(other));
    QCOMPARE(history.size(), 2);
    QCOMPARE(test::auditField(history.last(), QStringLiteral("name_kala"), "before").toString(), QStringLiteral("ديگري"));
    QVERIFY(test::auditField(history.last(), QStringLiteral("name_kala"), "after").isNull());

    db().exec(QStringLiteral("delete from %1 where %2=?").arg(table, column), {code});
    QCOMPARE(goods.remove(code), GoodsOutcome::Done);
    QCOMPARE(count(db(), QStringLiteral("mosh_kala_anbar")), 0);
}

void GoodsTest::listsFilterByGroupFormAndNamePrefix() {
    insertGoods(db(), 1070001, QStringLiteral("پنی سيلين"), 1, 7, 300);
    insertGoods(db(), 1080001, QStringLiteral("آسپرين"), 1, 8, 100);
    insertGoods(db(), 2070002, QStringLiteral("پماد_ب"), 2, 7, 200);
    insertGoods(db(), 2070003, QStringLiteral("پمادXب"), 2, 7, 250);
    insertGoods(db(), 3990001, QStringLiteral("بي شكل"), 3, 99); // its form has no row: never listed
    GoodsCatalogue goods(db());
    const struct {
        GoodsQuery query;
        QList<double> codes;
    } cases[] = {
        {{std::nullopt, std::nullopt, {}, GoodsOrder::Code}, {1070001, 1080001, 2070002, 2070003}},
        {{1, std::nullopt, {}, GoodsOrder::Code}, {1070001, 1080001}},
        {{std::nullopt, 7, {}, GoodsOrder::Code}, {1070001, 2070002, 2070003}},
        {{2, 7, {}, GoodsOrder::Code}, {2070002, 2070003}},
        {{2, 8, {}, GoodsOrder::Code}, {}},
        {{std::nullopt, std::nullopt, QStringLiteral("پ"), GoodsOrder::Code}, {1070001, 2070002, 2070003}},
        // The typed text is matched as it stands: "_" is no wildcard.
        {{std::nullopt, std::nullopt, QStringLiteral("پماد_"), GoodsOrder::Code}, {2070002}},
        {{std::nullopt, std::nullopt, QStringLiteral("%"), GoodsOrder::Code}, {}},
        {{std::nullopt, std::nullopt, {}, GoodsOrder::Price}, {1080001, 2070002, 2070003, 1070001}},
    };
    for (const auto& c : cases)
        QCOMPARE(codesOf(goods.list(c.query)), c.codes);
    QVERIFY(!goods.find(3990001));
}

QTEST_GUILESS_MAIN(GoodsTest)
#include "goods_test.moc"
