#include "claims/claims_texts.h"
#include "claims/ui/disket_koli.h"
#include "claims/ui/list_bimeh.h"
#include "claims/ui/list_report.h"
#include "claims_expected.h"
#include "claims_fixture.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "print/pdf_reading.h"
#include "print/report_output.h"
#include "support/test_database.h"
#include "support/write_failures.h"
#include "support/window_fixture.h"
#include "support/xlsx_reading.h"
#include "widgets/date_field.h"
#include "widgets/guarded.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace ph;
using namespace ph::test;
using Kind = ScriptedPrompter::Kind;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString boxText(QWidget& window, const char* name) { return child<QLineEdit>(window, QString::fromLatin1(name))->text(); }

} // namespace

class ClaimsWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void showsTheChosenInsurersWithTotals();
    void refusesInOrder();
    void confirmationChoice();
    void claimFilesFromTheWindow();
    void characterOutsideTheCodePageIsWarned();
    void removableFolderComesFromTheSettings();
    void spreadsheetReadBack();
    void printedListCarriesItsSums();
    void correctionReadsTheListAgain();
    void searchAndSort();
    void mergeWindow();

private:
    WindowContext windows() { return {m_context, m_t->db(), m_prompter, m_clock}; }
    // The list window shown for insurers 1 and 2 over the seventh month.
    void open(Tf_list_bimeh& window, bool show = true);

    std::unique_ptr<TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{QDateTime(QDate(2026, 10, 1), QTime(10, 0))};
};

void ClaimsWindowsTest::init() {
    m_t = std::make_unique<TestDatabase>();
    fillClaims(m_t->db());
    m_context = AppContext();
    m_context.user_code = 1;
    m_context.current_date = QStringLiteral("05/08/01");
    m_context.pharmacy_name = QStringLiteral("داروخانه نمونه");
    m_context.director_nezam = QStringLiteral("54321");
    m_context.tamin_codes = {QStringLiteral("1")};
    m_prompter.clear();
}

void ClaimsWindowsTest::cleanup() {
    QCOMPARE(m_prompter.texts(Kind::ErrorReport), QStringList());
    m_t.reset();
}

void ClaimsWindowsTest::open(Tf_list_bimeh& window, bool show) {
    QVERIFY(showActive(window));
    QCOMPARE(focusName(window), QStringLiteral("edtInsID"));
    QCOMPARE(boxText(window, "fani"), QStringLiteral("54321"));
    // Each insurer typed and entered joins the list; the empty field moves on.
    typeIn(window, QStringLiteral("1"));
    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QStringLiteral("me_code_no"));
    child(window, "edtInsID")->setFocus();
    typeIn(window, QStringLiteral("2"));
    press(window, Qt::Key_Return);
    QCOMPARE(child<QListWidget>(window, "lstIns")->count(), 2);
    QCOMPARE(child<QListWidget>(window, "lstIns")->item(1)->text(), QStringLiteral("بيمه سلامت"));
    child<DateField>(window, "me_date11")->setStoredText(QStringLiteral("05/07/01"));
    child<DateField>(window, "me_date22")->setStoredText(QStringLiteral("05/07/30"));
    if (show) {
        press(window, Qt::Key_F7);
        QCOMPARE(m_prompter.texts(), QStringList());
    }
}

void ClaimsWindowsTest::showsTheChosenInsurersWithTotals() {
    Tf_list_bimeh window(windows(), m_t->workingDir());
    open(window);
    QList<int> invoices;
    for (const ListRow& row : window.shownRows()) invoices.append(row.invoice);
    QCOMPARE(invoices, (QList<int>{12, 11, 13}));
    QCOMPARE(boxText(window, "me_sazman"), QStringLiteral("3,000"));
    QCOMPARE(boxText(window, "me_bimar"), QStringLiteral("1,500.5"));
    QCOMPARE(boxText(window, "me_koll"), QStringLiteral("4,500.5"));
    QCOMPARE(boxText(window, "count"), QStringLiteral("3"));
    // The booklet column shows the social-security form.
    QCOMPARE(window.shownRows().at(1).insNoTamin, QStringLiteral("1234567890-0012-03-07"));

    // An unchecked specialty leaves its prescriptions out of the list and its totals.
    auto* specialties = child<QListWidget>(window, "CheckListBox1");
    QCOMPARE(specialties->count(), 2);
    specialties->item(1)->setCheckState(Qt::Unchecked);
    press(window, Qt::Key_F7);
    QCOMPARE(window.shownRows().size(), 2);
    QCOMPARE(boxText(window, "me_sazman"), QStringLiteral("2,000"));

    // Removing an insurer from the chosen list.
    specialties->item(1)->setCheckState(Qt::Checked);
    auto* insurers = child<QListWidget>(window, "lstIns");
    insurers->setCurrentRow(0);
    QTest::mouseClick(child(window, "BitBtn1"), Qt::LeftButton);
    QCOMPARE(child<QListWidget>(window, "lstInsID")->item(0)->text(), QStringLiteral("2"));
    press(window, Qt::Key_F7);
    QCOMPARE(window.shownRows().size(), 1);

    // F9 clears the shown list and the totals, but keeps the insurers and dates.
    press(window, Qt::Key_F9);
    QCOMPARE(window.shownRows().size(), 0);
    QCOMPARE(boxText(window, "me_sazman"), QStringLiteral("0"));
    QCOMPARE(insurers->count(), 1);
    QVERIFY(!child(window, "but_print")->isEnabled());
}

