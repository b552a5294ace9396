#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/schema.h"
#include "dispensing/invoice_search.h"
#include "dispensing/ui/search_factor.h"
#include "support/test_database.h"
#include "support/window_fixture.h"

#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QtTest>

using namespace ph;
using Kind = ScriptedPrompter::Kind;
using ph::test::child;
using ph::test::focusName;
using ph::test::press;
using ph::test::typeIn;

namespace {

const QString kWrongDate = QStringLiteral("تاريخ اشتباه وارد شده است");

QString shown(QWidget& window, const char* name) {
    return child<QLineEdit>(window, name)->displayText();
}

// Empties the masked field that has the focus and types the text from its start.
void retype(QWidget& window, const QString& text) {
    auto* field = qobject_cast<QLineEdit*>(window.focusWidget());
    QVERIFY2(field, qPrintable(focusName(window)));
    field->clear();
    field->setCursorPosition(0);
    typeIn(window, text);
}

// The invoice numbers the grid shows, top to bottom.
QList<int> numbers(QWidget& window, const char* grid) {
    QAbstractItemModel* model = child<QTableView>(window, grid)->model();
    QList<int> result;
    for (int row = 0; row < model->rowCount(); ++row)
        result.append(model->index(row, 0).data().toInt());
    return result;
}

} // namespace

class SearchFactorTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void dateCheck_data();
    void dateCheck();
    void startDateIsWrittenOutAndUsed();
    void wrongStartDate_data();
    void wrongStartDate();
    void narrowingAndChoosing_data();
    void narrowingAndChoosing();
    void emptyResultChoosesNothing();
    void closingChoosesNothing_data();
    void closingChoosesNothing();
    void dateRange();
    void goodsInvoices();

private:
    WindowContext windows() { return {m_context, m_t->db(), m_prompter, m_clock}; }
    // Opens the window for the context, types the start date and presses Enter.
    void start(TF_search_factor& window, SearchContext context, int kind, const QString& date);

    std::unique_ptr<test::TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{QDateTime(QDate(2026, 9, 11), QTime(10, 0))};
};

void SearchFactorTest::initTestCase() {
    m_t = std::make_unique<test::TestDatabase>();
    Database& db = m_t->db();
    Schema(db).ensure();
    const QString prescription = QStringLiteral(
        "insert into heading_noskhe (sh_factor, date_no, family_b, name_b, sh_bimeh, code_no) values (?, ?, ?, ?, ?, ?)");
    // 85/10/01 sorts before 85/3/7 as text: only the written-out date finds it.
    const QList<QVariantList> rows{
        {1, "85/03/06", "احمدي", "مريم", "1100", "A-1"},   {2, "85/03/07", "احمدي", "علي", "1200", "A-2"},
        {3, "85/03/07", "رضايي", "سارا", "2100", "B-1"},   {4, "85/05/20", "احمدزاده", "رضا", "1210", "A-3"},
        {5, "85/10/01", "كريمي", "نادر", "3100", "C-1"},
    };
    for (const QVariantList& row : rows)
        db.exec(prescription, row);
    const QString goods =
        QStringLiteral("insert into heading_froosh_kala (sh_factor, date_sabt, family, name) values (?, ?, ?, ?)");
    db.exec(goods, {7, "85/03/06", QStringLiteral("احمدي"), QStringLiteral("مينا")});
    db.exec(goods, {8, "85/04/01", QStringLiteral("رضايي"), QStringLiteral("حسن")});
    db.exec(goods, {9, "85/04/02", QStringLiteral("احمدي"), QStringLiteral("ليلا")});
}

void SearchFactorTest::init() {
    m_context = AppContext();
    m_context.user_code = 1;
    m_context.current_date = QStringLiteral("85/06/01");
    m_prompter.clear();
}

void SearchFactorTest::cleanup() {
    QCOMPARE(m_prompter.texts(Kind::ErrorReport), QStringList());
}

void SearchFactorTest::start(TF_search_factor& window, SearchContext context, int kind, const QString& date) {
    window.prepare(context, kind);
    QVERIFY(test::showActive(window));
    QCOMPARE(focusName(window), QString("me_date"));
    QCOMPARE(shown(window, "me_date"), QString("85/06/01"));
    retype(window, date);
    press(window, Qt::Key_Return);
}

