#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/ui/edit_bimeh.h"
#include "dispensing/ui/moghavemi.h"
#include "pharmacy_fixture.h"
#include "support/scripted_picker.h"
#include "support/test_database.h"
#include "support/window_fixture.h"
#include "widgets/date_field.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace ph;
using Kind = ScriptedPrompter::Kind;
using ph::test::child;
using ph::test::focusName;
using ph::test::press;
using ph::test::typeText;

namespace {

const QString kToday = QStringLiteral("85/07/01");

void enter(QWidget& window) {
    press(window, Qt::Key_Return);
}

// Types over what the focused field shows (a date field from its start), then Enter.
void typeAndEnter(QWidget& window, const QString& text) {
    auto* field = qobject_cast<QLineEdit*>(window.focusWidget());
    QVERIFY2(field, qPrintable(focusName(window)));
    if (qobject_cast<DateField*>(field)) {
        field->clear();
        field->setCursorPosition(0);
    } else {
        field->selectAll();
    }
    typeText(field, text);
    enter(window);
}

QString text(QWidget& window, const char* name) {
    return child<QLineEdit>(window, name)->text();
}

} // namespace

class LumpWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void lumpEntryByKeyboardAlone();
    void lumpInsurerAndBookletRefusals_data();
    void lumpInsurerAndBookletRefusals();
    void lumpSteppingAndDeleting();
    void insurerChangeByKeyboardAlone();

private:
    WindowContext windows() { return {m_context, m_t->db(), m_prompter, m_clock, &m_picker}; }

    std::unique_ptr<test::TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    test::ScriptedPicker m_picker;
    FixedClock m_clock{QDateTime(QDate(2006, 9, 23), QTime(10, 0))};
};

void LumpWindowsTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    Database& db = m_t->db();
    test::fillPharmacy(db);
    for (const char* table : {"heading_noskhe", "details_noskhe"})
        db.exec(QStringLiteral("delete from ") + QLatin1String(table));
    db.exec(QStringLiteral("insert into organs_m (code, name, orj_flag) values (5, ?, 0)"), {QStringLiteral("بيمه پنج")});
    db.exec(QStringLiteral("insert into organs_s (code, row, from_d, to_d, deduct, fani_flag) "
                           "values (5, 1, '85/01/01', '85/12/29', 70, 0)"));
    db.exec(QStringLiteral("insert into type_noskhe (code, name) values (1, ?)"), {QStringLiteral("عادي")});
    db.exec(QStringLiteral("insert into doctor_s (code, name, family, order1, typeno) values (1, ?, ?, '11111', 1)"),
            {QStringLiteral("علي"), QStringLiteral("رضايي")});
    m_context = AppContext();
    m_context.user_code = 7;
    m_context.user_name = QStringLiteral("مدير");
    m_context.current_date = kToday;
    m_context.rights = {{"save_b", true}, {"edit_b", true}, {"delete_b", true}};
    m_prompter.clear();
}

void LumpWindowsTest::cleanup() {
    QCOMPARE(m_prompter.texts(Kind::ErrorReport), QStringList());
    m_t.reset();
}

