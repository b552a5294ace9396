#include "audit/audit_log.h"
#include "catalogue/drug_texts.h"
#include "catalogue/formulas.h"
#include "catalogue/goods_tree.h"
#include "catalogue/materials.h"
#include "db/schema.h"
#include "support/test_database.h"
#include "compounding_fixture.h"
#include "goods_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <stdexcept>

using namespace ph;
using ph::test::TestDatabase;

class CompoundingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void drugTextListsKeepTheirOwnCodes();
    void materialsRefuseDuplicatesAndDeletingUsedOnes();
    void formulaTotals_data();
    void formulaTotals();
    void formulaSavedAsGoodsAndDeletedOnlyUndispensed();
    void formulaTypeFeeChangeLeavesSavedFormulas();
    void repriceFollowsMaterialPrices();
    void repriceCreatesMissingGoodsRow();
    void repriceFailureHalfWayChangesNothing();
    void goodsNodeKeys_data();
    void goodsNodeKeys();
    void goodsTreeBuildsAddsEditsAndDeletes();

private:
    std::unique_ptr<TestDatabase> m_t;
};

void CompoundingTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Schema(m_t->db()).ensure();
}

void CompoundingTest::cleanup() {
    m_t.reset();
}

void CompoundingTest::drugTextListsKeepTheirOwnCodes() {
    Database& db = m_t->db();
    using R = DrugTextStore::Result;
    DrugTextStore instructions(db, DrugTextKind::Instructions);
    DrugTextStore storage(db, DrugTextKind::Storage);
    DrugTextStore messages(db, DrugTextKind::Messages);
    QCOMPARE(instructions.nextCode(), 1);
    qint64 code = 0;
    QCOMPARE(instructions.add(QStringLiteral(" روزي يك بار "), &code), R::Saved);
    QCOMPARE(code, 1);
    QCOMPARE(instructions.textOf(1), QStringLiteral("روزي يك بار"));
    // The same text twice: two rows with two codes.
    QCOMPARE(instructions.add(QStringLiteral("روزي يك بار"), &code), R::Saved);
    QCOMPARE(code, 2);
    QCOMPARE(instructions.add(QStringLiteral("  ")), R::EmptyText);
    // Each list numbers from its own largest code.
    QCOMPARE(storage.nextCode(), 1);
    QCOMPARE(storage.add(QStringLiteral("يخچال")), R::Saved);
    QCOMPARE(storage.add(QStringLiteral("دور از نور")), R::Saved);
    QCOMPARE(messages.nextCode(), 1);
    QCOMPARE(instructions.nextCode(), 3);

    QCOMPARE(storage.edit(2, QStringLiteral(" دور از نور و رطوبت ")), R::Saved);
    QCOMPARE(storage.textOf(2), QStringLiteral("دور از نور و رطوبت"));
    QCOMPARE(storage.edit(9, QStringLiteral("x")), R::Missing);
    QCOMPARE(storage.edit(2, QString()), R::EmptyText);

    // A storage note a formula names stays; an unused one goes. The instruction with the
    // same code is not protected by the formula's storage note.
    db.exec(QStringLiteral("insert into heading_formul_darou (code_darou, code_negahdari) values (1700001, 2)"));
    QCOMPARE(storage.remove(2), R::InUse);
    QVERIFY(storage.textOf(2));
    QCOMPARE(storage.remove(1), R::Saved);
    QVERIFY(!storage.textOf(1));
    QCOMPARE(instructions.remove(2), R::Saved);
    QCOMPARE(storage.pickRows().size(), 1);
    QCOMPARE(drugTextKindForFormMode(3), DrugTextKind::Storage);
    QVERIFY(!drugTextKindForFormMode(4));
}

void CompoundingTest::materialsRefuseDuplicatesAndDeletingUsedOnes() {
    Database& db = m_t->db();
    test::seedCompounding(db);
    using R = MaterialStore::Result;
    MaterialStore materials(db);
    QCOMPARE(materials.nextCode(), 3);
    Material m{3, QStringLiteral("روغن"), QStringLiteral("تجاري"), QStringLiteral("oil"), 2, {}, 2500};
    QCOMPARE(materials.add(m), R::Saved);
    QCOMPARE(materials.find(3)->unitName, QStringLiteral("ميلي ليتر"));
    QCOMPARE(materials.add(m), R::DuplicateCode);
    m.code = 4;
    QCOMPARE(materials.add(m), R::DuplicateName);
    m.code = 9;
    QCOMPARE(materials.update(m), R::Missing);
    m.code = 3;
    m.price = 2600;
    QCOMPARE(materials.update(m), R::Saved);
    QCOMPARE(*materials.find(3)->price, 2600.0);

    // On a formula line: kept. On none: deleted.
    QCOMPARE(FormulaStore(db).add(test::ointment()), FormulaStore::Result::Saved);
    QCOMPARE(materials.remove(1), R::InUse);
    QCOMPARE(materials.remove(3), R::Saved);
    QCOMPARE(materials.list().size(), 2);
}