void SearchFactorTest::dateCheck_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("written");
    const int blank = int(SearchDate::State::Blank), invalid = int(SearchDate::State::Invalid),
              valid = int(SearchDate::State::Valid);
    QTest::newRow("one-digit month and day") << "85/3 /7 " << valid << "85/03/07";
    QTest::newRow("digits after blanks") << "85/ 3/ 7" << valid << "85/03/07";
    QTest::newRow("31st of month 6") << "85/06/31" << valid << "85/06/31";
    QTest::newRow("31st of month 7") << "85/07/31" << invalid << "";
    QTest::newRow("30th of month 12") << "85/12/30" << valid << "85/12/30";
    QTest::newRow("month 13") << "85/13/01" << invalid << "";
    QTest::newRow("month 0") << "85/00/10" << invalid << "";
    QTest::newRow("day 0") << "85/04/00" << invalid << "";
    QTest::newRow("day 32") << "85/01/32" << invalid << "";
    QTest::newRow("no month") << "85/  /07" << invalid << "";
    QTest::newRow("no year") << "  /03/07" << invalid << "";
    QTest::newRow("empty mask") << "  /  /  " << blank << "";
    QTest::newRow("Persian digits") << QString::fromUtf16(u"۸۵/۰۳/۰۷") << invalid << "";
}

void SearchFactorTest::dateCheck() {
    QFETCH(QString, typed);
    QFETCH(int, state);
    QFETCH(QString, written);
    const SearchDate date = checkSearchDate(typed);
    QCOMPARE(int(date.state), state);
    QCOMPARE(date.text, written);
}

void SearchFactorTest::startDateIsWrittenOutAndUsed() {
    TF_search_factor window(windows());
    start(window, SearchContext::Darou, 1, "85/3/7");
    QCOMPARE(shown(window, "me_date"), QString("85/03/07"));
    QCOMPARE(numbers(window, "DBGrid1"), (QList<int>{2, 3, 4, 5}));
    QCOMPARE(focusName(window), QString("me_search_n"));
    QVERIFY(m_prompter.texts().isEmpty());
    QVERIFY(child<QTableView>(window, "DBGrid1")->isVisible());
    QVERIFY(!child<QTableView>(window, "DBGrid2")->isVisible());
    QVERIFY(child<QWidget>(window, "me_search_b")->isVisible());
}

void SearchFactorTest::wrongStartDate_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("85/07/31") << "85/07/31" << false;
    QTest::newRow("85/06/31") << "85/06/31" << true;
}

void SearchFactorTest::wrongStartDate() {
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    TF_search_factor window(windows());
    start(window, SearchContext::Darou, 1, typed);
    QCOMPARE(m_prompter.texts(Kind::Warning), accepted ? QStringList() : QStringList{kWrongDate});
    QCOMPARE(focusName(window), QString(accepted ? "me_search_n" : "me_date"));
    QCOMPARE(numbers(window, "DBGrid1"), accepted ? QList<int>{5} : QList<int>{});
}

void SearchFactorTest::narrowingAndChoosing_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("left");
    QTest::addColumn<int>("chosen");
    QTest::newRow("family name") << 1 << "me_search_n" << QStringLiteral("احمد") << QList<int>{2, 4} << 2;
    QTest::newRow("insurance number") << 3 << "me_search_b" << "12" << QList<int>{2, 4} << 2;
    QTest::newRow("prescription code") << 4 << "me_search_c" << "B" << QList<int>{3} << 3;
    QTest::newRow("nothing left") << 1 << "me_search_n" << QStringLiteral("زز") << QList<int>{} << 0;
}

// The start date loads the rows once; typing narrows them, Enter takes the first one left.
void SearchFactorTest::narrowingAndChoosing() {
    QFETCH(int, kind);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QList<int>, left);
    QFETCH(int, chosen);
    TF_search_factor window(windows());
    start(window, SearchContext::Darou, kind, "85/03/07");
    QCOMPARE(focusName(window), field);
    const int queries = m_t->db().executedCount();
    typeIn(window, text);
    QCOMPARE(numbers(window, "DBGrid1"), left);
    QCOMPARE(m_t->db().executedCount(), queries); // no query per keystroke
    press(window, Qt::Key_Return);
    QCOMPARE(window.isVisible(), chosen == 0);
    QCOMPARE(window.chosen(), chosen ? std::optional<int>(chosen) : std::nullopt);
    if (chosen == 0) return;
    QCOMPARE(window.result(), int(QDialog::Accepted));
    // Emptying the field drops its filter when the window is shown again.
    window.prepare(SearchContext::Darou, kind);
    QCOMPARE(shown(window, qPrintable(field)), QString());
    QVERIFY(!window.chosen());
}

