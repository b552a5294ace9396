#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "print/report.h"
#include "print/report_output.h"
#include "reports/print/sales_chart.h"
#include "report_fixture.h"
#include "reports/goods_sheet.h"
#include "reports/store_documents.h"
#include "lots/barcodes.h"
#include "lots/lots.h"
#include "db/transaction.h"
#include "reports/ui/expiry_window.h"
#include "reports/ui/sales_report_window.h"
#include "reports/ui/stock_windows.h"
#include "support/test_database.h"
#include "support/window_fixture.h"
#include "support/xlsx_reading.h"
#include "../print/pdf_reading.h"

#include <QAbstractButton>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QPainter>
#include <QCheckBox>
#include <QComboBox>
#include <QChart>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QLineEdit>
#include <QLineSeries>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using namespace ph;
using namespace ph::test;
using Kind = ScriptedPrompter::Kind;

namespace {

// Types a date day first into a masked date field.
void typeDate(QWidget& window, const QString& name, const QString& dayFirst) {
    auto* field = child<QLineEdit>(window, name);
    field->setFocus();
    field->selectAll();
    typeIn(window, dayFirst);
}

int barCount(QWidget& window) {
    auto* view = child<QChartView>(window, QStringLiteral("chart_top_items"));
    const auto series = view->chart()->series();
    if (series.isEmpty()) return 0;
    auto* bars = qobject_cast<QHorizontalBarSeries*>(series.first());
    return bars && !bars->barSets().isEmpty() ? bars->barSets().first()->count() : 0;
}

double lineTotal(QWidget& window) {
    auto* view = child<QChartView>(window, QStringLiteral("chart_daily"));
    double sum = 0;
    for (const QPointF& p : qobject_cast<QLineSeries*>(view->chart()->series().first())->points()) sum += p.y();
    return sum;
}

// Lots of the pharmacy unit, taken in as a store document would.
void takeInLots(Database& db, const QList<std::tuple<double, QString, QDate, double>>& lots) {
    Transaction transaction(db);
    for (const auto& [item, batch, expiry, quantity] : lots) LotStore(db).takeIn(item, 20, {batch, expiry}, quantity);
    transaction.commit();
}

QStringList gridTexts(const QTableView* grid, int row) {
    QStringList texts;
    for (int column = 0; column < grid->model()->columnCount(); ++column)
        texts.append(grid->model()->index(row, column).data().toString());
    return texts;
}

double stockOf(Database& db, double code) {
    return db.scalar(QStringLiteral("select moj_vah from moj_kala_vah where code_kala = ? and code_vah = 20"), {code})
        .toDouble();
}

} // namespace

class ReportWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void generalReportWithChartFollowingTheSearch();
    void topItemsNamedInFull();
    void oneItemChosenInTheItemGrid();
    void refusals_data();
    void refusals();
    void printAndFilesCarryTheShownRows();
    void storeDocumentTakenInFromTheWindow();
    void stockListAndGoodsSheet();
    void detailedGoodsSheet();
    void stockPrintGroupedByCategory();
    void stockListShowsTheLotsOfTheCurrentItem();
    void nearExpiryListWithItsDaysValueAndFiles();

private:
    WindowContext windows() { return {m_context, m_t->db(), m_prompter, m_clock}; }
    ReportOutputs outputsInto(const QString& path);

    std::unique_ptr<TestDatabase> m_t;
    ScriptedPrompter m_prompter;
    AppContext m_context;
    FixedClock m_clock{QDateTime(QDate(2026, 11, 1), QTime(10, 30))};
    QTemporaryDir m_dir;
    std::optional<print::Report> m_shown;
};

void ReportWindowsTest::init() {
    m_t = std::make_unique<TestDatabase>();
    fillReportFixture(m_t->db());
    m_prompter.clear();
    m_context = AppContext();
    m_context.pharmacy_name = QStringLiteral("داروخانه شفا");
    m_context.current_date = QStringLiteral("05/08/10");
    m_shown.reset();
}

