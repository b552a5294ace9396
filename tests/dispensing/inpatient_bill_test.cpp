#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "dispensing/inpatient_bill.h"
#include "dispensing/ui/sorathesab_b.h"
#include "pharmacy_fixture.h"
#include "print/report_output.h"
#include "../print/pdf_reading.h"
#include "support/scripted_picker.h"
#include "support/test_database.h"
#include "support/window_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

using namespace ph;
using ph::test::child;
using ph::test::exec;
using ph::test::focusName;
using ph::test::press;
using ph::test::typeText;

namespace {

const QString kFile = QStringLiteral("5500");

// A prescription of the file with its lines: code, kind, quantity, unit price, insurer,
// patient, free, hoteling price (-1 for none stored).
struct Line {
    double code;
    const char* kind;
    double quantity, price, insurer, patient, free, hoteling;
};

void prescription(Database& db, int invoice, int admission, const QString& date, int ward, double fee,
                  const QList<Line>& lines, const QString& file = kFile) {
    exec(db,
         QStringLiteral("insert into heading_noskhe (sh_factor, date_no, sh_bimeh, code_bimeh, paz_type, code_bakhsh, "
                        "name_b, family_b, fani) values (?, ?, ?, 2, ?, ?, ?, ?, ?)"),
         {invoice, date, file, admission, ward, QStringLiteral("علي"), QStringLiteral("رضايي"), fee});
    int row = 0;
    for (const Line& l : lines)
        exec(db,
             QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, vaziat, tedad, price_one, "
                            "price_koll, sazman, bimar, azad, price_h) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
             {invoice, ++row, l.code, QString::fromUtf8(l.kind), l.quantity, l.price, l.quantity * l.price, l.insurer,
              l.patient, l.free, l.hoteling < 0 ? QVariant() : QVariant(l.hoteling)});
}

} // namespace

class InpatientBillTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void categories_data();
    void categories();
    void linesSummedAndGrouped();
    void printedByKeyboard();
    void refusals_data();
    void refusals();

private:
    Database& db() { return m_t->db(); }
    WindowContext windows() { return {m_context, db(), m_prompter, m_clock, &m_picker}; }

    std::unique_ptr<test::TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    test::ScriptedPicker m_picker;
    FixedClock m_clock{QDateTime(QDate(2026, 9, 11), QTime(14, 25))};
};

void InpatientBillTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    test::fillPharmacy(db());
    test::addGoods(db(), 4300001, QStringLiteral("سوند"), 4, 30, 9000);
    exec(db(), QStringLiteral("insert into place (code, name, active) values (3, ?, 1)"), {QStringLiteral("جراحي")});
    // Two inpatient prescriptions of the file in ward 3, one in another ward, one outpatient.
    prescription(db(), 20, 0, "05/07/01", 3, 4000,
                 {{1010001, "تعرفه", 2, 1000, 1400, 600, 0, -1},
                  {1400001, "تعرفه", 1, 0, 0, 0, 0, 50000},
                  {4300001, "آزاد", 1, 9000, 0, 0, 9000, 0}});
    prescription(db(), 21, 0, "05/07/03", 3, 3000,
                 {{1010001, "تعرفه", 3, 1000, 2100, 900, 0, 0}, {1010003, "آزاد", 1, 2500, 0, 0, 2500, 0}});
    prescription(db(), 22, 0, "05/07/04", 5, 1000, {{1010002, "تعرفه", 1, 4000, 2800, 1200, 0, 0}});
    prescription(db(), 23, 1, "05/07/04", 3, 1000, {{1010002, "تعرفه", 1, 4000, 2800, 1200, 0, 0}});
    prescription(db(), 24, 1, "05/07/04", 3, 1000, {{1010002, "تعرفه", 1, 4000, 2800, 1200, 0, 0}},
                 QStringLiteral("7700"));
    m_context = AppContext();
    m_context.user_code = 1;
    m_context.current_date = QStringLiteral("05/07/10");
    m_context.pharmacy_name = QStringLiteral("داروخانه شفا");
    m_prompter.clear();
}

void InpatientBillTest::cleanup() {
    m_t.reset();
}

void InpatientBillTest::categories_data() {
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("hoteling");
    QTest::addColumn<QString>("category");
    QTest::newRow("drug, tariff") << 1 << "تعرفه" << 0.0 << "دارويي تعرفه";
    QTest::newRow("drug, free") << 1 << "آزاد" << 0.0 << "دارويي آزاد";
    QTest::newRow("equipment, tariff") << 4 << "تعرفه" << 0.0 << "تجهيزات تعرفه";
    QTest::newRow("equipment, free") << 4 << "آزاد" << 0.0 << "تجهيزات آزاد";
    QTest::newRow("hoteling, whatever its group") << 4 << "تعرفه" << 50000.0 << "هتلينگ";
    QTest::newRow("goods of another group") << 3 << "كالا" << 0.0 << "ساير";
    QTest::newRow("a drug over the counter") << 1 << "OTC" << 0.0 << "ساير";
}

void InpatientBillTest::categories() {
    QFETCH(int, group);
    QFETCH(QString, kind);
    QFETCH(double, hoteling);
    QFETCH(QString, category);
    QCOMPARE(billCategory(group, kind, hoteling), category);
}