void CompoundingTest::formulaTotals_data() {
    QTest::addColumn<QList<FormulaLine>>("lines");
    QTest::addColumn<double>("insured");
    QTest::addColumn<double>("free");
    QTest::addColumn<double>("payable");
    const FormulaLine insured{1, {}, {}, kInsuredMaterial, 3, 1200};
    const FormulaLine free{2, {}, {}, kFreeMaterial, 0.5, 4000};
    QTest::newRow("insured and free") << QList<FormulaLine>{insured, free} << 3600.0 << 2000.0 << 12600.0;
    QTest::newRow("all free: insured 0") << QList<FormulaLine>{free, free} << 0.0 << 4000.0 << 11000.0;
    QTest::newRow("no lines: the fees") << QList<FormulaLine>{} << 0.0 << 0.0 << 7000.0;
    // Any status other than the insured text counts as free.
    FormulaLine other = insured;
    other.status = QStringLiteral("x");
    QTest::newRow("unknown status is free") << QList<FormulaLine>{other} << 0.0 << 3600.0 << 10600.0;
}

void CompoundingTest::formulaTotals() {
    QFETCH(QList<FormulaLine>, lines);
    const FormulaTotals totals = ph::formulaTotals(lines, 5000, 2000);
    QFETCH(double, insured);
    QFETCH(double, free);
    QFETCH(double, payable);
    QCOMPARE(totals.insured, insured);
    QCOMPARE(totals.free, free);
    QCOMPARE(totals.payable, payable);
}

void CompoundingTest::formulaSavedAsGoodsAndDeletedOnlyUndispensed() {
    Database& db = m_t->db();
    test::seedCompounding(db);
    FormulaStore formulas(db);
    QCOMPARE(formulas.nextCode(), 1700001.0);
    double code = 0;
    QCOMPARE(formulas.add(test::ointment(), &code), FormulaStore::Result::Saved);
    QCOMPARE(code, 1700001.0);
    QCOMPARE(test::formCounter(db, 70), 1);
    QCOMPARE(formulas.nextCode(), 1700002.0);

    const std::optional<Formula> stored = formulas.find(code);
    QVERIFY(stored);
    QCOMPARE(stored->lines.size(), 2);
    QCOMPARE(stored->lines.at(0).unitName, QStringLiteral("گرم"));
    QCOMPARE(stored->totals().payable, 12600.0);
    QCOMPARE(db.scalar(QStringLiteral("select sum_koll from heading_formul_darou where code_darou=?"), {code}).toDouble(),
             12600.0);
    Rows goods = db.exec(QStringLiteral("select name_kala, code_tow, group_code, type_code, flag, price_u "
                                             "from mosh_kala_anbar where code_kala=?"),
                              {code});
    QVERIFY(goods.next());
    QCOMPARE(goods.value(0).toString(), QStringLiteral("پماد سوختگي"));
    QCOMPARE(goods.value(1).toDouble(), 123.0);
    QCOMPARE(goods.value(2).toInt(), 1);
    QCOMPARE(goods.value(3).toInt(), 70);
    QCOMPARE(goods.value(4).toInt(), 1);
    QCOMPARE(goods.value(5).toDouble(), 12600.0);
    goods.finish();

    Formula empty = test::ointment();
    empty.lines.clear();
    QCOMPARE(formulas.add(empty), FormulaStore::Result::NoLines);
    QCOMPARE(test::formCounter(db, 70), 1);

    // An edit rewrites lines, header and goods price.
    Formula edited = *stored;
    edited.name = QStringLiteral("پماد 2");
    edited.lines.removeLast();
    QCOMPARE(formulas.update(edited), FormulaStore::Result::Saved);
    QCOMPARE(test::goodsPrice(db, code), 10600.0);
    QCOMPARE(formulas.find(code)->lines.size(), 1);
    edited.code = 1709999;
    QCOMPARE(formulas.update(edited), FormulaStore::Result::Missing);

    // Dispensed: kept; otherwise header, lines and goods row go.
    db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou) values (1, 1, ?)"), {code});
    QCOMPARE(formulas.remove(code), FormulaStore::Result::Dispensed);
    db.exec(QStringLiteral("delete from details_noskhe"));
    QCOMPARE(formulas.remove(code), FormulaStore::Result::Saved);
    QCOMPARE(test::count(db, QStringLiteral("heading_formul_darou")), 0);
    QCOMPARE(test::count(db, QStringLiteral("details_formul_darou")), 0);
    QCOMPARE(test::count(db, QStringLiteral("mosh_kala_anbar")), 0);
    QCOMPARE(formulas.remove(code), FormulaStore::Result::Missing);
}