void ReportWindowsTest::cleanup() { m_t.reset(); }

ReportOutputs ReportWindowsTest::outputsInto(const QString& path) {
    ReportOutputs outputs;
    outputs.chooseFile = [path](QWidget*, const QString&, const QString&) { return path; };
    outputs.show = [this](QWidget*, const print::Report& report) { m_shown.emplace(report); };
    return outputs;
}

void ReportWindowsTest::generalReportWithChartFollowingTheSearch() {
    TFg_masraf window(windows());
    QVERIFY(showActive(window));
    QCOMPARE(focusName(window), QStringLiteral("me_date11"));
    typeDate(window, QStringLiteral("me_date11"), QStringLiteral("010705"));
    typeDate(window, QStringLiteral("me_date22"), QStringLiteral("310705"));
    press(window, Qt::Key_F7);
    QVERIFY2(m_prompter.shown().isEmpty(), qPrintable(m_prompter.texts().join(u'|')));
    // July by entry date: 1010001 420, 1010002 500, 1010003 300, 5020001 280.
    QCOMPARE(window.report().rows.size(), 4);
    QCOMPARE(child<QTableView>(window, QStringLiteral("DBGrid1"))->model()->rowCount(), 4);
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_koll"))->text(), QStringLiteral("1,500"));
    QCOMPARE(barCount(window), 4);
    QCOMPARE(lineTotal(window), 1500.0);
    // A name typed in the search narrows the grid, and the chart with it.
    auto* search = child<QLineEdit>(window, QStringLiteral("me_search1"));
    search->setFocus();
    typeIn(window, QStringLiteral("گاز"));
    QCOMPARE(window.shownRows(), QList<int>{3});
    QCOMPARE(barCount(window), 1);
    QCOMPARE(lineTotal(window), 280.0);
    search->clear();
    QCOMPARE(barCount(window), 4);
    // The total stays the report's whole total.
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_koll"))->text(), QStringLiteral("1,500"));
    // F9 clears.
    press(window, Qt::Key_F9);
    QVERIFY(window.report().isEmpty());
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_koll"))->text(), QStringLiteral("0"));
}

// The one-item option: the item grid is typed into (a name shows the items it begins with, a
// number finds the item by its code) and Enter runs the report of the current item.
// Ten items with long names: every bar is named in full, in the window and in the print.
void ReportWindowsTest::topItemsNamedInFull() {
    SalesChartData data;
    const QStringList forms = {QStringLiteral("قرص"), QStringLiteral("كپسول"), QStringLiteral("شربت"),
                               QStringLiteral("پماد"), QStringLiteral("قطره")};
    for (int i = 0; i < 10; ++i)
        data.topItems.append({QStringLiteral("%1 آموكسي سيلين كلاوولانات %2")
                                  .arg(forms.at(i % forms.size()))
                                  .arg(125 * (i + 1)),
                              100000.0 - i * 7000});
    // Each name is drawn whole, inside the chart, clear of its neighbours.
    const auto namesShown = [&data](QChart* chart) {
        auto* names = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Vertical).value(0));
        QVERIFY(names);
        QStringList expected;
        for (const SalesChartData::Bar& bar : data.topItems) expected.prepend(bar.label);
        QCOMPARE(names->categories(), expected);
        QList<QRectF> drawn;
        QList<QGraphicsItem*> items = chart->childItems();
        while (!items.isEmpty()) {
            QGraphicsItem* item = items.takeFirst();
            items.append(item->childItems());
            auto* text = dynamic_cast<QGraphicsTextItem*>(item);
            if (text && text->isVisible() && expected.contains(text->toPlainText())) drawn.append(text->sceneBoundingRect());
        }
        QCOMPARE(drawn.size(), expected.size());
        const QRectF area = chart->sceneBoundingRect();
        const qreal line = QFontMetricsF(names->labelsFont()).height();
        std::sort(drawn.begin(), drawn.end(), [](const QRectF& a, const QRectF& b) { return a.center().y() < b.center().y(); });
        for (int i = 0; i < drawn.size(); ++i) {
            const QString where = QStringLiteral("label %1 at %2,%3 %4x%5 in a chart %6x%7")
                                      .arg(i).arg(drawn[i].x()).arg(drawn[i].y()).arg(drawn[i].width())
                                      .arg(drawn[i].height()).arg(area.width()).arg(area.height());
            QVERIFY2(drawn[i].left() >= area.left() && drawn[i].right() <= area.right(), qPrintable(where));
            if (i > 0) QVERIFY2(drawn[i].center().y() - drawn[i - 1].center().y() >= line - 0.5, qPrintable(where));
        }
    };

    // The window as it opens: its bar chart's place, filled with the ten items.
    TFg_masraf window(windows());
    QVERIFY(showActive(window));
    const QSize place = child<QChartView>(window, QStringLiteral("chart_top_items"))->size();
    window.hide();
    QChartView view(makeTopItemsChart(data));
    view.resize(place);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCoreApplication::processEvents();
    namesShown(view.chart());

    // The print draws each chart on half of the image, laid out at half its pixels.
    const QSizeF printed = QSizeF(salesChartImage(data).size()) / 2;
    QGraphicsScene scene;
    QChart* bars = makeTopItemsChart(data);
    scene.addItem(bars);
    bars->setGeometry(QRectF(0, 0, printed.width() / 2, printed.height()));
    QCoreApplication::processEvents();
    QImage image(printed.toSize(), QImage::Format_RGB32);
    QPainter painter(&image);
    scene.render(&painter);
    painter.end();
    namesShown(bars);
}