void ClaimsWindowsTest::refusesInOrder() {
    Tf_list_bimeh window(windows(), m_t->workingDir());
    QVERIFY(showActive(window));
    press(window, Qt::Key_F7);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{claims::texts::kNoInsurer});
    QCOMPARE(focusName(window), QStringLiteral("edtInsID"));
    m_prompter.clear();
    // An unknown insurer is refused and the field emptied.
    typeIn(window, QStringLiteral("9"));
    press(window, Qt::Key_Return);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{claims::texts::kUnknownCodeDot});
    QCOMPARE(boxText(window, "edtInsID"), QString());
    m_prompter.clear();
    typeIn(window, QStringLiteral("1"));
    press(window, Qt::Key_Return);
    press(window, Qt::Key_F7);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{claims::texts::kNoDate});
    QCOMPARE(focusName(window), QStringLiteral("me_date11"));
    m_prompter.clear();
    // The 31st of the seventh month does not exist.
    child<DateField>(window, "me_date11")->setStoredText(QStringLiteral("85/07/31"));
    child<DateField>(window, "me_date22")->setStoredText(QStringLiteral("85/08/30"));
    press(window, Qt::Key_F7);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{claims::texts::kBadDate});
    QCOMPARE(focusName(window), QStringLiteral("me_date11"));
    m_prompter.clear();
    child<DateField>(window, "me_date11")->setStoredText(QStringLiteral("85/06/31"));
    press(window, Qt::Key_F7);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{claims::texts::kNothingFound});
    m_prompter.clear();
    child<QLineEdit>(window, "fani")->clear();
    press(window, Qt::Key_F7);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{claims::texts::kNoFani});
    QCOMPARE(focusName(window), QStringLiteral("fani"));
    m_prompter.clear();
}

void ClaimsWindowsTest::confirmationChoice() {
    Tf_list_bimeh window(windows(), m_t->workingDir());
    open(window, false);
    child<QRadioButton>(window, "rb_taeed")->setChecked(true);
    press(window, Qt::Key_F7);
    QCOMPARE(window.shownRows().size(), 1);
    QCOMPARE(window.shownRows().at(0).invoice, 11);
    child<QRadioButton>(window, "rb_else")->setChecked(true);
    press(window, Qt::Key_F7);
    QCOMPARE(window.shownRows().size(), 2);
}

