#include "support/typing.h"
#include "widgets/quick_search.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

using namespace ph;

namespace {

constexpr int kCode = 0;
constexpr int kName = 1;

QStandardItemModel* makeList(const QList<std::pair<int, QString>>& rows, QObject* parent) {
    auto* model = new QStandardItemModel(0, 2, parent);
    for (const auto& [code, name] : rows) {
        auto* codeItem = new QStandardItem;
        codeItem->setData(code, Qt::DisplayRole);
        model->appendRow({codeItem, new QStandardItem(name)});
    }
    return model;
}

// Types the keys one by one; "\b" is Backspace.
void typeKeys(QLineEdit& edit, const QString& keys) {
    ph::test::typeKeys(&edit, keys);
}

QList<int> shownCodes(const QAbstractItemModel& model) {
    QList<int> codes;
    for (int row = 0; row < model.rowCount(); ++row)
        codes.append(model.index(row, kCode).data().toInt());
    return codes;
}

int currentCode(const QAbstractItemView& view) {
    const QModelIndex current = view.currentIndex();
    return current.isValid() ? current.siblingAtColumn(kCode).data().toInt() : -1;
}

} // namespace

class QuickSearchTest : public QObject {
    Q_OBJECT
private slots:
    void digitsLocateOtherTextFilters_data();
    void digitsLocateOtherTextFilters();
    void thirtyThousandRowsStayInstant();
};

void QuickSearchTest::digitsLocateOtherTextFilters_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<int>("current");
    const QList<int> byCode = {1, 2, 3, 4, 7, 12, 25, 120};
    // Persian alphabetical order: پ between ب and ت; Latin names after Persian ones.
    const QList<int> byName = {1, 3, 4, 12, 25, 7, 120, 2};
    QTest::newRow("1") << QStringLiteral("1") << byCode << 1;
    QTest::newRow("12") << QStringLiteral("12") << byCode << 12;
    QTest::newRow("12, Backspace") << QStringLiteral("12\b") << byCode << 1;
    QTest::newRow("120") << QStringLiteral("120") << byCode << 120;
    QTest::newRow("persian digits") << QStringLiteral("۱۲") << byCode << 12;
    QTest::newRow("no such code") << QStringLiteral("5") << byCode << -1;
    QTest::newRow("name prefix") << QStringLiteral("ب") << QList<int>{12, 25} << 12;
    QTest::newRow("longer name prefix") << QStringLiteral("بت") << QList<int>{25} << 25;
    QTest::newRow("arabic kaf typed") << QStringLiteral("الك") << QList<int>{3} << 3;
    QTest::newRow("persian yeh typed") << QStringLiteral("ای") << QList<int>{4} << 4;
    QTest::newRow("latin, any case") << QStringLiteral("amo") << QList<int>{2} << 2;
    QTest::newRow("no such name") << QStringLiteral("x") << QList<int>{} << -1;
    QTest::newRow("emptied after a name shows all by name") << QStringLiteral("بت\b\b") << byName << 12;
    QTest::newRow("digits after a name show all by code") << QStringLiteral("بت\b\b12") << byCode << 12;
}

void QuickSearchTest::digitsLocateOtherTextFilters() {
    QFETCH(QString, keys);
    QFETCH(QList<int>, shown);
    QFETCH(int, current);
    QLineEdit edit;
    QTableView view;
    auto* list = makeList({{12, QStringLiteral("بابونه")},
                           {1, QStringLiteral("آب مقطر")},
                           {3, QStringLiteral("الکل")},
                           {120, QStringLiteral("تتراسايکلين")},
                           {2, QStringLiteral("Amoxicillin")},
                           {25, QStringLiteral("بتامتازون")},
                           {7, QStringLiteral("پماد")},
                           {4, QStringLiteral("ايبوپروفن")}},
                          &view);
    QuickSearch search(&edit, list, &view, kCode, kName);
    QCOMPARE(view.model(), search.model());

    typeKeys(edit, keys);
    QCOMPARE(shownCodes(*view.model()), shown);
    QCOMPARE(currentCode(view), current);
    QCOMPARE(list->rowCount(), 8); // the loaded rows themselves are never touched
}

void QuickSearchTest::thirtyThousandRowsStayInstant() {
    constexpr int kRows = 30000;
    const QString letters = QStringLiteral("ابپتثجچحخدذرزژسشصضطظعغفقکگلمنوهی");
    QRandomGenerator random(1403);
    QList<std::pair<int, QString>> rows;
    for (int i = 0; i < kRows; ++i) {
        QString name;
        for (int n = 4 + random.bounded(8); n > 0; --n)
            name += letters[random.bounded(letters.size())];
        rows.append({int((i * 7919LL) % kRows) + 1, name});
    }
    QLineEdit edit;
    QTableView view;
    view.resize(600, 400);
    auto* list = makeList(rows, &view);
    QuickSearch search(&edit, list, &view, kCode, kName);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    int startingWithBe = 0;
    for (const auto& row : rows)
        if (row.second.startsWith(u'ب')) ++startingWithBe;

    QSignalSpy reordered(search.model(), &QAbstractItemModel::layoutChanged);
    qint64 slowest = 0;
    QString slowestStep;
    for (const QString& step :
         {QStringLiteral("ب"), QStringLiteral("بت"), QStringLiteral("ب"), QString(), QStringLiteral("1"),
          QStringLiteral("12"), QStringLiteral("123"), QString(), QStringLiteral("ک")}) {
        reordered.clear();
        QElapsedTimer timer;
        timer.start();
        edit.setText(step);
        const qint64 elapsed = timer.elapsed();
        if (elapsed > slowest) {
            slowest = elapsed;
            slowestStep = step;
        }
        if (step == QStringLiteral("ب")) QCOMPARE(search.model()->rowCount(), startingWithBe);
        if (step == QStringLiteral("بت")) QCOMPARE(reordered.count(), 0); // a longer prefix only hides rows
        if (step == QStringLiteral("123")) QCOMPARE(currentCode(view), 123);
    }
    QVERIFY2(slowest < 500, qPrintable(QStringLiteral("\"%1\" took %2 ms").arg(slowestStep).arg(slowest)));
}

QTEST_MAIN(QuickSearchTest)
#include "quick_search_test.moc"
