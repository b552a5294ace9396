#include "audit/audit_changes.h"
#include "audit/audit_history.h"
#include "audit/audit_log.h"
#include "audit/ui/tarikhche.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/jalali_date.h"
#include "core/scripted_prompter.h"
#include "db/database.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "print/report.h"
#include "support/test_database.h"
#include "support/window_fixture.h"
#include "support/xlsx_reading.h"
#include "widgets/date_field.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace ph;
using ph::test::child;
using ph::test::focusName;
using ph::test::press;

namespace {

AuditRow header(double total, const QString& family) {
    return {{QStringLiteral("sh_factor"), 7}, {QStringLiteral("price_koll"), total}, {QStringLiteral("family_b"), family}};
}

AuditRow line(double code, double quantity) {
    return {{QStringLiteral("code_kala"), code}, {QStringLiteral("tedad"), quantity}};
}

void append(Database& db, int user, const QString& kind, const QString& key, const QJsonObject& changes) {
    Transaction transaction(db);
    appendAudit(db, {user, QStringLiteral("desk-%1").arg(user), QStringLiteral("Tf_froosh_darou")}, {kind, key, changes});
    transaction.commit();
}

// The rows of a grid as texts, one "a | b | c" per row.
QStringList gridRows(QTableView* grid) {
    QStringList rows;
    const QAbstractItemModel* model = grid->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c) cells.append(model->index(r, c).data().toString());
        rows.append(cells.join(QStringLiteral(" | ")));
    }
    return rows;
}

} // namespace

class HistoryWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void changesReadFieldByField_data();
    void changesReadFieldByField();
    void aDocumentsHistoryByTheKeyboard();
    void filtersByDateAndUser();
    void printedAndSavedAsSpreadsheet();

private:
    WindowContext windows() { return {m_context, m_t->db(), m_prompter, m_clock, nullptr}; }

    std::unique_ptr<test::TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{QDateTime(QDate(2026, 9, 11), QTime(10, 0))};
};

void HistoryWindowTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    Database& db = m_t->db();
    Schema(db).ensure();
    db.exec(QStringLiteral("insert into u_pharmacy (code, name, pass) values (1, ?, 'x')"), {QStringLiteral("مريم")});
    db.exec(QStringLiteral("insert into u_pharmacy (code, name, pass) values (2, ?, 'y')"), {QStringLiteral("رضا")});
    m_context.pharmacy_name = QStringLiteral("داروخانه شفا");
    m_context.current_date = QStringLiteral("05/06/20");
    // Prescription 7 saved, prescription 8 saved by another user, then 7 corrected: its total
    // and the second line's quantity changed, the family name kept.
    const QList<AuditRow> lines = {line(1010001, 1), line(1010002, 2)};
    const QList<AuditRow> corrected = {line(1010001, 1), line(1010002, 3)};
    append(db, 1, QStringLiteral("prescription"), QStringLiteral("7"),
           documentChanges({}, header(1000, QStringLiteral("رضايي")), QList<AuditRow>{}, lines));
    append(db, 2, QStringLiteral("prescription"), QStringLiteral("8"),
           documentChanges({}, header(500, QStringLiteral("احمدي")), QList<AuditRow>{}, lines));
    append(db, 1, QStringLiteral("prescription"), QStringLiteral("7"),
           documentChanges(header(1000, QStringLiteral("رضايي")), header(2500, QStringLiteral("رضايي")), lines,
                           corrected));
    m_prompter.clear();
}

void HistoryWindowTest::cleanup() { m_t.reset(); }