void CompoundingTest::formulaTypeFeeChangeLeavesSavedFormulas() {
    Database& db = m_t->db();
    test::seedCompounding(db);
    FormulaTypeStore types(db);
    using R = FormulaTypeStore::Result;
    QCOMPARE(types.nextCode(), 2);
    QCOMPARE(types.add({1, QStringLiteral("x"), 1, 1, QStringLiteral("1")}), R::DuplicateCode);
    QCOMPARE(types.add({2, QStringLiteral(" پماد "), 1, 1, QStringLiteral("1")}), R::DuplicateName);
    QCOMPARE(types.add({2, QStringLiteral("شربت"), 1000.7, 500.5, QStringLiteral("9")}), R::Saved);
    QCOMPARE(types.find(2)->technicalFee, 1000.0); // the technical fee is whole
    QCOMPARE(types.find(2)->serviceFee, 500.5);

    double code = 0;
    FormulaStore(db).add(test::ointment(), &code);
    QCOMPARE(types.update({1, QStringLiteral("پماد"), 9000, 9000, QStringLiteral("123")}), R::Saved);
    QCOMPARE(FormulaStore(db).find(code)->technicalFee, 5000.0);
    repriceCompounded(db);
    QCOMPARE(test::goodsPrice(db, code), 12600.0); // the update keeps each formula's own fees
    QCOMPARE(types.update({7, QStringLiteral("y"), 1, 1, {}}), R::Missing);
}

void CompoundingTest::repriceFollowsMaterialPrices() {
    Database& db = m_t->db();
    test::seedCompounding(db);
    db.exec(QStringLiteral("update material set price=1000 where code_mat=1"));
    Formula f = test::ointment();
    f.lines = {{1, {}, {}, kInsuredMaterial, 2, 1000}};
    double first = 0;
    double second = 0;
    FormulaStore(db).add(f, &first);
    f.lines = {{1, {}, {}, kFreeMaterial, 1, 1000}, {2, {}, {}, kFreeMaterial, 1, 4000}};
    FormulaStore(db).add(f, &second);
    QCOMPARE(test::goodsPrice(db, first), 9000.0);

    // The material's new price reaches no formula before the update.
    MaterialStore materials(db);
    Material m = *materials.find(1);
    m.price = 1500;
    QCOMPARE(materials.update(m), MaterialStore::Result::Saved);
    QCOMPARE(FormulaStore(db).find(first)->lines.at(0).total(), 2000.0);

    const RepriceSummary summary = repriceCompounded(db);
    QCOMPARE(summary.formulasSeen, 2);
    QCOMPARE(summary.formulas, 2);
    QCOMPARE(summary.goods, 2);
    QCOMPARE(summary.goodsCreated, 0);
    QCOMPARE(FormulaStore(db).find(first)->lines.at(0).total(), 3000.0);
    QCOMPARE(test::goodsPrice(db, first), 10000.0);
    QCOMPARE(test::goodsPrice(db, second), 12500.0);
    QCOMPARE(db.scalar(QStringLiteral("select price_koll_bimeh from heading_formul_darou where code_darou=?"), {second})
                 .toDouble(),
             0.0);

    // The history: one entry for the run, each goods price with the one it replaced.
    AuditFilter reprices;
    reprices.kind = QStringLiteral("compounded_reprice");
    QList<AuditEntry> entries = AuditLog(db).entries(reprices);
    QCOMPARE(entries.size(), 1);
    const QJsonArray prices = QJsonDocument::fromJson(entries.first().changes.toUtf8())[QStringLiteral("prices")].toArray();
    QCOMPARE(prices.size(), 2);
    QCOMPARE(prices.at(0)[QStringLiteral("after")].toDouble(), 10000.0);
    QVERIFY(prices.at(0)[QStringLiteral("before")].toDouble() != 10000.0);

    // Nothing new: nothing changed, and nothing recorded.
    const RepriceSummary again = repriceCompounded(db);
    QCOMPARE(again.formulas, 0);
    QCOMPARE(again.goods, 0);
    QCOMPARE(AuditLog(db).entries(reprices).size(), 1);
    // A goods row that lost its price is priced again.
    db.exec(QStringLiteral("update mosh_kala_anbar set price_u=null where code_kala=?"), {first});
    QCOMPARE(repriceCompounded(db).goods, 1);
    QCOMPARE(test::goodsPrice(db, first), 10000.0);
}