void ClaimsWindowsTest::claimFilesFromTheWindow() {
    Tf_list_bimeh window(windows(), m_t->workingDir());
    open(window);
    // The default place: the claims folder, the proposed name taken when none is typed.
    m_prompter.answerPrompt(QStringLiteral("ok"));
    window.exportClaimFile(ClaimPlace::Default);
    QCOMPARE(m_prompter.texts(Kind::Prompt), QStringList{claims::texts::kFileNameLabel});
    QCOMPARE(m_prompter.shown().first().proposed, QStringLiteral("nos1")); // in the field, ready to keep
    const QString written = QDir(m_t->workingDir()).absoluteFilePath(QStringLiteral("claims/nos1.txt"));
    // The message names the file in full.
    QCOMPARE(m_prompter.texts(Kind::Information),
             QStringList{claims::texts::kFileWritten + u'\n' + QDir::toNativeSeparators(written)});
    QCOMPARE(readFile(written), kDefaultFile);
    // The export read the list again and left it unshown.
    QCOMPARE(window.shownRows().size(), 0);
    m_prompter.clear();

    // Closing the prompt writes nothing.
    m_prompter.answerPrompt(QStringLiteral("close"));
    window.exportClaimFile(ClaimPlace::Default);
    QCOMPARE(m_prompter.texts(Kind::Information), QStringList());
    m_prompter.clear();

    // A chosen place: the custom layout with the names checked, and the two sums shown.
    QTemporaryDir dir;
    QString proposed;
    window.setFileChooser([&](const QString& name) {
        proposed = name;
        return dir.filePath(QStringLiteral("march"));
    });
    child<QCheckBox>(window, "chbBimarName")->setChecked(true);
    child<QCheckBox>(window, "chbDoctorName")->setChecked(true);
    window.exportClaimFile(ClaimPlace::Chosen);
    QVERIFY(proposed.endsWith(QStringLiteral("/nos1")));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("march.txt"))), kCustomFile);
    QCOMPARE(m_prompter.texts(Kind::Information),
             QStringList{claims::texts::kFileWritten + u'\n' +
                         QDir::toNativeSeparators(QDir(dir.path()).absoluteFilePath(QStringLiteral("march.txt")))});
    QCOMPARE(boxText(window, "me_sazman_noskhe"), QStringLiteral("3,000"));
    QCOMPARE(boxText(window, "me_sazman_aghlam"), QStringLiteral("3,630"));

    window.setFileChooser([&](const QString&) { return dir.filePath(QStringLiteral("short.txt")); });
    window.exportClaimFile(ClaimPlace::ChosenNoLines);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("short.txt"))), kNoLinesFile);
    m_prompter.clear();

    // A disk that does not take the file whole: the failure is reported naming the file, the
    // file is not announced as prepared, and nothing of it is left. (The menu runs the
    // export guarded, as here.)
    QTemporaryDir full;
    window.setFileChooser([&](const QString&) { return full.filePath(QStringLiteral("nos1")); });
    {
        const FileSizeLimit limit(16);
        guarded(m_prompter, [&] { window.exportClaimFile(ClaimPlace::Chosen); });
    }
    QCOMPARE(m_prompter.texts(Kind::Information), QStringList());
    QCOMPARE(m_prompter.texts(Kind::ErrorReport).size(), 1);
    QVERIFY(m_prompter.texts(Kind::ErrorReport).first().contains(full.filePath(QStringLiteral("nos1.txt"))));
    QCOMPARE(everyEntry(full.path()), QStringList());
    m_prompter.clear();
}

void ClaimsWindowsTest::characterOutsideTheCodePageIsWarned() {
    m_t->db().exec(QStringLiteral("update heading_noskhe set name_b = ? where sh_factor = 12"), {QStringLiteral("سارا😀")});
    Tf_list_bimeh window(windows(), m_t->workingDir());
    open(window);
    QTemporaryDir dir;
    window.setFileChooser([&](const QString&) { return dir.filePath(QStringLiteral("nos1")); });
    child<QCheckBox>(window, "chbBimarName")->setChecked(true);
    window.exportClaimFile(ClaimPlace::Chosen);
    const QStringList warnings = m_prompter.texts(Kind::Warning);
    QCOMPARE(warnings.size(), 1);
    QVERIFY(warnings.first().contains(QStringLiteral("نسخه شماره 12")));
    QVERIFY(warnings.first().contains(claims::texts::kFieldPatientName));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("nos1.txt"))));
    QCOMPARE(m_prompter.texts(Kind::Information), QStringList());
    m_prompter.clear();
}

void ClaimsWindowsTest::removableFolderComesFromTheSettings() {
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("pharmacy.ini")), QSettings::IniFormat);
    WindowContext context = windows();
    context.settings = &settings;
    Tf_list_bimeh window(context, m_t->workingDir());
    open(window);
    window.exportClaimFile(ClaimPlace::Removable);
    QCOMPARE(m_prompter.texts(Kind::Warning).size(), 1); // no folder chosen yet
    m_prompter.clear();
    settings.setValue(QStringLiteral("claims/removableFolder"), dir.path());
    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("  nos7 "));
    window.exportClaimFile(ClaimPlace::Removable);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("nos7.txt"))), kDefaultFile);
    m_prompter.clear();
}

