#include "core/amounts.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/prescription_session.h"
#include "dispensing/stored_prescriptions.h"
#include "dispensing/ui/froosh_darou.h"
#include "pharmacy_fixture.h"
#include "support/scripted_picker.h"
#include "support/test_database.h"
#include "support/window_fixture.h"

#include <QLineEdit>
#include <QTableView>
#include <QtTest>

using namespace ph;
using Col = PrescriptionLines::Column;
using ph::test::child;
using ph::test::exec;
using ph::test::focusName;
using ph::test::press;
using ph::test::typeText;

namespace {

const QString kToday = QStringLiteral("05/07/15");
constexpr double kAmoxicillin = 1010001; // 1000 Rials; companions: a syringe and cotton
constexpr double kCefixime = 1010002;    // 4000 Rials; insurer 2: at most 2 covered
constexpr double kVitaminC = 1010003;    // 2500 Rials; no rule
constexpr double kInsulin = 1400001;     // 50000 Rials
constexpr double kHeparin = 1400002;     // 3000 Rials; insurer 2: hospital only

void pair(Database& db, double a, double b) {
    EquivalentStore(db).add(a, b);
}

// The cells 4 to 16 of a line: kind, quantity, unit price, total, the three shares, OTC,
// goods, the flag and the other drug's code, quantity and price.
QString tail(const QStringList& cells) {
    return cells.mid(Col::Kind, Col::MainDrugPrice - Col::Kind + 1).join(u'|');
}

} // namespace

class SubstitutionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void pricedAgainstThePrescribedDrug_data();
    void pricedAgainstThePrescribedDrug();
    void freePrescriptionDispensesTheEquivalent();
    void refusalsAddNothing_data();
    void refusalsAddNothing();
    void offersFollowTheStockKeepingMode();
    void storedBrowsedAndStockMovedOnce_data();
    void storedBrowsedAndStockMovedOnce();
    void keyboardWalkFromTheDispensingWindow();

private:
    Database& db() { return m_t->db(); }
    void startWith(const QString& insurer, const QString& specialty = QStringLiteral("1"));
    SubstitutionResult substitute(double prescribed, double equivalent, const QString& qp, const QString& qe);

    std::unique_ptr<test::TestDatabase> m_t;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<PrescriptionSession> m_session;
};

void SubstitutionTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    test::fillPharmacy(db());
    for (const char* table : {"heading_noskhe", "details_noskhe"})
        db().exec(QStringLiteral("delete from ") + QLatin1String(table));
    db().exec(QStringLiteral("update tanzimat set message_taeed=0, message_address=0, cash=0"));
    pair(db(), kVitaminC, kAmoxicillin);
    pair(db(), kCefixime, kAmoxicillin);
    pair(db(), kHeparin, kInsulin);
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_session = std::make_unique<PrescriptionSession>(db(), *m_prompter);
}

void SubstitutionTest::cleanup() {
    m_session.reset();
    m_t.reset();
}

void SubstitutionTest::startWith(const QString& insurer, const QString& specialty) {
    m_session->start({kToday, QStringLiteral("10:30")});
    m_session->changeInsurer(InsurerCode::fromText(insurer));
    m_session->header() = test::completeHeader();
    m_session->header().specialtyCode = specialty;
}

SubstitutionResult SubstitutionTest::substitute(double prescribed, double equivalent, const QString& qp,
                                                const QString& qe) {
    const DrugItem drug = *m_session->findDrug(prescribed);
    for (const EquivalentRow& offer : m_session->equivalentsFor(prescribed))
        if (offer.code == equivalent) return m_session->substitute(drug, offer, {qp, qe});
    qFatal("no such equivalent");
}

