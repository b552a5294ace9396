#include "admin/price_correction.h"
#include "lots/barcodes.h"
#include "admin/price_workbook.h"
#include "audit/audit_log.h"
#include "db/schema.h"
#include "db/transaction.h"

#include <QJsonArray>
#include <QJsonDocument>
#include "support/test_database.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "support/zip_files.h"

#include <functional>

using namespace ph;
using ph::test::TestDatabase;

namespace {

// Reading as the program does, with the .xls reader built beside the tests' programs.
PriceWorkbookReading reading() {
    PriceWorkbookReading how;
    how.xlsReader = QStringLiteral(PH_XLS_READER);
    return how;
}

// The first sheet every workbook test reads, as written in prices.xls (fixtures),
// the generated .xlsx and the .csv files: a name column first, headers with odd case
// and blanks, numbers stored as numbers and as text, empty and missing cells.
const QList<PriceSheetRow> kSheetRows = {
    {2, "1001", "5000"},  {3, "1002", "6500.5"}, {4, "", "7000"},
    {5, "۱۰۰۳", "۸٬۰۰۰"}, {6, "abc", "9000"},    {7, "1004", ""},
    {8, "1005", "x1"},    {9, "9999", "100"},    {11, "1006", "1234"},
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& parts) {
    ph::test::ZipWriter zip(path);
    for (const auto& [name, bytes] : parts)
        QVERIFY(zip.add(name, bytes));
    QVERIFY(zip.close());
}

QByteArray sheetXml(const QByteArray& rows) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" +
           rows + "</sheetData></worksheet>";
}

// An .xlsx whose first sheet (in workbook order) is stored as prices.xml and reached
// through an absolute target; the sheet stored as sheet1.xml comes second and must be
// ignored. `priceRows` replaces the first sheet's rows when given.
void writeXlsx(const QString& path, const QByteArray& priceRows = {}) {
    const QByteArray workbook =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
        "<sheet name=\"prices\" sheetId=\"2\" r:id=\"rId7\"/><sheet name=\"other\" sheetId=\"1\" r:id=\"rId1\"/>"
        "</sheets></workbook>";
    const QByteArray rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId7\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "worksheet\" Target=\"/xl/worksheets/prices.xml\"/>"
        "</Relationships>";
    // The code header is two rich-text runs with a phonetic guide that is not part of the text.
    const QByteArray strings =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<si><t>نام</t></si>"
        "<si><r><t xml:space=\"preserve\"> Co</t></r><r><rPr><b/></rPr><t xml:space=\"preserve\">de </t></r>"
        "<rPh sb=\"0\" eb=\"1\"><t>x</t></rPh></si>"
        "<si><t>PRICE</t></si><si><t>1002</t></si><si><t>abc</t></si><si><t>x1</t></si>"
        "<si><t>آموكسي سيلين</t></si></sst>";
    const QByteArray rows = !priceRows.isEmpty()
                                ? priceRows
                                : "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
                                  "<c r=\"C1\" t=\"s\"><v>2</v></c></row>"
                                  "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>6</v></c><c r=\"B2\"><v>1001</v></c>"
                                  "<c r=\"C2\"><v>5000</v></c></row>"
                                  "<row r=\"3\"><c r=\"B3\" t=\"s\"><v>3</v></c><c r=\"C3\"><v>6500.5</v></c></row>"
                                  "<row r=\"4\"><c r=\"C4\"><v>7000</v></c></row>"
                                  "<row r=\"5\"><c r=\"B5\" t=\"inlineStr\"><is><t>۱۰۰۳</t></is></c>"
                                  "<c r=\"C5\" t=\"inlineStr\"><is><t>۸٬۰۰۰</t></is></c></row>"
                                  "<row r=\"6\"><c r=\"B6\" t=\"s\"><v>4</v></c><c r=\"C6\"><v>9000</v></c></row>"
                                  "<row r=\"7\"><c r=\"B7\"><v>1004</v></c><c r=\"C7\" s=\"1\"/></row>"
                                  "<row r=\"8\"><c r=\"B8\"><v>1005</v></c><c r=\"C8\" t=\"s\"><v>5</v></c></row>"
                                  "<row r=\"9\"><c r=\"B9\"><v>9999</v></c><c r=\"C9\"><v>100</v></c></row>"
                                  "<row r=\"10\"><c r=\"A10\" t=\"s\"><v>0</v></c></row>"
                                  "<row r=\"11\"><c r=\"B11\"><v>1006</v></c><c r=\"C11\"><v>1234</v></c></row>";
    const QByteArray other = "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>code</t></is></c>"
                             "<c r=\"B1\" t=\"inlineStr\"><is><t>price</t></is></c></row>"
                             "<row r=\"2\"><c r=\"A2\"><v>1001</v></c><c r=\"B2\"><v>1</v></c></row>";
    writeZip(path, {{"[Content_Types].xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
                                            "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
                    {"xl/workbook.xml", workbook},
                    {"xl/_rels/workbook.xml.rels", rels},
                    {"xl/sharedStrings.xml", strings},
                    {"xl/worksheets/sheet1.xml", sheetXml(other)},
                    {"xl/worksheets/prices.xml", sheetXml(rows)}});
}

// The same sheet as separated values; names are quoted and hold the separator, a
// quote and a line break.
QByteArray csvText(char separator, bool byteOrderMark, const char* lineEnd) {
    const QList<QStringList> lines = {
        {"\"نام; x,\"", " Code ", "PRICE"},
        {"\"آموكسي\nسيلين \"\"500\"\"\"", "1001", "5000"},
        {"\"B\"", "\"1002\"", "6500.5"},
        {"C", "", "7000"},
        {"D", "۱۰۰۳", "۸٬۰۰۰"},
        {"E", "abc", "9000"},
        {"F", "1004", ""},
        {"G", "1005", "x1"},
        {"H", "9999", "100"},
        {"note", "", ""},
        {"", "1006", "1234"},
    };
    QByteArray text = byteOrderMark ? "\xEF\xBB\xBF" : "";
    for (const QStringList& line : lines)
        text += line.join(QChar::fromLatin1(separator)).toUtf8() + lineEnd;
    return text;
}

} // namespace

class PriceCorrectionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void everyFormatReadsTheSameRows();
    void unusableFileIsRefusedNamingIt();
    void damagedXlsDoesNotTakeTheProgramDown();
    void xlsReaderOutcomes_data();
    void xlsReaderOutcomes();
    void oversizedWorkbooksAreRefused();
    void numbersWrittenAsText();
    void pricesFollowTheNationalCode();
    void barcodeColumnAddsBarcodesBesidePrices();
    void badCodesAndPricesAreListed();
    void longListOfUnreadableRowsIsCut();
    void cancellingKeepsWhatWasDone();
    void databaseFailureKeepsTheRowsBeforeIt();

private:
    void addGoods(double codeKala, const QVariant& codeTow, double price);
    QVariant price(double codeKala);
    QList<PriceSheetRow> numberedRows(int count, int firstCode);

    std::unique_ptr<TestDatabase> m_t;
    QString m_dir;
};

void PriceCorrectionTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Schema(m_t->db()).ensure();
    m_dir = m_t->workingDir();
}

void PriceCorrectionTest::cleanup() { m_t.reset(); }

void PriceCorrectionTest::addGoods(double codeKala, const QVariant& codeTow, double price) {
    m_t->db().exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, code_tow, price_u) values (?, ?, ?, ?)"),
                   {codeKala, QStringLiteral("كالا"), codeTow, price});
}

QVariant PriceCorrectionTest::price(double codeKala) {
    return m_t->db().scalar(QStringLiteral("select price_u from mosh_kala_anbar where code_kala=?"), {codeKala});
}