void ClaimsWindowsTest::spreadsheetReadBack() {
    Tf_list_bimeh window(windows(), m_t->workingDir());
    open(window, false);
    QString opened;
    window.setSheetOpener([&](const QString& path) {
        opened = path;
        return true;
    });
    window.exportSheet();
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(opened, window.lastSheet());
    const XlsxSheetText sheet = readXlsxSheet(window.lastSheet());
    QVERIFY(sheet.rightToLeft);
    QCOMPARE(sheet.rows.size(), 4);
    QCOMPARE(sheet.rows.at(0), (QStringList{QStringLiteral("نام بيمار"), QStringLiteral("نام خانوادگي بيمار"),
                                            QStringLiteral("شماره دفترچه "), QStringLiteral("نام پزشک"),
                                            QStringLiteral("تاريخ نسخه"), QStringLiteral("جمع کل"),
                                            QStringLiteral("سهم سازمان"), QStringLiteral("سهم بيمار")}));
    QCOMPARE(sheet.rows.at(1), (QStringList{QStringLiteral("سارا"), QStringLiteral("نیک"),
                                            QStringLiteral("987654321000000000"), QStringLiteral("مریم کریمی"),
                                            QStringLiteral("05/07/01"), QStringLiteral("1000"), QStringLiteral("1000"),
                                            QStringLiteral("0")}));
    QCOMPARE(sheet.rows.at(2).at(5), QStringLiteral("1500.5"));
    QCOMPARE(sheet.rows.at(3).at(0), QStringLiteral("حسن"));

    // Without a program for it, the user is told where the file is.
    window.setSheetOpener([](const QString&) { return false; });
    window.exportSheet();
    QCOMPARE(m_prompter.texts(Kind::Information).size(), 1);
    m_prompter.clear();
    // Nothing selected: nothing written.
    child<QListWidget>(window, "lstInsID")->clear();
    window.exportSheet();
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{claims::texts::kNoSheet});
    m_prompter.clear();
}

void ClaimsWindowsTest::printedListCarriesItsSums() {
    Tf_list_bimeh window(windows(), m_t->workingDir());
    QList<std::pair<print::ReportData, bool>> printed;
    window.setReportOutput([&](const print::Report& report, bool preview) { printed.append({report.data(), preview}); });
    QVERIFY(showActive(window));
    window.printList();
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{claims::texts::kNothingToPrint});
    m_prompter.clear();
    child(window, "edtInsID")->setFocus();
    open(window);
    child<QCheckBox>(window, "CheckBox2")->setChecked(true);
    press(window, Qt::Key_F8);
    QCOMPARE(printed.size(), 1);
    const print::ReportData& data = printed.at(0).first;
    QVERIFY(printed.at(0).second);
    QCOMPARE(data.rows.size(), 3);
    QCOMPARE(data.values.value(QStringLiteral("pharmacy_code")), QStringLiteral("21345"));
    QCOMPARE(data.values.value(QStringLiteral("insurer")), QStringLiteral("تامين اجتماعي\nبيمه سلامت"));
    QCOMPARE(data.values.value(QStringLiteral("header_caption")), QStringLiteral("نوع تخصص"));
    QCOMPARE(data.values.value(QStringLiteral("header_value")), QStringLiteral(" عمومي متخصص"));
    QCOMPARE(data.values.value(QStringLiteral("sum_bimar")), QStringLiteral("1,500"));
    QCOMPARE(data.values.value(QStringLiteral("in_words")), QStringLiteral("سه هزار ريال"));
    QVERIFY(!child(window, "but_print")->isEnabled());
    QCOMPARE(insurerShareInWords(0), QStringLiteral("رايگان"));

    // Sums carried to each page's foot include the earlier pages' rows.
    QVERIFY2(popplerPresent(), "poppler-utils (pdftotext) are needed: scripts/install-deps.sh");
    QList<ListPrintRow> rows;
    for (int i = 0; i < 60; ++i)
        rows.append({QStringLiteral("خانواده"), QStringLiteral("نام"), QStringLiteral("1"), QStringLiteral("05/07/01"),
                     QStringLiteral("پزشك"), 1000, 7, 1007});
    // Each row's amounts are grouped by thousands, as on the window.
    QCOMPARE(listReport({}, rows).data().rows.first().value(QStringLiteral("koll")), QStringLiteral("1,007"));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("list.pdf"));
    QVERIFY(print::writePdf(listReport({}, rows), pdf).done());
    QCOMPARE(pdfPages(pdf), 2);
    QStringList firstPage, secondPage;
    for (const PdfWord& word : pdfWords(pdf)) (word.page == 1 ? firstPage : secondPage).append(word.text);
    QVERIFY2(firstPage.contains(QStringLiteral("36,000")) && firstPage.contains(QStringLiteral("252")),
             qPrintable(firstPage.join(u' ')));
    QVERIFY(!firstPage.contains(QStringLiteral("60,000")));
    QVERIFY(secondPage.contains(QStringLiteral("60,000")) && secondPage.contains(QStringLiteral("420")));
    // A page range prints its pages alone, with the sums carried from the pages before.
    print::Report second = listReport({}, rows);
    second.limitToPages(2, 2);
    QVERIFY(print::writePdf(second, pdf).done());
    QCOMPARE(pdfPages(pdf), 1);
    QVERIFY(pdfText(pdf).contains(QStringLiteral("60,000")));
}

