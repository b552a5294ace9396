// The goods sale and cash desk windows driven from the keyboard, offscreen.
#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "dispensing/ui/drug_lookup.h"
#include "lots/barcodes.h"
#include "lots/lots.h"
#include "lots/lots_texts.h"
#include "print/report.h"
#include "sales/sales_texts.h"
#include "sales/ui/cash.h"
#include "sales/ui/cashier.h"
#include "sales/ui/froosh_kala.h"
#include "sales_fixture.h"
#include "support/scripted_picker.h"
#include "support/test_database.h"
#include "support/window_fixture.h"
#include "widgets/command_bar.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTableView>
#include <QtTest>

using namespace ph;
using Kind = ScriptedPrompter::Kind;
using ph::test::child;
using ph::test::focusName;
using ph::test::press;
using ph::test::typeText;
namespace t = ph::texts::sales;

namespace {

void enter(QWidget& window) {
    press(window, Qt::Key_Return);
}

void typeAndEnter(QWidget& window, const QString& text) {
    auto* field = qobject_cast<QLineEdit*>(window.focusWidget());
    QVERIFY2(field, qPrintable(focusName(window)));
    field->selectAll();
    typeText(field, text);
    enter(window);
}

// A keyboard-wedge scanner: the code typed at once into the focused widget, then Enter.
void scan(QWidget& window, const QString& code) {
    typeText(window.focusWidget(), code);
    enter(window);
}

} // namespace

class SalesWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void saleCollectionAndClosingByKeyboard();
    void cashierGoesOnToTheNextInvoice();
    void browsingAndCorrecting();
    void wardConsumptionByKeyboard();
    void stockListOpensOverTheWindow_data();
    void stockListOpensOverTheWindow();
    void scannedPacksAreDrawnFromTheirLots_data();
    void scannedPacksAreDrawnFromTheirLots();

private:
    WindowContext windows() { return {m_context, m_t->db(), m_prompter, m_clock, &m_picker}; }
    // The goods sale window, or the ward consumption window built on it.
    std::unique_ptr<Tf_froosh_kala> saleWindow(bool ward) {
        if (ward) return std::make_unique<Tmasrafi_bakhsh>(windows());
        return std::make_unique<Tf_froosh_kala>(windows());
    }
    // A case's rows for both windows: "ward" false, then true.
    static void bothWindows() {
        QTest::addColumn<bool>("ward");
        QTest::newRow("goods sale") << false;
        QTest::newRow("ward consumption") << true;
    }
    QString text(QWidget& window, const char* name) { return child<QLineEdit>(window, name)->text(); }
    // In the lookup: chooses the goods whose name begins with the text and adds it.
    void addGoods(QWidget& window, const QString& name, const QString& quantity, const QString& kind);

    std::unique_ptr<test::TestDatabase> m_t;
    AppContext m_context;
    ScriptedPrompter m_prompter;
    test::ScriptedPicker m_picker;
    FixedClock m_clock{QDateTime(QDate(2026, 10, 12), QTime(16, 45))};
};

void SalesWindowsTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    Database& db = m_t->db();
    test::fillShop(db);
    db.exec(QStringLiteral("update tarefeh set percent_otc=10, mab_max_otc=500"));
    db.exec(QStringLiteral("insert into u_pharmacy (code, name) values (1, ?)"), {QStringLiteral("مدير")});
    db.exec(QStringLiteral("insert into u_pharmacy (code, name) values (7, ?)"), {QStringLiteral("صندوقدار")});
    m_context = AppContext();
    m_context.user_code = 1;
    m_context.user_name = QStringLiteral("مدير");
    m_context.cashier_code = 7;
    m_context.cashier_name = QStringLiteral("صندوقدار");
    m_context.current_date = test::kSaleDay;
    for (const char* right : {"save_b", "edit_b", "delete_b"})
        m_context.rights.insert(QString::fromLatin1(right), true);
    m_prompter = ScriptedPrompter();
    m_picker = test::ScriptedPicker();
}

void SalesWindowsTest::cleanup() {
    QCOMPARE(m_prompter.texts(Kind::ErrorReport), QStringList());
    m_t.reset();
}

void SalesWindowsTest::addGoods(QWidget& window, const QString& name, const QString& quantity, const QString& kind) {
    QCOMPARE(focusName(window), QString("DBGrid2"));
    typeText(window.focusWidget(), name);
    enter(window);
    QCOMPARE(focusName(window), QString("me_tedad"));
    typeAndEnter(window, quantity);
    QCOMPARE(focusName(window), QString("cb_vaziat"));
    QCOMPARE(child<QComboBox>(window, "cb_vaziat")->currentText(), kind);
    enter(window);
    QCOMPARE(focusName(window), QString("but_sabt1"));
    enter(window);
}

