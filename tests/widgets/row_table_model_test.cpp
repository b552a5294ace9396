#include "widgets/list_grid.h"
#include "widgets/quick_search.h"
#include "widgets/row_table_model.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

using namespace ph;

namespace {

struct Rule {
    double code;
    QString name;
    bool hospitalOnly;
};

QList<RowTableModel<Rule>::Column> columns() {
    return {
        {QStringLiteral("كد"), [](const Rule& r) { return QVariant(r.code); }},
        {QStringLiteral("نام"), [](const Rule& r) { return QVariant(r.name); }},
        {QStringLiteral("بيمارستاني"), [](const Rule& r) { return QVariant(r.hospitalOnly); }, true},
    };
}

} // namespace

class RowTableModelTest : public QObject {
    Q_OBJECT
private slots:
    void rowsShowTheirValues();
    void rebuildingTheRowsMovesNoCurrentRow();
};

// Codes stay numbers (ordered and located as numbers), flags are check boxes.
void RowTableModelTest::rowsShowTheirValues() {
    RowTableModel<Rule> model(columns());
    model.setRows({{10, QStringLiteral("ب"), true}, {9, QStringLiteral("الف"), false}});
    QLineEdit search;
    QTableView* grid = makeListGrid(nullptr, QStringLiteral("DBGrid1"));
    QuickSearch quick(&search, &model, grid, 0, 1);

    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("بيمارستاني"));
    QCOMPARE(model.index(0, 0).data().typeId(), QMetaType::Double);
    QCOMPARE(model.index(0, 2).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(model.index(1, 2).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(!model.index(0, 2).data().isValid());

    quick.model()->sortByColumns({0});
    QCOMPARE(quick.model()->index(0, 0).data().toDouble(), 9.0);
    search.setText(QStringLiteral("10"));
    QCOMPARE(grid->currentIndex().row(), 1);
    delete grid;
}

// The windows load the fields from the row that becomes current; reading the rows again
// must not load one of them by itself.
void RowTableModelTest::rebuildingTheRowsMovesNoCurrentRow() {
    RowTableModel<Rule> model(columns());
    model.setRows({{1, QStringLiteral("الف"), false}, {2, QStringLiteral("ب"), false}});
    QTableView* grid = makeListGrid(nullptr, QStringLiteral("DBGrid1"));
    QuickSearch quick(nullptr, &model, grid, 0, 1);
    grid->setCurrentIndex(grid->model()->index(1, 0));
    QSignalSpy moved(grid->selectionModel(), &QItemSelectionModel::currentRowChanged);

    model.setRows({{3, QStringLiteral("پ"), true}, {1, QStringLiteral("الف"), false}, {2, QStringLiteral("ب"), false}});

    QCOMPARE(moved.count(), 0);
    QVERIFY(!grid->currentIndex().isValid());
    QVERIFY(model.hasRow(2));
    QVERIFY(!model.hasRow(-1));
    QVERIFY(!model.hasRow(3));
    delete grid;
}

QTEST_MAIN(RowTableModelTest)
#include "row_table_model_test.moc"
