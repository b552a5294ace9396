#include "audit/audit_changes.h"
#include "audit/ui/tarikhche.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/ui/barchasb.h"
#include "dispensing/ui/drug_lookup.h"
#include "dispensing/ui/froosh_darou.h"
#include "dispensing/ui/froosh_darou_texts.h"
#include "dispensing/ui/search_factor.h"
#include "lots/barcodes.h"
#include "lots/lots.h"
#include "pharmacy_fixture.h"
#include "dispensing/print/print_texts.h"
#include "print/report_output.h"
#include "support/contrast.h"
#include "support/scripted_picker.h"
#include "support/test_database.h"
#include "support/window_fixture.h"
#include "widgets/command_bar.h"
#include "widgets/date_field.h"
#include "widgets/line_list_model.h"
#include "widgets/number_delegate.h"
#include "db/transaction.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlRecord>
#include <QTableView>
#include <QTimer>
#include <QtTest>

using namespace ph;
using Kind = ScriptedPrompter::Kind;
using ph::test::child;
using ph::test::focusName;
using ph::test::press;
using ph::test::typeText;
using Col = PrescriptionLines::Column;

namespace {

const QString kToday = QStringLiteral("05/06/20");

// Which of F2, F4, Ctrl+F4 and F3 are enabled, and whether the line entry takes input.
QString states(Tf_froosh_darou& window) {
    QString shown;
    for (CommandBar::Command c : {CommandBar::Save, CommandBar::RemoveLine, CommandBar::DeleteDocument, CommandBar::Edit})
        shown += window.commandBar()->isEnabled(c) ? u'1' : u'0';
    const bool inputs = child<QWidget>(window, "DBGrid2")->isEnabled() && !child<QLineEdit>(window, "me_tedad")->isReadOnly();
    return shown + (inputs ? QStringLiteral(" in") : QStringLiteral(" off"));
}

QColor panelColour(Tf_froosh_darou& window) {
    auto* panel = child<QWidget>(window, "Panel1");
    return panel->autoFillBackground() ? panel->palette().color(QPalette::Window) : QColor();
}

void enter(QWidget& window) {
    press(window, Qt::Key_Return);
}

// Types into the field that has the focus, over what it shows, then presses Enter. A date
// is typed from its first blank, as the masked field takes it.
void typeAndEnter(QWidget& window, const QString& text) {
    auto* field = qobject_cast<QLineEdit*>(window.focusWidget());
    QVERIFY2(field, qPrintable(focusName(window)));
    if (!qobject_cast<DateField*>(field)) field->selectAll();
    typeText(field, text);
    enter(window);
}

// A keyboard-wedge scanner: the code typed at once into the focused widget, then Enter.
void scan(QWidget& window, const QString& code) {
    typeText(window.focusWidget(), code);
    enter(window);
}

QList<QVariantList> rows(Database& db, const QString& sql) {
    Rows q = db.exec(sql);
    QList<QVariantList> result;
    while (q.next()) {
        QVariantList values;
        for (int i = 0; i < q.record().count(); ++i)
            values.append(q.value(i));
        result.append(values);
    }
    return result;
}

} // namespace

class FrooshDarouTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void outpatientByKeyboardAlone();
    void inpatientWithWard();
    void newPrescriberIsStored();
    void insurerChangeAsksAndReprices();
    void refusalsMoveTheFocus_data();
    void refusalsMoveTheFocus();
    void removeAbandonAndClose();
    void replaceSelectedLine();
    void compoundedDrugTakesItsPrice();
    void printMenuOpensTheLabels();
    void knownPatientFillsHeader();
    void managementMenuFollowsRights();
    void automaticPrintsFollowTheSave();
    void steppingThroughStoredNumbers();
    void opensAStoredPrescriptionWhenAsked();
    void historyKeyOpensTheShownPrescriptionsHistory();
    void searchWindowChoosesWhatIsShown();
    void storedLinesAndTotalsAsStored();
    void correctionSavedOverTheSameNumber();
    void deletingAskedNumber();
    void rightsAndRefusedEdit();
    void prescriptionPrintShowsItFirst();
    void lookupShowsTheDrugEnterTakes();
    void insurerCodeOnEnter_data();
    void insurerCodeOnEnter();
    void storedHeaderIsReadOnlyAndReadable();
    void correctionAsksBeforeAnotherIsShown();
    void scannedPacksAddLinesAndLinkUnknownBarcodes();
    void removedLineTakesItsScannedPacks();

private:
    WindowContext windows() { return {m_context, m_t->db(), m_prompter, m_clock, &m_picker}; }
    // Opens the window and types the outpatient header of insurer 2 up to the drug lookup.
    void typeOutpatientHeader(Tf_froosh_darou& window, const QString& council);
    // Chooses the drug whose name begins with the text and adds it with the quantity.
    void addDrug(Tf_froosh_darou& window, const QString& name, const QString& quantity);
    // The outpatient header of the known prescriber, its date and type, to the drug lookup.
    void typeHeaderToDrugLookup(Tf_froosh_darou& window);
    // The vitamin (1010003) in stock, with a lot B7 of 5 expiring 2027-12-31 and an EAN-13.
    void stockScannableVitamin();
    QString text(Tf_froosh_darou& window, const char* name) { return child<QLineEdit>(window, name)->text(); }

    std::unique_ptr<test::TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    test::ScriptedPicker m_picker;
    FixedClock m_clock{QDateTime(QDate(2026, 9, 11), QTime(10, 0))};
};

void FrooshDarouTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    Database& db = m_t->db();
    test::fillPharmacy(db);
    for (const auto& [code, name] : QList<QPair<int, QString>>{{1, QStringLiteral("عمومي")},
                                                               {5, QStringLiteral("داخلي")}})
        db.exec(QStringLiteral("insert into doctor_type (code, doc_type) values (?, ?)"), {code, name});
    db.exec(QStringLiteral("insert into type_noskhe (code, name) values (1, ?)"), {QStringLiteral("عادي")});
    db.exec(QStringLiteral("insert into place (code, name, active) values (3, ?, 1)"), {QStringLiteral("جراحي")});
    db.exec(QStringLiteral("insert into doctor_s (code, name, family, order1, typeno) values (1, ?, ?, '11111', 1)"),
            {QStringLiteral("علي"), QStringLiteral("رضايي")});
    m_context = AppContext();
    m_context.user_code = 1;
    m_context.user_name = QStringLiteral("مدير");
    m_context.current_date = kToday;
    m_context.tamin_codes = {QStringLiteral("6")};
    m_context.rights = {{"save_b", true}, {"froosh_d", true}};
    m_prompter.clear();
}

void FrooshDarouTest::cleanup() {
    QCOMPARE(m_prompter.texts(Kind::ErrorReport), QStringList());
    m_t.reset();
}