void SearchFactorTest::emptyResultChoosesNothing() {
    TF_search_factor window(windows());
    start(window, SearchContext::Darou, 1, "86/01/01");
    QCOMPARE(numbers(window, "DBGrid1"), QList<int>{});
    press(window, Qt::Key_F2);
    QVERIFY(window.isVisible());
    QVERIFY(!window.chosen());
    QVERIFY(m_prompter.texts().isEmpty());
}

void SearchFactorTest::closingChoosesNothing_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("F10") << int(Qt::Key_F10);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

// The caller's modal call: rows were loaded and one is current, yet closing returns nothing.
void SearchFactorTest::closingChoosesNothing() {
    QFETCH(int, key);
    TF_search_factor window(windows());
    bool loaded = false;
    QTimer::singleShot(0, &window, [&] {
        retype(window, "85/03/07");
        press(window, Qt::Key_Return);
        loaded = numbers(window, "DBGrid1") == QList<int>{2, 3, 4, 5};
        press(window, Qt::Key(key));
    });
    QCOMPARE(window.choose(SearchContext::Moghavemi, 1), std::nullopt);
    QVERIFY(loaded);
    QVERIFY(!window.isVisible());
}

void SearchFactorTest::dateRange() {
    TF_search_factor window(windows());
    start(window, SearchContext::Darou, 2, "85/01/01");
    QCOMPARE(focusName(window), QString("me_search_d1"));
    retype(window, "85/3/7");
    press(window, Qt::Key_Return);
    QCOMPARE(shown(window, "me_search_d1"), QString("85/03/07"));
    QCOMPARE(numbers(window, "DBGrid1"), (QList<int>{2, 3})); // the one date
    QCOMPARE(focusName(window), QString("me_search_d2"));
    retype(window, "85/07/31");
    press(window, Qt::Key_Return);
    QCOMPARE(m_prompter.texts(Kind::Warning), QStringList{kWrongDate});
    QCOMPARE(focusName(window), QString("me_search_d2"));
    retype(window, "85/5/20");
    press(window, Qt::Key_Return);
    QCOMPARE(numbers(window, "DBGrid1"), (QList<int>{2, 3, 4}));
    QCOMPARE(focusName(window), QString("DBGrid1"));
    press(window, Qt::Key_L, Qt::ControlModifier);
    press(window, Qt::Key_P, Qt::ControlModifier);
    press(window, Qt::Key_Return);
    QCOMPARE(window.chosen(), std::optional<int>(3));
}

void SearchFactorTest::goodsInvoices() {
    TF_search_factor window(windows());
    start(window, SearchContext::Kala, 5, "85/3/7");
    QVERIFY(!child<QTableView>(window, "DBGrid1")->isVisible());
    QVERIFY(child<QTableView>(window, "DBGrid2")->isVisible());
    QVERIFY(!child<QWidget>(window, "me_search_b")->isVisible());
    QCOMPARE(numbers(window, "DBGrid2"), (QList<int>{8, 9}));
    QCOMPARE(focusName(window), QString("me_search_n"));
    typeIn(window, QStringLiteral("احم"));
    QCOMPARE(numbers(window, "DBGrid2"), QList<int>{9});
    // The code field filters nothing for goods invoices, and Enter there does not choose.
    press(window, Qt::Key_Down);
    QCOMPARE(focusName(window), QString("me_search_c"));
    typeIn(window, "Z");
    QCOMPARE(numbers(window, "DBGrid2"), QList<int>{9});
    press(window, Qt::Key_Return);
    QVERIFY(window.isVisible());
    // The grid's "1" goes back to the family name, whose Enter chooses.
    child<QTableView>(window, "DBGrid2")->setFocus();
    typeIn(window, "1");
    QCOMPARE(focusName(window), QString("me_search_n"));
    press(window, Qt::Key_Return);
    QCOMPARE(window.chosen(), std::optional<int>(9));
}

QTEST_MAIN(SearchFactorTest)
#include "search_factor_test.moc"