// `count` goods with national codes from `firstCode` at price 0, and a sheet row for
// each setting its price to its position (1, 2, ...).
QList<PriceSheetRow> PriceCorrectionTest::numberedRows(int count, int firstCode) {
    Database& db = m_t->db();
    Transaction transaction(db);
    QList<PriceSheetRow> rows;
    for (int i = 1; i <= count; ++i) {
        addGoods(i, firstCode + i, 0);
        rows.append({i + 1, QString::number(firstCode + i), QString::number(i)});
    }
    transaction.commit();
    return rows;
}

void PriceCorrectionTest::everyFormatReadsTheSameRows() {
    const QString xlsx = m_dir + QStringLiteral("/prices.xlsx");
    writeXlsx(xlsx);
    const QString semicolons = m_dir + QStringLiteral("/semicolons.csv");
    writeFile(semicolons, csvText(';', true, "\r\n"));
    const QString commas = m_dir + QStringLiteral("/commas.csv");
    writeFile(commas, csvText(',', false, "\n"));
    // The kind is told by the content: an .xlsx saved under the old name still reads.
    const QString misnamed = m_dir + QStringLiteral("/pharmacy.xls");
    QVERIFY(QFile::copy(xlsx, misnamed));

    for (const QString& path : {QStringLiteral(PH_FIXTURES "/prices.xls"), xlsx, semicolons, commas, misnamed}) {
        try {
            QCOMPARE(readPriceWorkbook(path, reading()), kSheetRows);
        } catch (const Error& error) {
            QFAIL(qPrintable(path + QStringLiteral(": ") + error.message()));
        }
    }
}

void PriceCorrectionTest::unusableFileIsRefusedNamingIt() {
    struct Case {
        QString file;
        QByteArray content; // written as it stands; empty: no file at all
        QString says;
    };
    QByteArray brokenXls = QByteArray::fromHex("d0cf11e0a1b11ae1");
    brokenXls += QByteArray(600, '\0');
    const QList<Case> cases = {
        {"missing.xls", {}, "پيدا نشد"},
        {"no_price.csv", "name;code\n1;1001\n", "ستون price"},
        {"header_below.csv", "\nname,code,price\nx,1001,5\n", "ستون هاي code و price"},
        {"broken.xls", brokenXls, "سالم نيست"},
    };
    for (const Case& c : cases) {
        const QString path = m_dir + u'/' + c.file;
        if (!c.content.isEmpty())
            writeFile(path, c.content);
        try {
            readPriceWorkbook(path, reading());
            QFAIL(qPrintable(c.file + QStringLiteral(" was read")));
        } catch (const Error& error) {
            QVERIFY2(error.message().contains(c.says) && error.message().contains(c.file), qPrintable(error.message()));
        }
    }
    // An .xlsx whose first sheet starts below the first row, and a zip that is no workbook.
    const QString lowHeader = m_dir + QStringLiteral("/low_header.xlsx");
    writeXlsx(lowHeader, "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>code</t></is></c>"
                         "<c r=\"B2\" t=\"inlineStr\"><is><t>price</t></is></c></row>");
    const QString notWorkbook = m_dir + QStringLiteral("/not_workbook.xlsx");
    writeZip(notWorkbook, {{"readme.txt", "hello"}});
    for (const QString& path : {lowHeader, notWorkbook})
        QVERIFY_THROWS_EXCEPTION(Error, readPriceWorkbook(path, reading()));
}

void PriceCorrectionTest::damagedXlsDoesNotTakeTheProgramDown() {
    // Each of these makes FreeXL crash while it reads the sheet (fixtures/README.md).
    for (const char* name : {"damaged_1.xls", "damaged_2.xls", "damaged_3.xls"}) {
        try {
            readPriceWorkbook(QStringLiteral(PH_FIXTURES "/") + QLatin1String(name), reading());
            QFAIL(name);
        } catch (const Error& error) {
            QVERIFY2(error.message().contains(QStringLiteral("سالم نيست")) && error.message().contains(QLatin1String(name)),
                     qPrintable(error.message()));
        }
    }
}