void SalesWindowsTest::saleCollectionAndClosingByKeyboard() {
    Database& db = m_t->db();
    // Sales wait at a cash desk of their own, and the till has a keeper.
    db.exec(QStringLiteral("update tanzimat set cash=1, flag_cash=1, code_cash='7'"));

    Tf_froosh_kala sale(windows());
    QVERIFY(test::showActive(sale));
    QCOMPARE(focusName(sale), QString("me_family"));
    QCOMPARE(text(sale, "me_family"), t::kCustomer);
    QCOMPARE(text(sale, "me_sh_factor"), QString("1"));
    QCOMPARE(text(sale, "me_date_ta"), test::kSaleDay);
    typeAndEnter(sale, QStringLiteral("كريمي"));
    QCOMPARE(focusName(sale), QString("me_name"));
    typeAndEnter(sale, QStringLiteral("رضا"));
    // The lookup names goods, not drugs.
    QStringList captions;
    const QAbstractItemModel* lookup = child<QTableView>(sale, "DBGrid2")->model();
    for (int column = 0; column < lookup->columnCount(); ++column)
        captions.append(lookup->headerData(column, Qt::Horizontal).toString());
    QCOMPARE(captions, (QStringList{QStringLiteral("كـدشناسه"), QStringLiteral("نـام كــالا"), QStringLiteral("قيمت"),
                                    QStringLiteral("كــد كــالا"), QStringLiteral("شكل كــالا")}));
    addGoods(sale, QStringLiteral("سرنگ"), QStringLiteral("3"), t::kGoods);
    addGoods(sale, QStringLiteral("آموكسي"), QStringLiteral("2"), t::kOtc); // a drug: OTC
    QCOMPARE(child<QTableView>(sale, "StringGrid1")->model()->rowCount(), 3);
    QCOMPARE(text(sale, "me_koll_kala"), QString("2,451.5"));
    QCOMPARE(text(sale, "me_otc"), QString("200"));
    QCOMPARE(text(sale, "me_koll"), QString("2,651.5"));
    press(sale, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(text(sale, "me_sh_factor"), QString("2"));
    QCOMPARE(focusName(sale), QString("me_family"));
    QCOMPARE(db.scalar(QStringLiteral("select family from heading_froosh_kala where sh_factor=1")).toString(),
             QStringLiteral("كريمي"));
    QCOMPARE(test::stockOf(db, 3300001), 7.0);
    QCOMPARE(db.scalar(QStringLiteral("select flag_pa from cash where sh_factor=1 and type_factor='k'")).toInt(), 0);
    sale.hide();

    // The cashier collects it with F2; nothing is left waiting.
    Tf_cashier cashier(windows());
    QVERIFY(test::showActive(cashier));
    auto* waiting = child<QTableView>(cashier, "DBGrid1");
    QCOMPARE(waiting->model()->rowCount(), 1);
    QCOMPARE(waiting->model()->index(0, 5).data().toString(), QString("K"));
    press(cashier, Qt::Key_F2);
    QCOMPARE(m_prompter.texts(), QStringList{t::kNothingSold});
    QCOMPARE(text(cashier, "me_koll"), QString("2,651.5"));
    QCOMPARE(db.scalar(QStringLiteral("select code_cashier from cash where sh_factor=1")).toInt(), 7);
    QVERIFY(!cashier.findChild<CommandBar*>()->isEnabled(CommandBar::Save));
    cashier.hide();

    // The till is closed with F2 and handed to user 1.
    Tf_cash till(windows());
    QVERIFY(test::showActive(till));
    QVERIFY(till.showsSummary());
    QCOMPARE(text(till, "me_daryaft"), QString("2,651.5"));
    QCOMPARE(text(till, "me_mojoodi"), QString("2,651.5"));
    QCOMPARE(text(till, "me_time_end"), QString("16:45"));
    m_prompter.answerYes();
    press(till, Qt::Key_F2);
    QVERIFY(!till.showsSummary());
    QCOMPARE(focusName(till), QString("but_back"));
    QCOMPARE(text(till, "me_name_new"), t::kTemporaryKeeper);
    QCOMPARE(db.scalar(QStringLiteral("select khales from ekhtetam")).toDouble(), 2651.5);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from cash where ekhtetam=0")).toInt(), 0);
    m_prompter.answerYes();
    enter(till);
    QCOMPARE(m_prompter.texts().mid(1), (QStringList{t::kConfirmClosing, t::kConfirmKeeper}));
    QCOMPARE(till.result(), int(QDialog::Accepted));
    QCOMPARE(db.scalar(QStringLiteral("select code_cash from tanzimat")).toString(), QString("1"));
    QCOMPARE(db.scalar(QStringLiteral("select flag_cash from tanzimat")).toInt(), 1);
}

void SalesWindowsTest::cashierGoesOnToTheNextInvoice() {
    Database& db = m_t->db();
    for (const auto& [invoice, kind] : {std::pair(1, "d"), std::pair(2, "k"), std::pair(3, "d")})
        db.exec(QStringLiteral("insert into cash (sh_factor, type_factor, code_opr, code_cashier, flag_pa, date_no, "
                               "time_no, koll_daryaft, koll_bargasht, ekhtetam, family_b) "
                               "values (?, ?, 1, 7, 0, ?, '09:00', 1000, 0, 0, 'x')"),
                {invoice, QString::fromLatin1(kind), test::kSaleDay});
    const auto paid = [&db] {
        return db.scalar(QStringLiteral("select count(*) from cash where flag_pa=1")).toInt();
    };

    Tf_cashier cashier(windows());
    QVERIFY(test::showActive(cashier));
    auto* waiting = child<QTableView>(cashier, "DBGrid1");
    // The cashier moves to the second invoice and pays it: the third becomes current.
    press(cashier, Qt::Key_Down);
    QCOMPARE(waiting->currentIndex().row(), 1);
    press(cashier, Qt::Key_F2);
    QCOMPARE(paid(), 1);
    QCOMPARE(db.scalar(QStringLiteral("select sh_factor from cash where flag_pa=1")).toInt(), 2);
    QCOMPARE(waiting->model()->rowCount(), 2);
    QCOMPARE(waiting->currentIndex().row(), 1);
    QCOMPARE(waiting->currentIndex().siblingAtColumn(0).data().toInt(), 3);
    // Paying the last row leaves the one before it current; F2 goes on without an arrow key.
    press(cashier, Qt::Key_F2);
    QCOMPARE(waiting->currentIndex().siblingAtColumn(0).data().toInt(), 1);
    press(cashier, Qt::Key_F2);
    QCOMPARE(paid(), 3);
    QCOMPARE(m_prompter.texts(), QStringList{t::kNothingSold});

    // New invoices are read with F9; F2 with no row current says so and pays nothing.
    db.exec(QStringLiteral("update cash set flag_pa=0 where sh_factor=3"));
    press(cashier, Qt::Key_F9);
    QCOMPARE(waiting->currentIndex().row(), 0);
    waiting->selectionModel()->clearCurrentIndex();
    press(cashier, Qt::Key_F2);
    QCOMPARE(paid(), 2);
    QCOMPARE(m_prompter.texts(), (QStringList{t::kNothingSold, t::kNoInvoiceChosen}));
    cashier.hide();
}

void SalesWindowsTest::browsingAndCorrecting() {
    Database& db = m_t->db();
    Tf_froosh_kala sale(windows());
    QVERIFY(test::showActive(sale));
    enter(sale);
    enter(sale);
    addGoods(sale, QStringLiteral("پنبه"), QStringLiteral("10"), t::kGoods); // 800
    press(sale, Qt::Key_F2);
    QCOMPARE(text(sale, "me_sh_factor"), QString("2"));
    CommandBar* bar = sale.commandBar();

    // Ctrl+P from the new invoice shows invoice 1, read-only; again: the first is reached.
    press(sale, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(text(sale, "me_sh_factor"), QString("1"));
    QCOMPARE(text(sale, "me_koll"), QString("800"));
    QVERIFY(!bar->isEnabled(CommandBar::Save));
    QVERIFY(bar->isEnabled(CommandBar::Edit));
    QVERIFY(!child<QWidget>(sale, "me_family")->isEnabled());
    press(sale, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts().last(), t::kAtFirst);

    // F3, then the line is chosen in the list and its quantity changed: 12 × 80 = 960.
    press(sale, Qt::Key_F3);
    QVERIFY(bar->isEnabled(CommandBar::Save));
    auto* list = child<QTableView>(sale, "StringGrid1");
    list->setFocus();
    list->selectRow(0);
    press(sale, Qt::Key_Down); // a key in the list takes its row into the line entry
    press(sale, Qt::Key_Up);
    QCOMPARE(text(sale, "me_tedad"), QString("10"));
    QVERIFY(child<QWidget>(sale, "BitBtn1")->isEnabled());
    child<QLineEdit>(sale, "me_tedad")->setFocus();
    typeAndEnter(sale, QStringLiteral("12"));
    enter(sale);
    QCOMPARE(focusName(sale), QString("BitBtn1"));
    enter(sale);
    QCOMPARE(text(sale, "me_koll"), QString("960"));
    m_prompter.answerYes();
    press(sale, Qt::Key_F2);
    QCOMPARE(m_prompter.texts().last(), t::kConfirmEdit);
    QCOMPARE(db.scalar(QStringLiteral("select price_koll_f from heading_froosh_kala where sh_factor=1")).toDouble(),
             960.0);
    QCOMPARE(db.scalar(QStringLiteral("select sum(koll_daryaft) from cash where sh_factor=1")).toDouble(), 960.0);
    QCOMPARE(test::stockOf(db, 3300002), -2.0);

    // The print: nothing stored under the new invoice's number; the stored one is previewed.
    m_prompter.answerYes();
    press(sale, Qt::Key_F9);
    child<QPushButton>(sale, "ToolButton1")->click();
    QCOMPARE(m_prompter.texts().last(), t::kPrintNotFound);
    press(sale, Qt::Key_L, Qt::ControlModifier);
    bool previewed = false;
    QTimer::singleShot(0, &sale, [&] {
        if (QWidget* preview = QApplication::activeModalWidget()) {
            previewed = preview->inherits("QPrintPreviewDialog");
            preview->close();
        }
    });
    child<QPushButton>(sale, "ToolButton1")->click();
    QVERIFY(previewed);

    // Deleting it after a search by number.
    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("1"));
    press(sale, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(text(sale, "me_sh_factor"), QString("1"));
    m_prompter.answerYes();
    press(sale, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts().last(), t::kConfirmDelete);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from heading_froosh_kala")).toInt(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from cash")).toInt(), 0);
    QCOMPARE(test::stockOf(db, 3300002), 10.0); // its 12 back on the shelf
    QCOMPARE(text(sale, "me_sh_factor"), QString("1"));
}