void FrooshDarouTest::typeOutpatientHeader(Tf_froosh_darou& window, const QString& council) {
    QVERIFY(test::showActive(window));
    QCOMPARE(focusName(window), QString("me_code_bime"));
    QCOMPARE(text(window, "me_code_bime"), QString("0"));
    typeAndEnter(window, "2");
    QCOMPARE(text(window, "me_name_bime"), QString("خدمات درماني"));
    QCOMPARE(focusName(window), QString("edtMeliCode"));
    typeAndEnter(window, "4455667");
    QCOMPARE(focusName(window), QString("me_family")); // the social-security parts are off
    typeAndEnter(window, "احمدي");
    typeAndEnter(window, "مريم");
    QCOMPARE(focusName(window), QString("sh_safhe"));
    typeAndEnter(window, "12");
    QCOMPARE(focusName(window), QString("paz_type"));
    enter(window);
    QCOMPARE(focusName(window), QString("sh_darkhast"));
    enter(window);
    QCOMPARE(focusName(window), QString("me_nezam_pe")); // no ward for an outpatient
    typeAndEnter(window, council);
}

void FrooshDarouTest::typeHeaderToDrugLookup(Tf_froosh_darou& window) {
    typeOutpatientHeader(window, "11111");
    typeAndEnter(window, "3012");
    enter(window);
    enter(window);
}

void FrooshDarouTest::stockScannableVitamin() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (1010003, 20, 50, 2500)"));
    LotStore(db).takeIn(1010003, 20, {QStringLiteral("B7"), QDate(2027, 12, 31)}, 5);
    BarcodeStore(db).add(1010003, QStringLiteral("6260000000019"));
}

void FrooshDarouTest::addDrug(Tf_froosh_darou& window, const QString& name, const QString& quantity) {
    QCOMPARE(focusName(window), QString("DBGrid2"));
    typeText(window.focusWidget(), name);
    enter(window);
    QCOMPARE(focusName(window), QString("me_tedad"));
    typeAndEnter(window, quantity);
    QCOMPARE(focusName(window), QString("but_sabt1"));
    enter(window);
}

void FrooshDarouTest::outpatientByKeyboardAlone() {
    Database& db = m_t->db();
    Tf_froosh_darou window(windows());
    typeOutpatientHeader(window, "11111");
    QCOMPARE(text(window, "me_family_pe"), QString("رضايي"));
    QCOMPARE(text(window, "me_code_takhasos"), QString("1"));
    QCOMPARE(focusName(window), QString("me_date_bime1"));
    QCOMPARE(text(window, "me_date_bime1"), QString("/ / 1405")); // the century and year pre-filled
    typeAndEnter(window, "3012");
    QCOMPARE(focusName(window), QString("me_date_no1"));
    enter(window);
    enter(window); // the delivery date leads to the drug lookup
    addDrug(window, "ويتا", "2");
    // A digit-led text in the name column locates by the drug code.
    addDrug(window, "1010002", "1");
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(window.session().lines().lineCount(), 2);
    // 5000 and 4000 at the contract's 70 %; the day fee of 3000, of which the insurer pays
    // 70 % (fani_flag): the fee is inside the shares, and the patient pays 2700 + 900.
    QCOMPARE(text(window, "me_sahme_bime"), QString("8,400"));
    QCOMPARE(text(window, "me_sahme_bimar"), QString("3,600"));
    QCOMPARE(text(window, "MedtKol"), QString("12,000"));
    QCOMPARE(text(window, "me_koll_tarefeh"), QString("9,000"));
    QCOMPARE(text(window, "me_azad"), QString("0"));
    QCOMPARE(text(window, "me_fani"), QString("0"));
    QCOMPARE(text(window, "me_koll"), QString("3,600"));

    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(rows(db, "select sh_factor, code_bimeh, family_b, name_b, sh_bimeh, sh_safhe, nezam_p, date_no, "
                      "date_bimeh, paz_type from heading_noskhe where sh_factor=10"),
             (QList<QVariantList>{{10, 2, "احمدي", "مريم", "4455667", "12", "11111", kToday, "1405/12/30", 1}}));
    QCOMPARE(rows(db, "select row, code_darou, tedad, vaziat from details_noskhe where sh_factor=10 order by row"),
             (QList<QVariantList>{{1, 1010003.0, 2.0, texts::kInsured}, {2, 1010002.0, 1.0, texts::kInsured}}));
    // Stored and asked at the cash desk as the window showed them.
    QCOMPARE(rows(db, "select koll_daryaft, fani, bimar from cash where sh_factor=10"),
             (QList<QVariantList>{{3600.0, 0.0, 3600.0}}));
    QCOMPARE(rows(db, "select price_koll, price_bimar, price_bimeh, fani, fani2 from heading_noskhe where sh_factor=10"),
             (QList<QVariantList>{{3600.0, 3600.0, 8400.0, 0.0, 3000.0}}));

    // The cleared state of the next prescription.
    QCOMPARE(focusName(window), QString("me_code_bime"));
    QCOMPARE(text(window, "me_code_bime"), QString("0"));
    QCOMPARE(text(window, "me_sh_factor"), QString("11"));
    QCOMPARE(text(window, "me_family"), QString());
    QCOMPARE(text(window, "me_koll"), QString("0"));
    QCOMPARE(child<QTableView>(window, "StringGrid1")->model()->rowCount(), 1);
}

void FrooshDarouTest::inpatientWithWard() {
    Database& db = m_t->db();
    Tf_froosh_darou window(windows());
    QString billFile;
    window.setBillOpener([&billFile](const QString& file) { billFile = file; });
    QVERIFY(test::showActive(window));
    typeAndEnter(window, "2");
    typeAndEnter(window, "900100"); // the file number
    press(window, Qt::Key_F6); // the patient bill of the file
    QCOMPARE(billFile, QString("900100"));
    typeAndEnter(window, "كريمي");
    typeAndEnter(window, "حسن");
    enter(window); // no page number
    QCOMPARE(focusName(window), QString("paz_type"));
    QVERIFY(!child<QLineEdit>(window, "me_code_bakhsh")->isEnabled());
    press(window, Qt::Key_Up);
    QCOMPARE(child<QComboBox>(window, "paz_type")->currentText(), texts::kInpatient);
    enter(window);
    enter(window); // no request number: on to the ward
    QCOMPARE(focusName(window), QString("me_code_bakhsh"));
    typeAndEnter(window, "3");
    QCOMPARE(text(window, "me_name_bakhsh"), QString("جراحي"));
    QCOMPARE(focusName(window), QString("me_nezam_pe"));
    // No prescriber, no dates but the expiry the save reads.
    for (int i = 0; i < 4; ++i)
        enter(window);
    QCOMPARE(focusName(window), QString("me_date_bime1"));
    typeAndEnter(window, "0101");
    enter(window);
    enter(window);
    addDrug(window, "ويتا", "1");
    QCOMPARE(m_prompter.texts(), QStringList());
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(rows(db, "select paz_type, code_bakhsh, sh_bimeh, coalesce(nezam_p, '') from heading_noskhe "
                      "where sh_factor=10"),
             (QList<QVariantList>{{0, 3, "900100", ""}}));
    QCOMPARE(rows(db, "select count(*) from details_noskhe where sh_factor=10"), (QList<QVariantList>{{1}}));
}