void CompoundingTest::repriceCreatesMissingGoodsRow() {
    Database& db = m_t->db();
    test::seedCompounding(db);
    double code = 0;
    FormulaStore(db).add(test::ointment(), &code);
    db.exec(QStringLiteral("delete from mosh_kala_anbar"));
    const RepriceSummary summary = repriceCompounded(db);
    QCOMPARE(summary.goodsCreated, 1);
    QCOMPARE(summary.goods, 1);
    Rows goods = db.exec(
        QStringLiteral("select name_kala, group_code, type_code, flag, price_u, code_tow from mosh_kala_anbar where code_kala=?"),
        {code});
    QVERIFY(goods.next());
    QCOMPARE(goods.value(0).toString(), QStringLiteral("پماد سوختگي"));
    QCOMPARE(goods.value(1).toInt(), 1);
    QCOMPARE(goods.value(2).toInt(), 70);
    QCOMPARE(goods.value(3).toInt(), 1);
    QCOMPARE(goods.value(4).toDouble(), 12600.0);
    QCOMPARE(goods.value(5).toDouble(), 123.0);
}

void CompoundingTest::repriceFailureHalfWayChangesNothing() {
    Database& db = m_t->db();
    test::seedCompounding(db);
    QList<double> codes;
    for (int i = 0; i < 3; ++i) {
        double code = 0;
        FormulaStore(db).add(test::ointment(QStringLiteral("پماد %1").arg(i)), &code);
        codes.append(code);
    }
    db.exec(QStringLiteral("delete from mosh_kala_anbar where code_kala=?"), {codes.at(2)});
    db.exec(QStringLiteral("update material set price=price*2"));
    int calls = 0;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, repriceCompounded(db, [&calls](int done, int count) {
                                 ++calls;
                                 QCOMPARE(count, 3);
                                 if (done == 2) throw std::runtime_error("stopped half-way");
                             }));
    QCOMPARE(calls, 2);
    QVERIFY(!db.inTransaction());
    for (double code : codes) {
        const Formula f = *FormulaStore(db).find(code);
        QCOMPARE(f.lines.at(0).unitPrice, 1200.0);
        QCOMPARE(db.scalar(QStringLiteral("select sum_koll from heading_formul_darou where code_darou=?"), {code})
                     .toDouble(),
                 12600.0);
    }
    QCOMPARE(test::goodsPrice(db, codes.at(0)), 12600.0);
    QCOMPARE(test::count(db, QStringLiteral("mosh_kala_anbar")), 2);

    // Run to its end, every price follows.
    QCOMPARE(repriceCompounded(db).formulas, 3);
    QCOMPARE(test::goodsPrice(db, codes.at(1)), 7000.0 + 7200 + 4000);
}

void CompoundingTest::goodsNodeKeys_data() {
    QTest::addColumn<qint64>("key");
    QTest::addColumn<int>("kind");
    QTest::newRow("group 1") << qint64(1) << int(GoodsNodeKind::Group);
    QTest::newRow("group 10") << qint64(10) << int(GoodsNodeKind::Group);
    QTest::newRow("between group and form") << qint64(11) << int(GoodsNodeKind::None);
    QTest::newRow("form 1070000") << qint64(1070000) << int(GoodsNodeKind::Form);
    QTest::newRow("form 9990000") << qint64(9990000) << int(GoodsNodeKind::Form);
    QTest::newRow("goods 107000500") << qint64(107000500) << int(GoodsNodeKind::Goods);
}

void CompoundingTest::goodsNodeKeys() {
    QFETCH(qint64, key);
    QFETCH(int, kind);
    QCOMPARE(int(goodsNodeKind(key)), kind);
}

