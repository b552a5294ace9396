#include "db/schema.h"
#include "lots/lots.h"
#include "support/test_database.h"

#include <QtTest>

using namespace ph;
using namespace ph::test;

namespace {

constexpr double kItem = 1070001;
constexpr int kPharmacy = 20;
const QDate kToday(2027, 1, 10);

// Lot quantities of the item by batch, first expiry first.
QStringList holdings(LotStore& store) {
    QStringList held;
    for (const Lot& lot : store.lotsOf(kItem, kPharmacy))
        held.append(QStringLiteral("%1:%2").arg(lot.batch).arg(lot.quantity));
    return held;
}

} // namespace

class LotsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void drawsFirstExpiryFirstAndPutsBackExactly();
    void aScannedPackDrawsItsOwnLotButNeverAnExpiredOneUnasked();
    void returnsAndUntrackedLines();
    void readsAStoreDocumentsExpiry();

private:
    TestDatabase m_test;
};

void LotsTest::initTestCase() { Schema(m_test.db()).ensure(); }

void LotsTest::init() {
    m_test.db().exec(QStringLiteral("delete from kala_lot"));
    m_test.db().exec(QStringLiteral("delete from kala_lot_line"));
    LotStore store(m_test.db());
    store.takeIn(kItem, kPharmacy, {QStringLiteral("LATE"), QDate(2028, 5, 31)}, 10);
    store.takeIn(kItem, kPharmacy, {QStringLiteral("SOON"), QDate(2027, 2, 28)}, 4);
    store.takeIn(kItem, kPharmacy, {QStringLiteral("OLD"), QDate(2027, 1, 9)}, 3); // expired yesterday
}

void LotsTest::drawsFirstExpiryFirstAndPutsBackExactly() {
    LotStore store(m_test.db());
    QCOMPARE(holdings(store), (QStringList{"OLD:3", "SOON:4", "LATE:10"}));
    const QList<LotDraw> first = store.draw(LotDocument::Prescription, 501, kItem, kPharmacy, 6, kToday);
    QCOMPARE(first.size(), 2); // the soonest lot emptied, the rest from the next; the expired one left
    QCOMPARE(holdings(store), (QStringList{"OLD:3", "LATE:8"}));
    const QList<LotDraw> second = store.draw(LotDocument::GoodsInvoice, 501, kItem, kPharmacy, 12, kToday);
    QCOMPARE(second.back().lot, 0); // what the lots do not hold is untracked stock
    QCOMPARE(second.back().quantity, 4.0);
    QCOMPARE(holdings(store), QStringList{"OLD:3"});

    store.putBack(LotDocument::Prescription, 501); // the same number of another kind stays drawn
    QCOMPARE(holdings(store), (QStringList{"OLD:3", "SOON:4", "LATE:2"}));
    store.putBack(LotDocument::GoodsInvoice, 501);
    QCOMPARE(holdings(store), (QStringList{"OLD:3", "SOON:4", "LATE:10"}));
    QCOMPARE(m_test.db().scalar(QStringLiteral("select count(*) from kala_lot_line")).toInt(), 0);
}

void LotsTest::aScannedPackDrawsItsOwnLotButNeverAnExpiredOneUnasked() {
    LotStore store(m_test.db());
    store.draw(LotDocument::Prescription, 7, kItem, kPharmacy, 2, kToday, LotKey{QStringLiteral("LATE"), QDate(2028, 5, 31)});
    QCOMPARE(holdings(store), (QStringList{"OLD:3", "SOON:4", "LATE:8"}));
    // The window asks before an expired pack is sold; once answered, the scan names its lot.
    store.draw(LotDocument::Prescription, 8, kItem, kPharmacy, 1, kToday, LotKey{QStringLiteral("OLD"), QDate(2027, 1, 9)});
    QCOMPARE(holdings(store), (QStringList{"OLD:2", "SOON:4", "LATE:8"}));
    QCOMPARE(store.expiringWithin(kToday, 90, kPharmacy).size(), 2);
}

void LotsTest::returnsAndUntrackedLines() {
    LotStore store(m_test.db());
    store.takeIn(kItem, kPharmacy, {QStringLiteral("SOON"), QDate(2027, 2, 28)}, 2); // same lot grows
    store.takeIn(kItem, kPharmacy, {QString(), QDate()}, 50);                         // no expiry: untracked
    store.giveBack(kItem, kPharmacy, {QStringLiteral("LATE"), QDate(2028, 5, 31)}, 15); // more than the lot
    QCOMPARE(holdings(store), (QStringList{"OLD:3", "SOON:6"}));
}

void LotsTest::readsAStoreDocumentsExpiry() {
    const QDate nowruz1406 = expiryFromDocumentText(QStringLiteral("2027-03-21"));
    QVERIFY(nowruz1406.isValid());
    QCOMPARE(expiryFromDocumentText(QStringLiteral("1406/01/01")), nowruz1406);
    QCOMPARE(expiryFromDocumentText(QStringLiteral(" 06/01/01 ")), nowruz1406);
    for (const char* bad : {"", "06/13/01", "1300/01/01", "1406/07/31", "next year"})
        QVERIFY2(!expiryFromDocumentText(QString::fromLatin1(bad)).isValid(), bad);
}

QTEST_GUILESS_MAIN(LotsTest)
#include "lots_test.moc"