void ReportWindowsTest::oneItemChosenInTheItemGrid() {
    TFg_masraf window(windows());
    QVERIFY(showActive(window));
    typeDate(window, QStringLiteral("me_date11"), QStringLiteral("010705"));
    typeDate(window, QStringLiteral("me_date22"), QStringLiteral("310705"));
    child<QAbstractButton>(window, QStringLiteral("rb_one"))->setChecked(true);
    auto* items = child<QTableView>(window, QStringLiteral("DBGrid2"));
    QVERIFY(items->isVisible());
    QCOMPARE(items->model()->rowCount(), 4);
    items->setFocus();
    items->setCurrentIndex(items->model()->index(0, 1));
    typeIn(window, QStringLiteral("سف"));
    QCOMPARE(items->model()->rowCount(), 1);
    press(window, Qt::Key_Return);
    QCOMPARE(window.report().rows.size(), 1);
    QCOMPARE(window.report().rows.first().code, 1010003.0);
    // A number in the name column finds the item by its code.
    items->setFocus();
    press(window, Qt::Key_Backspace);
    press(window, Qt::Key_Backspace);
    QCOMPARE(items->model()->rowCount(), 4);
    typeIn(window, QStringLiteral("5020001"));
    press(window, Qt::Key_Return);
    QCOMPARE(window.report().rows.size(), 1);
    QCOMPARE(window.report().rows.first().code, 5020001.0);
    QCOMPARE(window.report().rows.first().amount, 280.0);
}

void ReportWindowsTest::refusals_data() {
    QTest::addColumn<int>("formMode"); // -1: the general report
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no start date") << -1 << "" << "310705" << "" << texts::kNoReportDate << "me_date11";
    QTest::newRow("no end date") << -1 << "010705" << "" << "" << texts::kNoReportDate << "me_date22";
    QTest::newRow("nothing sold") << -1 << "010105" << "310105" << "" << texts::kNoSales << "me_date11";
    QTest::newRow("no insurer") << 20 << "010705" << "310705" << "" << texts::kNoInsurer << "me_code_b";
    QTest::newRow("no doctor") << 21 << "010705" << "310705" << "" << texts::kNoDoctor << "me_nezam";
    QTest::newRow("insurer with nothing") << 20 << "010105" << "310105" << "2" << texts::kNoConsumption << "me_date11";
}