void CompoundingTest::goodsTreeBuildsAddsEditsAndDeletes() {
    Database& db = m_t->db();
    test::seedGroupsAndForms(db);
    db.exec(QStringLiteral("update type_kala set num=4, g1=1 where code=7"));
    db.exec(QStringLiteral("update type_kala set g1=1, g2=1 where code=8"));
    GoodsTree tree(db);
    using R = GoodsTree::Result;

    QCOMPARE(formNodeKey(1, 7), 1070000);
    double code = 0;
    QCOMPARE(tree.add(formNodeKey(1, 7), {0, QStringLiteral(" استامينوفن "), QStringLiteral("acetaminophen"), 55, {}, {}, {}},
                      &code),
             R::Saved);
    QCOMPARE(code, 1070005.0);
    QCOMPARE(goodsNodeKey(code), 107000500);
    QCOMPARE(goodsCodeOfNode(107000500), 1070005.0);
    const GoodsTreeItem added = *tree.find(code);
    QCOMPARE(added.name, QStringLiteral("استامينوفن"));
    QVERIFY(!added.price); // no price until edited
    QCOMPARE(*added.secondaryCode, 55.0);
    QCOMPARE(db.scalar(QStringLiteral("select flag from mosh_kala_anbar where code_kala=?"), {code}).toInt(), 0);
    QCOMPARE(tree.add(formNodeKey(1, 9), {0, QStringLiteral("x"), {}, {}, {}, {}, {}}), R::UnknownForm);
    QCOMPARE(tree.add(formNodeKey(1, 7), {0, QStringLiteral(" "), {}, {}, {}, {}, {}}), R::EmptyName);
    QCOMPARE(tree.add(1, {0, QStringLiteral("x"), {}, {}, {}, {}, {}}), R::UnknownForm);

    // The tree: group 1 shows forms 7 and 8 with their goods, group 2 form 8 only.
    test::insertGoods(db, 2080001, QString(), 2, 8, 0, 0, QStringLiteral("latin only"));
    const QList<GoodsTreeNode> nodes = tree.build();
    QCOMPARE(nodes.size(), 2);
    QCOMPARE(nodes.at(0).children.size(), 2);
    QCOMPARE(nodes.at(0).children.at(0).key, 1070000);
    QCOMPARE(nodes.at(0).children.at(0).children.at(0).key, 107000500);
    QCOMPARE(nodes.at(1).children.size(), 1);
    QCOMPARE(nodes.at(1).children.at(0).children.at(0).text, QStringLiteral("latin only"));
    QCOMPARE(tree.names().size(), 2);

    // In use (stock of a unit, store stock or prescription lines): the names stay, the codes
    // and the price change.
    struct Use {
        const char* label;
        const char* insert;
        bool refusesDelete;
    };
    const Use uses[] = {
        {"unit stock", "insert into moj_kala_vah (code_kala, code_vah, moj_vah) values (?, 20, 1)", false},
        {"prescription line", "insert into details_noskhe (sh_factor, row, code_darou) values (1, 1, ?)", false},
        {"store stock", "insert into moj_kala_anbar (code_kala) values (?)", true},
    };
    for (const Use& use : uses) {
        test::insertGoods(db, 1080009, QStringLiteral("قديمي"), 1, 8);
        db.exec(QString::fromLatin1(use.insert), {1080009.0});
        GoodsTreeItem item = *tree.find(1080009);
        QVERIFY2(tree.namesLocked(1080009), use.label);
        item.name = QStringLiteral("جديد");
        QVERIFY2(tree.edit(item, true) == R::NamesLocked, use.label);
        item.name = QStringLiteral("قديمي");
        item.identityCode = 77;
        item.price = 3000;
        QVERIFY2(tree.edit(item, true) == R::Saved, use.label);
        QVERIFY2(tree.find(1080009)->price == 3000.0 && tree.find(1080009)->identityCode == 77.0, use.label);
        QVERIFY2(tree.remove(1080009) == (use.refusesDelete ? R::HasStock : R::Saved), use.label);
        db.exec(QStringLiteral("delete from moj_kala_vah"));
        db.exec(QStringLiteral("delete from details_noskhe"));
        db.exec(QStringLiteral("delete from moj_kala_anbar"));
        db.exec(QStringLiteral("delete from mosh_kala_anbar where code_kala=1080009"));
    }

    // Unused: renamed (without price when the price is not offered), then deleted.
    GoodsTreeItem item = *tree.find(code);
    item.name = QStringLiteral("استامينوفن 500");
    item.price = 999;
    QCOMPARE(tree.edit(item, false), R::Saved);
    QCOMPARE(tree.find(code)->name, QStringLiteral("استامينوفن 500"));
    QVERIFY(!tree.find(code)->price);
    QCOMPARE(tree.remove(code), R::Saved);
    QCOMPARE(tree.remove(code), R::Missing);
    item.code = 1;
    QCOMPARE(tree.edit(item, false), R::Missing);
}

QTEST_GUILESS_MAIN(CompoundingTest)
#include "compounding_test.moc"