void FrooshDarouTest::newPrescriberIsStored() {
    Database& db = m_t->db();
    Tf_froosh_darou window(windows());
    // The council number takes no more than its column holds.
    QCOMPARE(child<QLineEdit>(window, "me_nezam_pe")->maxLength(), 30);
    typeOutpatientHeader(window, "77777");
    QCOMPARE(focusName(window), QString("me_family_pe"));
    typeAndEnter(window, "نوري");
    typeAndEnter(window, "سارا");
    QCOMPARE(focusName(window), QString("me_code_takhasos"));
    typeAndEnter(window, "5");
    QCOMPARE(text(window, "me_name_takhasos"), QString("داخلي"));
    typeAndEnter(window, "3012");
    enter(window);
    enter(window);
    addDrug(window, "ويتا", "1");
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(rows(db, "select name, family, typeno from doctor_s where order1='77777'"),
             (QList<QVariantList>{{"سارا", "نوري", 5}}));
    QCOMPARE(rows(db, "select nezam_p from heading_noskhe where sh_factor=10"), (QList<QVariantList>{{"77777"}}));
}

void FrooshDarouTest::insurerChangeAsksAndReprices() {
    Tf_froosh_darou window(windows());
    typeHeaderToDrugLookup(window);
    addDrug(window, "ويتا", "2");
    // 5000 at 70 %, and 70 % of the 3000 fee the contract pays.
    QCOMPARE(text(window, "me_sahme_bime"), QString("5,600"));

    auto* insurer = child<QLineEdit>(window, "me_code_bime");
    insurer->setFocus();
    m_prompter.answerNo();
    typeAndEnter(window, "4");
    QCOMPARE(m_prompter.texts(Kind::YesNo), QStringList{texts::kConfirmInsurerChange});
    QCOMPARE(insurer->text(), QString("2"));
    QCOMPARE(text(window, "me_sahme_bime"), QString("5,600"));

    insurer->setFocus();
    m_prompter.answerYes();
    typeAndEnter(window, "4");
    QCOMPARE(insurer->text(), QString("4"));
    QCOMPARE(text(window, "me_name_bime"), QString("نيروهاي مسلح"));
    QCOMPARE(text(window, "me_sahme_bime"), QString("3,000")); // 5000 at the new insurer's 60 %
    QCOMPARE(window.session().lines().cell(1, PrescriptionLines::InsurerShare), QString("3000"));

    // A social-security insurer takes the four-part number and has no page field.
    insurer->setFocus();
    m_prompter.answerYes();
    typeAndEnter(window, "6");
    QVERIFY(child<QLineEdit>(window, "edtInsNo")->isEnabled());
    QVERIFY(!child<QLineEdit>(window, "sh_safhe")->isEnabled());
}

void FrooshDarouTest::refusalsMoveTheFocus_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("onSave");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("expired booklet, adding a line")
        << "me_date_bime1" << "19/ 06/ 1405" << false << texts::kExpired << "me_date_bime1";
    QTest::newRow("no family name, adding a line") << "me_family" << "" << false << texts::kFamilyMissing << "me_family";
    QTest::newRow("no page number, saving") << "sh_safhe" << "" << true << texts::kPageMissingOnSave << "sh_safhe";
    // What a field holds must fit the column it is stored in, as pharmacyctl save judges it.
    QTest::newRow("page number not a number, saving")
        << "sh_safhe" << "NaN" << true << QStringLiteral("شماره صفحه بايد عدد باشد") << "sh_safhe";
    QTest::newRow("NUL in the family name, saving") << "me_family" << QStringLiteral("احمد") + QChar(0) + QStringLiteral("ي")
                                                    << true << QStringLiteral("نام خانوادگي بيمار نويسه نامعتبر دارد")
                                                    << "me_family";
}

void FrooshDarouTest::refusalsMoveTheFocus() {
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(bool, onSave);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Tf_froosh_darou window(windows());
    typeHeaderToDrugLookup(window);
    if (onSave) addDrug(window, "ويتا", "1");
    child<QLineEdit>(window, field)->setText(value);
    if (onSave) {
        press(window, Qt::Key_F2);
    } else {
        child<QTableView>(window, "DBGrid2")->setFocus();
        addDrug(window, "ويتا", "1");
    }
    QCOMPARE(m_prompter.texts(), QStringList{message});
    QCOMPARE(focusName(window), focus);
    QCOMPARE(window.session().lines().lineCount(), onSave ? 1 : 0);
    QCOMPARE(rows(m_t->db(), "select count(*) from heading_noskhe where sh_factor=10"), (QList<QVariantList>{{0}}));
}

void FrooshDarouTest::removeAbandonAndClose() {
    Tf_froosh_darou window(windows());
    typeHeaderToDrugLookup(window);
    addDrug(window, "ويتا", "2");
    addDrug(window, "1010002", "1");

    // F4 removes the selected line after the question; the totals follow.
    press(window, Qt::Key_F3, Qt::ControlModifier);
    QCOMPARE(focusName(window), QString("StringGrid1"));
    QCOMPARE(child<QTableView>(window, "StringGrid1")->currentIndex().row(), 1); // the line added last
    press(window, Qt::Key_Up);
    m_prompter.answerYes();
    press(window, Qt::Key_F4);
    QCOMPARE(m_prompter.texts(Kind::YesNo), QStringList{texts::kConfirmRemoveLine});
    QCOMPARE(window.session().lines().lineCount(), 1);
    QCOMPARE(window.session().lines().cell(1, PrescriptionLines::Code), QString("1010002"));
    QCOMPARE(text(window, "me_sahme_bimar"), QString("2,100")); // 1200 and 30 % of the fee

    // F9 asks; "no" keeps the prescription, "yes" clears it.
    m_prompter.clear();
    m_prompter.answerNo();
    press(window, Qt::Key_F9);
    QCOMPARE(window.session().lines().lineCount(), 1);
    m_prompter.answerYes();
    press(window, Qt::Key_F9);
    QCOMPARE(m_prompter.texts(), (QStringList{texts::kConfirmAbandon, texts::kConfirmAbandon}));
    QCOMPARE(window.session().lines().lineCount(), 0);
    QCOMPARE(text(window, "me_family"), QString());
    QCOMPARE(focusName(window), QString("me_code_bime"));

    // F10 asks before closing.
    m_prompter.answerNo();
    press(window, Qt::Key_F10);
    QVERIFY(window.isVisible());
    m_prompter.answerYes();
    press(window, Qt::Key_F10);
    QVERIFY(!window.isVisible());
}

void FrooshDarouTest::replaceSelectedLine() {
    Tf_froosh_darou window(windows());
    typeHeaderToDrugLookup(window);
    addDrug(window, "ويتا", "2");
    addDrug(window, "1010002", "1");

    // Moving in the line list loads the line into the entry fields and switches to replacing.
    press(window, Qt::Key_F3, Qt::ControlModifier);
    press(window, Qt::Key_Up);
    press(window, Qt::Key_Up);
    QCOMPARE(text(window, "me_tedad"), QString("2"));
    QCOMPARE(child<QComboBox>(window, "cb_vaziat")->currentText(), texts::kInsured);
    QVERIFY(!child<QPushButton>(window, "but_sabt1")->isEnabled());
    enter(window);
    QCOMPARE(focusName(window), QString("me_tedad"));
    typeAndEnter(window, "3");
    QCOMPARE(focusName(window), QString("but_edit"));
    m_prompter.answerYes();
    enter(window);
    QCOMPARE(m_prompter.texts(), QStringList{texts::kConfirmReplace});
    QCOMPARE(window.session().lines().lineCount(), 2);
    QCOMPARE(window.session().lines().cell(1, PrescriptionLines::Quantity), QString("3"));
    QCOMPARE(text(window, "me_sahme_bime"), QString("10,150")); // 7500 and 4000 at 70 %, 70 % of the fee
    QVERIFY(child<QPushButton>(window, "but_sabt1")->isEnabled());
}