void ReportWindowsTest::refusals() {
    QFETCH(int, formMode);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, code);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    std::unique_ptr<SalesReportWindow> window;
    if (formMode < 0) {
        window = std::make_unique<TFg_masraf>(windows());
    } else {
        auto* pe = new TFg_masraf_pe(windows());
        pe->setFormMode(formMode);
        window.reset(pe);
    }
    QVERIFY(showActive(*window));
    if (!from.isEmpty()) typeDate(*window, QStringLiteral("me_date11"), from);
    if (!to.isEmpty()) typeDate(*window, QStringLiteral("me_date22"), to);
    if (!code.isEmpty()) child<QLineEdit>(*window, formMode == 20 ? QStringLiteral("me_code_b") : QStringLiteral("me_nezam"))->setText(code);
    press(*window, Qt::Key_F7);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{message});
    QCOMPARE(focusName(*window), focus);
}

void ReportWindowsTest::printAndFilesCarryTheShownRows() {
    if (!popplerPresent()) QSKIP("pdftotext is not installed");
    TFg_masraf_pe window(windows());
    window.setFormMode(20);
    QVERIFY(showActive(window));
    typeDate(window, QStringLiteral("me_date11"), QStringLiteral("010605"));
    typeDate(window, QStringLiteral("me_date22"), QStringLiteral("310705"));
    child<QLineEdit>(window, QStringLiteral("me_code_b"))->setText(QStringLiteral("2"));
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("me_name_b"))->text(), QStringLiteral("تامين اجتماعي"));
    // Insurer 2, June and July by prescription date: 1010001 2 for 200 (140/60), 1010003 3 + 1 for 1200.
    const QString xlsx = m_dir.filePath(QStringLiteral("insurer.xlsx"));
    window.setOutputs(outputsInto(xlsx));
    press(window, Qt::Key_F8);
    QVERIFY2(m_prompter.shown().isEmpty(), qPrintable(m_prompter.texts().join(u'|')));
    QVERIFY(m_shown);
    QCOMPARE(m_shown->data().rows.size(), 2);
    QCOMPARE(m_shown->data().values.value(QStringLiteral("amount_sum")), QStringLiteral("1,400"));
    QCOMPARE(m_shown->data().values.value(QStringLiteral("insurer_sum")), QStringLiteral("770"));
    QCOMPARE(m_shown->data().values.value(QStringLiteral("patient_sum")), QStringLiteral("630"));
    QVERIFY(m_shown->data().pictures.contains(QStringLiteral("chart")));

    window.saveSpreadsheet();
    const XlsxSheetText sheet = readXlsxSheet(xlsx);
    QVERIFY(sheet.rightToLeft);
    QStringList totals = sheet.rows.last();
    QCOMPARE(totals.mid(3, 4), (QStringList{"6", "1400", "770", "630"}));

    // Only the searched item goes to the PDF.
    auto* search = child<QLineEdit>(window, QStringLiteral("me_search1"));
    search->setFocus();
    typeIn(window, QStringLiteral("سفك"));
    const QString pdf = m_dir.filePath(QStringLiteral("insurer.pdf"));
    window.setOutputs(outputsInto(pdf));
    window.savePdf();
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(texts::kByInsurerPrintTitle), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("اجتماعي")), qPrintable(text)); // the insurer
    QVERIFY(text.contains(QStringLiteral("1010003")));
    QVERIFY(!text.contains(QStringLiteral("1010001")));
    QVERIFY(text.contains(QStringLiteral("1,200")));
}

