#include "core/amounts.h"
#include "print/report.h"
#include "print/report_output.h"
#include "pdf_reading.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using namespace ph;
using namespace ph::print;
using ph::test::pdfWords;
using ph::test::wordsNamed;

namespace {

// A 100 × 60 mm sheet with 5 mm margins: the first page holds the title (10), the column
// header (5) and five rows of 5 mm above the footer (8); the next pages seven rows.
ReportLayout pagedLayout() {
    ReportLayout layout;
    layout.page = {QSizeF(100, 60), QMarginsF(5, 5, 5, 5)};
    layout.title.heightMm = 10;
    layout.title.fields = {TextField::fixed(QStringLiteral("TITLE"), QRectF(0, 0, 90, 6), Align::Center)};
    layout.columnHeader.heightMm = 5;
    layout.columnHeader.fields = {TextField::fixed(QStringLiteral("HEAD"), QRectF(0, 0, 90, 5))};
    layout.detail.heightMm = 5;
    layout.detail.fields = {TextField::value(QStringLiteral("n"), QRectF(10, 0, 30, 5), Align::Left)};
    layout.summary.heightMm = 5;
    layout.summary.fields = {TextField::fixed(QStringLiteral("END"), QRectF(0, 0, 90, 5))};
    layout.pageFooter.heightMm = 8;
    TextField page = TextField::value(kPageNumber, QRectF(0, 1, 30, 5), Align::Left);
    page.prefix = QStringLiteral("P");
    layout.pageFooter.fields = {page};
    return layout;
}

} // namespace

class ReportEngineTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fieldsLandAtTheirPlaces_data();
    void fieldsLandAtTheirPlaces();
    void detailRepeatsAndBreaksPages();
    void pictureFillsItsPlace();
    void unwritablePdfIsReported();

private:
    QTemporaryDir m_dir;
};

void ReportEngineTest::initTestCase() {
    QVERIFY2(test::popplerPresent(), "poppler-utils (pdftotext, pdfinfo) are needed: scripts/install-deps.sh");
    QVERIFY(!bundledFontFamily().isEmpty());
}

void ReportEngineTest::fieldsLandAtTheirPlaces_data() {
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<QRectF>("place");  // in the title band, mm
    QTest::addColumn<int>("align");
    QTest::addColumn<double>("edge");   // where the text starts (left) or ends (right), mm from the sheet's corner
    QTest::addColumn<double>("top");    // the top of the field, mm from the sheet's corner
    // margins left 3.3, top 0.9 as on the narrowest prescription sheet
    QTest::newRow("left at x, y") << QSizeF(111.9, 88.1) << QRectF(2.6, 6.6, 22.8, 5) << int(Align::Left) << 5.9
                                  << 7.5;
    QTest::newRow("right ends at its edge") << QSizeF(111.9, 88.1) << QRectF(82.6, 40, 22.5, 5)
                                            << int(Align::Right) << 108.4 << 40.9;
    QTest::newRow("portrait sheet") << QSizeF(148, 210) << QRectF(100, 180, 30, 5) << int(Align::Right) << 133.3
                                    << 180.9;
}