void FrooshDarouTest::compoundedDrugTakesItsPrice() {
    Tf_froosh_darou window(windows());
    QVERIFY(test::showActive(window));
    child<QTableView>(window, "DBGrid2")->setFocus();
    QVERIFY(child<QTableView>(window, "DBGrid2")->height() > DrugLookup::kCollapsed);
    typeText(window.focusWidget(), "پماد");
    enter(window);
    QCOMPARE(child<QComboBox>(window, "cb_vaziat")->currentText(), texts::kFree); // insurer "0"
    auto* price = child<QLineEdit>(window, "me_price");
    QVERIFY(!price->isVisible());
    typeAndEnter(window, "1");
    QVERIFY(price->isVisible());
    QCOMPARE(focusName(window), QString("me_price"));
    QCOMPARE(price->text(), QString("1200"));
    typeAndEnter(window, "1500");
    QCOMPARE(focusName(window), QString("but_sabt1"));
    enter(window);
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(window.session().lines().cell(1, PrescriptionLines::UnitPrice), QString("1500"));
    QCOMPARE(text(window, "me_azad"), QString("1,500"));
    QVERIFY(!price->isVisible());
    QCOMPARE(focusName(window), QString("DBGrid2"));
}

void FrooshDarouTest::printMenuOpensTheLabels() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into dastoor_darou (code, sharh, active) values (1, ?, 1)"),
            {QStringLiteral("شبي يك بار")});
    db.exec(QStringLiteral("update heading_formul_darou set code_dastoor=1 where code_darou=1700001"));
    Tf_froosh_darou window(windows());
    QVERIFY(test::showActive(window));
    child<QTableView>(window, "DBGrid2")->setFocus();
    for (const char* drug : {"پماد", "ويتا"}) {
        typeText(window.focusWidget(), QString::fromUtf8(drug));
        enter(window);
        typeAndEnter(window, "1");
        if (focusName(window) == QLatin1String("me_price")) enter(window);
        enter(window);
    }
    QCOMPARE(window.session().lines().lineCount(), 2);
    auto* labels = window.findChild<QAction*>(QStringLiteral("N6"));
    QVERIFY(labels && labels->isEnabled());
    QList<CompoundedLabel> shown;
    QTimer::singleShot(0, &window, [&] {
        auto* dialog = qobject_cast<Tf_barchasb*>(window.labelsWindow());
        if (!dialog) return;
        shown = dialog->labels();
        dialog->reject();
    });
    labels->trigger();
    // Only the compounded drug has a label, with its formula's instruction.
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0).code, 1700001.0);
    QCOMPARE(shown.at(0).instruction, QStringLiteral("شبي يك بار"));
}

void FrooshDarouTest::knownPatientFillsHeader() {
    m_t->db().exec(QStringLiteral("insert into mosh_bimaran (code, insnotamin, sh_bimeh, code_bimeh, date_bimeh, "
                                  "name_b, family_b) values (1, '4455667', '4455667', 2, '1406/01/15', ?, ?)"),
                   {QStringLiteral("مريم"), QStringLiteral("احمدي")});
    Tf_froosh_darou window(windows());
    QVERIFY(test::showActive(window));
    typeAndEnter(window, "2");
    typeAndEnter(window, "44556");
    QCOMPARE(m_prompter.texts(), QStringList{texts::kSerialTooShort});
    QCOMPARE(focusName(window), QString("edtMeliCode"));
    typeAndEnter(window, "4455667");
    QCOMPARE(focusName(window), QString("me_family"));
    QCOMPARE(text(window, "me_family"), QString("احمدي"));
    QCOMPARE(text(window, "me_name_bimar"), QString("مريم"));
    QCOMPARE(child<DateField>(window, "me_date_bime1")->storedText(), QString("1406/01/15"));
}

void FrooshDarouTest::managementMenuFollowsRights() {
    Tf_froosh_darou window(windows());
    QStringList opened;
    window.setWindowOpener([&opened](const QString& windowClass) { opened.append(windowClass); });
    QVERIFY(test::showActive(window));
    const QList<QAction*> entries = window.managementMenu()->actions();
    QCOMPARE(entries.size(), 7);
    // The rules are disabled without bimehdarou; the insurer change, the bill, the goods
    // sheet and the equivalents are open to the menu (the equivalents check their right
    // when used).
    QVERIFY(!entries.at(1)->isEnabled());
    for (int i : {2, 3, 4, 5})
        QVERIFY2(entries.at(i)->isEnabled(), qPrintable(entries.at(i)->text()));

    press(window, Qt::Key_F11);
    QCOMPARE(m_prompter.texts(), QStringList{texts::kNoDrugListRight});
    QVERIFY(opened.isEmpty());

    m_context.rights.insert(QStringLiteral("darou1"), true);
    m_context.rights.insert(QStringLiteral("bimehdarou"), true);
    press(window, Qt::Key_F11);
    QCOMPARE(opened, QStringList{QStringLiteral("Tf_darou")});
    window.hide();
    QVERIFY(test::showActive(window));
    QVERIFY(entries.at(1)->isEnabled());
    entries.at(1)->trigger();
    QCOMPARE(opened, (QStringList{QStringLiteral("Tf_darou"), QStringLiteral("Tfmbimeh_daru")}));
    entries.at(2)->trigger();
    QCOMPARE(opened.last(), QStringLiteral("Tedit_bimeh"));
    entries.at(4)->trigger();
    QCOMPARE(opened.last(), QStringLiteral("Tm_kala_b"));
    QVERIFY(window.commandBar()->isEnabled(CommandBar::Print));
}

void FrooshDarouTest::automaticPrintsFollowTheSave() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("update tanzimat set p_noskhe=1, p_factor=1"));
    Tf_froosh_darou window(windows());
    typeHeaderToDrugLookup(window);
    addDrug(window, "ويتا", "2");
    press(window, Qt::Key_F2);
    // The prescription is stored first; the prints that follow go to the printer, and a
    // machine without one says so and keeps what was saved.
    QCOMPARE(db.scalar("select count(*) from heading_noskhe where sh_factor=10").toInt(), 1);
    QVERIFY(!m_prompter.texts().isEmpty()); // the test machines have no printer
    for (const QString& shown : m_prompter.texts())
        QVERIFY2(shown == print::texts::kNoPrinter || shown == print::texts::kPrinterFailed, qPrintable(shown));
    QCOMPARE(text(window, "me_sh_factor"), QString("11"));
}