void ReportWindowsTest::storeDocumentTakenInFromTheWindow() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into mosh_havaleh (num_h, code_anbar, year1, code_vah, taeed_darou, date_sod, price_kol) "
                           "values (7, 1, 1405, 20, 0, '05/07/03', 5000)"));
    db.exec(QStringLiteral("insert into kala_havaleh (num_h, code_anbar, year1, code_kala, price_u, qu, date_exps) values "
                           "(7, 1, 1405, 1010001, 110, 5, '06/01/01'), (7, 1, 1405, 1010003, 320, 2, '06/02/01')"));
    Tfmanbar_darookaneh window(windows());
    QVERIFY(showActive(window));
    QCOMPARE(child<QTableView>(window, QStringLiteral("DBGrid3"))->model()->rowCount(), 1);
    QCOMPARE(child<QTableView>(window, QStringLiteral("DBGrid1"))->model()->rowCount(), 2);
    // Confirm, then the price question for each line: the document's price for the first only.
    m_prompter.answerConfirm(1);
    m_prompter.answerConfirm(1);
    m_prompter.answerConfirm(0);
    m_prompter.answerConfirm(-1);
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(Kind::Confirm),
             (QStringList{texts::kTakeInQuestion, texts::kPriceQuestion, texts::kPriceQuestion, texts::kTakenIn}));
    QCOMPARE(stockOf(db, 1010001), 5.0);
    QCOMPARE(stockOf(db, 1010003), 2.0);
    QCOMPARE(db.scalar(QStringLiteral("select price_u from mosh_kala_anbar where code_kala = 1010001")).toDouble(), 110.0);
    QCOMPARE(db.scalar(QStringLiteral("select price_u from mosh_kala_anbar where code_kala = 1010003")).toDouble(), 300.0);
    QCOMPARE(child<QTableView>(window, QStringLiteral("DBGrid3"))->model()->rowCount(), 0);
    // Nothing left to take.
    m_prompter.clear();
    m_prompter.answerConfirm(-1);
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(Kind::Confirm), QStringList{texts::kNoDocument});
    QCOMPARE(stockOf(db, 1010001), 5.0);
}

void ReportWindowsTest::stockListAndGoodsSheet() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values "
                           "(1010001, 20, 3, 100), (1010002, 20, 7, 50)"));
    Tmojoodi stock(windows());
    QVERIFY(showActive(stock));
    QCOMPARE(focusName(stock), QStringLiteral("me_search"));
    QCOMPARE(child<QTableView>(stock, QStringLiteral("DBGrid1"))->model()->rowCount(), 2);
    stock.setOutputs(outputsInto(m_dir.filePath(QStringLiteral("stock.xlsx"))));
    press(stock, Qt::Key_P, Qt::ControlModifier);
    QVERIFY(m_shown);
    QCOMPARE(m_shown->data().values.value(QStringLiteral("quantity_sum")), QStringLiteral("10"));
    QCOMPARE(m_shown->data().values.value(QStringLiteral("time")), QStringLiteral("10:30"));

    Tm_kala_b sheet(windows());
    QVERIFY(showActive(sheet));
    typeDate(sheet, QStringLiteral("me_date1"), QStringLiteral("010705"));
    press(sheet, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{texts::kNoDateRange});
    QCOMPARE(focusName(sheet), QStringLiteral("me_date2"));
    typeDate(sheet, QStringLiteral("me_date2"), QStringLiteral("300805"));
    auto* type = child<QComboBox>(sheet, QStringLiteral("cb_type"));
    QCOMPARE(type->currentText(), QStringLiteral("مشروح"));
    type->setCurrentIndex(type->findText(QStringLiteral("مختصر")));
    press(sheet, Qt::Key_F2);
    // Inpatient prescriptions 2 and 4: 100 + 300 + 500.
    QCOMPARE(sheet.total(), 900.0);
    QCOMPARE(child<QLineEdit>(sheet, QStringLiteral("me_koll"))->text(), QStringLiteral("900"));
}