void LumpWindowsTest::lumpEntryByKeyboardAlone() {
    Database& db = m_t->db();
    Tf_moghavemi window(windows());
    QVERIFY(test::showActive(window));
    QCOMPARE(window.windowTitle(), QStringLiteral("فــــــرم مقومي"));
    QCOMPARE(focusName(window), QString("me_code_bime"));
    QCOMPARE(text(window, "me_ctype_no"), QString("1"));
    QCOMPARE(text(window, "me_sh_factor"), QString("1"));
    QVERIFY(!child<QPushButton>(window, "but_eslah")->isEnabled());
    typeAndEnter(window, "05");
    QCOMPARE(text(window, "me_code_bime"), QString("5")); // written without its leading zero
    QCOMPARE(text(window, "me_name_bime"), QString("بيمه پنج"));
    QCOMPARE(focusName(window), QString("me_ctype_no"));
    enter(window);
    QCOMPARE(focusName(window), QString("me_date_no1"));
    typeAndEnter(window, "150685");
    QCOMPARE(child<DateField>(window, "me_date_no1")->storedText(), QString("85/06/15"));
    QCOMPARE(focusName(window), QString("me_sh_bime"));
    typeAndEnter(window, "778899");
    QCOMPARE(focusName(window), QString("me_family")); // a new patient
    typeAndEnter(window, "كريمي");
    typeAndEnter(window, "زهرا");
    QCOMPARE(focusName(window), QString("me_date_bime1"));
    typeAndEnter(window, "29121385");
    QCOMPARE(focusName(window), QString("me_nezam_pe"));
    typeAndEnter(window, "31415");
    QCOMPARE(focusName(window), QString("me_family_pe")); // a new prescriber
    typeAndEnter(window, "نوري");
    typeAndEnter(window, "حسن");
    QCOMPARE(focusName(window), QString("me_koll"));
    typeText(window.focusWidget(), "10000");
    QCOMPARE(text(window, "me_sazman"), QString("7000"));
    QCOMPARE(text(window, "me_bimar"), QString("3000"));
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(), QStringList());

    QCOMPARE(db.scalar("select code_no from heading_noskhe where sh_factor=1").toString(), QString("07-005-06-15-0001"));
    QCOMPARE(db.scalar("select date_bimeh from heading_noskhe").toString(), QString("1385/12/29"));
    QCOMPARE(db.scalar("select typeno from doctor_s where order1='31415'").toInt(), 0);
    // Insurer, type, date and prescriber stay; the patient and the amounts go; the next number.
    QCOMPARE(focusName(window), QString("me_date_no1"));
    QCOMPARE(text(window, "me_code_bime"), QString("5"));
    QCOMPARE(text(window, "me_nezam_pe"), QString("31415"));
    QCOMPARE(text(window, "me_sh_bime"), QString());
    QCOMPARE(text(window, "me_koll"), QString());
    QCOMPARE(text(window, "me_sh_factor"), QString("2"));

    // The same patient again: found by his booklet, the focus goes to the prescriber.
    enter(window);
    typeAndEnter(window, "778899");
    QCOMPARE(text(window, "me_family"), QString("كريمي"));
    QCOMPARE(child<DateField>(window, "me_date_bime1")->storedText(), QString("1385/12/29"));
    QCOMPARE(focusName(window), QString("me_nezam_pe"));
    enter(window);
    QCOMPARE(focusName(window), QString("me_koll"));
    typeText(window.focusWidget(), "10000");
    press(window, Qt::Key_F2); // the same prescription twice
    QCOMPARE(m_prompter.texts(), QStringList{"اطلاعات اين نسخه يک بار وارد شده است"});
    QCOMPARE(focusName(window), QString("me_code_bime"));
    // A missing field is named and focused.
    m_prompter.clear();
    child<QLineEdit>(window, "me_family_pe")->clear();
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(), QStringList{"نام خانوادگي پزشک مشخص نشده است"});
    QCOMPARE(focusName(window), QString("me_family_pe"));
    QCOMPARE(db.scalar("select count(*) from heading_noskhe").toInt(), 1);
}

void LumpWindowsTest::lumpInsurerAndBookletRefusals_data() {
    QTest::addColumn<QString>("insurer");
    QTest::addColumn<QString>("booklet");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no insurer") << "" << "" << "کد بيمه وارد نشده است" << "me_code_bime";
    QTest::newRow("insurer 0") << "0" << "" << "کد بيمه نبايد صفر باشد" << "me_code_bime";
    QTest::newRow("unknown insurer") << "77" << "" << "اين كد موجود نمي باشد" << "me_code_bime";
    QTest::newRow("no booklet") << "5" << "" << "شماره سريال را بايد وارد كنيد" << "me_sh_bime";
    QTest::newRow("short booklet") << "5" << "12345" << "شماره سريال نمي تواند كمتراز شش كاراكترباشد" << "me_sh_bime";
}

void LumpWindowsTest::lumpInsurerAndBookletRefusals() {
    QFETCH(QString, insurer);
    QFETCH(QString, booklet);
    Tf_moghavemi window(windows());
    QVERIFY(test::showActive(window));
    typeAndEnter(window, insurer);
    if (focusName(window) == QLatin1String("me_ctype_no")) {
        enter(window);
        typeAndEnter(window, "150685");
        QCOMPARE(focusName(window), QString("me_sh_bime"));
        typeAndEnter(window, booklet);
    }
    QTEST(m_prompter.texts().value(0), "message");
    QTEST(focusName(window), "focus");
}

