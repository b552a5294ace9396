#include "core/app_context.h"
#include "core/scripted_prompter.h"
#include "db/database.h"
#include "db/schema.h"
#include "../print/pdf_reading.h"
#include "dispensing/print/print_stored.h"
#include "dispensing/print/print_texts.h"
#include "print/report_output.h"
#include "support/cli_run.h"
#include "support/write_failures.h"
#include "support/test_database.h"

#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using namespace ph;
using ph::test::pdfWords;
using ph::test::wordsNamed;

namespace {

// Insurers 2 (layout 1), 4 (layout 2), 6 (custom), 3 (no setting); 8 is not listed.
// Each of the invoices 11, 12, 13, 15 and 18 (for insurers 2, 4, 6, 3 and 8) holds the same
// four lines: an insured line (2100 + 900), a free one (4500), an insured line whose drug is
// not in the goods master (560 + 240), and an OTC line (1200).
void fillPrescriptions(Database& db) {
    Schema(db).ensure();
    const QString insurer = QStringLiteral(
        "insert into organs_m (code, name, code_bimeh, code_pharmacy, orj_flag) values (?, ?, '0', '0', 0)");
    db.exec(insurer, {2, QStringLiteral("بيمه سلامت")});
    db.exec(insurer, {3, QStringLiteral("نيروهاي مسلح")});
    db.exec(insurer, {4, QStringLiteral("تامين اجتماعي")});
    db.exec(insurer, {6, QStringLiteral("بانك ملي")});
    const QString setting = QStringLiteral(
        "insert into tanzimat_bimeh (code_bimeh, custom, defult1, defult2, x_noskhe, y_noskhe, x_price, y_price, "
        "x_koll, y_koll, x_bimar, y_bimar, x_azad, y_azad, x_pardakht, y_pardakht) "
        "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    // Layout 1 with positions left over from an earlier custom setting.
    db.exec(setting, {2, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    db.exec(setting, {4, 0, 0, 1, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                      QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
    db.exec(setting, {6, 1, 0, 0, 10, 20, 90, 50, 90, 100, 90, 110, 90, 120, 30, 130});
    const QString goods = QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, group_code, type_code, "
                                         "price_u, code_sh, flag) values (?, ?, 1, 1, 0, 0, 1)");
    db.exec(goods, {1010001, QStringLiteral("ORS")});
    db.exec(goods, {1010002, QStringLiteral("ASA")});
    db.exec(goods, {1010003, QStringLiteral("ZINC")});
    db.exec(QStringLiteral("insert into tanzimat (p_noskhe, p_factor, payam) values (0, 0, ?)"),
            {QStringLiteral("Get well soon")});
    db.exec(QStringLiteral("insert into onvan_darou (code_vahed, onvan_vahed) values (1, ?)"),
            {QStringLiteral("Sina pharmacy")});

    const QString heading = QStringLiteral(
        "insert into heading_noskhe (sh_factor, code_no, date_sabt, family_b, name_b, code_bimeh, price_koll, "
        "price_bimar, price_bimeh, price_azad, fani) values (?, ?, '05/07/15', 'Rezaei', 'Ali', ?, 9940, 1140, "
        "2660, 4500, 3100)");
    const QString line = QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, vaziat, tedad, "
                                        "price_koll, sazman, bimar, azad, otc, kala) values (?, ?, ?, ?, ?, ?, ?, ?, "
                                        "?, ?, 0)");
    for (const auto& [invoice, insurerCode] : QList<QPair<int, int>>{{11, 2}, {12, 4}, {13, 6}, {15, 3}, {18, 8}}) {
        db.exec(heading, {invoice, QStringLiteral("01-00%1-07-15-0007").arg(insurerCode), insurerCode});
        // Stored out of order: the prints follow `row`.
        db.exec(line, {invoice, 2, 1010002, QStringLiteral("آزاد"), 1, 4500, 0, 0, 4500, 0});
        db.exec(line, {invoice, 1, 1010001, QStringLiteral("تعرفه"), 2, 3000, 2100, 900, 0, 0});
        db.exec(line, {invoice, 3, 9999999, QStringLiteral("تعرفه"), 1, 800, 560, 240, 0, 0});
        db.exec(line, {invoice, 4, 1010003, QStringLiteral("OTC"), 1, 1200, 0, 0, 0, 1200});
    }
}

// The printed words, each once.
QStringList words(const QList<test::PdfWord>& found) {
    QStringList texts;
    for (const test::PdfWord& w : found)
        texts.append(w.text);
    return texts;
}

} // namespace

class PrescriptionPrintsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void prescriptionSheetByInsurer_data();
    void prescriptionSheetByInsurer();
    void invoices_data();
    void invoices();
    void goodsInvoiceAmountsGrouped();
    void refusalsAndFailures();

private:
    std::unique_ptr<test::TestDatabase> m_t;
    QTemporaryDir m_out;
};

void PrescriptionPrintsTest::initTestCase() {
    QVERIFY2(test::popplerPresent(), "poppler-utils (pdftotext, pdfinfo) are needed: scripts/install-deps.sh");
}

void PrescriptionPrintsTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    fillPrescriptions(m_t->db());
}

void PrescriptionPrintsTest::cleanup() {
    m_t.reset();
}

void PrescriptionPrintsTest::prescriptionSheetByInsurer_data() {
    QTest::addColumn<int>("invoice");
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<QStringList>("amounts"); // every amount printed, top to bottom
    QTest::addColumn<QString>("placed");      // an amount whose right edge is checked
    QTest::addColumn<QPointF>("rightTop");    // its right edge and field top, mm from the sheet's corner
    QTest::addColumn<QPointF>("codeAt");      // the code's left edge and field top
    // Lines 3000 and 800 (insured), then the sum, the patient's and the insurer's share and the total.
    QTest::newRow("layout 1") << 11 << QSizeF(111.9, 88.1)
                              << QStringList{"3,000", "800", "3,800", "1,140", "2,660", "9,940"} << "3,800"
                              << QPointF(108.4, 88.1 - 0.9 - 15.9 + 0.3) << QPointF(5.9, 7.5);
    QTest::newRow("layout 2") << 12 << QSizeF(105.6, 114.6)
                              << QStringList{"3,000", "800", "3,800", "1,140", "9,940", "2,660"} << "3,000"
                              << QPointF(100.9, 0.3 + 28.8) << QPointF(2.9, 21.7);
    // Every line, then the free amount, the fee and the total.
    QTest::newRow("layout 3 without a setting")
        << 15 << QSizeF(111.9, 80.7) << QStringList{"3,000", "4,500", "800", "1,200", "4,500", "3,100", "9,940"} << "9,940"
        << QPointF(103.5, 80.7 - 0.9 - 28.6 + 17.5) << QPointF(5.1, 5.4);
    // At the stored positions: the lines from the price's place down, then the sum, the
    // patient's share, the free amount and the amount paid.
    QTest::newRow("custom positions") << 13 << QSizeF(148, 210)
                                      << QStringList{"3,000", "800", "3,800", "1,140", "4,500", "9,940"} << "800"
                                      << QPointF(112.5, 55.3) << QPointF(10, 20);
}

void PrescriptionPrintsTest::prescriptionSheetByInsurer() {
    QFETCH(int, invoice);
    QFETCH(QSizeF, page);
    QFETCH(QStringList, amounts);
    QFETCH(QString, placed);
    QFETCH(QPointF, rightTop);
    QFETCH(QPointF, codeAt);
    const QString pdf = m_out.filePath(QStringLiteral("prescription%1.pdf").arg(invoice));
    const test::CliRun run = test::pharmacyctl(
        {"--dir", m_t->workingDir(), "print", "prescription", QString::number(invoice), "--pdf", pdf});
    QVERIFY2(run.status == 0, qPrintable(run.err));

    const QSizeF size = test::pdfPageSizeMm(pdf);
    QVERIFY2(qAbs(size.width() - page.width()) < 0.5 && qAbs(size.height() - page.height()) < 0.5,
             qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
    QList<test::PdfWord> found = pdfWords(pdf);
    const test::PdfWord code = found.takeFirst();
    QCOMPARE(code.text, QStringLiteral("01-00%1-07-15-0007").arg(m_t->db().scalar(
                            "select code_bimeh from heading_noskhe where sh_factor=?", {invoice}).toInt()));
    QVERIFY2(qAbs(code.boxMm.left() - codeAt.x()) < 0.6, qPrintable(QString::number(code.boxMm.left())));
    QVERIFY(code.boxMm.top() >= codeAt.y() - 0.3 && code.boxMm.top() < codeAt.y() + 1.5);
    // In reading order: top to bottom, right to left on a line.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        if (qAbs(a.boxMm.top() - b.boxMm.top()) > 0.1) return a.boxMm.top() < b.boxMm.top();
        return a.boxMm.right() > b.boxMm.right();
    });
    QCOMPARE(words(found), amounts);
    const QRectF box = wordsNamed(found, placed).first().boxMm;
    QVERIFY2(qAbs(box.right() - rightTop.x()) < 0.6, qPrintable(QString::number(box.right())));
    QVERIFY2(box.top() >= rightTop.y() - 0.3 && box.top() < rightTop.y() + 1.5, qPrintable(QString::number(box.top())));
}