void HistoryWindowTest::changesReadFieldByField_data() {
    QTest::addColumn<QJsonObject>("changes");
    QTest::addColumn<QStringList>("lines"); // row | field | before | after
    QTest::newRow("a corrected document: changed header fields and the changed fields of a line")
        << documentChanges(header(1000, QStringLiteral("الف")), header(2500, QStringLiteral("الف")),
                           QList<AuditRow>{line(1, 1), line(2, 2)}, QList<AuditRow>{line(1, 1), line(2, 3)})
        << QStringList{QStringLiteral(" | price_koll | 1000 | 2500"), QStringLiteral("سطر 2 | tedad | 2 | 3")};
    QTest::newRow("a line removed shows what it held")
        << documentChanges(header(1, {}), header(1, {}), QList<AuditRow>{line(1, 1), line(2, 2)},
                           QList<AuditRow>{line(1, 1)})
        << QStringList{QStringLiteral("سطر 2 | code_kala | 2 | "), QStringLiteral("سطر 2 | tedad | 2 | ")};
    QTest::newRow("a secret field shows only that it changed")
        << documentChanges({{QStringLiteral("pass"), QStringLiteral("a")}}, {{QStringLiteral("pass"), QStringLiteral("b")}},
                           std::nullopt, std::nullopt, {QStringLiteral("pass")})
        << QStringList{QStringLiteral(" | pass |  | تغيير كرد")};
    QTest::newRow("rows of a register and a value of its own")
        << QJsonObject{{QStringLiteral("rows"),
                        QJsonObject{{QStringLiteral("before"), auditRowsJson({line(5, 1), line(6, 1)})},
                                    {QStringLiteral("after"), auditRowsJson({line(5, 4), line(6, 1)})}}},
                       {QStringLiteral("file"), QStringLiteral("c:/backup/1.bak")}}
        << QStringList{QStringLiteral(" | file |  | c:/backup/1.bak"), QStringLiteral("رديف 1 | tedad | 1 | 4")};
    QTest::newRow("a list of prices, each with its before and after")
        << QJsonObject{{QStringLiteral("prices"),
                        QJsonArray{QJsonObject{{QStringLiteral("code_kala"), 1700001},
                                               {QStringLiteral("before"), 1200},
                                               {QStringLiteral("after"), 1350.5}}}}}
        << QStringList{QStringLiteral("قيمت 1 | code_kala: 1700001 | 1200 | 1350.5")};
}

void HistoryWindowTest::changesReadFieldByField() {
    QFETCH(QJsonObject, changes);
    QFETCH(QStringList, lines);
    QStringList read;
    for (const AuditChangeLine& l : auditChangeLines(QString::fromUtf8(QJsonDocument(changes).toJson())))
        read.append(QStringList{l.row, l.field, l.before, l.after}.join(QStringLiteral(" | ")));
    read.sort();
    lines.sort();
    QCOMPARE(read, lines);
}

void HistoryWindowTest::aDocumentsHistoryByTheKeyboard() {
    Tf_tarikhche window(windows());
    QCOMPARE(window.windowTitle(), QStringLiteral("تاريخچه تغييرات"));
    QVERIFY(test::showActive(window));
    auto* hint = child<QLabel>(window, "lbl_enter");
    // Enter walks the filters, the line under them saying where it goes, and shows on the key.
    const struct {
        const char* field;
        QString hint;
    } steps[] = {{"me_date1", QStringLiteral("Enter: رفتن به تا تاريخ")},
                 {"me_date2", QStringLiteral("Enter: رفتن به كاربر")},
                 {"cb_user", QStringLiteral("Enter: رفتن به نوع سند")},
                 {"cb_kind", QStringLiteral("Enter: رفتن به كليد سند")},
                 {"me_key", QStringLiteral("Enter: نمايش تغييرات")}};
    for (const auto& step : steps) {
        QCOMPARE(focusName(window), QString::fromLatin1(step.field));
        QCOMPARE(hint->text(), step.hint);
        if (QLatin1String(step.field) != QLatin1String("me_key")) press(window, Qt::Key_Return);
    }
    test::typeIn(window, QStringLiteral("7"));
    press(window, Qt::Key_Return);
    QVERIFY2(m_prompter.texts().isEmpty(), qPrintable(m_prompter.texts().join(u'\n')));

    // The save and the correction of prescription 7, oldest first, each with its user and place.
    auto* entries = child<QTableView>(window, "DBGrid1");
    QCOMPARE(focusName(window), QStringLiteral("DBGrid1"));
    QCOMPARE(window.entries().size(), 2);
    const QStringList rows = gridRows(entries);
    for (const QString& row : rows) {
        QVERIFY2(row.endsWith(QStringLiteral("مريم | desk-1 | Tf_froosh_darou | نسخه | 7")), qPrintable(row));
    }
    // The correction's changes: the total and the second line's quantity, nothing unchanged.
    press(window, Qt::Key_Down);
    auto* changes = child<QTableView>(window, "DBGrid2");
    QCOMPARE(gridRows(changes), (QStringList{QStringLiteral(" | price_koll | 1000 | 2500"),
                                             QStringLiteral("سطر 2 | tedad | 2 | 3")}));
    QCOMPARE(hint->text(), QStringLiteral("Enter: رفتن به جزئيات تغيير"));
    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QStringLiteral("DBGrid2"));
    press(window, Qt::Key_F5);
    QCOMPARE(focusName(window), QStringLiteral("DBGrid1"));
    press(window, Qt::Key_F6);
    QCOMPARE(focusName(window), QStringLiteral("DBGrid2"));

    // The save lists every field it wrote, the lines with their rows.
    press(window, Qt::Key_F5);
    press(window, Qt::Key_Up);
    QVERIFY(gridRows(changes).contains(QStringLiteral(" | family_b |  | رضايي")));
    QVERIFY(gridRows(changes).contains(QStringLiteral("سطر 1 | code_kala |  | 1010001")));

    // F9 clears; the same history asked for by kind and key, as the dispensing window does.
    press(window, Qt::Key_F9);
    QVERIFY(window.entries().isEmpty());
    QCOMPARE(focusName(window), QStringLiteral("me_date1"));
    window.showDocument(QStringLiteral("prescription"), QStringLiteral("8"));
    QCOMPARE(window.entries().size(), 1);
    QCOMPARE(window.entries().first().entry.userCode, 2);
    QCOMPARE(child<QComboBox>(window, "cb_kind")->currentText(), QStringLiteral("نسخه"));
}