void ClaimsWindowsTest::correctionReadsTheListAgain() {
    Tf_list_bimeh window(windows(), m_t->workingDir());
    QList<int> opened;
    window.setPrescriptionOpener([&](int invoice) {
        opened.append(invoice);
        m_t->db().exec(QStringLiteral("update heading_noskhe set price_bimeh = 4000 where sh_factor = ?"), {invoice});
    });
    open(window);
    auto* grid = child<QTableView>(window, "DBGrid1");
    grid->setCurrentIndex(grid->model()->index(1, 0));
    press(window, Qt::Key_F3);
    QCOMPARE(opened, QList<int>{11});
    QCOMPARE(boxText(window, "me_sazman"), QStringLiteral("6,000"));
    QCOMPARE(window.shownRows().at(1).insurerShare, 4000.0);
}

void ClaimsWindowsTest::searchAndSort() {
    Tf_list_bimeh window(windows(), m_t->workingDir());
    open(window);
    window.sortBy(ListOrder::InsurerShare);
    QCOMPARE(window.shownRows().at(0).invoice, 11); // equal shares by invoice number
    child(window, "me_search1")->setFocus();
    typeIn(window, QStringLiteral("كا"));
    QCOMPARE(window.shownRows().size(), 1);
    QCOMPARE(window.shownRows().at(0).invoice, 13);
    child<QLineEdit>(window, "me_search1")->clear();
    QCOMPARE(window.shownRows().size(), 3);
    child(window, "me_search3")->setFocus();
    typeIn(window, QStringLiteral("11"));
    QCOMPARE(window.shownRows().size(), 2);
    QCOMPARE(window.shownRows().at(0).code, QStringLiteral("1101"));
    child<QLineEdit>(window, "me_search3")->clear();
    QTest::keyClick(child(window, "me_search3"), Qt::Key_A, Qt::ControlModifier); // the sort menu's first order
    QCOMPARE(window.shownRows().at(0).invoice, 11);
}

void ClaimsWindowsTest::mergeWindow() {
    QTemporaryDir dir;
    QFile first(dir.filePath(QStringLiteral("a.txt")));
    QVERIFY(first.open(QIODevice::WriteOnly));
    first.write(kMergeFirst);
    first.close();
    QFile second(dir.filePath(QStringLiteral("b.txt")));
    QVERIFY(second.open(QIODevice::WriteOnly));
    second.write(kMergeSecond);
    second.close();

    Tdisket_koli window(windows(), m_t->workingDir());
    QString proposed;
    QStringList toAdd{first.fileName(), second.fileName()};
    window.setFileChoosers(
        [&](const QString& name) {
            proposed = name;
            return dir.filePath(QStringLiteral("koli"));
        },
        [&] { return toAdd.takeFirst(); });
    QList<print::ReportData> printed;
    window.setReportOutput([&](const print::Report& report) { printed.append(report.data()); });
    QVERIFY(showActive(window));
    QCOMPARE(focusName(window), QStringLiteral("me_code_no"));
    typeIn(window, QStringLiteral("3"));
    child(window, "me_code_bime")->setFocus();
    typeIn(window, QStringLiteral("1"));
    QCOMPARE(boxText(window, "me_name_bime"), QStringLiteral("تامين اجتماعي"));
    QTest::mouseClick(child(window, "but_restore"), Qt::LeftButton);
    QVERIFY(proposed.endsWith(QStringLiteral("nos3")));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("koli.txt"))));
    press(window, Qt::Key_F1);
    press(window, Qt::Key_F3);
    press(window, Qt::Key_F3);
    QCOMPARE(child<QListWidget>(window, "lst_files")->count(), 2);
    press(window, Qt::Key_F4);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("koli.txt"))), kMerged);
    QCOMPARE(boxText(window, "me_path"), QString());
    QCOMPARE(printed.size(), 1);
    QCOMPARE(printed.at(0).rows.size(), 3);
    QCOMPARE(printed.at(0).values.value(QStringLiteral("insurer")), QStringLiteral("تامين اجتماعي"));
    QCOMPARE(printed.at(0).values.value(QStringLiteral("from")), QStringLiteral("05/07/01"));
    QCOMPARE(printed.at(0).values.value(QStringLiteral("sum_koll")), QStringLiteral("342"));
    QCOMPARE(m_t->db().scalar(QStringLiteral("select count(*) from list_koli")).toInt(), 3);
}

QTEST_MAIN(ClaimsWindowsTest)
#include "claims_windows_test.moc"