void SubstitutionTest::pricedAgainstThePrescribedDrug_data() {
    QTest::addColumn<double>("prescribed");
    QTest::addColumn<double>("equivalent");
    QTest::addColumn<QString>("qp");
    QTest::addColumn<QString>("qe");
    QTest::addColumn<QString>("specialty");
    QTest::addColumn<QString>("rule"); // an extra rule of insurer 2 for the prescribed drug
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("line");
    // Insurer 2 pays 70 % under its first contract.
    QTest::newRow("cheaper equivalent of a covered drug: the equivalent's shares")
        << kVitaminC << kAmoxicillin << "2" << "2" << "1" << "" << QStringList()
        << "تعرفه|2|2500|5000|1400|600|0|0|0|1|1010001|2|1000";
    QTest::newRow("dearer equivalent: the prescribed shares, the excess free")
        << kAmoxicillin << kVitaminC << "1" << "1" << "1" << "" << QStringList()
        << "تعرفه|1|1000|1000|700|300|1500|0|0|1|1010003|1|2500";
    QTest::newRow("not covered: both all free, the equivalent's price free")
        << kVitaminC << kAmoxicillin << "1" << "3" << "1" << "non_bimeh" << QStringList()
        << "تعرفه|1|2500|2500|0|0|3000|0|0|1|1010001|3|1000";
    QTest::newRow("quantity limit 2 of 3: the third unit free")
        << kCefixime << kAmoxicillin << "3" << "3" << "1" << "" << QStringList()
        << "تعرفه|3|4000|12000|1400|600|1000|0|0|1|1010001|3|1000";
    QTest::newRow("specialty 2 with a rule: the contract percentage, no limit")
        << kCefixime << kAmoxicillin << "3" << "3" << "2" << "" << QStringList()
        << "تعرفه|3|4000|12000|2100|900|0|0|0|1|1010001|3|1000";
    QTest::newRow("hospital only without the stamp: asked for each, all free")
        << kHeparin << kInsulin << "1" << "1" << "1" << "" << QStringList{"no", "no"}
        << "تعرفه|1|3000|3000|0|0|50000|0|0|1|1400001|1|50000";
    QTest::newRow("hospital only with the stamp: the contract percentage, the excess free")
        << kHeparin << kInsulin << "1" << "1" << "1" << "" << QStringList{"yes", "yes"}
        << "تعرفه|1|3000|3000|2100|900|47000|0|0|1|1400001|1|50000";
    QTest::newRow("a specialty rule the prescriber lacks: all free")
        << kVitaminC << kAmoxicillin << "1" << "1" << "1" << "madrak5" << QStringList()
        << "تعرفه|1|2500|2500|0|0|1000|0|0|1|1010001|1|1000";
}

void SubstitutionTest::pricedAgainstThePrescribedDrug() {
    QFETCH(double, prescribed);
    QFETCH(double, equivalent);
    QFETCH(QString, qp);
    QFETCH(QString, qe);
    QFETCH(QString, specialty);
    QFETCH(QString, rule);
    QFETCH(QStringList, answers);
    QFETCH(QString, line);
    const QString insert = QStringLiteral(
        "insert into bimeh_daru (code_bimeh, code_kala, ty_no, qu, mab, madrak, bimarestani, non_bimeh, deduct) "
        "values (2, ?, 0, 0, 0, ?, 0, ?, 0)");
    if (rule == QLatin1String("non_bimeh")) exec(db(), insert, {prescribed, 0, 1});
    if (rule == QLatin1String("madrak5")) exec(db(), insert, {prescribed, 5, 0});
    startWith(QStringLiteral("2"), specialty);
    for (const QString& answer : answers)
        answer == QLatin1String("yes") ? m_prompter->answerYes() : m_prompter->answerNo();

    const SubstitutionResult result = substitute(prescribed, equivalent, qp, qe);
    QVERIFY(result.written());
    QCOMPARE(m_session->lines().lineCount(), 1); // no companions
    const QStringList cells = m_session->lines().row(result.row);
    QCOMPARE(cells.value(Col::Code), goodsCodeText(prescribed));
    QCOMPARE(tail(cells), line);
    QCOMPARE(cells.value(Col::HotelingPrice), QString());
    QCOMPARE(m_prompter->texts().size(), answers.size());
    QCOMPARE(m_session->lines().lastRow(), result.row + 1);
}

void SubstitutionTest::freePrescriptionDispensesTheEquivalent() {
    startWith(QStringLiteral("0"));
    QVERIFY(substitute(kVitaminC, kAmoxicillin, "2", "3").written());
    const QStringList cells = m_session->lines().row(1);
    QCOMPARE(cells.mid(Col::Name, 3), (QStringList{QStringLiteral("آموكسي سيلين 500"), "1010001", QStringLiteral("قرص")}));
    QCOMPARE(tail(cells), QString("آزاد|3|1000|3000|0|0|3000|0|0|1|1010003|2|2500"));
    // Totals: the whole line is free.
    QCOMPARE(m_session->totals().free, QString("3000"));
}

void SubstitutionTest::refusalsAddNothing_data() {
    QTest::addColumn<QString>("insurer");
    QTest::addColumn<QString>("qp");
    QTest::addColumn<QString>("qe");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no prescribed quantity") << "2" << " " << "1" << texts::kPrescribedQuantityMissing << "me_tedad_main";
    QTest::newRow("no dispensed quantity") << "2" << "1" << "" << texts::kEquivalentQuantityMissing << "me_tedad_moadel";
    QTest::newRow("prescribed quantity not a number")
        << "2" << "2x" << "1" << texts::kPrescribedQuantityNotNumber << "me_tedad_main";
    QTest::newRow("dispensed quantity not a number")
        << "0" << "1" << "," << texts::kEquivalentQuantityNotNumber << "me_tedad_moadel";
    QTest::newRow("over the counter: no insurer") << "" << "1" << "1" << texts::kInsurerMissing << "me_tedad_moadel";
    QTest::newRow("an insurer code of no kind: nothing, silently") << "-3" << "1" << "1" << "" << "";
}

