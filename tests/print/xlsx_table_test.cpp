// Spreadsheets written from a table: read back cell by cell.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "print/xlsx_table.h"
#include "support/xlsx_reading.h"

using namespace ph::print;

class XlsxTableTest : public QObject {
    Q_OBJECT

private slots:
    void writesTitlesCaptionsRowsAndTotals() {
        QTemporaryDir folder;
        XlsxSheet sheet;
        sheet.name = QStringLiteral("ليست");
        sheet.titleLines = {QStringLiteral("ليست نسخ بيمه")};
        sheet.columns = {{QStringLiteral("نام"), XlsxColumnKind::Text},
                         {QStringLiteral("تعداد"), XlsxColumnKind::Count},
                         {QStringLiteral("مبلغ"), XlsxColumnKind::Amount}};
        sheet.rows = {{QStringLiteral("علي"), 3, 1000.5}, {QStringLiteral("0012"), QVariant(), 25000}};
        sheet.totals = {QStringLiteral("جمع"), 3, 26000.5};
        const QString path = folder.filePath(QStringLiteral("list.xlsx"));
        QVERIFY(writeXlsx({sheet}, path).done());

        const ph::test::XlsxSheetText read = ph::test::readXlsxSheet(path);
        QVERIFY(read.rightToLeft);
        const QList<QStringList> expected = {
            {QStringLiteral("ليست نسخ بيمه")},
            {},
            {QStringLiteral("نام"), QStringLiteral("تعداد"), QStringLiteral("مبلغ")},
            {QStringLiteral("علي"), QStringLiteral("3"), QStringLiteral("1000.5")},
            {QStringLiteral("0012"), QString(), QStringLiteral("25000")}, // a code stays text
            {QStringLiteral("جمع"), QStringLiteral("3"), QStringLiteral("26000.5")},
        };
        QCOMPARE(read.rows, expected);
        // Nothing but the finished file is left in the folder.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("list.xlsx")});
    }

    void aMissingFolderFailsWithItsMessage() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("missing/list.xlsx"));
        const OutputResult result = writeXlsx({XlsxSheet{}}, path);
        QVERIFY(!result.done());
        QVERIFY(result.message.startsWith(ph::print::texts::kXlsxNotWritten));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(XlsxTableTest)
#include "xlsx_table_test.moc"