void ReportWindowsTest::detailedGoodsSheet() {
    Tm_kala_b sheet(windows());
    QVERIFY(showActive(sheet));
    QVERIFY(sheet.detailedShown());
    typeDate(sheet, QStringLiteral("me_date1"), QStringLiteral("010605"));
    typeDate(sheet, QStringLiteral("me_date2"), QStringLiteral("300805"));
    press(sheet, Qt::Key_F2);
    QVERIFY(child<QWidget>(sheet, QStringLiteral("Tkala_b_mash"))->isVisible());
    // The inpatient prescriptions 2 and 4, the lines of the first, every line of both.
    auto* prescriptions = child<QTableView>(sheet, QStringLiteral("DBGrid2"));
    auto* current = child<QTableView>(sheet, QStringLiteral("DBGrid3"));
    QCOMPARE(prescriptions->model()->rowCount(), 2);
    QCOMPARE(prescriptions->model()->index(0, 1).data().toDouble(), 2.0);
    QCOMPARE(current->model()->rowCount(), 2);
    QCOMPARE(child<QTableView>(sheet, QStringLiteral("DBGrid4"))->model()->rowCount(), 3);
    prescriptions->setCurrentIndex(prescriptions->model()->index(1, 0));
    QCOMPARE(current->model()->rowCount(), 1);
    QCOMPARE(current->model()->index(0, 3).data().toDouble(), 5.0); // 5 of 1010001 on prescription 4
    double sum = 0;
    for (const FixturePrescriptionLine& l : kPrescriptionLines)
        if (l.invoice == 2 || l.invoice == 4) sum += l.total;
    QCOMPARE(sheet.total(), sum);

    // The printout: every line with its prescription, summed; written to a PDF as it is shown.
    const QString pdf = m_dir.filePath(QStringLiteral("detail.pdf"));
    ReportOutputs outputs = outputsInto({});
    outputs.show = [this, pdf](QWidget*, const print::Report& report) {
        m_shown.emplace(report);
        QVERIFY(print::writePdf(report, pdf).done());
    };
    sheet.setOutputs(outputs);
    press(sheet, Qt::Key_F8);
    QVERIFY2(m_prompter.shown().isEmpty(), qPrintable(m_prompter.texts().join(u'|')));
    QVERIFY(m_shown);
    QCOMPARE(m_shown->data().rows.size(), 3);
    QCOMPARE(m_shown->data().values.value(QStringLiteral("amount_sum")), QString::number(sum));
    if (popplerPresent()) {
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("مشروح")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("آموكسي")), qPrintable(text));
        QVERIFY(text.contains(QString::number(sum)));
    }

    // Ward consumption has only the summary: ticking it shows the summary of ward documents.
    child<QCheckBox>(sheet, QStringLiteral("cb_masrafi"))->setChecked(true);
    press(sheet, Qt::Key_F2);
    QVERIFY(!sheet.detailedShown());
    QVERIFY(child<QWidget>(sheet, QStringLiteral("Tkala_b_mokh"))->isVisible());
    double ward = 0;
    for (const FixtureWardLine& l : kWardLines) ward += l.quantity * l.unitPrice;
    QCOMPARE(sheet.total(), ward);
}