void SalesWindowsTest::wardConsumptionByKeyboard() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into place (code, name, active) values (3, ?, 1)"), {QStringLiteral("جراحي")});
    db.exec(QStringLiteral("update tanzimat set p_factor=?"), {1});
    Tmasrafi_bakhsh ward(windows());
    // The print after a new save is the consumption sheet; a failed print is only reported.
    QList<print::ReportData> printed;
    ward.setPrintStep([&printed](const print::Report& report) {
        printed.append(report.data());
        return print::OutputResult::failed(QStringLiteral("no printer"));
    });
    QVERIFY(test::showActive(ward));
    QCOMPARE(focusName(ward), QString("sh_darkhast"));
    QCOMPARE(child<QComboBox>(ward, "cb_vaziat")->currentText(), QStringLiteral("تعرفه"));
    QVERIFY(!child<QWidget>(ward, "ToolButton1")->isVisible());
    typeAndEnter(ward, QStringLiteral("R-205"));
    QCOMPARE(focusName(ward), QString("me_code_bakhsh"));
    typeAndEnter(ward, QStringLiteral("9")); // no such ward: refused, the focus stays
    QCOMPARE(m_prompter.texts().last(), QStringLiteral("اين كد موجود نمي باشد"));
    QCOMPARE(focusName(ward), QString("me_code_bakhsh"));
    typeAndEnter(ward, QStringLiteral("3"));
    QCOMPARE(text(ward, "me_name_bakhsh"), QStringLiteral("جراحي"));
    addGoods(ward, QStringLiteral("آموكسي"), QStringLiteral("3"), QStringLiteral("تعرفه")); // the kind is kept
    addGoods(ward, QStringLiteral("پنبه"), QStringLiteral("2"), QStringLiteral("تعرفه"));
    QCOMPARE(text(ward, "me_koll_kala"), QString("3,160"));
    press(ward, Qt::Key_F2);
    QCOMPARE(focusName(ward), QString("sh_darkhast"));
    QCOMPARE(db.scalar(QStringLiteral("select code_bakhsh from heading_masrafi where sh_factor=1")).toInt(), 3);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from details_masrafi")).toInt(), 2);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from cash")).toInt(), 0);
    QCOMPARE(test::stockOf(db, 1010001), 7.0);
    QCOMPARE(m_prompter.texts().last(), QStringLiteral("no printer"));
    QCOMPARE(printed.size(), 1);
    const print::Values& sheet = printed.at(0).values;
    QCOMPARE(sheet.value("number"), QString("1"));
    QCOMPARE(sheet.value("request"), QString("R-205"));
    QCOMPARE(sheet.value("wardCode"), QString("3"));
    QCOMPARE(sheet.value("wardName"), QStringLiteral("جراحي"));
    QCOMPARE(sheet.value("total"), QString("3,160"));
    QCOMPARE(printed.at(0).rows.size(), 2);
    QCOMPARE(printed.at(0).rows.at(0).value("code"), QString("1010001"));
    QCOMPARE(printed.at(0).rows.at(0).value("kind"), QStringLiteral("تعرفه"));
    QCOMPARE(printed.at(0).rows.at(0).value("quantity"), QString("3"));
    press(ward, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(text(ward, "sh_darkhast"), QString("R-205"));
    QCOMPARE(text(ward, "me_name_bakhsh"), QStringLiteral("جراحي"));
    // A corrected consumption is not printed again.
    press(ward, Qt::Key_F3);
    m_prompter.answerYes();
    press(ward, Qt::Key_F2);
    QCOMPARE(m_prompter.texts().last(), t::kConfirmEdit);
    QCOMPARE(printed.size(), 1);
}

