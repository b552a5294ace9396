#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "dispensing/prescription_session.h"
#include "insurance/hoteling_store.h"
#include "insurance/ui/hoteling.h"
#include "../dispensing/pharmacy_fixture.h"
#include "support/scripted_picker.h"
#include "support/test_database.h"
#include "support/window_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

using namespace ph;
using Kind = ScriptedPrompter::Kind;
using ph::test::child;
using ph::test::focusName;
using ph::test::press;
using ph::test::typeText;

namespace {

constexpr double kAmoxicillin = 1010001;
constexpr double kCefixime = 1010002;
constexpr double kInsulin = 1400001; // a hoteling drug of insurer 2 in the fixture

} // namespace

class HotelingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void addedByKeyboardOncePerInsurer();
    void addChecks_data();
    void addChecks();
    void deletesAndFinding();
    void hotelingPriceKeptOnTheLine();

private:
    WindowContext windows() { return {m_context, m_t->db(), m_prompter, m_clock, &m_picker}; }
    Database& db() { return m_t->db(); }
    QStringList stored() {
        QStringList rows;
        Rows q = db().exec(QStringLiteral("select code_bimeh, code_kala from hoteling order by code_bimeh, code_kala"));
        while (q.next())
            rows.append(q.value(0).toString() + u' ' + QString::number(q.value(1).toLongLong()));
        return rows;
    }
    int listed(Tf_hoteling& window) { return child<QTableView>(window, "DBGrid1")->model()->rowCount(); }

    std::unique_ptr<test::TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    test::ScriptedPicker m_picker;
    FixedClock m_clock{QDateTime(QDate(2026, 9, 11), QTime(10, 5))};
};

void HotelingTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    test::fillPharmacy(db());
    m_context = AppContext();
    m_context.user_code = 1;
    m_context.user_name = QStringLiteral("مدير");
    m_context.current_date = QStringLiteral("05/06/20");
    m_prompter.clear();
}

void HotelingTest::cleanup() {
    m_t.reset();
}

void HotelingTest::addedByKeyboardOncePerInsurer() {
    Tf_hoteling window(windows());
    QVERIFY(test::showActive(window));
    QCOMPARE(focusName(window), QString("cb_code_b"));
    typeText(window.focusWidget(), QStringLiteral("4"));
    QCOMPARE(child<QLineEdit>(window, "me_name_b")->text(), QString("نيروهاي مسلح"));
    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QString("cb_name_d"));
    m_picker.choose(QVariant(kInsulin));
    press(window, Qt::Key_PageDown);
    QCOMPARE(child<QLineEdit>(window, "cb_code_d")->text(), QString("1400001"));
    QCOMPARE(child<QLineEdit>(window, "me_type")->text(), QString("ويال"));
    press(window, Qt::Key_Return); // adds, as F2 does
    QCOMPARE(stored(), (QStringList{"2 1400001", "4 1400001"})); // one drug, two insurers
    QCOMPARE(listed(window), 1);
    m_prompter.answerConfirm(0);
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("اطلاعات فعلي قبلا وارد شده است")});
    QCOMPARE(stored().size(), 2);

    // PageDown in the insurer code: the picker over the insurers.
    child<QComboBox>(window, "cb_code_b")->setFocus();
    m_picker.choose(QVariant(2));
    press(window, Qt::Key_PageDown);
    QCOMPARE(child<QLineEdit>(window, "me_name_b")->text(), QString("خدمات درماني"));
    QCOMPARE(listed(window), 1);
}

void HotelingTest::addChecks_data() {
    QTest::addColumn<QString>("insurer");
    QTest::addColumn<double>("drug");
    QTest::addColumn<QString>("message");
    QTest::newRow("no insurer") << "" << kAmoxicillin << "نام بيمه وارد نشده است";
    QTest::newRow("no drug") << "2" << 0.0 << "نام دارو وارد نشده است";
    QTest::newRow("an insurer that does not exist") << "77" << kAmoxicillin << "نام بيمه اشتباه وارد شده است";
}