void HistoryWindowTest::filtersByDateAndUser() {
    Tf_tarikhche window(windows());
    QVERIFY(test::showActive(window));
    // The entries carry the server's clock: today on this workstation.
    const QString today = toJalali(QDate::currentDate()).shortText();
    const QString tomorrow = toJalali(QDate::currentDate().addDays(1)).shortText();
    auto* from = child<DateField>(window, "me_date1");
    auto* to = child<DateField>(window, "me_date2");
    auto* user = child<QComboBox>(window, "cb_user");
    const struct {
        QString from, to;
        int userIndex; // 0: every user, 1: user 1, 2: user 2
        int entries;
        QStringList warnings;
    } cases[] = {
        {today, today, 0, 3, {}},
        {{}, today, 2, 1, {}},
        {tomorrow, {}, 0, 0, {texts::kHistoryNone}},
        {QStringLiteral("05/13/01"), {}, 0, 0, {texts::kHistoryBadDate}},
    };
    for (const auto& c : cases) {
        m_prompter.clear();
        from->setText(QString());
        to->setText(QString());
        if (!c.from.isEmpty()) from->setStoredText(c.from);
        if (!c.to.isEmpty()) to->setStoredText(c.to);
        if (c.from == QLatin1String("05/13/01")) {
            from->setFocus();
            test::typeIn(window, QStringLiteral("011305")); // day 01, month 13
        }
        user->setCurrentIndex(c.userIndex);
        press(window, Qt::Key_F7);
        QCOMPARE(m_prompter.texts(), c.warnings);
        QCOMPARE(window.entries().size(), c.entries);
    }
}

void HistoryWindowTest::printedAndSavedAsSpreadsheet() {
    Tf_tarikhche window(windows());
    QTemporaryDir dir;
    QString asked;
    int printedRows = -1;
    ReportOutputs outputs;
    outputs.chooseFile = [&](QWidget*, const QString&, const QString& filter) {
        asked = filter;
        return dir.filePath(QStringLiteral("history"));
    };
    outputs.show = [&](QWidget*, const print::Report& report) { printedRows = int(report.data().rows.size()); };
    window.setOutputs(outputs);
    QVERIFY(test::showActive(window));
    window.showDocument(QStringLiteral("prescription"), QStringLiteral("7"));
    // One row per changed value: the save's three fields and two lines of two, the correction's two.
    press(window, Qt::Key_F8);
    QCOMPARE(printedRows, 3 + 4 + 2);
    press(window, Qt::Key_F11);
    QCOMPARE(asked, QStringLiteral("Excel (*.xlsx)"));
    const test::XlsxSheetText sheet = test::readXlsxSheet(dir.filePath(QStringLiteral("history.xlsx")));
    QVERIFY(sheet.rightToLeft);
    QVERIFY(!sheet.rows.isEmpty());
    QCOMPARE(sheet.rows.first().value(0), QStringLiteral("داروخانه شفا"));
    QStringList last = sheet.rows.last().mid(1); // the time aside
    QCOMPARE(last, (QStringList{QStringLiteral("مريم"), QStringLiteral("desk-1"), QStringLiteral("Tf_froosh_darou"),
                                QStringLiteral("نسخه"), QStringLiteral("7"), QStringLiteral("سطر 2"),
                                QStringLiteral("tedad"), QStringLiteral("2"), QStringLiteral("3")}));
    QVERIFY(sheet.rows.contains(auditTableCaptions()));
    QVERIFY(m_prompter.texts().isEmpty());
}

QTEST_MAIN(HistoryWindowTest)
#include "audit_history_window_test.moc"