void ReportWindowsTest::stockPrintGroupedByCategory() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, type_code, group_code, price_u) values "
                           "(5020002, 'سرنگ', 3, 5, 10)"));
    db.exec(QStringLiteral("update mosh_kala_anbar set group_code = 5 where code_kala = 5020001"));
    // 1010001 is covered by one insurer of two: tariff. 1010002 and 5020002 are covered by none:
    // free. 1010003 is a hoteling drug. 9000001 has no catalogue row.
    db.exec(QStringLiteral("insert into bimeh_daru (code_bimeh, code_kala, non_bimeh) values "
                           "(2, 1010001, 1), (3, 1010001, 0), (2, 1010002, 1), (3, 1010002, 1), (2, 5020002, 1)"));
    db.exec(QStringLiteral("insert into hoteling (code_bimeh, code_kala) values (2, 1010003)"));
    db.exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values "
                           "(9000001, 20, 1, 0), (5020002, 20, 8, 10), (5020001, 20, 4, 20), (1010003, 20, 2, 300), "
                           "(1010002, 20, 7, 50), (1010001, 20, 3, 100)"));
    Tmojoodi stock(windows());
    QVERIFY(showActive(stock));
    stock.setOutputs(outputsInto({}));
    press(stock, Qt::Key_P, Qt::ControlModifier);
    QVERIFY(m_shown);
    QStringList printed;
    for (const print::Values& row : m_shown->data().rows)
        printed.append(row.value(QStringLiteral("name")) + u'|' + row.value(QStringLiteral("quantity")));
    const auto group = [](const QString& caption, const QStringList& items, int sum) {
        return QStringList{caption + u'|'} + items + QStringList{QStringLiteral("جمع ") + caption + u'|' + QString::number(sum)};
    };
    const QStringList expected =
        group(texts::kStockDrugTariff, {QStringLiteral("استامينوفن|3")}, 3) +
        group(texts::kStockDrugFree, {QStringLiteral("آموكسي سيلين|7")}, 7) +
        group(texts::kStockEquipmentTariff, {QStringLiteral("گاز استريل|4")}, 4) +
        group(texts::kStockEquipmentFree, {QStringLiteral("سرنگ|8")}, 8) +
        group(texts::kStockHoteling, {QStringLiteral("سفكسيم|2")}, 2) + group(texts::kStockOther, {QStringLiteral("|1")}, 1);
    QCOMPARE(printed, expected);
    QCOMPARE(m_shown->data().values.value(QStringLiteral("quantity_sum")), QStringLiteral("25"));
    // Items are numbered through the groups, captions and sums are not.
    QCOMPARE(m_shown->data().rows.at(1).value(QStringLiteral("row")), QStringLiteral("1"));
    QCOMPARE(m_shown->data().rows.at(4).value(QStringLiteral("row")), QStringLiteral("2"));
}

void ReportWindowsTest::stockListShowsTheLotsOfTheCurrentItem() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values "
                           "(1010001, 20, 3, 100), (1010002, 20, 7, 50)"));
    // 5 of the 7 in two lots, the later taken in first; 2 from before lots were kept.
    takeInLots(db, {{1010002, QStringLiteral("B2"), QDate(2027, 6, 1), 1}, {1010002, QStringLiteral("B1"), QDate(2027, 3, 21), 4}});
    Tmojoodi stock(windows());
    QVERIFY(showActive(stock));
    auto* lots = child<QTableView>(stock, QStringLiteral("DBGrid_lot"));
    typeIn(stock, QStringLiteral("1010001"));
    QCOMPARE(lots->model()->rowCount(), 0); // no lots: nothing beneath
    stock.findChild<QLineEdit*>(QStringLiteral("me_search"))->clear();
    typeIn(stock, QStringLiteral("1010002"));
    QCOMPARE(lots->model()->rowCount(), 3);
    QCOMPARE(gridTexts(lots, 0), (QStringList{QStringLiteral("B1"), QStringLiteral("1406/01/01"), QStringLiteral("4")}));
    QCOMPARE(gridTexts(lots, 1), (QStringList{QStringLiteral("B2"), QStringLiteral("1406/03/11"), QStringLiteral("1")}));
    QCOMPARE(gridTexts(lots, 2), (QStringList{QStringLiteral("بدون سري و تاريخ"), QString(), QStringLiteral("2")}));

    // F5 prints the chosen lot's pack label, once the item has a GTIN to carry.
    stock.setOutputs(outputsInto(m_dir.filePath(QStringLiteral("unused.xlsx"))));
    press(stock, Qt::Key_F5);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{kNoGtinForLabel});
    QVERIFY(!m_shown);
    BarcodeStore(db).add(1010002, QStringLiteral("6260001234567"));
    press(stock, Qt::Key_F6);
    QCOMPARE(focusName(stock), QStringLiteral("DBGrid_lot"));
    press(stock, Qt::Key_Down);
    press(stock, Qt::Key_F5);
    QVERIFY(m_shown);
    QCOMPARE(m_shown->data().values.value(QStringLiteral("digits")), QStringLiteral("(01)06260001234567(17)270601(10)B2"));
    QVERIFY(!m_shown->data().pictures.value(QStringLiteral("barcode")).isNull());
    press(stock, Qt::Key_F6);
    QCOMPARE(focusName(stock), QStringLiteral("DBGrid1"));
}