// What becomes of the .xls reader's output and of its ending, with stand-in readers.
void PriceCorrectionTest::xlsReaderOutcomes_data() {
    QTest::addColumn<QByteArray>("script"); // the reader's shell script; empty: no reader at all
    QTest::addColumn<QList<PriceSheetRow>>("rows");
    QTest::addColumn<QString>("says"); // a part of the refusal; empty: the rows are read
    QTest::newRow("escaped cells") << QByteArray("cat <<'END'\n1\tname\tcode\tprice\n2\t\t1001\t5000\n"
                                                 "4\t\ta\\tb\\\\c\\nd\t7\\r\nEND\n")
                                   << QList<PriceSheetRow>{{2, "1001", "5000"}, {4, "a\tb\\c\nd", "7\r"}} << QString();
    QTest::newRow("crash") << QByteArray("echo '1\tcode\tprice'\nkill -SEGV $$\n") << QList<PriceSheetRow>()
                           << QStringLiteral("سالم نيست");
    QTest::newRow("hang") << QByteArray("exec sleep 30\n") << QList<PriceSheetRow>() << QStringLiteral("طول كشيد");
    QTest::newRow("endless output") << QByteArray("exec yes '1\tcode\tprice'\n") << QList<PriceSheetRow>()
                                    << QStringLiteral("بزرگ تر");
    QTest::newRow("refused") << QByteArray("exit 5\n") << QList<PriceSheetRow>() << QStringLiteral("سالم نيست");
    QTest::newRow("password") << QByteArray("exit 3\n") << QList<PriceSheetRow>() << QStringLiteral("رمز دارد");
    QTest::newRow("no sheet") << QByteArray("exit 4\n") << QList<PriceSheetRow>() << QStringLiteral("هيچ برگه");
    QTest::newRow("unknown escape") << QByteArray("printf '1\\tcode\\tprice\\n2\\t1\\\\q\\t5\\n'\n")
                                    << QList<PriceSheetRow>() << QStringLiteral("سالم نيست");
    QTest::newRow("rows out of order") << QByteArray("printf '1\\tcode\\tprice\\n3\\t1\\t5\\n2\\t1\\t5\\n'\n")
                                       << QList<PriceSheetRow>() << QStringLiteral("سالم نيست");
    QTest::newRow("no reader") << QByteArray() << QList<PriceSheetRow>() << QStringLiteral("اجرا نشد");
}