void HotelingTest::addChecks() {
    QFETCH(QString, insurer);
    QFETCH(double, drug);
    QFETCH(QString, message);
    Tf_hoteling window(windows());
    QVERIFY(test::showActive(window));
    typeText(window.focusWidget(), insurer);
    child<QComboBox>(window, "cb_name_d")->setFocus();
    if (drug) {
        m_picker.choose(QVariant(drug));
        press(window, Qt::Key_PageDown);
    }
    m_prompter.answerConfirm(0);
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(), QStringList{message});
    QCOMPARE(stored(), QStringList{"2 1400001"});
}

void HotelingTest::deletesAndFinding() {
    HotelingStore store(db());
    store.add(2, kAmoxicillin);
    store.add(2, kCefixime);
    store.add(4, kCefixime);
    Tf_hoteling window(windows());
    QVERIFY(test::showActive(window));
    // F5 with an insurer that exists but has no hoteling drugs.
    m_prompter.answerConfirm(1, QStringLiteral("6"));
    m_prompter.answerConfirm(0);
    press(window, Qt::Key_F5);
    QCOMPARE(m_prompter.texts(Kind::Confirm).last(), QString("كد بيمه وارد شده يافت نشد"));
    m_prompter.answerConfirm(1, QStringLiteral("2"));
    press(window, Qt::Key_F5);
    QCOMPARE(child<QComboBox>(window, "cb_code_b")->currentText(), QString("2"));
    QCOMPARE(listed(window), 3);

    // The quick search moves to the first drug whose code begins with the text.
    child<QRadioButton>(window, "rb_code_d")->setChecked(true);
    child<QLineEdit>(window, "me_search_d")->setText(QStringLiteral("14"));
    QCOMPARE(child<QTableView>(window, "DBGrid1")->currentIndex().row(), 2);
    m_prompter.answerConfirm(1);
    press(window, Qt::Key_F4);
    QCOMPARE(m_prompter.texts(Kind::Confirm).last(), QString("آيا مايل به حذف اين دارو هستيد؟"));
    QCOMPARE(stored(), (QStringList{"2 1010001", "2 1010002", "4 1010002"}));

    // Ctrl+F4: every drug of insurer 2, none of insurer 4.
    m_prompter.answerConfirm(1);
    press(window, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(stored(), QStringList{"4 1010002"});
    m_prompter.answerConfirm(0);
    press(window, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(Kind::Confirm).last(), QString("براي اين بيمه دارويي تعريف نشده است"));
    m_prompter.answerConfirm(0);
    press(window, Qt::Key_F4);
    QCOMPARE(m_prompter.texts(Kind::Confirm).last(), QString("دارويي براي حذف وجود ندارد"));
    press(window, Qt::Key_F1);
    QCOMPARE(child<QLineEdit>(window, "me_name_b")->text(), QString());
    m_prompter.answerConfirm(0);
    press(window, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(Kind::Confirm).last(), QString("اطلاعاتي براي حذف وجود ندارد"));
}

void HotelingTest::hotelingPriceKeptOnTheLine() {
    // Cefixime made a hoteling drug of insurer 4 here: on its prescriptions the line keeps
    // its price as the hoteling price and has no shares; insurer 2's stay as they were.
    HotelingStore(db()).add(4, kCefixime);
    db().exec(QStringLiteral("update organs_s set to_d='05/12/29' where code=4"));
    ScriptedPrompter prompter;
    PrescriptionSession session(db(), prompter);
    for (const auto& [insurer, line] : QList<QPair<QString, QString>>{{"4", "2|0|0|0|0|0|4000"}, {"2", "2|4000|8000|5600|2400|0|"}}) {
        session.start({QStringLiteral("05/07/15"), QStringLiteral("10:30")});
        session.changeInsurer(InsurerCode::fromText(insurer));
        session.header() = test::completeHeader();
        const DrugItem drug = *session.findDrug(kCefixime);
        QVERIFY(session.addLine(drug, {QStringLiteral("2"), session.kindForChosen(drug), {}}).written());
        const QStringList cells = session.lines().row(1);
        QCOMPARE((QStringList{cells[5], cells[6], cells[7], cells[8], cells[9], cells[10], cells[17]}).join(u'|'), line);
    }
}

QTEST_MAIN(HotelingTest)
#include "hoteling_test.moc"