void PrescriptionPrintsTest::invoices_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSizeF>("page");
    QTest::newRow("A5") << "invoice" << QSizeF(148, 210);
    QTest::newRow("80 mm") << "thermal" << QSizeF(80, 80);
}

void PrescriptionPrintsTest::invoices() {
    QFETCH(QString, kind);
    QFETCH(QSizeF, page);
    const QString pdf = m_out.filePath(kind + QStringLiteral(".pdf"));
    const test::CliRun run = test::pharmacyctl({"--dir", m_t->workingDir(), "print", kind, "11", "--pdf", pdf});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(test::pdfPages(pdf), 1);
    const QSizeF size = test::pdfPageSizeMm(pdf);
    QVERIFY(qAbs(size.width() - page.width()) < 0.5 && qAbs(size.height() - page.height()) < 0.5);

    const QString text = test::pdfText(pdf);
    for (const QString& expected : {"Sina pharmacy", "05/07/15", "Rezaei Ali", "Get well soon", "ORS", "ASA", "ZINC",
                                    "OTC", "9,940", "3,100"})
        QVERIFY2(text.contains(expected), qPrintable(expected + "\n" + text));
    // The line whose drug is not in the goods master is left off, and the insurer's share is
    // not printed.
    const QStringList printed = words(pdfWords(pdf));
    QVERIFY(!printed.contains("240"));
    QVERIFY(!printed.contains("2,660"));
    QVERIFY(!printed.contains("4"));                     // three rows, counted from 1
    QVERIFY(printed.contains("900") && printed.contains("4,500") && printed.contains("1,200"));
    // The captions' words (a colon may be read back on either side of the value next to it).
    for (QString caption : {print::texts::kInvoiceNumber, print::texts::kPatient, print::texts::kRow}) {
        caption.remove(QLatin1Char(':'));
        QVERIFY2(text.contains(caption), qPrintable(caption));
    }
}

