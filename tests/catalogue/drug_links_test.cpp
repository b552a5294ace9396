#include "catalogue/drug_links.h"
#include "catalogue/ui/fmmoadel.h"
#include "catalogue/ui/hamrah.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/schema.h"
#include "support/scripted_picker.h"
#include "support/test_database.h"
#include "support/window_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

using namespace ph;
using Kind = ScriptedPrompter::Kind;
using ph::test::child;
using ph::test::focusName;
using ph::test::press;

namespace {

constexpr double kA = 1010001; // آموكسي سيلين
constexpr double kB = 1010002; // سفكسيم
constexpr double kSyringe = 3300001;
constexpr double kLatin = 1400009; // no Persian name

const QString kInsured = QStringLiteral("تعرفه");
const QString kFree = QStringLiteral("آزاد");

QStringList pairs(Database& db, const QString& table, const QString& columns) {
    QStringList found;
    Rows q = db.exec(QStringLiteral("select %1 from %2 order by %1").arg(columns, table));
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < columns.count(u',') + 1; ++i)
            row.append(q.value(i).toString());
        found.append(row.join(u' '));
    }
    return found;
}

} // namespace

class DrugLinksTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void equivalentsStoredBothWaysRemovedOneWay();
    void equivalentReverseAloneDoesNotStopTheAdd();
    void equivalentOfItselfIsRefused_data();
    void equivalentOfItselfIsRefused();
    void companionsByKeyboard();
    void companionChecks_data();
    void companionChecks();
    void companionEditAndDeletes();

private:
    WindowContext windows() { return {m_context, m_t->db(), m_prompter, m_clock, &m_picker}; }
    Database& db() { return m_t->db(); }
    // PageDown in the focused name box, answered by the picker with the code.
    void pickIn(QWidget& window, double code) {
        m_picker.choose(QVariant(code));
        press(window, Qt::Key_PageDown);
    }
    QStringList gridCodes(QWidget& window) {
        auto* grid = child<QTableView>(window, "DBGrid1");
        QStringList codes;
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            codes.append(QString::number(grid->model()->index(row, 0).data().toLongLong()));
        return codes;
    }

    std::unique_ptr<test::TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    test::ScriptedPicker m_picker;
    FixedClock m_clock{QDateTime(QDate(2026, 9, 11), QTime(10, 0))};
};

void DrugLinksTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    Schema(db()).ensure();
    for (const auto& [code, name] : QList<QPair<int, QString>>{{1, QStringLiteral("قرص")}, {30, QStringLiteral("عدد")},
                                                               {40, QStringLiteral("ويال")}})
        db().exec(QStringLiteral("insert into type_kala (code, name, num) values (?, ?, 0)"), {code, name});
    const QString goods = QStringLiteral(
        "insert into mosh_kala_anbar (code_kala, name_kala, name_kala_latin, group_code, type_code, price_u) "
        "values (?, ?, ?, 1, ?, 1000)");
    db().exec(goods, {kA, QStringLiteral("آموكسي سيلين"), QVariant(), 1});
    db().exec(goods, {kB, QStringLiteral("سفكسيم"), QVariant(), 1});
    db().exec(goods, {kSyringe, QStringLiteral("سرنگ"), QVariant(), 30});
    db().exec(goods, {kLatin, QVariant(), QStringLiteral("Heparin"), 40});
    m_context = AppContext();
    m_context.user_code = 1;
    m_context.rights = {{"save_b", true}, {"edit_b", true}, {"delete_b", true}};
    m_prompter.clear();
}

void DrugLinksTest::cleanup() {
    m_t.reset();
}

void DrugLinksTest::equivalentsStoredBothWaysRemovedOneWay() {
    Tfmmoadel window(windows());
    QVERIFY(test::showActive(window));
    QCOMPARE(focusName(window), QString("me_name_a"));
    pickIn(window, kA);
    QCOMPARE(child<QLabel>(window, "la_type_d")->text(), QString("قرص"));
    QCOMPARE(focusName(window), QString("me_name_m"));
    pickIn(window, kB);
    QCOMPARE(child<QLineEdit>(window, "me_type_m")->text(), QString("قرص"));
    press(window, Qt::Key_Return); // adds, as F2 does
    QCOMPARE(gridCodes(window), QStringList{"1010002"});
    QCOMPARE(pairs(db(), "moadel_kala", "code_kala, code_moadel"), (QStringList{"1010001 1010002", "1010002 1010001"}));
    press(window, Qt::Key_F2); // a stored pair is not added again
    QCOMPARE(db().scalar("select count(*) from moadel_kala").toInt(), 2);

    // B's grid shows A; F4 there removes (B, A) only.
    press(window, Qt::Key_Right);
    QCOMPARE(focusName(window), QString("me_name_a"));
    pickIn(window, kB);
    QCOMPARE(gridCodes(window), QStringList{"1010001"});
    press(window, Qt::Key_F4);
    QCOMPARE(gridCodes(window), QStringList());
    QCOMPARE(pairs(db(), "moadel_kala", "code_kala, code_moadel"), QStringList{"1010001 1010002"});
    child<QComboBox>(window, "me_name_a")->setFocus();
    pickIn(window, kA);
    QCOMPARE(gridCodes(window), QStringList{"1010002"});

    // Without the rights the commands are refused.
    m_context.rights = {};
    press(window, Qt::Key_F2);
    press(window, Qt::Key_F4);
    QCOMPARE(m_prompter.texts(), (QStringList{QStringLiteral("دسترسي به کليد ثبت براي شما امکان پذير نمي باشد"),
                                              QStringLiteral("دسترسي به کليدحذف براي شما امکان پذير نمي باشد")}));
    QCOMPARE(db().scalar("select count(*) from moadel_kala").toInt(), 1);
}