void SubstitutionTest::refusalsAddNothing() {
    QFETCH(QString, insurer);
    QFETCH(QString, qp);
    QFETCH(QString, qe);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    startWith(insurer);
    const SubstitutionResult result = substitute(kVitaminC, kAmoxicillin, qp, qe);
    QVERIFY(!result.written());
    QCOMPARE(result.focus, focus);
    QCOMPARE(m_prompter->texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(m_session->lines().lineCount(), 0);
}

void SubstitutionTest::offersFollowTheStockKeepingMode() {
    startWith(QStringLiteral("2"));
    QCOMPARE(m_session->equivalentsFor(kVitaminC).size(), 1);
    QCOMPARE(m_session->equivalentsFor(kVitaminC).first().price, 1000.0);
    // Keeping stock: only what the pharmacy unit holds, at its price.
    exec(db(), QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (?, 20, 1, 1100)"),
         {kAmoxicillin});
    exec(db(), QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (?, 20, 9, 2600)"),
         {kVitaminC});
    startWith(QStringLiteral("2"));
    QVERIFY(m_session->stockKeeping());
    const QList<EquivalentRow> offers = m_session->equivalentsFor(kVitaminC);
    QCOMPARE(offers.size(), 1);
    QCOMPARE(offers.first().price, 1100.0);
    QVERIFY(m_session->equivalentsFor(kHeparin).isEmpty());
    // Short of stock: the warning, and the line all the same.
    QVERIFY(substitute(kVitaminC, kAmoxicillin, "2", "3").written());
    QCOMPARE(m_prompter->texts(), QStringList{texts::kStockShort + QStringLiteral("'1'")});
}

void SubstitutionTest::storedBrowsedAndStockMovedOnce_data() {
    QTest::addColumn<QString>("insurer");
    QTest::addColumn<QString>("code");     // code_darou
    QTest::addColumn<QString>("mainCode"); // code_darou_main
    QTest::addColumn<double>("mainQuantity");
    QTest::addColumn<double>("mainPrice");
    QTest::newRow("insured") << "2" << "1010003" << "1010001" << 3.0 << 1000.0;
    QTest::newRow("free") << "0" << "1010001" << "1010003" << 2.0 << 2500.0;
}

void SubstitutionTest::storedBrowsedAndStockMovedOnce() {
    QFETCH(QString, insurer);
    QFETCH(QString, code);
    QFETCH(QString, mainCode);
    QFETCH(double, mainQuantity);
    QFETCH(double, mainPrice);
    const QString stock = QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values (?, 20, ?, ?)");
    exec(db(), stock, {kAmoxicillin, 20, 1000});
    exec(db(), stock, {kVitaminC, 20, 2500});
    exec(db(), stock, {kCefixime, 20, 4000});
    const auto stockOf = [this](double drug) {
        return db().scalar("select moj_vah from moj_kala_vah where code_kala=? and code_vah=20", {drug}).toDouble();
    };
    const SaveContext by{1, 40, kToday, QStringLiteral("10:30")};

    // Vitamin C prescribed twice, three amoxicillin dispensed.
    startWith(insurer);
    QVERIFY(substitute(kVitaminC, kAmoxicillin, "2", "3").written());
    const SaveOutcome saved = m_session->save(by, true);
    QVERIFY2(saved.isSaved(), qPrintable(m_prompter->texts().join(u'|')));
    const int invoice = saved.saved.invoiceNumber;
    QCOMPARE(stockOf(kAmoxicillin), 17.0);
    QCOMPARE(stockOf(kVitaminC), 20.0);

    Rows q = db().exec(QStringLiteral("select code_darou, flag_moadel, code_darou_main, tedad_darou_main, "
                                           "price_darou_main from details_noskhe where sh_factor=?"),
                            {invoice});
    QVERIFY(q.next());
    QCOMPARE(plainDecimalText(q.value(0).toDouble()), code);
    QCOMPARE(q.value(1).toInt(), 1);
    QCOMPARE(plainDecimalText(q.value(2).toDouble()), mainCode);
    QCOMPARE(q.value(3).toDouble(), mainQuantity);
    QCOMPARE(q.value(4).toDouble(), mainPrice);
    q.finish();

    // Browsing shows it as a substitution with the other drug.
    const std::optional<StoredPrescription> shown = StoredPrescriptions(db()).load(invoice);
    QVERIFY(shown);
    QCOMPARE(shown->lines.size(), 1);
    const QStringList cells = shown->lines.first();
    QCOMPARE(cells.value(Col::Code), code);
    QCOMPARE(cells.value(Col::Substitute), texts::kSubstitute);
    QCOMPARE(cells.value(Col::MainDrugCode), mainCode);
    QCOMPARE(cells.value(Col::MainDrugQuantity), plainDecimalText(mainQuantity));

    // Corrected: the stored line shown again is kept and a cefixime added; the first
    // substitution goes back and comes out again once.
    m_session->load(*shown);
    m_session->startEdit(invoice);
    m_session->header() = test::completeHeader();
    m_session->addLine(*m_session->findDrug(kCefixime), {QStringLiteral("1"), insurer == "0" ? texts::kFree : texts::kInsured, {}});
    m_prompter->answerYes();
    QVERIFY2(m_session->save(by, true).isSaved(), qPrintable(m_prompter->texts().join(u'|')));
    QCOMPARE(stockOf(kAmoxicillin), 17.0);
    QCOMPARE(stockOf(kVitaminC), 20.0);
    QCOMPARE(stockOf(kCefixime), 19.0);
    QCOMPARE(db().scalar("select count(*) from details_noskhe where sh_factor=? and flag_moadel=1", {invoice}).toInt(), 1);

    // Deleted: what left the shelf comes back.
    QCOMPARE(StoredPrescriptions(db()).remove(invoice, {}), StoredPrescriptions::RemoveResult::Removed);
    QCOMPARE(stockOf(kAmoxicillin), 20.0);
    QCOMPARE(stockOf(kVitaminC), 20.0);
    QCOMPARE(stockOf(kCefixime), 20.0);
}

void SubstitutionTest::keyboardWalkFromTheDispensingWindow() {
    AppContext context;
    context.user_code = 1;
    context.current_date = kToday;
    context.rights = {{"save_b", true}, {"froosh_d", true}};
    ScriptedPrompter prompter;
    test::ScriptedPicker picker;
    FixedClock clock{QDateTime(QDate(2026, 10, 7), QTime(10, 0))};
    Tf_froosh_darou window({context, db(), prompter, clock, &picker});
    QVERIFY(test::showActive(window));
    // The free prescription (insurer "0") the window starts with; the lookup on vitamin C.
    child<QWidget>(window, "DBGrid2")->setFocus();
    typeText(window.focusWidget(), QStringLiteral("ويتا"));

    press(window, Qt::Key_F5);
    QCOMPARE(prompter.texts(), QStringList{texts::kNoEquivalentRight});
    context.rights.insert(QStringLiteral("moadel"), true);
    prompter.clear();

    bool walked = false;
    QTimer::singleShot(0, [&] {
        QWidget* equivalents = QApplication::activeModalWidget();
        QVERIFY(equivalents);
        QCOMPARE(equivalents->objectName(), QString("f_moadel"));
        QCOMPARE(focusName(*equivalents), QString("DBGrid1"));
        press(*equivalents, Qt::Key_Return);
        QCOMPARE(focusName(*equivalents), QString("me_tedad_main"));
        typeText(equivalents->focusWidget(), QStringLiteral("2"));
        press(*equivalents, Qt::Key_Return);
        QCOMPARE(focusName(*equivalents), QString("me_tedad_moadel"));
        press(*equivalents, Qt::Key_Return); // no quantity yet: warned, kept open
        QCOMPARE(prompter.texts(), QStringList{texts::kEquivalentQuantityMissing});
        QVERIFY(equivalents->isVisible());
        typeText(equivalents->focusWidget(), QStringLiteral("x3"));  // only digits are taken
        QCOMPARE(child<QLineEdit>(*equivalents, "me_tedad_moadel")->text(), QString("3"));
        press(*equivalents, Qt::Key_Return);
        walked = !equivalents->isVisible();
    });
    press(window, Qt::Key_F5);
    QVERIFY(walked);
    QCOMPARE(window.session().lines().lineCount(), 1);
    QCOMPARE(window.session().lines().cell(1, Col::Code), QString("1010001"));
    QCOMPARE(child<QLineEdit>(window, "me_azad")->text(), QString("3,000"));

    // F10 closes the equivalents window and adds nothing.
    bool closed = false;
    QTimer::singleShot(0, [&] {
        QWidget* equivalents = QApplication::activeModalWidget();
        QVERIFY(equivalents);
        press(*equivalents, Qt::Key_F10);
        closed = !equivalents->isVisible();
    });
    press(window, Qt::Key_F5);
    QVERIFY(closed);
    QCOMPARE(window.session().lines().lineCount(), 1);
}

QTEST_MAIN(SubstitutionTest)
#include "substitution_test.moc"