void SalesWindowsTest::stockListOpensOverTheWindow_data() { bothWindows(); }

void SalesWindowsTest::stockListOpensOverTheWindow() {
    QFETCH(bool, ward);
    const std::unique_ptr<Tf_froosh_kala> window = saleWindow(ward);
    // Without an opener the key does nothing.
    QVERIFY(test::showActive(*window));
    press(*window, Qt::Key_M, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts(), QStringList());
    QStringList opened;
    window->setWindowOpener([&opened](const QString& windowClass) { opened.append(windowClass); });
    const QString first = focusName(*window);
    ph::test::typeIn(*window, ward ? QStringLiteral("12") : QStringLiteral("كر"));
    press(*window, Qt::Key_M, Qt::ControlModifier);
    QCOMPARE(opened, QStringList{QStringLiteral("Tmojoodi")});
    // The header being typed is kept, and the key typed nothing into it.
    QCOMPARE(focusName(*window), first);
    const QString typed = child<QLineEdit>(*window, first)->text();
    QVERIFY2(typed.endsWith(ward ? QStringLiteral("12") : QStringLiteral("كر")), qPrintable(typed));
    QVERIFY(!typed.contains(u'm', Qt::CaseInsensitive));
    // From the line list as well.
    child<QTableView>(*window, "StringGrid1")->setFocus();
    press(*window, Qt::Key_M, Qt::ControlModifier);
    QCOMPARE(opened.size(), 2);
}