void DrugLinksTest::equivalentReverseAloneDoesNotStopTheAdd() {
    db().exec(QStringLiteral("insert into moadel_kala (code_kala, code_moadel) values (?, ?)"), {kB, kA});
    QCOMPARE(EquivalentStore(db()).add(kA, kB), EquivalentStore::AddResult::Added);
    QCOMPARE(pairs(db(), "moadel_kala", "code_kala, code_moadel"),
             (QStringList{"1010001 1010002", "1010002 1010001", "1010002 1010001"}));
    QCOMPARE(EquivalentStore(db()).add(kA, kB), EquivalentStore::AddResult::AlreadyThere);
}

void DrugLinksTest::equivalentOfItselfIsRefused_data() {
    QTest::addColumn<double>("main");
    QTest::addColumn<double>("equivalent");
    QTest::addColumn<bool>("notice");
    QTest::newRow("the same drug twice") << kA << kA << true;
    QTest::newRow("neither drug") << 0.0 << 0.0 << true;
    QTest::newRow("no equivalent: nothing at all") << kA << 0.0 << false;
}

void DrugLinksTest::equivalentOfItselfIsRefused() {
    QFETCH(double, main);
    QFETCH(double, equivalent);
    QFETCH(bool, notice);
    Tfmmoadel window(windows());
    QVERIFY(test::showActive(window));
    if (main) pickIn(window, main);
    child<QComboBox>(window, "me_name_m")->setFocus();
    if (equivalent) pickIn(window, equivalent);
    if (notice) m_prompter.answerConfirm(0);
    press(window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(Kind::Confirm),
             notice ? QStringList{QStringLiteral("داروي معادل وارد شده با داروي اصلي يكي مي باشد")} : QStringList());
    QCOMPARE(db().scalar("select count(*) from moadel_kala").toInt(), 0);
}

void DrugLinksTest::companionsByKeyboard() {
    Tf_hamrah window(windows());
    QVERIFY(test::showActive(window));
    auto* mainName = child<QComboBox>(window, "cb_name_d");
    // A goods item without a Persian name is listed by its Latin name.
    QVERIFY(mainName->findText(QStringLiteral("Heparin")) >= 0);
    QCOMPARE(focusName(window), QString("cb_name_d"));
    pickIn(window, kA);
    QCOMPARE(child<QLineEdit>(window, "cb_code_d")->text(), QString("1010001"));
    QCOMPARE(child<QLineEdit>(window, "me_type_d")->text(), QString("قرص"));
    QCOMPARE(focusName(window), QString("cb_name_h"));
    pickIn(window, kSyringe);
    QCOMPARE(child<QLineEdit>(window, "cb_code_h")->text(), QString("3300001"));
    QCOMPARE(focusName(window), QString("cb_vaziat"));
    QCOMPARE(child<QComboBox>(window, "cb_vaziat")->currentText(), kInsured);
    press(window, Qt::Key_F2); // the add button names F2, but the key is not bound
    QCOMPARE(db().scalar("select count(*) from hamrah_kala").toInt(), 0);
    press(window, Qt::Key_Return);
    QCOMPARE(pairs(db(), "hamrah_kala", "code_kala, code_kala_h, condition"), QStringList{"1010001 3300001 تعرفه"});
    QCOMPARE(gridCodes(window), QStringList{"3300001"});
    QCOMPARE(child<QLineEdit>(window, "cb_code_h")->text(), QString());
    QCOMPARE(focusName(window), QString("cb_name_h"));

    // The same triple is asked about (declined here); the other status is not.
    pickIn(window, kSyringe);
    m_prompter.answerConfirm(0);
    press(window, Qt::Key_Return);
    QCOMPARE(m_prompter.texts(Kind::Confirm),
             QStringList{QStringLiteral("داروي مورد نظر يك بار وارد شده است ، آيا بازهم ثبت شود؟ ")});
    QCOMPARE(db().scalar("select count(*) from hamrah_kala").toInt(), 1);
    child<QComboBox>(window, "cb_vaziat")->setCurrentText(kFree);
    child<QComboBox>(window, "cb_vaziat")->setFocus();
    press(window, Qt::Key_Return);
    QCOMPARE(db().scalar("select count(*) from hamrah_kala").toInt(), 2);
    QCOMPARE(m_prompter.texts().size(), 1);
    // Confirmed, the triple is stored twice.
    child<QComboBox>(window, "cb_name_h")->setFocus();
    pickIn(window, kSyringe);
    m_prompter.answerConfirm(1);
    press(window, Qt::Key_Return);
    QCOMPARE(pairs(db(), "hamrah_kala", "code_kala, code_kala_h, condition"),
             (QStringList{"1010001 3300001 آزاد", "1010001 3300001 تعرفه", "1010001 3300001 تعرفه"}));
}