// Today is 2026-11-01: one lot expired, one within 90 days, one within a year only.
void ReportWindowsTest::nearExpiryListWithItsDaysValueAndFiles() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values "
                           "(1010001, 20, 9, 125000), (1010002, 20, 3, 2500)"));
    takeInLots(db, {{1010001, QStringLiteral("OLD"), QDate(2026, 10, 15), 2},
                    {1010002, QStringLiteral("N1"), QDate(2026, 12, 1), 3},
                    {1010001, QStringLiteral("FAR"), QDate(2027, 6, 1), 4}});
    Tf_engheza window(windows());
    const QString xlsx = m_dir.filePath(QStringLiteral("expiry.xlsx"));
    window.setOutputs(outputsInto(xlsx));
    QVERIFY(showActive(window));
    QCOMPARE(focusName(window), QStringLiteral("me_days"));
    auto* days = child<QLineEdit>(window, QStringLiteral("me_days"));
    auto* grid = child<QTableView>(window, QStringLiteral("DBGrid1"));
    auto* total = child<QLineEdit>(window, QStringLiteral("me_koll"));
    QCOMPARE(days->text(), QStringLiteral("90"));
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(gridTexts(grid, 0).mid(1, 4), (QStringList{QStringLiteral("استامينوفن"), QStringLiteral("OLD"),
                                                        QStringLiteral("1405/07/23"), texts::kExpiredMark}));
    QCOMPARE(gridTexts(grid, 1).mid(2, 3), (QStringList{QStringLiteral("N1"), QStringLiteral("1405/09/10"), QString()}));
    // The expired lot stands apart; the near one does not.
    QVERIFY(grid->model()->index(0, 1).data(Qt::BackgroundRole).isValid());
    QVERIFY(!grid->model()->index(1, 1).data(Qt::BackgroundRole).isValid());
    QCOMPARE(total->text(), QStringLiteral("257,500"));

    // A year ahead takes the far lot in; an empty number of days is refused.
    days->selectAll();
    typeIn(window, QStringLiteral("365"));
    press(window, Qt::Key_Return);
    QCOMPARE(grid->model()->rowCount(), 3);
    QCOMPARE(focusName(window), QStringLiteral("DBGrid1"));
    QCOMPARE(total->text(), QStringLiteral("757,500"));
    days->clear();
    days->setFocus();
    press(window, Qt::Key_F7);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{QStringLiteral("تعداد روز بايد عددي از 0 تا 3650 باشد")});
    typeIn(window, QStringLiteral("365"));

    press(window, Qt::Key_F8);
    QVERIFY(m_shown);
    QCOMPARE(m_shown->data().values.value(QStringLiteral("value_sum")), QStringLiteral("757,500"));
    QCOMPARE(m_shown->data().rows.size(), 3);
    QCOMPARE(m_shown->data().rows.at(0).value(QStringLiteral("state")), texts::kExpiredMark);
    QCOMPARE(m_shown->data().rows.at(2).value(QStringLiteral("value")), QStringLiteral("500,000"));

    child<QAbstractButton>(window, QStringLiteral("but_excel"))->click();
    const XlsxSheetText sheet = readXlsxSheet(xlsx);
    QVERIFY(sheet.rightToLeft);
    QCOMPARE(sheet.rows.last().last(), QStringLiteral("757500"));
    QVERIFY(std::any_of(sheet.rows.cbegin(), sheet.rows.cend(), [](const QStringList& row) {
        return row.value(2) == QStringLiteral("FAR") && row.value(7) == QStringLiteral("500000");
    }));
}

QTEST_MAIN(ReportWindowsTest)
#include "report_windows_test.moc"