void ReportEngineTest::fieldsLandAtTheirPlaces() {
    QFETCH(QSizeF, page);
    QFETCH(QRectF, place);
    QFETCH(int, align);
    QFETCH(double, edge);
    QFETCH(double, top);
    ReportLayout layout;
    layout.page = {page, QMarginsF(3.3, 0.9, 0.3, 0.9)};
    layout.title.heightMm = page.height() - 2;
    layout.title.fields = {TextField::value(QStringLiteral("v"), place, Align(align), 10)};
    const QString pdf = m_dir.filePath(QStringLiteral("place.pdf"));
    QVERIFY(writePdf(Report(layout, {{{QStringLiteral("v"), QStringLiteral("47113")}}, {}}), pdf).done());

    const QSizeF size = test::pdfPageSizeMm(pdf);
    QVERIFY2(qAbs(size.width() - page.width()) < 0.5 && qAbs(size.height() - page.height()) < 0.5,
             qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
    const QList<test::PdfWord> found = wordsNamed(pdfWords(pdf), QStringLiteral("47113"));
    QCOMPARE(found.size(), 1);
    const QRectF box = found.first().boxMm;
    const double printedEdge = Align(align) == Align::Left ? box.left() : box.right();
    QVERIFY2(qAbs(printedEdge - edge) < 0.6, qPrintable(QString::number(printedEdge)));
    // The line starts at the field's top; the digits' box starts within the font's ascent of it.
    QVERIFY2(box.top() >= top - 0.3 && box.top() < top + 1.5, qPrintable(QString::number(box.top())));
}

void ReportEngineTest::detailRepeatsAndBreaksPages() {
    ReportData data;
    for (int i = 1; i <= 20; ++i)
        data.rows.append({{QStringLiteral("n"), QStringLiteral("row%1").arg(i)},
                          {QStringLiteral("a"), groupedAmountText(1000.0 * i)}});
    // Each page's footer carries the sum of the rows up to its last.
    ReportLayout layout = pagedLayout();
    TextField carried = TextField::value(kRunningSum + QStringLiteral("a"), QRectF(50, 1, 40, 5), Align::Right);
    carried.prefix = QStringLiteral("S");
    layout.pageFooter.fields.append(carried);
    const Report report(layout, data);
    QCOMPARE(report.pageCount(), 4); // 5 + 7 + 7 rows, then the last row and the summary
    const QString pdf = m_dir.filePath(QStringLiteral("paged.pdf"));
    QVERIFY(writePdf(report, pdf).done());
    QCOMPARE(test::pdfPages(pdf), 4);

    const QList<test::PdfWord> words = pdfWords(pdf);
    const auto pageOf = [&](const QString& text) {
        const QList<test::PdfWord> found = wordsNamed(words, text);
        return found.size() == 1 ? found.first().page : -found.size();
    };
    QCOMPARE(pageOf("TITLE"), 1);
    QCOMPARE(pageOf("row5"), 1);
    QCOMPARE(pageOf("row6"), 2);
    QCOMPARE(pageOf("row12"), 2);
    QCOMPARE(pageOf("row13"), 3);
    QCOMPARE(pageOf("row20"), 4);
    QCOMPARE(pageOf("END"), 4);
    QCOMPARE(wordsNamed(words, "HEAD").size(), 4); // the column header on every page
    for (int page = 1; page <= 4; ++page)
        QCOMPARE(pageOf(QStringLiteral("P%1").arg(page)), page);
    QCOMPARE(pageOf("S15,000"), 1);
    QCOMPARE(pageOf("S78,000"), 2);
    QCOMPARE(pageOf("S190,000"), 3);
    QCOMPARE(pageOf("S210,000"), 4);

    // The rows follow each other 5 mm apart below the title and the header; on a later page
    // right below the header. The footer sits at the foot of the sheet (60 - 5 - 8 = 47 mm).
    const QRectF first = wordsNamed(words, "row1").first().boxMm;
    const QRectF second = wordsNamed(words, "row2").first().boxMm;
    const QRectF sixth = wordsNamed(words, "row6").first().boxMm;
    QVERIFY(qAbs(second.top() - first.top() - 5) < 0.05);
    QVERIFY(qAbs(first.top() - sixth.top() - 10) < 0.05); // the title (10 mm) is on the first page only
    QVERIFY(qAbs(first.left() - 15) < 0.6);
    const QRectF footer = wordsNamed(words, "P1").first().boxMm;
    QVERIFY(footer.top() > 47.9 && footer.top() < 49.6);

    // Rows that fill the first page exactly: the summary goes alone to the next one, under no
    // column header.
    data.rows = data.rows.mid(0, 5);
    const QString spilled = m_dir.filePath(QStringLiteral("spilled.pdf"));
    QVERIFY(writePdf(Report(pagedLayout(), data), spilled).done());
    const QList<test::PdfWord> spilledWords = pdfWords(spilled);
    QCOMPARE(test::pdfPages(spilled), 2);
    QCOMPARE(wordsNamed(spilledWords, "END").first().page, 2);
    QCOMPARE(wordsNamed(spilledWords, "HEAD").size(), 1);
}

// A picture is scaled into its place with its proportions kept, centred where the place is
// wider; a picture the report does not have leaves its place blank. Painted from a copy of the
// report.
void ReportEngineTest::pictureFillsItsPlace() {
    ReportLayout layout;
    layout.page = {QSizeF(100, 60), QMarginsF(5, 5, 5, 5)};
    layout.title.heightMm = 30;
    layout.title.pictures = {{QRectF(0, 0, 90, 20), QStringLiteral("chart")},
                             {QRectF(0, 20, 90, 10), QStringLiteral("none")}};
    ReportData data;
    QImage red(200, 100, QImage::Format_RGB32); // 2:1 in a 90 x 20 mm place: 40 x 20 mm
    red.fill(Qt::red);
    data.pictures.insert(QStringLiteral("chart"), red);
    // A copy paints its own layout: the original given another one after the copy is made
    // changes nothing of it.
    Report original(layout, data);
    const Report report = original;
    original = Report(pagedLayout(), {});

    // One pixel a millimetre.
    QImage page(100, 60, QImage::Format_RGB32);
    page.fill(Qt::white);
    page.setDotsPerMeterX(1000);
    page.setDotsPerMeterY(1000);
    QPainter painter(&page);
    report.paintPage(painter, 0);
    painter.end();
    const auto isRed = [&page](int x, int y) { return page.pixelColor(x, y) == QColor(Qt::red); };
    QVERIFY(isRed(50, 15));                                    // the middle of the place
    QVERIFY(isRed(31, 6) && isRed(68, 23));                    // 30..70 mm across, 5..25 mm down
    QVERIFY(!isRed(28, 15) && !isRed(72, 15) && !isRed(50, 27)); // nothing past it
    QVERIFY(!isRed(50, 30));                                   // the missing picture
}

void ReportEngineTest::unwritablePdfIsReported() {
    const QString path = m_dir.filePath(QStringLiteral("missing/folder/out.pdf"));
    const OutputResult result = writePdf(Report(pagedLayout(), {}), path);
    QCOMPARE(result.status, OutputResult::Status::Failed);
    QVERIFY(result.message.startsWith(ph::print::texts::kPdfNotWritten));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(ReportEngineTest)
#include "report_engine_test.moc"