void LumpWindowsTest::lumpSteppingAndDeleting() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, code_no, date_no, code_bimeh, sh_bimeh, family_b, "
                           "price_koll, date_bimeh) values (3, 'x', '85/06/10', 5, '100200', ?, 500, '1385/02/03')"),
            {QStringLiteral("نادري")});
    db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, date_no, code_bimeh) values (8, '85/06/11', 5)"));
    db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, tedad) values (8, 1, 1010001, 1)"));
    Tf_moghavemi window(windows());
    QVERIFY(test::showActive(window));
    QCOMPARE(text(window, "me_sh_factor"), QString("9"));
    press(window, Qt::Key_P, Qt::ControlModifier); // from the new number back to the last stored
    QCOMPARE(text(window, "me_sh_factor"), QString("8"));
    QVERIFY(!child<QPushButton>(window, "but_ok")->isEnabled());
    // A dispensed prescription is not deleted here.
    m_prompter.answerYes();
    press(window, Qt::Key_F4);
    QCOMPARE(m_prompter.texts().last(), QString("اين نسخه با اقلام دارو ثبت شده است و از اين فرم حذف نمي شود"));
    press(window, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(text(window, "me_sh_factor"), QString("3"));
    QCOMPARE(text(window, "me_family"), QString("نادري"));
    QCOMPARE(child<DateField>(window, "me_date_bime1")->storedText(), QString("1385/02/03"));
    QCOMPARE(child<DateField>(window, "me_date_no1")->storedText(), QString("85/06/10"));
    m_prompter.answerYes();
    press(window, Qt::Key_F4);
    QCOMPARE(db.scalar("select count(*) from heading_noskhe").toInt(), 1);
    QCOMPARE(focusName(window), QString("me_code_bime"));
    QVERIFY(child<QPushButton>(window, "but_ok")->isEnabled());
    // The search by number: an unknown one is named.
    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("8"));
    child<QWidget>(window, "PopupMenu1")->findChild<QAction*>(QStringLiteral("N1"))->trigger();
    QCOMPARE(text(window, "me_sh_factor"), QString("8"));
    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("40"));
    child<QWidget>(window, "PopupMenu1")->findChild<QAction*>(QStringLiteral("N1"))->trigger();
    QCOMPARE(m_prompter.texts().last(), QString("شماره نسخه وارد شده پيدا نشد"));
    QCOMPARE(text(window, "me_sh_factor"), QString("9"));
}

void LumpWindowsTest::insurerChangeByKeyboardAlone() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, date_no, sh_bimeh, code_bimeh, paz_type, name_b, "
                           "family_b, price_otc, fani2) values (1, '85/03/10', '555000', 4, 0, ?, ?, 0, 0)"),
            {QStringLiteral("علي"), QStringLiteral("مرادي")});
    db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, vaziat, tedad, price_one, price_koll) "
                           "values (1, 1, 1010003, ?, 2, 2500, 5000)"),
            {texts::kInsured});
    Tedit_bimeh window(windows());
    QVERIFY(test::showActive(window));
    QCOMPARE(focusName(window), QString("sh_parvandeh"));
    typeAndEnter(window, "999");
    QCOMPARE(m_prompter.texts(), QStringList{"اين شماره پرونده وجود ندارد"});
    QCOMPARE(focusName(window), QString("sh_parvandeh"));
    QCOMPARE(text(window, "sh_parvandeh"), QString());
    m_prompter.clear();
    typeAndEnter(window, "555000");
    QCOMPARE(child<QLabel>(window, "name")->text(), QString("علي مرادي"));
    QCOMPARE(focusName(window), QString("me_date1"));
    typeAndEnter(window, "850301");
    QCOMPARE(focusName(window), QString("me_date2"));
    press(window, Qt::Key_Up);
    QCOMPARE(focusName(window), QString("me_date1"));
    enter(window);
    typeAndEnter(window, "850331");
    QCOMPARE(focusName(window), QString("me_code_bime"));
    // PageDown picks the insurer.
    m_picker.choose(5);
    press(window, Qt::Key_PageDown);
    QCOMPARE(m_picker.requests().last().mode, QString("bime1"));
    QCOMPARE(text(window, "me_name_bime"), QString("بيمه پنج"));
    enter(window); // runs the change; the window stays open
    QCOMPARE(m_prompter.texts(), QStringList{"تغيير بيمه انجام شد"});
    QVERIFY(window.isVisible());
    QCOMPARE(db.scalar("select code_bimeh from heading_noskhe").toInt(), 5);
    QCOMPARE(db.scalar("select sazman from details_noskhe").toDouble(), 3500.0); // 70 % of 5000

    // A range no period of insurer 4 covers is refused before anything changes.
    m_prompter.clear();
    typeAndEnter(window, "4");
    QCOMPARE(m_prompter.texts().value(0),
             QString("هيچ دوره قرارداد بيمه جديد همه محدوده تاريخي را در بر نمي گيرد؛ تغيير بيمه انجام نشد"));
    QCOMPARE(focusName(window), QString("me_date1"));
    QCOMPARE(db.scalar("select code_bimeh from heading_noskhe").toInt(), 5);
    // Shown again, it starts empty; the button checks the fields in order.
    window.hide();
    QVERIFY(test::showActive(window));
    QCOMPARE(text(window, "sh_parvandeh"), QString());
    QCOMPARE(child<QLineEdit>(window, "me_date1")->displayText(), QString("  /  /  "));
    m_prompter.clear();
    child<QPushButton>(window, "Button1")->click();
    QCOMPARE(m_prompter.texts(), QStringList{"شماره پرونده مشخص نشده است"});
    QCOMPARE(focusName(window), QString("sh_parvandeh"));
}

QTEST_MAIN(LumpWindowsTest)
#include "lump_windows_test.moc"
