#include "widgets/list_grid.h"
#include "widgets/number_delegate.h"
#include "widgets/row_table_model.h"

#include <QHeaderView>
#include <QLocale>
#include <QStyleOptionViewItem>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

using namespace ph;

class NumberDelegateTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void amounts_data();
    void amounts();
    void codes_data();
    void codes();
    void gridDrawsCodesWholeAndAmountsGrouped();
    void textAmountColumnsDrawGrouped();
    void longTextColumnTakesTheSpareWidth();
};

void NumberDelegateTest::amounts_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<bool>("persian");
    QTest::addColumn<QString>("text");
    QTest::newRow("small") << 950.0 << false << "950";
    QTest::newRow("thousands") << 380000.0 << false << "380,000";
    QTest::newRow("millions") << 10000000.0 << false << "10,000,000";
    QTest::newRow("four digits") << 1250.0 << false << "1,250";
    QTest::newRow("fraction kept") << 1234567.5 << false << "1,234,567.5";
    QTest::newRow("negative") << -1250.0 << false << "-1,250";
    QTest::newRow("zero") << 0.0 << false << "0";
    QTest::newRow("persian digits") << 380000.0 << true << QStringLiteral("۳۸۰٬۰۰۰");
    QTest::newRow("persian fraction") << 12.5 << true << QStringLiteral("۱۲٫۵");
}

void NumberDelegateTest::amounts() {
    QFETCH(double, amount);
    QFETCH(bool, persian);
    QFETCH(QString, text);
    QCOMPARE(amountDisplayText(amount, persian), text);
}

void NumberDelegateTest::codes_data() {
    QTest::addColumn<double>("code");
    QTest::addColumn<bool>("persian");
    QTest::addColumn<QString>("text");
    // Two drugs whose codes a shortest-form double text shows alike ("1.1e+06").
    QTest::newRow("drug code") << 1100001.0 << false << "1100001";
    QTest::newRow("its neighbour") << 1100002.0 << false << "1100002";
    QTest::newRow("round code") << 1010000.0 << false << "1010000";
    QTest::newRow("national code") << 6260100023716.0 << false << "6260100023716";
    QTest::newRow("persian digits") << 1010000.0 << true << QStringLiteral("۱۰۱۰۰۰۰");
}

void NumberDelegateTest::codes() {
    QFETCH(double, code);
    QFETCH(bool, persian);
    QFETCH(QString, text);
    QCOMPARE(codeDisplayText(code, persian), text);
}

namespace {
struct Row {
    double code;
    QString name;
    double price;
};

RowTableModel<Row>* makeModel(QObject* parent) {
    auto* model = new RowTableModel<Row>(
        {
            {QStringLiteral("كــــد"), [](const Row& r) { return QVariant(r.code); }},
            {QStringLiteral("نام دارو"), [](const Row& r) { return QVariant(r.name); }},
            {QStringLiteral("قيمت"), [](const Row& r) { return QVariant(r.price); }},
        },
        parent);
    model->setRows({{1100001, QStringLiteral("آموكسي سيلين"), 380000}, {1100002, QStringLiteral("ب"), 1250.5}});
    return model;
}

QString drawn(QTableView* grid, int row, int column) {
    QStyleOptionViewItem option;
    option.locale = QLocale::c();
    const QModelIndex index = grid->model()->index(row, column);
    auto* delegate = qobject_cast<NumberDelegate*>(grid->itemDelegateForIndex(index));
    if (!delegate) return {};
    QStyleOptionViewItem copy = option;
    delegate->initStyleOption(&copy, index);
    return copy.text;
}
} // namespace

// The model keeps plain numbers; the grid draws a code column whole (its caption says "code")
// and other numbers grouped.
void NumberDelegateTest::gridDrawsCodesWholeAndAmountsGrouped() {
    QWidget window;
    auto* model = makeModel(&window);
    QTableView* grid = makeListGrid(&window, QStringLiteral("DBGrid1"), model);
    QCOMPARE(model->index(0, 0).data().typeId(), QMetaType::Double);
    QCOMPARE(drawn(grid, 0, 0), QStringLiteral("1100001"));
    QCOMPARE(drawn(grid, 1, 0), QStringLiteral("1100002"));
    QCOMPARE(drawn(grid, 0, 1), QStringLiteral("آموكسي سيلين"));
    QCOMPARE(drawn(grid, 0, 2), QStringLiteral("380,000"));
    QCOMPARE(drawn(grid, 1, 2), QStringLiteral("1,250.5"));
    // A code column the caption does not name.
    setAmountColumns(grid, {0});
    QCOMPARE(drawn(grid, 0, 0), QStringLiteral("1,100,001"));
    setCodeColumns(grid, {0});
    QCOMPARE(drawn(grid, 0, 0), QStringLiteral("1100001"));
}

// A line list keeps its cells as text: a column named as amounts draws a number grouped, other
// texts (an empty cell, a name, a code with leading zeros elsewhere) as they are.
void NumberDelegateTest::textAmountColumnsDrawGrouped() {
    QWidget window;
    QStandardItemModel model(0, 3);
    model.setHorizontalHeaderLabels({QStringLiteral("قيمت واحد"), QStringLiteral("شماره"), QStringLiteral("قيمت كل")});
    model.appendRow({new QStandardItem(QStringLiteral("4800")), new QStandardItem(QStringLiteral("0012345")),
                     new QStandardItem(QStringLiteral("2451.5"))});
    model.appendRow({new QStandardItem(QString()), new QStandardItem(QStringLiteral("12")),
                     new QStandardItem(QStringLiteral("علي"))});
    QTableView* grid = makeListGrid(&window, QStringLiteral("StringGrid1"), &model);
    QCOMPARE(drawn(grid, 0, 0), QStringLiteral("4800")); // not named: drawn as it is
    setAmountColumns(grid, {0, 2});
    QCOMPARE(drawn(grid, 0, 0), QStringLiteral("4,800"));
    QCOMPARE(drawn(grid, 0, 2), QStringLiteral("2,451.5"));
    QCOMPARE(drawn(grid, 0, 1), QStringLiteral("0012345"));
    QCOMPARE(drawn(grid, 1, 0), QString());
    QCOMPARE(drawn(grid, 1, 2), QStringLiteral("علي"));
}

void NumberDelegateTest::longTextColumnTakesTheSpareWidth() {
    QWidget window;
    auto* model = makeModel(&window);
    QTableView* grid = makeListGrid(&window, QStringLiteral("DBGrid1"), model);
    grid->resize(900, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* list = qobject_cast<ListGrid*>(grid);
    QVERIFY(list);
    list->fitColumns();
    const int viewport = grid->viewport()->width();
    const int total = grid->columnWidth(0) + grid->columnWidth(1) + grid->columnWidth(2);
    QCOMPARE(total, viewport);
    QVERIFY(grid->columnWidth(1) > grid->columnWidth(0));
    QVERIFY(grid->columnWidth(1) > grid->columnWidth(2));
    // Every column shows its caption and its widest value whole.
    for (int column = 0; column < 3; ++column)
        QVERIFY(grid->columnWidth(column) >= grid->horizontalHeader()->sectionSizeHint(column));
}

QTEST_MAIN(NumberDelegateTest)
#include "number_delegate_test.moc"