void InpatientBillTest::linesSummedAndGrouped() {
    InpatientBillStore store(db());
    const InpatientBill bill = store.read({kFile, "05/07/01", "05/07/31", std::nullopt});
    QStringList shown;
    for (const BillGroup& group : bill.groups) {
        QStringList lines;
        for (const BillLine& line : group.lines)
            lines.append(QStringLiteral("%1 %2x%3").arg(line.name).arg(line.quantity).arg(line.unitPrice));
        shown.append(group.category + u':' + lines.join(u','));
    }
    // The two amoxicillin lines (one stored with no hoteling price) are one bill line; the
    // outpatient prescription of the file is left out, the other ward's is in.
    QCOMPARE(shown, (QStringList{"دارويي تعرفه:آموكسي سيلين 500 5x1000,سفكسيم 400 1x4000", "دارويي آزاد:ويتامين ث 1x2500",
                                 "تجهيزات آزاد:سوند 1x9000", "هتلينگ:انسولين 1x0"}));
    QCOMPARE(bill.insurer, 6300.0);
    QCOMPARE(bill.patient, 2700.0);
    QCOMPARE(bill.free, 11500.0);
    QCOMPARE(bill.fee, 8000.0);
    QCOMPARE(bill.payable(), 22200.0);
    // The tariff total leaves the hoteling line out: 5000 + 4000 + 2500 + 9000 - 11500.
    QCOMPARE(bill.tariffTotal(), 9000.0);
    // One ward only.
    QCOMPARE(store.read({kFile, "05/07/01", "05/07/31", 3}).fee, 7000.0);
    QVERIFY(store.read({QStringLiteral("7700"), "05/07/01", "05/07/31", std::nullopt}).isEmpty());
    QCOMPARE(store.findFile(kFile)->name, QString("علي رضايي"));
    QCOMPARE(store.findFile(kFile)->insurer, QString("خدمات درماني"));
    QVERIFY(!store.findFile(QStringLiteral("1")));
}

void InpatientBillTest::printedByKeyboard() {
    if (!test::popplerPresent()) QSKIP("pdftotext is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("bill.pdf"));
    Tsorathesab_b window(windows());
    window.setOutput([&](const print::Report& report) { QVERIFY(print::writePdf(report, pdf).done()); });
    window.setFileNumber(kFile); // as the dispensing window's F6 gives it
    QVERIFY(test::showActive(window));
    QCOMPARE(focusName(window), QString("sh_parvandeh"));
    QCOMPARE(child<QLineEdit>(window, "sh_parvandeh")->text(), kFile);
    press(window, Qt::Key_Return);
    QCOMPARE(child<QLabel>(window, "la_name_b")->text(), QString("علي رضايي"));
    QCOMPARE(focusName(window), QString("me_code_bakhsh"));
    typeText(window.focusWidget(), QStringLiteral("3"));
    QCOMPARE(child<QLineEdit>(window, "me_name_bakhsh")->text(), QString("جراحي"));
    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QString("me_date1"));
    typeText(window.focusWidget(), QStringLiteral("010705"));
    press(window, Qt::Key_Return);
    typeText(window.focusWidget(), QStringLiteral("310705"));
    press(window, Qt::Key_Return); // the end date runs the bill
    QCOMPARE(m_prompter.texts(), QStringList());
    QVERIFY(QFile::exists(pdf));

    const QString text = test::pdfText(pdf);
    // Texts whose letters read back whole from the bundled font.
    for (const QString& expected :
         {QStringLiteral("صورتحساب بيمار"), QStringLiteral("داروخانه شفا"), QStringLiteral("5500"),
          QStringLiteral("خدمات درماني"), QStringLiteral("05/07/01"), QStringLiteral("05/07/31"),
          QStringLiteral("05/07/10"), QStringLiteral("14:25"), QStringLiteral("قرص"), QStringLiteral("ويال"),
          QStringLiteral("حق فني"), QStringLiteral("جمع كل داروهاي آزاد"), QStringLiteral("مسئول امور مالي"),
          // ward 3 only: insurer 3500, patient 1500, free 11500, fee 7000, payable 20000, tariff 5000
          QStringLiteral("3500"), QStringLiteral("1500"), QStringLiteral("11500"), QStringLiteral("7000"),
          QStringLiteral("20000"), QStringLiteral("5000")})
        QVERIFY2(text.contains(expected), qPrintable(expected));
    QVERIFY2(!text.contains(QStringLiteral("4000")), "the other ward's line");
    // Four categories, each with its sums, and the four totals at the end.
    QCOMPARE(text.count(QStringLiteral("جمع")), 4 + 4);
}

void InpatientBillTest::refusals_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no file number") << "" << "010705" << "310705" << "شماره درخواست مشخص نشده است" << "sh_parvandeh";
    QTest::newRow("no start date") << "5500" << "" << "310705" << "محدوده تاريخي مشخص نشده است" << "me_date1";
    QTest::newRow("no end date") << "5500" << "010705" << "" << "محدوده تاريخي مشخص نشده است" << "me_date2";
    QTest::newRow("an unknown file number") << "123" << "010705" << "310705" << "اين شماره پرونده وجود ندارد"
                                            << "sh_parvandeh";
    QTest::newRow("only outpatient prescriptions") << "7700" << "010705" << "310705"
                                                   << " گزارشي با اين مشخصات وجود ندارد" << "me_date1";
}

void InpatientBillTest::refusals() {
    QFETCH(QString, file);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Tsorathesab_b window(windows());
    bool printed = false;
    window.setOutput([&](const print::Report&) { printed = true; });
    QVERIFY(test::showActive(window));
    child<QLineEdit>(window, "sh_parvandeh")->setText(file);
    child<QLineEdit>(window, "me_date1")->setFocus();
    typeText(window.focusWidget(), from);
    child<QLineEdit>(window, "me_date2")->setFocus();
    typeText(window.focusWidget(), to);
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(), QStringList{message});
    QCOMPARE(focusName(window), focus);
    QVERIFY(!printed);
}

QTEST_MAIN(InpatientBillTest)
#include "inpatient_bill_test.moc"
