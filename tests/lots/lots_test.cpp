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
    void aDocumentsPacksAndSerials();
    void returnsAndUntrackedLines();
    void readsAStoreDocumentsExpiry();

private:
    TestDatabase m_test;
};

void LotsTest::initTestCase() { Schema(m_test.db()).ensure(); }

void LotsTest::init() {
    m_test.db().exec(QStringLiteral("delete from kala_lot"));
    m_test.db().exec(QStringLiteral("delete from kala_lot_line"));
    m_test.db().exec(QStringLiteral("delete from kala_serial"));
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

void LotsTest::aDocumentsPacksAndSerials() {
    LotStore store(m_test.db());
    const LotKey late{QStringLiteral("LATE"), QDate(2028, 5, 31)};
    // Two lines of the item: the scanned pack's lot serves its whole line, the other line
    // goes first expiry first from what is left; the serial is remembered.
    const QList<QList<LotDraw>> drawn = store.drawDocument(
        LotDocument::GoodsInvoice, 12, kPharmacy,
        {{kItem, 3, {{late, QStringLiteral("S-1")}}}, {kItem, 5, {}}}, kToday);
    QCOMPARE(drawn.size(), 2);
    QCOMPARE(holdings(store), (QStringList{"OLD:3", "LATE:6"}));
    const std::optional<SerialSeen> seen = store.serialSeen(kItem, QStringLiteral("LATE"), QStringLiteral("S-1"));
    QVERIFY(seen && seen->document == LotDocument::GoodsInvoice && seen->number == 12);
    QVERIFY(!store.serialSeen(kItem, QStringLiteral("SOON"), QStringLiteral("S-1")));
    // A correction puts everything back and draws the same lots again before any other.
    const QList<DrawnLot> before = store.putBack(LotDocument::GoodsInvoice, 12);
    QVERIFY(!store.serialSeen(kItem, QStringLiteral("LATE"), QStringLiteral("S-1")));
    store.drawDocument(LotDocument::GoodsInvoice, 12, kPharmacy, {{kItem, 2, {}}}, kToday, before);
    QCOMPARE(holdings(store), (QStringList{"OLD:3", "SOON:4", "LATE:8"}));
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