void PrescriptionPrintsTest::goodsInvoiceAmountsGrouped() {
    GoodsInvoicePrint data;
    data.invoice = 4;
    data.date = QStringLiteral("05/07/15");
    data.customer = QStringLiteral("Karimi Reza");
    data.lines = {{QStringLiteral("Syringe"), 2, 12500, 25000}, {QStringLiteral("Cotton"), 1, 1250000, 1250000}};
    data.otc = 1500;
    data.total = 1276500;
    const QString pdf = m_out.filePath(QStringLiteral("goods.pdf"));
    QVERIFY(print::writePdf(goodsInvoiceReport(data, {QStringLiteral("Sina pharmacy"), QString()}), pdf).done());
    const QStringList printed = words(pdfWords(pdf));
    for (const QString& amount : QStringList{"12,500", "25,000", "1,250,000", "1,500", "1,276,500"})
        QVERIFY2(printed.contains(amount), qPrintable(amount + "\n" + printed.join(u' ')));
    QVERIFY(printed.contains("2")); // a quantity is not an amount
}

void PrescriptionPrintsTest::refusalsAndFailures() {
    const QString pdf = m_out.filePath(QStringLiteral("refused.pdf"));
    // An unknown invoice, or an invoice whose insurer is not listed, is not found; the
    // prescription sheet of the latter still prints.
    for (const auto& [kind, invoice] : QList<QPair<QString, QString>>{{"invoice", "99"}, {"prescription", "99"},
                                                                      {"thermal", "18"}, {"invoice", "x1"}}) {
        const test::CliRun run = test::pharmacyctl({"--dir", m_t->workingDir(), "print", kind, invoice, "--pdf", pdf});
        QCOMPARE(run.status, 2);
        QVERIFY(!QFile::exists(pdf));
    }
    QVERIFY(test::pharmacyctl({"--dir", m_t->workingDir(), "print", "invoice", "99", "--pdf", pdf})
                .err.contains(print::texts::kInvoiceNotFound));
    QCOMPARE(test::pharmacyctl({"--dir", m_t->workingDir(), "print", "prescription", "18", "--pdf", pdf}).status, 0);
    const test::CliRun unwritable = test::pharmacyctl(
        {"--dir", m_t->workingDir(), "print", "invoice", "11", "--pdf", m_out.filePath("no/such/folder/x.pdf")});
    QCOMPARE(unwritable.status, 1);
    QVERIFY(unwritable.err.contains(print::texts::kPdfNotWritten));
    // A PDF the disk does not take whole is an error, and nothing of it is left.
    for (const QString& place : test::failingPlaces()) {
        QTemporaryDir folder;
        const QString target = test::failingTarget(place, folder.path(), QStringLiteral("x.pdf"));
        const QStringList before = test::everyEntry(folder.path());
        test::CliRun run;
        {
            std::optional<test::FileSizeLimit> full;
            if (place == QLatin1String("full disk")) full.emplace(16);
            run = test::pharmacyctl({"--dir", m_t->workingDir(), "print", "invoice", "11", "--pdf", target});
        }
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(print::texts::kPdfNotWritten), qPrintable(place + run.err));
        QCOMPARE(test::everyEntry(folder.path()), before);
    }

    // The window's print: a number not found is a warning; with no printer the automatic print
    // says so in Persian and the stored prescription stays as it is.
    ScriptedPrompter prompter;
    AppContext context;
    QVERIFY(!printStoredPrescription(m_t->db(), context, 99, PrintKind::Prescription, PrintOutput::Printer, nullptr,
                                     prompter));
    QCOMPARE(prompter.texts(), QStringList{print::texts::kPrescriptionNotFound});
    if (!QPrinterInfo::availablePrinters().isEmpty()) QSKIP("a printer is installed here");
    prompter.clear();
    const QVariant before = m_t->db().scalar("select count(*) from heading_noskhe where price_koll=9940");
    ShownFigures shown{10000, 0, QStringLiteral("x")};
    QVERIFY(!printStoredPrescription(m_t->db(), context, 18, PrintKind::Invoice, PrintOutput::Printer, nullptr,
                                     prompter, &shown));
    QCOMPARE(prompter.texts(), QStringList{print::texts::kNoPrinter});
    // After a save, only the prints the settings switch on are tried.
    prompter.clear();
    printAfterSave(m_t->db(), context, 11, shown, nullptr, prompter);
    QCOMPARE(prompter.texts(), QStringList{});
    m_t->db().exec("update tanzimat set p_noskhe=1");
    printAfterSave(m_t->db(), context, 11, shown, nullptr, prompter);
    QCOMPARE(prompter.texts(), QStringList{print::texts::kNoPrinter});
    QCOMPARE(m_t->db().scalar("select count(*) from heading_noskhe where price_koll=9940"), before);
}

QTEST_MAIN(PrescriptionPrintsTest)
#include "prescription_prints_test.moc"
