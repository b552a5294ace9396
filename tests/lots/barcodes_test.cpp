#include "catalogue/goods.h"
#include "core/error.h"
#include "db/schema.h"
#include "lots/barcodes.h"
#include "catalogue/goods_fixture.h"
#include "support/test_database.h"

#include <QtTest>

using namespace ph;
using namespace ph::test;

class BarcodesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void anItemKeepsItsBarcodesInEveryPrintedForm();
    void refusesWhatCannotBeOrIsAnothersBarcode();
    void findsAnItemByNationalCodeAndLosesBarcodesWithIt();

private:
    TestDatabase m_test;
};

void BarcodesTest::initTestCase() { Schema(m_test.db()).ensure(); }

void BarcodesTest::init() {
    Database& db = m_test.db();
    db.exec(QStringLiteral("delete from kala_barcode"));
    db.exec(QStringLiteral("delete from mosh_kala_anbar"));
    db.exec(QStringLiteral("delete from type_kala"));
    db.exec(QStringLiteral("delete from group_kala"));
    seedGroupsAndForms(db);
    insertGoods(db, 1070001, QStringLiteral("آموكسي سيلين"), 1, 7, 1000, 3305);
    insertGoods(db, 1070002, QStringLiteral("سفالكسين"), 1, 7, 2000, 0);
}

void BarcodesTest::anItemKeepsItsBarcodesInEveryPrintedForm() {
    BarcodeStore store(m_test.db());
    store.add(1070001, QStringLiteral("6260001234567"));  // EAN-13 on the pack
    store.add(1070001, QStringLiteral("06260001234567")); // the same as a GTIN-14: already there
    store.add(1070001, QStringLiteral("PH-77"));
    QCOMPARE(store.barcodesOf(1070001), (QStringList{QStringLiteral("06260001234567"), QStringLiteral("PH-77")}));
    QCOMPARE(store.itemOf(QStringLiteral("6260001234567")), std::optional<double>(1070001));
    QCOMPARE(store.itemOf(QStringLiteral("06260001234567")), std::optional<double>(1070001));
    QCOMPARE(store.itemOf(QStringLiteral("PH-78")), std::nullopt);
    store.remove(1070001, QStringLiteral("6260001234567"));
    QCOMPARE(store.barcodesOf(1070001), QStringList{QStringLiteral("PH-77")});
}

void BarcodesTest::refusesWhatCannotBeOrIsAnothersBarcode() {
    BarcodeStore store(m_test.db());
    store.add(1070001, QStringLiteral("6260001234567"));
    for (const QString& bad : {QStringLiteral(" "), QStringLiteral("كد"), QString(41, u'7'), QStringLiteral("06260001234567")}) {
        try {
            store.add(1070002, bad);
            QFAIL(qPrintable(QStringLiteral("accepted ") + bad));
        } catch (const Error& error) {
            QVERIFY(!error.message().isEmpty());
        }
    }
    QCOMPARE(store.barcodesOf(1070002), QStringList());
}

void BarcodesTest::findsAnItemByNationalCodeAndLosesBarcodesWithIt() {
    GoodsCatalogue catalogue(m_test.db());
    BarcodeStore(m_test.db()).add(1070002, QStringLiteral("12345670"));
    QCOMPARE(catalogue.itemOfBarcode(QStringLiteral("3305")), std::optional<double>(1070001));
    QCOMPARE(catalogue.itemOfBarcode(QStringLiteral("12345670")), std::optional<double>(1070002));
    QCOMPARE(catalogue.itemOfBarcode(QStringLiteral("0")), std::nullopt); // no national code given
    QCOMPARE(catalogue.remove(1070002), GoodsOutcome::Done);
    QCOMPARE(count(m_test.db(), QStringLiteral("kala_barcode")), 0);
}

QTEST_GUILESS_MAIN(BarcodesTest)
#include "barcodes_test.moc"
