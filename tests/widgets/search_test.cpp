#include "support/typing.h"
#include "widgets/search.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

using namespace ph;

namespace {

PickRow row(QVariant code, const QString& name1, QVariantMap extra = {}) {
    return PickRow{std::move(code), name1, std::move(extra)};
}

// In the caller's own order, which is neither by code nor by name.
PickRequest request() {
    return {QStringLiteral("nezam_p"),
            {row(3, QStringLiteral("ت")),
             row(1, QStringLiteral("الف"), {{QStringLiteral("family"), QStringLiteral("رضايي")}}),
             row(12, QStringLiteral("بت")), row(2, QStringLiteral("ب")), row(120, QStringLiteral("پ"))}};
}

using ph::test::typeKeys;

QList<int> shownCodes(const QAbstractItemModel& model) {
    QList<int> codes;
    for (int r = 0; r < model.rowCount(); ++r)
        codes.append(model.index(r, 0).data().toInt());
    return codes;
}

struct Parts {
    QTableView* grid;
    QLineEdit* search;
};

Parts partsOf(Tf_search& picker) {
    return {picker.findChild<QTableView*>(QStringLiteral("DBGrid1")),
            picker.findChild<QLineEdit*>(QStringLiteral("me_search"))};
}

} // namespace

class SearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typedSearch_data();
    void typedSearch();
    void answers();
    void pickOpensCleanEachTime();
};

void SearchTest::typedSearch_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<int>("current");
    const QList<int> byCode = {1, 2, 3, 12, 120};
    QTest::newRow("1") << QStringLiteral("1") << byCode << 1;
    QTest::newRow("12") << QStringLiteral("12") << byCode << 12;
    QTest::newRow("12, Backspace") << QStringLiteral("12\b") << byCode << 1;
    QTest::newRow("no such code: the row stays") << QStringLiteral("5") << byCode << 3;
    QTest::newRow("a letter filters by name") << QStringLiteral("ب") << QList<int>{2, 12} << 2;
    QTest::newRow("longer name") << QStringLiteral("بت") << QList<int>{12} << 12;
    QTest::newRow("emptied: all rows, by name") << QStringLiteral("ب\b") << QList<int>{1, 2, 12, 120, 3} << 2;
    QTest::newRow("no such name") << QStringLiteral("x") << QList<int>{} << -1;
}

void SearchTest::typedSearch() {
    QFETCH(QString, keys);
    QFETCH(QList<int>, shown);
    QFETCH(int, current);
    Tf_search picker;
    picker.prepare(request());
    picker.show();
    const Parts parts = partsOf(picker);
    typeKeys(parts.grid, keys);

    QString expectedText;
    for (QChar c : keys) {
        if (c == u'\b')
            expectedText.chop(1);
        else
            expectedText.append(c);
    }
    QCOMPARE(picker.searchText(), expectedText);
    QCOMPARE(shownCodes(*parts.grid->model()), shown);
    const auto at = picker.currentRow();
    QCOMPARE(at ? at->code.toInt() : -1, current);
}

void SearchTest::answers() {
    Tf_search picker;
    const Parts parts = partsOf(picker);
    struct Case {
        const char* label;
        std::function<void()> act;
        int chosen; // -1: nothing
        bool closed;
    };
    const Case cases[] = {
        {"Enter takes the current row",
         [&] {
             typeKeys(parts.grid, QStringLiteral("1"));
             QTest::keyClick(parts.grid, Qt::Key_Return);
         },
         1, true},
        {"Esc takes nothing", [&] { QTest::keyClick(parts.grid, Qt::Key_Escape); }, -1, true},
        {"OK takes the current row",
         [&] {
             typeKeys(parts.grid, QStringLiteral("12"));
             picker.findChild<QPushButton*>(QStringLiteral("but_ok"))->click();
         },
         12, true},
        {"cancel takes nothing",
         [&] { picker.findChild<QPushButton*>(QStringLiteral("but_cancel"))->click(); }, -1, true},
        {"double-click takes the row",
         [&] {
             const QModelIndex index = parts.grid->model()->index(4, 1);
             const QPoint at = parts.grid->visualRect(index).center();
             QTest::mouseClick(parts.grid->viewport(), Qt::LeftButton, {}, at);
             QTest::mouseDClick(parts.grid->viewport(), Qt::LeftButton, {}, at);
         },
         120, true},
        {"Enter with nothing shown waits",
         [&] {
             typeKeys(parts.grid, QStringLiteral("x"));
             QTest::keyClick(parts.grid, Qt::Key_Return);
         },
         -1, false},
    };
    for (const Case& c : cases) {
        picker.prepare(request());
        picker.show();
        QVERIFY2(QTest::qWaitForWindowExposed(&picker), c.label);
        c.act();
        const auto chosen = picker.chosen();
        QVERIFY2((chosen ? chosen->code.toInt() : -1) == c.chosen, c.label);
        QVERIFY2(picker.isVisible() == !c.closed, c.label);
        picker.hide();
    }
}

void SearchTest::pickOpensCleanEachTime() {
    Tf_search picker;
    const Parts parts = partsOf(picker);
    QCOMPARE(picker.windowTitle(), QStringLiteral("  فـــرم جستـجـــــو  "));
    picker.prepare(request());
    QCOMPARE(parts.grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("كـــد"));
    QCOMPARE(parts.grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("نــــــام"));
    QTimer::singleShot(0, &picker, [&] {
        typeKeys(parts.grid, QStringLiteral("ال"));
        QTest::keyClick(parts.grid, Qt::Key_Enter, Qt::KeypadModifier);
    });
    const auto first = picker.pick(request());
    QVERIFY(first);
    QCOMPARE(first->code.toInt(), 1);
    QCOMPARE(first->extra.value(QStringLiteral("family")).toString(),
             QStringLiteral("رضايي")); // the mode's own column

    // Opened again: empty search, the caller's order, the grid focused; goods codes as whole numbers.
    PickRequest goods{QStringLiteral("group1"),
                      {row(2070002.0, QStringLiteral("ب")), row(1070001.0, QStringLiteral("الف"))}};
    QString text = QStringLiteral("unset");
    QList<int> order;
    bool gridFocused = false;
    QString codeText;
    QTimer::singleShot(0, &picker, [&] {
        QVERIFY(QTest::qWaitForWindowActive(&picker));
        text = parts.search->text();
        order = shownCodes(*parts.grid->model());
        gridFocused = parts.grid->hasFocus();
        codeText = parts.grid->model()->index(0, 0).data().toString();
        QTest::keyClick(parts.grid, Qt::Key_Escape);
    });
    QVERIFY(!picker.pick(goods));
    QCOMPARE(text, QString());
    QCOMPARE(order, (QList<int>{2070002, 1070001}));
    QVERIFY(gridFocused);
    QCOMPARE(codeText, QStringLiteral("2070002"));
    QCOMPARE(picker.mode(), QStringLiteral("group1"));
}

QTEST_MAIN(SearchTest)
#include "search_test.moc"
