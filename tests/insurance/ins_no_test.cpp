#include "insurance/ins_no.h"
#include "insurance/ui/ins_no_frame.h"
#include "support/typing.h"
#include "support/window_fixture.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

using namespace ph;
using ph::test::focusName;
using ph::test::typeText;

class InsNoTest : public QObject {
    Q_OBJECT
private slots:
    void formatReplacesOnlyEmptyParts_data();
    void formatReplacesOnlyEmptyParts();
    void setCutsAtFixedPositions_data();
    void setCutsAtFixedPositions();
    void socialSecurityInsurers();
    void frameTypingMovesAndPadding();
    void frameWithRulesOff();
};

void InsNoTest::formatReplacesOnlyEmptyParts_data() {
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("dashed");
    QTest::newRow("full") << QStringList{"1234567890", "0012", "03", "07"} << "1234567890-0012-03-07";
    QTest::newRow("short parts are not padded")
        << QStringList{"1234567890", "12", "", "7"} << "1234567890-12-00-7";
    QTest::newRow("all empty") << QStringList{"", "", "", ""} << "-0000-00-00";
    QTest::newRow("long parts are not cut")
        << QStringList{"123456789012", "12345", "1", "123"} << "123456789012-12345-1-123";
}

void InsNoTest::formatReplacesOnlyEmptyParts() {
    QFETCH(QStringList, parts);
    QFETCH(QString, dashed);
    QCOMPARE(FormatInsNo(parts[0], parts[1], parts[2], parts[3]), dashed);
}

void InsNoTest::setCutsAtFixedPositions_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("parts");
    QTest::newRow("dashed") << "1234567890-0012-03-07" << QStringList{"1234567890", "0012", "03", "07"};
    QTest::newRow("empty") << "" << QStringList{"", "0000", "00", "00"};
    QTest::newRow("plain ten digits") << "1234567890" << QStringList{"1234567890", "0000", "00", "00"};
    QTest::newRow("ends inside the insurance number")
        << "1234567890-12" << QStringList{"1234567890", "12", "00", "00"};
    // A base of more than ten digits is cut at the fixed positions all the same.
    QTest::newRow("eleven-digit base")
        << "12345678901-0012-03-07" << QStringList{"1234567890", "-001", "-0", "-0"};
    QTest::newRow("plain eighteen digits")
        << "123456789000120307" << QStringList{"1234567890", "0120", "07", "00"};
}

void InsNoTest::setCutsAtFixedPositions() {
    QFETCH(QString, text);
    QFETCH(QStringList, parts);
    QCOMPARE(SetInsNo(text), (InsNoParts{parts[0], parts[1], parts[2], parts[3]}));
}

void InsNoTest::socialSecurityInsurers() {
    const QStringList listed = {"1", "05"};
    QVERIFY(isSocialSecurityInsurer(listed, "1"));
    QVERIFY(isSocialSecurityInsurer(listed, "5"));
    QVERIFY(isSocialSecurityInsurer(listed, " 05"));
    QVERIFY(!isSocialSecurityInsurer(listed, "2"));
    QVERIFY(!isSocialSecurityInsurer(listed, ""));
    QVERIFY(!isSocialSecurityInsurer({}, "1"));
}

namespace {

struct Host {
    QWidget window;
    TfraInsNo* frame;
    QLineEdit* next;
    Host() {
        auto* layout = new QVBoxLayout(&window);
        frame = new TfraInsNo(&window);
        next = new QLineEdit(&window);
        next->setObjectName("me_family");
        layout->addWidget(frame);
        layout->addWidget(next);
    }
};

} // namespace

void InsNoTest::frameTypingMovesAndPadding() {
    Host host;
    QVERIFY(ph::test::showActive(host.window));
    TfraInsNo& frame = *host.frame;
    QSignalSpy pageEnter(&frame, &TfraInsNo::pageEnterPressed);

    frame.edtMeliCode()->setFocus();
    typeText(frame.edtMeliCode(), "12a3456789");
    QCOMPARE(focusName(host.window), QString("edtMeliCode")); // the letter was dropped: nine digits
    typeText(frame.edtMeliCode(), "0");
    QCOMPARE(frame.edtMeliCode()->text(), QString("1234567890"));
    QCOMPARE(focusName(host.window), QString("edtInsNo"));

    // One digit and Enter: the insurance number is padded on leaving.
    typeText(frame.edtInsNo(), "5x");
    QTest::keyClick(frame.edtInsNo(), Qt::Key_Return);
    QCOMPARE(frame.edtInsNo()->text(), QString("0005"));
    QCOMPARE(focusName(host.window), QString("edtBookNo"));
    // An empty booklet becomes "00" when left; the page field moves on after nothing.
    QTest::keyClick(frame.edtBookNo(), Qt::Key_Return);
    QCOMPARE(frame.edtBookNo()->text(), QString("00"));
    QCOMPARE(focusName(host.window), QString("edtPageNo"));
    typeText(frame.edtPageNo(), "7");
    QTest::keyClick(frame.edtPageNo(), Qt::Key_Return);
    QCOMPARE(pageEnter.count(), 1);
    host.next->setFocus(Qt::TabFocusReason);
    QCOMPARE(frame.edtPageNo()->text(), QString("07"));
    QCOMPARE(frame.dashedText(), QString("1234567890-0005-00-07"));
    QCOMPARE(frame.plainText(), QString("123456789000050007"));

    // A full booklet moves to the page by itself; the base takes more than ten digits.
    frame.edtBookNo()->clear();
    frame.edtBookNo()->setFocus();
    typeText(frame.edtBookNo(), "03");
    QCOMPARE(focusName(host.window), QString("edtPageNo"));
    frame.edtMeliCode()->setFocus();
    frame.edtMeliCode()->end(false);
    typeText(frame.edtMeliCode(), "12");
    QCOMPARE(frame.edtMeliCode()->text(), QString("123456789012"));
    QCOMPARE(focusName(host.window), QString("edtMeliCode"));

    // Filling from a stored number moves nothing.
    frame.setDashedText("9876543210-0012-04-09");
    QCOMPARE(focusName(host.window), QString("edtMeliCode"));
    QCOMPARE(frame.parts(), (InsNoParts{"9876543210", "0012", "04", "09"}));
}

void InsNoTest::frameWithRulesOff() {
    Host host;
    QVERIFY(ph::test::showActive(host.window));
    TfraInsNo& frame = *host.frame;
    frame.setRulesActive(false);
    frame.edtMeliCode()->setFocus();
    typeText(frame.edtMeliCode(), "AB1234567890");
    QCOMPARE(frame.edtMeliCode()->text(), QString("AB1234567890"));
    frame.edtInsNo()->setFocus();
    typeText(frame.edtInsNo(), "5");
    host.next->setFocus(Qt::TabFocusReason);
    QCOMPARE(frame.edtInsNo()->text(), QString("5"));
    frame.setRulesActive(true);
    frame.edtBookNo()->setFocus();
    typeText(frame.edtBookNo(), "b");
    QCOMPARE(frame.edtBookNo()->text(), QString());
}

QTEST_MAIN(InsNoTest)
#include "ins_no_test.moc"