// Next and previous step by one number, a deleted or unused one showing an empty window with
// the inputs off; at the ends they warn and leave F3 on.
void FrooshDarouTest::searchWindowChoosesWhatIsShown() {
    Tf_froosh_darou window(windows());
    QVERIFY(test::showActive(window));
    // Ctrl+B: by family name. The start date loads the day's prescriptions; F2 chooses the
    // current one, and the dispensing window shows it.
    bool searched = false;
    QTimer::singleShot(0, &window, [&] {
        auto* search = window.findChild<TF_search_factor*>();
        if (!search) return;
        auto* start = child<QLineEdit>(*search, "me_date");
        start->setText(QStringLiteral("05/06/15"));
        QTest::keyClick(start, Qt::Key_Return);
        searched = search->focusWidget() && search->focusWidget()->objectName() == QLatin1String("me_search_n");
        QTest::keyClick(search->focusWidget(), Qt::Key_F2);
    });
    press(window, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(searched);
    QCOMPARE(window.currentInvoice(), 7);
    QCOMPARE(text(window, "me_sh_factor"), QString("7"));
    QCOMPARE(window.session().lines().lineCount(), 2);
}

void FrooshDarouTest::steppingThroughStoredNumbers() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("delete from details_noskhe where sh_factor=8"));
    db.exec(QStringLiteral("delete from heading_noskhe where sh_factor=8"));
    Tf_froosh_darou window(windows());
    QVERIFY(test::showActive(window));
    QCOMPARE(states(window), QString("1100 in")); // a new prescription
    QCOMPARE(panelColour(window), QColor());

    press(window, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(text(window, "me_sh_factor"), QString("9"));
    QCOMPARE(text(window, "me_family"), QString());
    QCOMPARE(window.session().lines().lineCount(), 2);
    QCOMPARE(states(window), QString("0001 off"));
    QCOMPARE(panelColour(window), QColor(128, 128, 192));
    QCOMPARE(child<DateField>(window, "me_date_no1")->storedText(), QString("05/06/15"));
    press(window, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{texts::kAtLastNumber});
    QCOMPARE(text(window, "me_sh_factor"), QString("9"));

    press(window, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(text(window, "me_sh_factor"), QString("7"));
    press(window, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(window.currentInvoice(), 8);
    QCOMPARE(text(window, "me_sh_factor"), QString()); // deleted: an empty window
    QCOMPARE(window.session().lines().lineCount(), 0);
    QCOMPARE(states(window), QString("0001 off"));
    press(window, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(text(window, "me_sh_factor"), QString("9"));

    m_prompter.clear();
    window.showInvoice(2);
    press(window, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(window.currentInvoice(), 1);
    window.commandBar()->setEnabled(CommandBar::Edit, false);
    press(window, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{texts::kAtFirstNumber});
    QCOMPARE(window.currentInvoice(), 1);
    QCOMPARE(states(window), QString("0001 off"));

    // With nothing stored, first and last warn.
    db.exec(QStringLiteral("delete from details_noskhe"));
    db.exec(QStringLiteral("delete from heading_noskhe"));
    m_prompter.clear();
    press(window, Qt::Key_F, Qt::ControlModifier);
    press(window, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(Kind::Warning), (QStringList{texts::kNoStoredPrescription, texts::kNoStoredPrescription}));
}

// Another window (the insurance list) opens a stored prescription for correction: that showing
// shows it; the next showing starts a new prescription again.
void FrooshDarouTest::opensAStoredPrescriptionWhenAsked() {
    Tf_froosh_darou window(windows());
    window.showOnOpen(7);
    QVERIFY(test::showActive(window));
    QCOMPARE(window.currentInvoice(), 7);
    QCOMPARE(text(window, "me_sh_factor"), QString("7"));
    QCOMPARE(states(window), QString("0001 off"));
    window.hide();
    QVERIFY(test::showActive(window));
    QCOMPARE(states(window), QString("1100 in"));
}

// F12 opens the history of changes of the prescription shown, for a user with the right.
void FrooshDarouTest::historyKeyOpensTheShownPrescriptionsHistory() {
    Database& db = m_t->db();
    for (const char* key : {"7", "8"}) {
        Transaction transaction(db);
        appendAudit(db, {1, QStringLiteral("desk"), QStringLiteral("Tf_froosh_darou")},
                    {QStringLiteral("prescription"), QString::fromLatin1(key),
                     documentChanges({}, {{QStringLiteral("sh_factor"), QString::fromLatin1(key)}})});
        transaction.commit();
    }
    Tf_froosh_darou window(windows());
    Tf_tarikhche history(windows(), &window);
    int opened = 0;
    window.setHistoryOpener([&](const QString& kind, const QString& key) {
        ++opened;
        history.showDocument(kind, key);
    });
    window.showOnOpen(7);
    QVERIFY(test::showActive(window));
    press(window, Qt::Key_F12);
    QCOMPARE(m_prompter.texts(), QStringList{texts::kNoFormAccess});
    QCOMPARE(opened, 0);

    m_prompter.clear();
    m_context.rights.insert(QStringLiteral("tarikhche"), true);
    press(window, Qt::Key_F12);
    QCOMPARE(opened, 1);
    QVERIFY(m_prompter.texts().isEmpty());
    QCOMPARE(history.entries().size(), 1);
    QCOMPARE(history.entries().first().entry.key, QStringLiteral("7"));
    QCOMPARE(history.entries().first().entry.kind, QStringLiteral("prescription"));
    QVERIFY(window.managementMenu()->findChild<QAction*>(QStringLiteral("mnuTarikhche")));
}

// A stored prescription is shown as stored: its header, its lines with the substitution and
// hoteling cells, and its totals as stored, not recomputed. Ctrl+A asks for the number.
void FrooshDarouTest::storedLinesAndTotalsAsStored() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, date_no, date_sabt, date_bimeh, code_no, code_bimeh, "
                           "insnotamin, sh_bimeh, family_b, name_b, nezam_p, personel, paz_type, type_no, price_bimar, "
                           "price_koll, fani) values (20, '05/06/18', '05/06/19', '1406/02/03', '0520001', 6, "
                           "'1234567890-1234-01-05', '1234567890123401', ?, ?, '11111', 1, 1, 1, 700, 99999, 3000)"),
            {QStringLiteral("كريمي"), QStringLiteral("سارا")});
    const QString line = QStringLiteral(
        "insert into details_noskhe (sh_factor, row, code_darou, tedad, vaziat, price_one, price_koll, sazman, bimar, "
        "price_h, flag_moadel, code_darou_main, tedad_darou_main, price_darou_main) "
        "values (20, ?, ?, ?, ?, ?, ?, 0, 0, ?, ?, ?, ?, ?)");
    db.exec(line, {2, 1010002, 1, texts::kInsured, 4000, 4000, 150, 0, QVariant(), QVariant(), QVariant()});
    db.exec(line, {1, 1010003, 2, texts::kInsured, 2500, 5000, QVariant(), 1, 1010001, 3, 1000});
    Tf_froosh_darou window(windows());
    QVERIFY(test::showActive(window));

    // An answer that is not a whole number loads nothing.
    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("2x"));
    press(window, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(Kind::ErrorReport).size(), 1);
    QCOMPARE(states(window), QString("1100 in"));
    m_prompter.clear();

    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("20"));
    press(window, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(Kind::Prompt), QStringList{texts::kInvoiceNumberPrompt});
    QCOMPARE(text(window, "me_sh_factor"), QString("20"));
    QCOMPARE(text(window, "me_code_no"), QString("0520001"));
    QCOMPARE(text(window, "me_code_bime"), QString("6"));
    // A social-security insurer: the four parts of the stored number.
    QCOMPARE(text(window, "edtMeliCode"), QString("1234567890"));
    QCOMPARE(text(window, "edtInsNo"), QString("1234"));
    QCOMPARE(text(window, "edtPageNo"), QString("05"));
    QCOMPARE(text(window, "me_family"), QString("كريمي"));
    QCOMPARE(text(window, "me_family_pe"), QString("رضايي"));
    QVERIFY(child<QCheckBox>(window, "CheckBox1")->isChecked());
    QCOMPARE(child<DateField>(window, "me_date_ta1")->storedText(), QString("05/06/19"));
    QCOMPARE(child<DateField>(window, "me_date_bime1")->storedText(), QString("1406/02/03"));
    // Stored totals; without the insurer's share the insured total keeps its cleared value.
    QCOMPARE(text(window, "me_koll"), QString("99,999"));
    QCOMPARE(text(window, "me_sahme_bimar"), QString("700"));
    QCOMPARE(text(window, "MedtKol"), QString("0"));
    QCOMPARE(text(window, "me_koll_tarefeh"), QString("9,000"));

    const PrescriptionLines& lines = window.session().lines();
    QCOMPARE(lines.lineCount(), 2);
    QCOMPARE(lines.lines().at(0).mid(PrescriptionLines::Code, 1), QStringList{"1010003"}); // in stored order
    QCOMPARE(lines.lines().at(0).mid(PrescriptionLines::Substitute),
             (QStringList{texts::kSubstitute, "1010001", "3", "1000", "0"}));
    QCOMPARE(lines.lines().at(1).mid(PrescriptionLines::Substitute), (QStringList{"0", "", "", "", "150"}));
    QCOMPARE(child<QTableView>(window, "StringGrid1")->model()->rowCount(), 3); // and the empty row
}