void PriceCorrectionTest::xlsReaderOutcomes() {
    QFETCH(QByteArray, script);
    QFETCH(QList<PriceSheetRow>, rows);
    QFETCH(QString, says);
    PriceWorkbookReading how;
    how.xlsReader = m_dir + QStringLiteral("/reader.sh");
    how.xlsTimeoutMs = 500;
    how.largestPartBytes = 1 << 20;
    if (!script.isEmpty()) {
        writeFile(how.xlsReader, "#!/bin/sh\n" + script);
        QVERIFY(QFile::setPermissions(how.xlsReader, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QString path = QStringLiteral(PH_FIXTURES "/prices.xls");
    QElapsedTimer clock;
    clock.start();
    try {
        QCOMPARE(readPriceWorkbook(path, how), rows);
        QVERIFY(says.isEmpty());
    } catch (const Error& error) {
        QVERIFY2(!says.isEmpty() && error.message().contains(says) && error.message().contains(QLatin1String("prices.xls")),
                 qPrintable(error.message()));
    }
    QVERIFY(clock.elapsed() < 10'000);
}

void PriceCorrectionTest::oversizedWorkbooksAreRefused() {
    auto refusal = [](const QString& path, const PriceWorkbookReading& how) {
        try {
            readPriceWorkbook(path, how);
        } catch (const Error& error) {
            return error.message();
        }
        return QStringLiteral("read");
    };
    PriceWorkbookReading small = reading();
    small.largestPartBytes = 16 << 10;

    const QString header = QStringLiteral("<row r=\"1\"><c t=\"inlineStr\"><is><t>code</t></is></c>"
                                          "<c t=\"inlineStr\"><is><t>price</t></is></c></row>");
    QByteArray manyRows = header.toUtf8();
    for (int i = 2; i < 2000; ++i)
        manyRows += QStringLiteral("<row r=\"%1\"><c><v>%1</v></c><c><v>5</v></c></row>").arg(i).toUtf8();
    const QString wide = m_dir + QStringLiteral("/wide.xlsx");
    writeXlsx(wide, manyRows);
    QVERIFY(refusal(wide, small).contains(QStringLiteral("بزرگ تر")));
    QCOMPARE(readPriceWorkbook(wide, reading()).size(), 1998);

    PriceWorkbookReading fewRows = reading();
    fewRows.mostRows = 1000;
    const QString message = refusal(wide, fewRows);
    QVERIFY2(message.contains(QStringLiteral("بيش از 1000 رديف")) && message.contains(QLatin1String("wide.xlsx")),
             qPrintable(message));

    const QString csv = m_dir + QStringLiteral("/long.csv");
    writeFile(csv, "code,price\n" + QByteArray("1001,5\n").repeated(4000));
    QVERIFY(refusal(csv, small).contains(QStringLiteral("بزرگ تر")));

    // The last row number a sheet can have, then a row that would follow it.
    const QString pastLastRow = m_dir + QStringLiteral("/past_last_row.xlsx");
    writeXlsx(pastLastRow, header.toUtf8() + "<row r=\"2147483647\"><c><v>1001</v></c><c><v>5</v></c></row>"
                                             "<row><c><v>1002</v></c><c><v>6</v></c></row>");
    QVERIFY(refusal(pastLastRow, reading()).contains(QStringLiteral("سالم نيست")));

    // A package of a few hundred kilobytes whose sheet inflates past the limit is refused
    // as it streams, without holding the sheet in memory.
    const QString bomb = m_dir + QStringLiteral("/bomb.xlsx");
    {
        ph::test::ZipWriter zip(bomb);
        auto add = [&zip](const QString& name, const std::function<void(ph::test::ZipWriter&)>& write) {
            QVERIFY(zip.begin(name));
            write(zip);
            QVERIFY(zip.end());
        };
        add("xl/workbook.xml", [](ph::test::ZipWriter& f) {
            f.write("<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                    "<sheets><sheet name=\"a\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
        });
        add("xl/_rels/workbook.xml.rels", [](ph::test::ZipWriter& f) {
            f.write("<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/></Relationships>");
        });
        add("xl/worksheets/sheet1.xml", [&header](ph::test::ZipWriter& f) {
            f.write("<worksheet><sheetData>" + header.toUtf8());
            const QByteArray filler = "<x a=\"" + QByteArray(1 << 20, 'a') + "\"/>";
            for (qint64 written = 0; written <= PriceWorkbookReading().largestPartBytes; written += filler.size())
                f.write(filler);
            f.write("</sheetData></worksheet>");
        });
        QVERIFY(zip.close());
    }
    QVERIFY(QFileInfo(bomb).size() < 1 << 20);
    QVERIFY(refusal(bomb, reading()).contains(QStringLiteral("بزرگ تر")));
}

void PriceCorrectionTest::numbersWrittenAsText() {
    const QList<QPair<QString, std::optional<double>>> cases = {
        {"1234", 1234},
        {" ۱۲۳۴ ", 1234},
        {"١٢٣٤", 1234},
        {"\u200F۱۲۳۴\u200E", 1234},
        {"12,500", 12500},
        {"۱۲٬۵۰۰", 12500},
        {"1,234,567.5", 1234567.5},
        {"۱۲٫۵", 12.5},
        {".5", 0.5},
        {"-7", -7},
        {"6.26E+12", 6.26e12},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"12a", std::nullopt},
        {"1,2", std::nullopt},
        {"12,50", std::nullopt},
        {"1.2.3", std::nullopt},
        {"--1", std::nullopt},
        {"1 000", std::nullopt},
        {"nan", std::nullopt},
        {"1e999", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        QVERIFY2(readSheetNumber(text) == expected, qPrintable(text));
}

void PriceCorrectionTest::pricesFollowTheNationalCode() {
    addGoods(20, 1001, 1); // the same national code twice: the lower goods code is the one set
    addGoods(7, 1001, 1);
    addGoods(8, 1002, 1);
    addGoods(9, 1003, 1);
    addGoods(10, 1004, 300); // empty price cell
    addGoods(11, 1005, 400); // unreadable price cell
    addGoods(12, 1006, 1);   // after the unreadable rows
    addGoods(13, 0, 1);
    addGoods(14, QVariant(), 1);

    const QString path = m_dir + QStringLiteral("/prices.csv");
    writeFile(path, csvText(';', true, "\r\n"));
    QList<int> seen;
    const PriceCorrectionReport report = PriceCorrection(m_t->db()).run(readPriceWorkbook(path), [&](int done, int total) {
        seen.append(done);
        return total == kSheetRows.size();
    });

    QCOMPARE(price(7).toDouble(), 5000.0);
    QCOMPARE(price(20).toDouble(), 1.0);
    QCOMPARE(price(8).toDouble(), 1.0); // 6500.5 is no whole number of Rials
    QCOMPARE(price(9).toDouble(), 8000.0);
    QCOMPARE(price(10).toDouble(), 300.0);
    QCOMPARE(price(11).toDouble(), 400.0);
    QCOMPARE(price(12).toDouble(), 1234.0);
    QCOMPARE(price(13).toDouble(), 1.0);
    QCOMPARE(price(14).toDouble(), 1.0);

    QCOMPARE(seen, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9}));
    QCOMPARE(report.totalRows, 9);
    QCOMPARE(report.processedRows, 9);
    QCOMPARE(report.updated, 3);
    QCOMPARE(report.notFound, 1);
    QCOMPARE(report.withoutCode, 1);
    QCOMPARE(report.withoutPrice, 1);
    QVERIFY(!report.cancelled);
    QVERIFY(report.failure.isEmpty());
    QCOMPARE(report.unreadable,
             QList<UnreadablePriceRow>({{3, "قيمت «6500.5» عدد صحيح نيست؛ قيمت به ريال و بدون اعشار است"},
                                        {6, "كد «abc» عدد نيست"},
                                        {8, "قيمت «x1» عدد نيست"}}));
    QCOMPARE(priceCorrectionMessage(report), QStringLiteral("اصلاح قيمت ها انجام شد.\n\n"
                                                            "اين رديف ها خوانده نشد و كنار گذاشته شد:\n"
                                                            "رديف 3: قيمت «6500.5» عدد صحيح نيست؛ قيمت به ريال و "
                                                            "بدون اعشار است\n"
                                                            "رديف 6: كد «abc» عدد نيست\n"
                                                            "رديف 8: قيمت «x1» عدد نيست"));
    PriceCorrectionReport clean;
    QCOMPARE(priceCorrectionMessage(clean), QStringLiteral("اصلاح قيمت ها انجام شد."));
}

// A barcode column, under any of its usual captions, gives each row's goods its barcode; a
// barcode another goods holds is reported and keeps neither its row's price nor the rest back.
void PriceCorrectionTest::barcodeColumnAddsBarcodesBesidePrices() {
    for (const QString& caption : {QStringLiteral("Barcode"), QStringLiteral(" باركد "), QStringLiteral("بار\u200cکد"),
                                   QStringLiteral("بار کد")}) {
        const QString path = m_dir + QStringLiteral("/barcodes.csv");
        QFile::remove(path);
        writeFile(path, (QStringLiteral("code;") + caption + QStringLiteral(";price\n1001;5901234123457;5000\n"))
                            .toUtf8());
        QCOMPARE(readPriceWorkbook(path, reading()),
                 QList<PriceSheetRow>({{2, QStringLiteral("1001"), QStringLiteral("5000"), QStringLiteral("5901234123457")}}));
    }

    addGoods(7, 1001, 1);
    addGoods(8, 1002, 1);
    addGoods(9, 1003, 1);
    addGoods(99, 1099, 1);
    BarcodeStore(m_t->db()).add(99, QStringLiteral("4006381333931"));
    const QList<PriceSheetRow> rows = {
        {2, "1001", "5000", "5901234123457"},
        {3, "1002", "", "ABC-1"},          // no price: the barcode all the same
        {4, "1003", "7000", "4006381333931"}, // held by goods 99
        {5, "9999", "100", "XYZ"},         // no such goods
        {6, "1001", "5000", "5901234123457"}, // already its own
    };
    const PriceCorrectionReport report = PriceCorrection(m_t->db()).run(rows);
    QCOMPARE(price(7).toDouble(), 5000.0);
    QCOMPARE(price(9).toDouble(), 7000.0);
    BarcodeStore barcodes(m_t->db());
    QCOMPARE(barcodes.barcodesOf(7), QStringList{QStringLiteral("05901234123457")});
    QCOMPARE(barcodes.barcodesOf(8), QStringList{QStringLiteral("ABC-1")});
    QCOMPARE(barcodes.barcodesOf(9), QStringList());
    QCOMPARE(barcodes.itemOf(QStringLiteral("XYZ")), std::nullopt);
    QCOMPARE(report.barcodesAdded, 2);
    QCOMPARE(priceCorrectionMessage(report), QStringLiteral("اصلاح قيمت ها انجام شد.\n\n"
                                                            "باركد اين رديف ها ثبت نشد:\n"
                                                            "رديف 4: اين باركد متعلق به كالاي ديگري است (كد 99)"));
}

void PriceCorrectionTest::badCodesAndPricesAreListed() {
    addGoods(1, 1002, 1);
    addGoods(2, 1003, 1);
    // Prices are whole Rials above zero and below a million million.
    const QList<PriceSheetRow> rows = {
        {2, "1002.0", "50"}, // a whole number written with a fraction
        {3, "1002.5", "60"},  {4, "0", "60"},         {5, "-1002", "60"},          {6, "99999999999999999", "60"},
        {7, "1003", "-5"},    {8, "1003", "1e308"},   {9, "1003", "1E26"},        {10, "1003", "1e-320"},
        {11, "1003", "0"},    {12, "1003", "6500.5"}, {13, "1003", "1000000000000"}, {14, "1003", "70"},
        {15, "1002", "999,999,999,999"},
    };
    const PriceCorrectionReport report = PriceCorrection(m_t->db()).run(rows);
    QList<int> listed;
    for (const UnreadablePriceRow& row : report.unreadable)
        listed.append(row.sheetRow);
    QCOMPARE(listed, QList<int>({3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    QVERIFY(report.unreadable[4].reason.contains(QStringLiteral("«-5»")));
    QVERIFY(report.unreadable[9].reason.contains(QStringLiteral("«6500.5»")));
    QCOMPARE(report.updated, 3);
    QCOMPARE(price(1).toDouble(), 999999999999.0);
    QCOMPARE(price(2).toDouble(), 70.0);
    // The history: the prices changed by the batch, each with the one it replaced.
    AuditFilter corrections;
    corrections.kind = QStringLiteral("goods_price_correction");
    const QList<AuditEntry> entries = AuditLog(m_t->db()).entries(corrections);
    QCOMPARE(entries.size(), 1);
    const QJsonArray prices =
        QJsonDocument::fromJson(entries.first().changes.toUtf8())[QStringLiteral("prices")].toArray();
    QCOMPARE(prices.size(), 3);
    QCOMPARE(prices.last()[QStringLiteral("after")].toDouble(), 999999999999.0);
    QCOMPARE(prices.last()[QStringLiteral("before")].toDouble(), 50.0);
}

void PriceCorrectionTest::longListOfUnreadableRowsIsCut() {
    PriceCorrectionReport report;
    for (int row = 2; row < 62; ++row)
        report.unreadable.append({row, QStringLiteral("كد «x» عدد نيست")});
    const QString message = priceCorrectionMessage(report);
    QVERIFY(message.contains(QStringLiteral("\nرديف 51: ")));
    QVERIFY(!message.contains(QStringLiteral("\nرديف 52: ")));
    QVERIFY(message.endsWith(QStringLiteral("\nو 10 رديف ديگر.")));
}

void PriceCorrectionTest::cancellingKeepsWhatWasDone() {
    const QList<PriceSheetRow> rows = numberedRows(1200, 100000);
    int calls = 0;
    const PriceCorrectionReport report = PriceCorrection(m_t->db()).run(rows, [&](int done, int total) {
        ++calls;
        return !(done == 700 && total == 1200);
    });
    QCOMPARE(calls, 700);
    QVERIFY(report.cancelled);
    QCOMPARE(report.processedRows, 700);
    QCOMPARE(report.updated, 700);
    QCOMPARE(m_t->db().scalar(QStringLiteral("select count(*) from mosh_kala_anbar where price_u=code_kala")).toInt(), 700);
    QCOMPARE(m_t->db().scalar(QStringLiteral("select max(code_kala) from mosh_kala_anbar where price_u>0")).toInt(), 700);
    QVERIFY(!priceCorrectionMessage(report).contains(QStringLiteral("انجام شد")));
    QVERIFY(priceCorrectionMessage(report).contains(QStringLiteral("700")));
}

void PriceCorrectionTest::databaseFailureKeepsTheRowsBeforeIt() {
    QList<PriceSheetRow> rows = numberedRows(1200, 100000);
    rows[650].price = QStringLiteral("666"); // refused by the trigger below, halfway through the second batch
    rows[300].code = QStringLiteral("abc");  // an unreadable row before the failure stays listed
    Database& db = m_t->db();
    if (m_t->engine() == Engine::Postgres) {
        db.exec(QStringLiteral("create function refuse_666() returns trigger language plpgsql as $$ begin "
                               "if new.price_u = 666 then raise exception 'price refused'; end if; return new; end $$"));
        db.exec(QStringLiteral("create trigger refuse_666 before update on mosh_kala_anbar for each row "
                               "execute function refuse_666()"));
    } else {
        db.exec(QStringLiteral("create trigger refuse_666 before update on mosh_kala_anbar when new.price_u = 666 "
                               "begin select raise(abort, 'price refused'); end"));
    }

    const PriceCorrectionReport report = PriceCorrection(db).run(rows);
    QVERIFY(report.failure.contains(QStringLiteral("price refused")));
    QCOMPARE(report.stoppedAtRow, rows[650].sheetRow);
    QCOMPARE(report.processedRows, 650);
    QCOMPARE(report.updated, 649);
    QCOMPARE(report.unreadable.size(), 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from mosh_kala_anbar where price_u=code_kala")).toInt(), 649);
    QCOMPARE(db.scalar(QStringLiteral("select max(code_kala) from mosh_kala_anbar where price_u>0")).toInt(), 650);
    QCOMPARE(price(301).toDouble(), 0.0); // the unreadable row
    const QString message = priceCorrectionMessage(report);
    QVERIFY(message.contains(QString::number(report.stoppedAtRow)) && message.contains(QStringLiteral("price refused")));
    QVERIFY(!message.contains(QStringLiteral("انجام شد")));
}

QTEST_GUILESS_MAIN(PriceCorrectionTest)
#include "price_correction_test.moc"
