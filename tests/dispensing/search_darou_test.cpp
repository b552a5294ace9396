#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/schema.h"
#include "dispensing/ui/search_darou.h"
#include "support/test_database.h"
#include "support/window_fixture.h"

#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QtTest>

using namespace ph;
using ph::test::child;
using ph::test::focusName;
using ph::test::press;
using ph::test::typeKeys;

class SearchDarouTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void codeScanContinuesOrRestarts();
    void nameFilterPriceScanAndSorting();
    void choosingByKeyboard();

private:
    WindowContext windows() { return {m_context, m_t->db(), m_prompter, m_clock, nullptr}; }
    // Opens the window modelessly, ready for keys.
    void open(Tf_search_darou& window) {
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    int row(Tf_search_darou& window) { return child<QTableView>(window, "DBGrid1")->currentIndex().row(); }
    int rows(Tf_search_darou& window) { return child<QTableView>(window, "DBGrid1")->model()->rowCount(); }
    QString code(Tf_search_darou& window, int r) {
        return QString::number(child<QTableView>(window, "DBGrid1")->model()->index(r, 1).data().toLongLong());
    }

    std::unique_ptr<test::TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{QDateTime(QDate(2026, 9, 11), QTime(10, 0))};
};

void SearchDarouTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    Database& db = m_t->db();
    Schema(db).ensure();
    db.exec(QStringLiteral("insert into type_kala (code, name, num) values (1, ?, 0)"), {QStringLiteral("قرص")});
    const QString goods = QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, name_kala_latin, "
                                         "group_code, type_code, price_u, code_sh) values (?, ?, ?, 1, ?, ?, ?)");
    // In name order: rows 0 to 3.
    db.exec(goods, {1712399, QStringLiteral("الف مخلوط"), "D", 70, 300, 4});
    db.exec(goods, {1700001, QStringLiteral("ب مخلوط"), "C", 70, 900, 3});
    db.exec(goods, {1712345, QStringLiteral("ت مخلوط"), "B", 70, 1200, 2});
    db.exec(goods, {1700002, QStringLiteral("ث مخلوط"), "A", 70, 1250, 1});
    db.exec(goods, {1010001, QStringLiteral("آ قرص"), "E", 1, 100, 5}); // not compounded
    m_prompter.clear();
}

void SearchDarouTest::cleanup() {
    m_t.reset();
}

void SearchDarouTest::codeScanContinuesOrRestarts() {
    Tf_search_darou window(windows());
    open(window);
    QCOMPARE(rows(window), 4); // the compounded drugs only
    QCOMPARE(focusName(window), QString("me_search_d"));
    auto* grid = child<QTableView>(window, "DBGrid1");
    const auto type = [&](const QString& keys) { typeKeys(child<QLineEdit>(window, "me_search_d"), keys); };
    type("1");
    QCOMPARE(row(window), 0);
    type("7");
    type("0"); // 170: onward from row 0, on row 1
    QCOMPARE(row(window), 1);
    type("\b"); // a character taken back: 17 from the top
    QCOMPARE(row(window), 0);
    child<QLineEdit>(window, "me_search_d")->clear();
    window.hide();
    open(window); // showing again forgets the last scan
    // One character more than the last scan goes on from the current row, so 17 typed
    // after 1 stays on row 2 chosen meanwhile, where a scan from the top would find row 0.
    type("1");
    grid->setCurrentIndex(grid->model()->index(2, 1));
    type("7");
    QCOMPARE(row(window), 2);
    type("1");
    QCOMPARE(row(window), 2);
    type("\b\b");
    QCOMPARE(row(window), 0);
    // A prefix no drug has leaves the cursor on the last row.
    child<QLineEdit>(window, "me_search_d")->clear();
    type("9");
    QCOMPARE(row(window), 3);
}

void SearchDarouTest::nameFilterPriceScanAndSorting() {
    Tf_search_darou window(windows());
    open(window);
    typeKeys(window.focusWidget(), QStringLiteral("ت"));
    QCOMPARE(rows(window), 1);
    QCOMPARE(code(window, 0), QString("1712345"));
    typeKeys(window.focusWidget(), QStringLiteral("\b"));
    QCOMPARE(rows(window), 4);
    // The price field: one character at a time, onward.
    press(window, Qt::Key_Down);
    QCOMPARE(focusName(window), QString("me_search_p"));
    typeKeys(window.focusWidget(), QStringLiteral("1"));
    QCOMPARE(row(window), 2); // 300 and 900 do not begin with 1
    typeKeys(window.focusWidget(), QStringLiteral("25"));
    QCOMPARE(row(window), 3);
    // The sort menu: by price, by identity code.
    press(window, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(code(window, 0), QString("1712399"));
    press(window, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(code(window, 0), QString("1700002"));
    QCOMPARE(rows(window), 4);
}

void SearchDarouTest::choosingByKeyboard() {
    Tf_search_darou window(windows());
    open(window);
    press(window, Qt::Key_Up);
    QCOMPARE(focusName(window), QString("DBGrid1"));
    press(window, Qt::Key_Down);
    press(window, Qt::Key_Right);
    QCOMPARE(focusName(window), QString("me_search_d"));
    press(window, Qt::Key_Up);
    press(window, Qt::Key_Left);
    QCOMPARE(focusName(window), QString("me_search_p"));
    press(window, Qt::Key_Up);
    press(window, Qt::Key_Return);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.chosen(), std::optional<double>(1700001));

    // With nothing listed, choosing does nothing and the window stays.
    m_t->db().exec(QStringLiteral("delete from mosh_kala_anbar"));
    open(window);
    QVERIFY(!window.chosen());
    press(window, Qt::Key_F2);
    press(window, Qt::Key_Return);
    QVERIFY(window.isVisible());
    press(window, Qt::Key_F10);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.chosen());
}

QTEST_MAIN(SearchDarouTest)
#include "search_darou_test.moc"