// F3 opens the shown prescription for correction; F2 saves it over the same number after
// its question, writes the cash difference and leaves a new prescription.
void FrooshDarouTest::correctionSavedOverTheSameNumber() {
    Database& db = m_t->db();
    m_context.rights.insert(QStringLiteral("edit_b"), true);
    Tf_froosh_darou window(windows());
    typeHeaderToDrugLookup(window);
    addDrug(window, "ويتا", "2");
    press(window, Qt::Key_F2);
    QCOMPARE(text(window, "me_sh_factor"), QString("11"));

    press(window, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(text(window, "me_sh_factor"), QString("10"));
    const QString stored = db.scalar("select price_koll from heading_noskhe where sh_factor=10").toString();
    QCOMPARE(text(window, "me_koll"), groupedAmountText(stored.toDouble()));
    press(window, Qt::Key_F3);
    QCOMPARE(states(window), QString("1110 in"));
    QCOMPARE(panelColour(window), QColor(0, 0, 64));
    QVERIFY(!window.commandBar()->isEnabled(CommandBar::Next));

    press(window, Qt::Key_F3, Qt::ControlModifier);
    press(window, Qt::Key_Up);
    enter(window);
    QCOMPARE(focusName(window), QString("me_tedad"));
    typeAndEnter(window, "4");
    m_prompter.answerYes();
    enter(window);
    QCOMPARE(text(window, "me_koll"), QString("3,900")); // recomputed: 3000 and the fee less the insurer's part
    m_prompter.clear();
    m_prompter.answerYes();
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(), QStringList{texts::kConfirmEditSave});
    QCOMPARE(rows(db, "select count(*) from heading_noskhe where sh_factor>=10"), (QList<QVariantList>{{1}}));
    QCOMPARE(rows(db, "select tedad from details_noskhe where sh_factor=10"), (QList<QVariantList>{{4.0}}));
    QCOMPARE(rows(db, "select koll_daryaft from cash where sh_factor=10 order by koll_daryaft"),
             (QList<QVariantList>{{1500.0}, {2400.0}})); // the difference beside the first row
    QCOMPARE(text(window, "me_sh_factor"), QString("11"));
    QCOMPARE(states(window), QString("1100 in"));
    QCOMPARE(panelColour(window), QColor());
}

// Ctrl+F4 during a correction asks for a number, shows it, asks, and deletes the
// prescription with its own cash rows; a goods invoice's rows of the same number stay.
void FrooshDarouTest::deletingAskedNumber() {
    Database& db = m_t->db();
    m_context.rights.insert(QStringLiteral("edit_b"), true);
    m_context.rights.insert(QStringLiteral("delete_b"), true);
    db.exec(QStringLiteral("insert into cash (sh_factor, type_factor, koll_daryaft, ekhtetam) values (8, 'k', 900, 1)"));
    db.exec(QStringLiteral("insert into cash (sh_factor, type_factor, koll_daryaft, ekhtetam) values (8, 'd', 500, 0)"));
    db.exec(QStringLiteral("insert into cash (sh_factor, type_factor, koll_daryaft, ekhtetam) values (9, 'd', 500, 1)"));
    Tf_froosh_darou window(windows());
    QVERIFY(test::showActive(window));
    press(window, Qt::Key_F4, Qt::ControlModifier); // only during a correction
    QCOMPARE(m_prompter.texts(), QStringList());

    press(window, Qt::Key_L, Qt::ControlModifier);
    press(window, Qt::Key_F3);
    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("8"));
    m_prompter.answerYes(); // the correction of 9 gives way to 8
    m_prompter.answerNo();
    press(window, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(),
             (QStringList{texts::kInvoiceNumberPrompt, texts::kConfirmAbandon, texts::kConfirmDeleteInvoice}));
    QCOMPARE(text(window, "me_sh_factor"), QString("8")); // shown before the question
    QCOMPARE(states(window), QString("0001 off"));
    QCOMPARE(rows(db, "select count(*) from heading_noskhe"), (QList<QVariantList>{{3}}));

    m_prompter.clear();
    press(window, Qt::Key_F3);
    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("8"));
    m_prompter.answerYes();
    press(window, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList());
    QCOMPARE(rows(db, "select sh_factor from heading_noskhe order by sh_factor"), (QList<QVariantList>{{7}, {9}}));
    QCOMPARE(rows(db, "select count(*) from details_noskhe where sh_factor=8"), (QList<QVariantList>{{0}}));
    QCOMPARE(rows(db, "select type_factor, koll_daryaft from cash where sh_factor=8"),
             (QList<QVariantList>{{"k", 900.0}}));
    // After the deletion: a new prescription may be typed, F2 stays off until F9.
    QCOMPARE(text(window, "me_sh_factor"), QString("10"));
    QCOMPARE(window.currentInvoice(), 10);
    QCOMPARE(states(window), QString("0001 in"));
    QCOMPARE(focusName(window), QString("me_code_bime"));

    // Closed by the cash desk, or not stored: refused, nothing deleted.
    for (const auto& [number, refusal] : QList<QPair<QString, QString>>{{"9", texts::kDeleteRefused},
                                                                        {"8", texts::kDeleteNotFound}}) {
        m_prompter.clear();
        press(window, Qt::Key_F3);
        m_prompter.answerPrompt(QStringLiteral("ok"), number);
        m_prompter.answerYes(); // another number than the one corrected
        m_prompter.answerYes();
        press(window, Qt::Key_F4, Qt::ControlModifier);
        QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{refusal});
        QCOMPARE(rows(db, "select count(*) from heading_noskhe"), (QList<QVariantList>{{2}}));
    }
    // A number that is not whole deletes nothing.
    m_prompter.clear();
    press(window, Qt::Key_F3);
    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("7.5"));
    press(window, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(Kind::ErrorReport).size(), 1);
    QCOMPARE(rows(db, "select count(*) from heading_noskhe"), (QList<QVariantList>{{2}}));
    m_prompter.clear();

    // The last ones deleted: the next number is 1.
    db.exec(QStringLiteral("update cash set ekhtetam=0"));
    for (const QString number : {"7", "9"}) {
        press(window, Qt::Key_F3);
        m_prompter.answerPrompt(QStringLiteral("ok"), number);
        m_prompter.answerYes(); // another number than the one corrected
        m_prompter.answerYes();
        press(window, Qt::Key_F4, Qt::ControlModifier);
    }
    QCOMPARE(rows(db, "select count(*) from heading_noskhe"), (QList<QVariantList>{{0}}));
    QCOMPARE(text(window, "me_sh_factor"), QString("1"));
}