void DrugLinksTest::companionChecks_data() {
    QTest::addColumn<double>("main");
    QTest::addColumn<double>("companion");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no companion") << kA << 0.0 << kInsured << "     .اطلاعات كامل وارد نشده است" << "cb_name_h";
    QTest::newRow("its own companion")
        << kA << kA << kInsured << "داروي همراه وارد شده با داروي اصلي يكي مي باشد" << "cb_name_h";
    QTest::newRow("a status of neither kind") << kA << kSyringe << "OTC" << "وضعيت دارو اشتباه وارد شده است" << "cb_vaziat";
}

void DrugLinksTest::companionChecks() {
    QFETCH(double, main);
    QFETCH(double, companion);
    QFETCH(QString, status);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Tf_hamrah window(windows());
    QVERIFY(test::showActive(window));
    pickIn(window, main);
    if (companion) pickIn(window, companion);
    child<QComboBox>(window, "cb_vaziat")->setCurrentText(status);
    child<QComboBox>(window, "cb_vaziat")->setFocus();
    m_prompter.answerConfirm(0);
    press(window, Qt::Key_Return);
    QCOMPARE(m_prompter.texts(), QStringList{message});
    QCOMPARE(focusName(window), focus);
    QCOMPARE(db().scalar("select count(*) from hamrah_kala").toInt(), 0);
}

void DrugLinksTest::companionEditAndDeletes() {
    CompanionStore store(db());
    store.add(kA, kSyringe, kInsured);
    store.add(kA, kSyringe, kInsured);
    store.add(kA, kB, kFree);
    store.add(kB, kSyringe, kFree);
    Tf_hamrah window(windows());
    QVERIFY(test::showActive(window));
    pickIn(window, kA);
    QCOMPARE(gridCodes(window), (QStringList{"1010002", "3300001", "3300001"}));
    // Selecting a companion loads it; F3 gives the first of its rows the new status.
    auto* grid = child<QTableView>(window, "DBGrid1");
    grid->setFocus();
    grid->selectRow(1);
    QCOMPARE(child<QLineEdit>(window, "cb_code_h")->text(), QString("3300001"));
    child<QComboBox>(window, "cb_vaziat")->setCurrentText(kFree);
    m_prompter.answerConfirm(1);
    press(window, Qt::Key_F3);
    QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("آيا از اصلاح اطلاعات مطمئن هستيد؟")});
    QCOMPARE(pairs(db(), "hamrah_kala", "code_kala, code_kala_h, condition"),
             (QStringList{"1010001 1010002 آزاد", "1010001 3300001 آزاد", "1010001 3300001 تعرفه",
                          "1010002 3300001 آزاد"}));

    // Ctrl+F4 removes one row of the pair stored twice.
    grid->setFocus();
    grid->selectRow(1);
    m_prompter.answerConfirm(1);
    press(window, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(gridCodes(window), (QStringList{"1010002", "3300001"}));

    // F4 removes every companion of the main drug, and no other drug's.
    m_prompter.answerConfirm(1);
    press(window, Qt::Key_F4);
    QCOMPARE(gridCodes(window), QStringList());
    QCOMPARE(pairs(db(), "hamrah_kala", "code_kala, code_kala_h, condition"), QStringList{"1010002 3300001 آزاد"});
    QCOMPARE(focusName(window), QString("cb_name_d"));
    m_prompter.clear();
    m_prompter.answerConfirm(0);
    press(window, Qt::Key_F4);
    QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("دارويي براي حذف وجود ندارد")});
}

QTEST_MAIN(DrugLinksTest)
#include "drug_links_test.moc"