void SalesWindowsTest::scannedPacksAreDrawnFromTheirLots_data() { bothWindows(); }

void SalesWindowsTest::scannedPacksAreDrawnFromTheirLots() {
    QFETCH(bool, ward);
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into place (code, name, active) values (3, ?, 1)"), {QStringLiteral("جراحي")});
    // The syringes' ten are all in lots; the scanned pack is of the later one.
    const LotKey early{QStringLiteral("E1"), QDate(2027, 6, 30)};
    const LotKey scannedLot{QStringLiteral("B7"), QDate(2029, 12, 31)};
    LotStore(db).takeIn(3300001, 20, early, 4);
    LotStore(db).takeIn(3300001, 20, scannedLot, 6);
    BarcodeStore(db).add(3300001, QStringLiteral("6260000000019"));
    const QString pack = QStringLiteral("]d2010626000000001917291231" "10B7~21SN1");
    const auto lots = [&db](const LotKey& key) { return LotStore(db).find(3300001, 20, key)->quantity; };
    const auto inLots = [&db] {
        return db.scalar(QStringLiteral("select sum(qu) from kala_lot where code_kala=3300001")).toDouble();
    };

    const std::unique_ptr<Tf_froosh_kala> window = saleWindow(ward);
    QVERIFY(test::showActive(*window));
    const auto toLookup = [&] {
        // The customer's fields as they are, or the ward's request and ward.
        if (ward && text(*window, "sh_darkhast").isEmpty()) {
            typeAndEnter(*window, QStringLiteral("R-7"));
            typeAndEnter(*window, QStringLiteral("3"));
        } else {
            enter(*window);
            enter(*window);
        }
        QCOMPARE(focusName(*window), QString("DBGrid2"));
    };
    toLookup();
    const GoodsLines& lines = window->session().lines();
    // The GS1 DataMatrix of a pack, then its EAN-13: one line of two, the lookup cleared and
    // ready for the next pack.
    scan(*window, pack);
    scan(*window, QStringLiteral("6260000000019"));
    QCOMPARE(lines.lineCount(), 1);
    QCOMPARE(lines.cell(1, GoodsLines::Code), QString("3300001"));
    QCOMPARE(lines.cell(1, GoodsLines::Quantity), QString("2"));
    QCOMPARE(lines.cell(1, GoodsLines::Kind), ward ? QStringLiteral("تعرفه") : t::kGoods);
    QCOMPARE(focusName(*window), QString("DBGrid2"));
    QCOMPARE(child<DrugLookup>(*window, "DBGrid2")->searchText(), QString());
    QCOMPARE(m_prompter.texts(), QStringList());

    // A barcode no item has: declined, nothing changes; linked to the cotton chosen in the
    // picker, the scan adds it, and the next scan of it raises its line without asking.
    const QString unknown = QStringLiteral("6260000000026");
    const QString link = texts::kLinkBarcode.arg(QStringLiteral("06260000000026"));
    m_prompter.answerNo();
    scan(*window, unknown);
    QCOMPARE(m_prompter.texts(), QStringList{link});
    QVERIFY(m_picker.requests().isEmpty());
    QCOMPARE(lines.lineCount(), 1);
    m_prompter.answerYes();
    m_picker.choose(3300002);
    scan(*window, unknown);
    QCOMPARE(m_picker.requests().size(), 1);
    QCOMPARE(m_picker.requests().at(0).rows.size(), child<DrugLookup>(*window, "DBGrid2")->drugs().size());
    scan(*window, unknown);
    QCOMPARE(m_prompter.texts(), (QStringList{link, link}));
    QCOMPARE(lines.lineCount(), 2);
    QCOMPARE(lines.cell(2, GoodsLines::Code), QString("3300002"));
    QCOMPARE(lines.cell(2, GoodsLines::Quantity), QString("2"));
    QCOMPARE(BarcodeStore(db).barcodesOf(3300002), QStringList{QStringLiteral("06260000000026")});

    // Saved: the scanned lot gives the two, and the stock is what the lots hold.
    press(*window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts().size(), 2);
    QCOMPARE(lots(scannedLot), 4.0);
    QCOMPARE(lots(early), 4.0);
    QCOMPARE(test::stockOf(db, 3300001), 8.0);
    QCOMPARE(inLots(), 8.0);

    // Corrected with the same pack scanned once more: the serial is named as given out by
    // this document, and its lots are drawn again from the scanned one.
    m_prompter.clear();
    press(*window, Qt::Key_P, Qt::ControlModifier);
    press(*window, Qt::Key_F3);
    toLookup();
    scan(*window, pack);
    QCOMPARE(m_prompter.texts(),
             QStringList{texts::kSerialSeen.arg(ward ? QStringLiteral("مصرف بخش 1") : QStringLiteral("فاكتور كالا 1"))});
    QCOMPARE(lines.cell(1, GoodsLines::Quantity), QString("3"));
    m_prompter.answerYes();
    press(*window, Qt::Key_F2);
    QCOMPARE(m_prompter.texts().last(), t::kConfirmEdit);
    QCOMPARE(lots(scannedLot), 3.0);
    QCOMPARE(lots(early), 4.0);
    QCOMPARE(test::stockOf(db, 3300001), 7.0);
    QCOMPARE(inLots(), 7.0);

    // Deleted: every pack back in its lot, no draw or serial left.
    m_prompter.answerPrompt(QStringLiteral("ok"), QStringLiteral("1"));
    press(*window, Qt::Key_A, Qt::ControlModifier);
    m_prompter.answerYes();
    press(*window, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(m_prompter.texts().last(), t::kConfirmDelete);
    QCOMPARE(lots(scannedLot), 6.0);
    QCOMPARE(lots(early), 4.0);
    QCOMPARE(test::stockOf(db, 3300001), 10.0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from kala_lot_line")).toInt(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from kala_serial")).toInt(), 0);
}

QTEST_MAIN(SalesWindowsTest)
#include "sales_windows_test.moc"