// Without the rights F3 and Ctrl+F4 are refused; F3 leaves the navigation off either way
// until F9.
void FrooshDarouTest::rightsAndRefusedEdit() {
    Tf_froosh_darou window(windows());
    QVERIFY(test::showActive(window));
    press(window, Qt::Key_F3); // the right is asked for even with nothing to correct
    QCOMPARE(m_prompter.texts(), QStringList{texts::kNoEditRight});
    QCOMPARE(states(window), QString("1100 in"));
    QVERIFY(!window.commandBar()->isEnabled(CommandBar::First));
    m_prompter.answerNo();
    press(window, Qt::Key_F9);
    QVERIFY(window.commandBar()->isEnabled(CommandBar::First));
    m_prompter.clear();

    press(window, Qt::Key_L, Qt::ControlModifier);
    press(window, Qt::Key_F3);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{texts::kNoEditRight});
    QCOMPARE(states(window), QString("0001 off"));
    QVERIFY(!window.commandBar()->isEnabled(CommandBar::Last));
    m_prompter.clear();
    press(window, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{texts::kNoDeleteRight});
}

// The prescription print on request shows the prescription, read-only, before printing it;
// a number without one is refused and the window keeps what it showed.
void FrooshDarouTest::prescriptionPrintShowsItFirst() {
    Tf_froosh_darou window(windows());
    QVERIFY(test::showActive(window));
    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("5"));
    QCOMPARE(focusName(window), QString("me_code_bime"));
    press(window, Qt::Key_Y, Qt::ControlModifier); // the key works in a text field too
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{print::texts::kPrescriptionNotFound});
    QCOMPARE(states(window), QString("1100 in"));

    // Its layout goes straight to the printer; with none (as on the test machines) it is
    // previewed instead of failing.
    QVERIFY(!print::printerAvailable());
    m_prompter.clear();
    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("9"));
    QString previewed;
    QTimer::singleShot(0, &window, [&] {
        if (QWidget* preview = QApplication::activeModalWidget()) {
            previewed = QString::fromLatin1(preview->metaObject()->className());
            preview->close();
        }
    });
    window.printOnRequest(PrintKind::Prescription);
    QCOMPARE(previewed, QString("QPrintPreviewDialog"));
    QCOMPARE(text(window, "me_sh_factor"), QString("9"));
    QCOMPARE(states(window), QString("0001 off"));
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList());
}

// At every moment the lookup's current row is highlighted and in view, expanded or collapsed,
// after a line is added and after a save, and it is the drug that Enter takes. The line list
// keeps its last line, and six lines, in view below the expanded lookup.
void FrooshDarouTest::lookupShowsTheDrugEnterTakes() {
    Tf_froosh_darou window(windows());
    typeOutpatientHeader(window, "11111");
    window.resize(1280, 668); // the size it opens at on a 1366 x 768 screen
    typeAndEnter(window, "3012");
    enter(window);
    enter(window);
    auto* lookup = child<QTableView>(window, "DBGrid2");
    auto* list = child<QTableView>(window, "StringGrid1");
    const PrescriptionLines& lines = window.session().lines();
    // The code of the lookup's current row when it is highlighted and wholly in view.
    const auto shownDrug = [&] {
        QApplication::processEvents(); // the layout follows the lookup's height
        const QModelIndex current = lookup->currentIndex();
        if (!current.isValid() || !lookup->selectionModel()->isRowSelected(current.row(), {})) return QString();
        if (!lookup->viewport()->rect().contains(lookup->visualRect(current))) return QString();
        return current.siblingAtColumn(DrugLookup::Code).data().toString();
    };
    const auto lastLineShown = [&] {
        QApplication::processEvents();
        const QModelIndex last = list->model()->index(LineListModel::viewRow(lines.lineCount()), 0);
        return list->currentIndex().row() == last.row() && list->selectionModel()->isRowSelected(last.row(), {}) &&
               list->viewport()->rect().contains(list->visualRect(last));
    };

    addDrug(window, "ويتا", "5");
    QCOMPARE(lines.cell(lines.lineCount(), Col::Code), QString("1010003"));
    QCOMPARE(focusName(window), QString("DBGrid2"));
    QCOMPARE(shownDrug(), QString("1010003"));
    QVERIFY(lastLineShown());
    enter(window); // the drug the lookup shows, collapsed now
    QCOMPARE(focusName(window), QString("me_tedad"));
    QCOMPARE(lookup->height(), DrugLookup::kCollapsed);
    QCOMPARE(shownDrug(), QString("1010003"));
    typeAndEnter(window, "1");
    enter(window);
    QCOMPARE(lines.lineCount(), 2);
    QCOMPARE(lines.cell(lines.lineCount(), Col::Code), QString("1010003"));
    // The amounts of the lines read as the totals do.
    QStyleOptionViewItem option;
    qobject_cast<NumberDelegate*>(list->itemDelegate())->initStyleOption(&option, list->model()->index(0, Col::Total));
    QCOMPARE(option.text, QString("12,500"));

    for (int added = 3; added <= 9; ++added) {
        enter(window);
        typeAndEnter(window, "1");
        enter(window);
        QCOMPARE(lines.lineCount(), added);
        QVERIFY2(lastLineShown(), qPrintable(QString::number(added)));
        QCOMPARE(shownDrug(), QString("1010003"));
    }
    QCOMPARE(focusName(window), QString("DBGrid2"));
    QVERIFY(lookup->height() > DrugLookup::kCollapsed);
    QVERIFY2(list->viewport()->height() >= Tf_froosh_darou::kShownLines * list->verticalHeader()->defaultSectionSize(),
             qPrintable(QString::number(list->viewport()->height())));

    m_prompter.answerYes(); // nine lines need the insurer's approval stamp: it has one
    press(window, Qt::Key_F2);
    QCOMPARE(text(window, "me_sh_factor"), QString("11"));
    QCOMPARE(shownDrug(), QString("1010003"));
}

void FrooshDarouTest::insurerCodeOnEnter_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QString>("focus");
    QTest::newRow("0, no insurer: a free prescription") << "0" << "0" << "" << QStringList() << "edtMeliCode";
    QTest::newRow("an insurer") << "2" << "2" << "خدمات درماني" << QStringList() << "edtMeliCode";
    QTest::newRow("no such insurer") << "9" << "" << "" << QStringList{"اين كد موجود نمي باشد"} << "me_code_bime";
}

void FrooshDarouTest::insurerCodeOnEnter() {
    QFETCH(QString, code);
    Tf_froosh_darou window(windows());
    QVERIFY(test::showActive(window));
    QCOMPARE(focusName(window), QString("me_code_bime"));
    typeAndEnter(window, code);
    QTEST(text(window, "me_code_bime"), "shown");
    QTEST(text(window, "me_name_bime"), "name");
    QTEST(m_prompter.texts(Kind::Warning), "warnings");
    QTEST(focusName(window), "focus");
}

// A stored prescription is shown read-only: keys typed into its header change nothing until
// F3. The captions read on the panel's colour in both states.
void FrooshDarouTest::storedHeaderIsReadOnlyAndReadable() {
    m_context.rights.insert(QStringLiteral("edit_b"), true);
    Tf_froosh_darou window(windows());
    QVERIFY(test::showActive(window));
    auto* panel = child<QWidget>(window, "Panel1");
    const auto captionsRead = [&] {
        const QColor background = panelColour(window);
        for (QLabel* caption : panel->findChildren<QLabel*>()) {
            const double ratio =
                test::contrastRatio(caption->palette().color(caption->foregroundRole()), background);
            if (ratio < 4.5) return caption->text() + QStringLiteral(": ") + QString::number(ratio);
        }
        return QString();
    };
    press(window, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(text(window, "me_sh_factor"), QString("7"));
    QCOMPARE(focusName(window), QString("me_code_bime"));
    typeText(window.focusWidget(), "9");
    QCOMPARE(text(window, "me_code_bime"), QString("2"));
    for (const char* name : {"me_code_bime", "edtMeliCode", "me_family", "me_name_bimar", "sh_safhe", "sh_darkhast",
                             "me_nezam_pe", "me_code_takhasos", "me_date_bime1", "me_date_no1", "me_ctype_no"})
        QVERIFY2(child<QLineEdit>(window, name)->isReadOnly(), name);
    QVERIFY(!child<QComboBox>(window, "paz_type")->isEnabled());
    QCOMPARE(captionsRead(), QString());

    press(window, Qt::Key_F3);
    QCOMPARE(panelColour(window), QColor(0, 0, 64));
    QCOMPARE(captionsRead(), QString());
    QCOMPARE(focusName(window), QString("me_code_bime"));
    typeText(window.focusWidget(), "9");
    QCOMPARE(text(window, "me_code_bime"), QString("29"));
    QVERIFY(!child<QLineEdit>(window, "me_family")->isReadOnly());
    QVERIFY(child<QLineEdit>(window, "me_name_bime")->isReadOnly()); // a name shown stays shown only
}

// During a correction, a key that would show another prescription asks the F9 question first;
// the print prompts offer the number the window shows.
void FrooshDarouTest::correctionAsksBeforeAnotherIsShown() {
    m_context.rights.insert(QStringLiteral("edit_b"), true);
    Tf_froosh_darou window(windows());
    QVERIFY(test::showActive(window));
    const auto offered = [&] { return m_prompter.shown().last().proposed; };
    m_prompter.answerPrompt(QStringLiteral("close"));
    press(window, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(offered(), QString("9")); // a new prescription: the last one stored
    press(window, Qt::Key_L, Qt::ControlModifier);
    press(window, Qt::Key_P, Qt::ControlModifier);
    m_prompter.answerPrompt(QStringLiteral("close"));
    press(window, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(offered(), QString("8"));

    press(window, Qt::Key_F3);
    QCOMPARE(states(window), QString("1110 in"));
    m_prompter.clear();
    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("7"));
    m_prompter.answerNo();
    press(window, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(), (QStringList{texts::kInvoiceNumberPrompt, texts::kConfirmAbandon}));
    QCOMPARE(text(window, "me_sh_factor"), QString("8"));
    QCOMPARE(states(window), QString("1110 in"));
    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("7"));
    m_prompter.answerYes();
    press(window, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(text(window, "me_sh_factor"), QString("7"));
    QCOMPARE(states(window), QString("0001 off"));
}

void FrooshDarouTest::scannedPacksAddLinesAndLinkUnknownBarcodes() {
    Database& db = m_t->db();
    stockScannableVitamin();
    db.exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (1010001, 20, 50, 1000)"));
    Tf_froosh_darou window(windows());
    typeHeaderToDrugLookup(window);
    QCOMPARE(focusName(window), QString("DBGrid2"));
    // A GS1 DataMatrix (GTIN, expiry, batch) typed at a scanner's speed, then its EAN-13: one
    // line of two, the lookup ready for the next pack.
    scan(window, "]d2010626000000001917271231" "10B7");
    QCOMPARE(window.session().lines().lineCount(), 1);
    QCOMPARE(window.session().lines().cell(1, PrescriptionLines::Code), QString("1010003"));
    scan(window, "6260000000019");
    QCOMPARE(window.session().lines().lineCount(), 1);
    QCOMPARE(window.session().lines().cell(1, PrescriptionLines::Quantity), QString("2"));
    QCOMPARE(focusName(window), QString("DBGrid2"));

    QCOMPARE(child<DrugLookup>(window, "DBGrid2")->searchText(), QString());

    // A barcode no drug has: linking it is offered; the picker cancelled, nothing changes.
    const QString link = texts::kLinkBarcode.arg("06260000000026");
    m_prompter.answerYes();
    m_picker.cancel();
    scan(window, "6260000000026");
    QCOMPARE(m_prompter.texts(), QStringList{link});
    QCOMPARE(window.session().lines().lineCount(), 1);
    // Linked to the drug chosen in the picker, the scan adds it; the next scan raises its
    // line without asking.
    m_prompter.answerYes();
    m_picker.choose(1010001);
    scan(window, "6260000000026");
    scan(window, "6260000000026");
    QCOMPARE(m_prompter.texts(), (QStringList{link, link}));
    QCOMPARE(m_picker.requests().size(), 2);
    QCOMPARE(window.session().lines().lineCount(), 2);
    QCOMPARE(window.session().lines().cell(2, PrescriptionLines::Code), QString("1010001"));
    QCOMPARE(window.session().lines().cell(2, PrescriptionLines::Quantity), QString("2"));
    QCOMPARE(focusName(window), QString("DBGrid2"));
    QCOMPARE(child<DrugLookup>(window, "DBGrid2")->searchText(), QString());

    // Saved, the scanned pack's lot gives the vitamin's two.
    press(window, Qt::Key_F2);
    QCOMPARE(LotStore(db).find(1010003, 20, {QStringLiteral("B7"), QDate(2027, 12, 31)})->quantity, 3.0);
}

void FrooshDarouTest::removedLineTakesItsScannedPacks() {
    Database& db = m_t->db();
    stockScannableVitamin();
    Tf_froosh_darou window(windows());
    typeHeaderToDrugLookup(window);
    scan(window, "]d2010626000000001917271231" "10B7~21SN1");
    QCOMPARE(window.session().lines().lineCount(), 1);
    // The scanned line removed and the drug typed in again: its pack is not given, so no
    // serial is recorded for it.
    press(window, Qt::Key_F3, Qt::ControlModifier);
    m_prompter.answerYes();
    press(window, Qt::Key_F4);
    QCOMPARE(window.session().lines().lineCount(), 0);
    addDrug(window, "1010003", "1");
    const int saved = db.scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt();
    press(window, Qt::Key_F2);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt(), saved + 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from kala_serial")).toInt(), 0);
}

QTEST_MAIN(FrooshDarouTest)
#include "froosh_darou_test.moc"
