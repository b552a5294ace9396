#include "report_fixture.h"
#include "support/cli_run.h"
#include "db/transaction.h"
#include "lots/lots.h"
#include "support/test_database.h"
#include "support/write_failures.h"
#include "support/xlsx_reading.h"
#include "../print/pdf_reading.h"

#include <QFile>
#include <QProcess>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using namespace ph;
using namespace ph::test;

namespace {

QStringList fileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QJsonObject json(const CliRun& run) { return QJsonDocument::fromJson(run.out.toUtf8()).object(); }

void writeOlder(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write("older");
}

QByteArray readOlder(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ReportsCliTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void salesAsCsvXlsxAndPdf();
    void byInsurerAndByDoctor();
    void stockList();
    void expiryList();
    void badInput_data();
    void badInput();
    void failedWritesLeaveNothing_data();
    void failedWritesLeaveNothing();
    void filesAreTheOwnersOnly();
    void commaFilesNeedNoDrawingHelper();

private:
    QStringList dir() const { return {QStringLiteral("--dir"), m_t->workingDir()}; }
    std::unique_ptr<TestDatabase> m_t;
    QTemporaryDir m_out;
};

void ReportsCliTest::init() {
    m_t = std::make_unique<TestDatabase>();
    fillReportFixture(m_t->db());
    m_t->db().exec(QStringLiteral("insert into onvan_darou (code_vahed, onvan_vahed) values (1, 'داروخانه شفا')"));
}

void ReportsCliTest::cleanup() { m_t.reset(); }

void ReportsCliTest::salesAsCsvXlsxAndPdf() {
    const QStringList range{QStringLiteral("report"), QStringLiteral("sales"), QStringLiteral("--from"),
                            QStringLiteral("05/07/01"), QStringLiteral("--to"), QStringLiteral("05/07/30")};
    const QString csv = m_out.filePath(QStringLiteral("sales.csv"));
    const CliRun run = pharmacyctl(dir() + range + QStringList{QStringLiteral("--csv"), csv});
    QCOMPARE(run.status, 0);
    QCOMPARE(json(run).value(QStringLiteral("rows")).toInt(), 4);
    QCOMPARE(json(run).value(QStringLiteral("sum_price")).toDouble(), 1500.0);
    const QStringList lines = fileLines(csv);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.at(0), QStringLiteral("code_darou,name_kala,name,sum_tedad,sum_price"));
    // The substituted line counts under the prescribed drug, with its own quantity and price.
    QCOMPARE(lines.at(2), QStringLiteral("1010002,آموكسي سيلين,كپسول,10,500"));
    double sum = 0;
    double quantity = 0;
    for (const QString& line : lines.mid(1)) {
        quantity += line.section(u',', 3, 3).toDouble();
        sum += line.section(u',', 4, 4).toDouble();
    }
    QCOMPARE(sum, 1500.0);

    const QString xlsx = m_out.filePath(QStringLiteral("sales.xlsx"));
    QCOMPARE(pharmacyctl(dir() + range + QStringList{QStringLiteral("--xlsx"), xlsx}).status, 0);
    const XlsxSheetText sheet = readXlsxSheet(xlsx);
    QVERIFY(sheet.rightToLeft);
    // The totals row holds the same sums as the comma file.
    QCOMPARE(sheet.rows.last().mid(3, 2), (QStringList{QString::number(quantity), QStringLiteral("1500")}));

    if (!popplerPresent()) QSKIP("pdftotext is not installed");
    const QString pdf = m_out.filePath(QStringLiteral("sales.pdf"));
    const CliRun printed = pharmacyctl(dir() + range + QStringList{QStringLiteral("--pdf"), pdf});
    QVERIFY2(printed.status == 0, qPrintable(printed.err));
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("1,500")) && text.contains(QStringLiteral("5020001")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("شفا")));
}

void ReportsCliTest::byInsurerAndByDoctor() {
    const QString csv = m_out.filePath(QStringLiteral("insurer.csv"));
    CliRun run = pharmacyctl(dir() + QStringList{"report", "by-insurer", "--from", "05/06/01", "--to", "05/07/30",
                                                 "--insurer", "2", "--csv", csv});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(json(run).value(QStringLiteral("sum_sazman")).toDouble(), 770.0);
    QCOMPARE(json(run).value(QStringLiteral("sum_bimar")).toDouble(), 630.0);
    QCOMPARE(fileLines(csv).at(0), QStringLiteral("code_darou,name_kala,name,sum_tedad,sum_price,sum_sazman,sum_bimar"));
    run = pharmacyctl(dir() + QStringList{"report", "by-doctor", "--from", "05/07/01", "--to", "05/07/30", "--doctor",
                                          "222", "--csv", csv});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    // Prescriptions 2 and 3: 100 + 300 + 300.
    QCOMPARE(json(run).value(QStringLiteral("sum_price")).toDouble(), 700.0);
    QCOMPARE(fileLines(csv).size(), 4);
    // Nothing in the range: an empty report, said on standard error.
    run = pharmacyctl(dir() + QStringList{"report", "by-doctor", "--from", "05/01/01", "--to", "05/01/31", "--doctor",
                                          "222", "--csv", csv});
    QCOMPARE(run.status, 0);
    QCOMPARE(json(run).value(QStringLiteral("rows")).toInt(), 0);
    QVERIFY(run.err.contains(QStringLiteral("گزارشي با مشخصات وارد شده وجود ندارد")));
}

void ReportsCliTest::stockList() {
    m_t->db().exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values "
                                  "(1010001, 20, 3, 100), (1010002, 20, 7.5, 50), (1010002, 30, 100, 50)"));
    const QString csv = m_out.filePath(QStringLiteral("stock.csv"));
    const CliRun run = pharmacyctl(dir() + QStringList{"stock", "--csv", csv});
    QCOMPARE(run.status, 0);
    QCOMPARE(json(run).value(QStringLiteral("sum_moj_vah")).toDouble(), 10.5);
    QCOMPARE(fileLines(csv), (QStringList{"code_kala,name_kala,moj_vah", "1010001,استامينوفن,3",
                                          "1010002,آموكسي سيلين,7.5"}));
    const QString xlsx = m_out.filePath(QStringLiteral("stock.xlsx"));
    QCOMPARE(pharmacyctl(dir() + QStringList{"stock", "--xlsx", xlsx}).status, 0);
    const XlsxSheetText sheet = readXlsxSheet(xlsx);
    QCOMPARE(sheet.rows.last().last(), QStringLiteral("10.5"));
}

// The near-expiry list counted from a given day (05/08/10 is 2026-11-01): the lot expired and
// the one within the days; a longer look-ahead takes the far one in.
void ReportsCliTest::expiryList() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into moj_kala_vah (code_kala, code_vah, moj_vah, price_u) values "
                           "(1010001, 20, 9, 125000), (1010002, 20, 3, 2500)"));
    {
        Transaction transaction(db);
        LotStore lots(db);
        lots.takeIn(1010001, 20, {QStringLiteral("OLD"), QDate(2026, 10, 15)}, 2);
        lots.takeIn(1010002, 20, {QStringLiteral("N,1"), QDate(2026, 12, 1)}, 3);
        lots.takeIn(1010001, 20, {QStringLiteral("FAR"), QDate(2027, 6, 1)}, 4);
        transaction.commit();
    }
    const QString csv = m_out.filePath(QStringLiteral("expiry.csv"));
    CliRun run = pharmacyctl(dir() + QStringList{"expiry", "--date", "05/08/10", "--csv", csv});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(json(run).value(QStringLiteral("rows")).toInt(), 2);
    QCOMPARE(json(run).value(QStringLiteral("expired")).toInt(), 1);
    QCOMPARE(json(run).value(QStringLiteral("value")).toDouble(), 257500.0);
    QCOMPARE(fileLines(csv),
             (QStringList{QStringLiteral("code_kala,name_kala,batch,date_exps,date_exps_solar,expired,qu,price_u,value"),
                          QStringLiteral("1010001,استامينوفن,OLD,2026-10-15,1405/07/23,1,2,125000,250000"),
                          QStringLiteral("1010002,آموكسي سيلين,\"N,1\",2026-12-01,1405/09/10,0,3,2500,7500")}));

    const QString xlsx = m_out.filePath(QStringLiteral("expiry.xlsx"));
    run = pharmacyctl(dir() + QStringList{"expiry", "--date", "05/08/10", "--days", "365", "--xlsx", xlsx});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(json(run).value(QStringLiteral("rows")).toInt(), 3);
    QCOMPARE(readXlsxSheet(xlsx).rows.last().last(), QStringLiteral("757500"));
}

void ReportsCliTest::badInput_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::newRow("no report") << QStringList{"report", "--from", "05/07/01", "--to", "05/07/30", "--csv", "x"} << 2;
    QTest::newRow("unknown report") << QStringList{"report", "weekly", "--from", "05/07/01", "--to", "05/07/30", "--csv", "x"} << 2;
    QTest::newRow("no range") << QStringList{"report", "sales", "--csv", "x"} << 2;
    QTest::newRow("bad date") << QStringList{"report", "sales", "--from", "05/13/01", "--to", "05/07/30", "--csv", "x"} << 2;
    QTest::newRow("no file") << QStringList{"report", "sales", "--from", "05/07/01", "--to", "05/07/30"} << 2;
    QTest::newRow("two files") << QStringList{"report", "sales", "--from", "05/07/01", "--to", "05/07/30", "--csv", "x", "--xlsx", "y"} << 2;
    QTest::newRow("insurer missing") << QStringList{"report", "by-insurer", "--from", "05/07/01", "--to", "05/07/30", "--csv", "x"} << 2;
    QTest::newRow("unknown insurer") << QStringList{"report", "by-insurer", "--from", "05/07/01", "--to", "05/07/30", "--insurer", "99", "--csv", "x"} << 2;
    QTest::newRow("unknown doctor") << QStringList{"report", "by-doctor", "--from", "05/07/01", "--to", "05/07/30", "--doctor", "999", "--csv", "x"} << 2;
    QTest::newRow("doctor on sales") << QStringList{"report", "sales", "--from", "05/07/01", "--to", "05/07/30", "--doctor", "111", "--csv", "x"} << 2;
    QTest::newRow("stock without file") << QStringList{"stock"} << 2;
    QTest::newRow("stock as pdf") << QStringList{"stock", "--pdf", "x"} << 2;
    QTest::newRow("expiry without file") << QStringList{"expiry", "--days", "30"} << 2;
    QTest::newRow("expiry negative days") << QStringList{"expiry", "--days", "-1", "--csv", "x"} << 2;
    QTest::newRow("expiry days not a number") << QStringList{"expiry", "--days", "ninety", "--csv", "x"} << 2;
    QTest::newRow("expiry days missing") << QStringList{"expiry", "--csv", "x", "--days"} << 2;
    QTest::newRow("expiry bad date") << QStringList{"expiry", "--date", "05/13/01", "--csv", "x"} << 2;
}

void ReportsCliTest::badInput() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QDir::setCurrent(m_out.path());
    const CliRun run = pharmacyctl(dir() + args);
    QCOMPARE(run.status, status);
    QVERIFY(!run.err.isEmpty());
    QVERIFY(!QFile::exists(m_out.filePath(QStringLiteral("x"))));
}

namespace {

// The commands that write a file, "@" standing for the file.
const QList<QPair<QString, QStringList>> kWriters = {
    {"sales pdf", {"report", "sales", "--from", "05/07/01", "--to", "05/07/30", "--pdf", "@"}},
    {"sales csv", {"report", "sales", "--from", "05/07/01", "--to", "05/07/30", "--csv", "@"}},
    {"sales xlsx", {"report", "sales", "--from", "05/07/01", "--to", "05/07/30", "--xlsx", "@"}},
    {"stock csv", {"stock", "--csv", "@"}},
    {"stock xlsx", {"stock", "--xlsx", "@"}},
    {"expiry csv", {"expiry", "--csv", "@"}},
    {"expiry xlsx", {"expiry", "--xlsx", "@"}},
};

QStringList withFile(QStringList args, const QString& file) {
    args.replace(args.indexOf(QStringLiteral("@")), file);
    return args;
}

} // namespace

void ReportsCliTest::failedWritesLeaveNothing_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("place");
    for (const auto& [name, args] : kWriters)
        for (const QString& place : failingPlaces())
            QTest::addRow("%s, %s", qPrintable(name), qPrintable(place)) << args << place;
}

// A file that cannot be written whole is an error (exit 1), and no file, whole, partial or
// hidden, is left; an older file of that name stays as it was.
void ReportsCliTest::failedWritesLeaveNothing() {
    QFETCH(QStringList, args);
    QFETCH(QString, place);
    QTemporaryDir folder;
    const QString target = failingTarget(place, folder.path(), QStringLiteral("out"));
    if (place == QLatin1String("full disk")) writeOlder(target);
    const QStringList before = everyEntry(folder.path());
    const QStringList devices = everyEntry(QStringLiteral("/dev"));
    CliRun run;
    {
        std::optional<FileSizeLimit> full;
        if (place == QLatin1String("full disk")) full.emplace(16);
        run = pharmacyctl(dir() + withFile(args, target));
    }
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(target), qPrintable(run.err)); // the file is named, not the database
    QVERIFY(run.out.isEmpty()); // no totals over a file that is not there
    QCOMPARE(everyEntry(folder.path()), before);
    if (place == QLatin1String("full disk")) QCOMPARE(readOlder(target), QByteArray("older"));
    QCOMPARE(everyEntry(QStringLiteral("/dev")), devices);
    QVERIFY(!QFileInfo(QStringLiteral("/dev/full")).isFile());
}

// Sales lists and stock hold patients' and the pharmacy's figures: readable by the owner
// only, whatever the umask.
void ReportsCliTest::filesAreTheOwnersOnly() {
    const Umask open(0);
    for (const auto& [name, args] : kWriters) {
        const QString file = m_out.filePath(name + QStringLiteral(".out"));
        QCOMPARE(pharmacyctl(dir() + withFile(args, file)).status, 0);
        QCOMPARE(fileMode(file), 0600);
    }
}


// pharmacyctl writes the comma files itself: a copy of it alone in a folder, without
// pharmacyctl-print beside it, writes all three, and only a spreadsheet needs the helper.
void ReportsCliTest::commaFilesNeedNoDrawingHelper() {
    const QString alone = m_out.filePath(QStringLiteral("pharmacyctl"));
    QVERIFY(QFile::copy(QStringLiteral(PHARMACYCTL), alone));
    QFile::setPermissions(alone, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto runAlone = [&](const QStringList& args) {
        QProcess process;
        process.start(alone, dir() + args);
        process.waitForFinished(60000);
        return std::pair{process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
    };
    const QString sales = m_out.filePath(QStringLiteral("alone-sales.csv"));
    const QString inProcess = m_out.filePath(QStringLiteral("in-process-sales.csv"));
    const QStringList range{QStringLiteral("report"), QStringLiteral("sales"), QStringLiteral("--from"),
                            QStringLiteral("05/07/01"), QStringLiteral("--to"), QStringLiteral("05/07/30")};
    QCOMPARE(runAlone(range + QStringList{QStringLiteral("--csv"), sales}).first, 0);
    QCOMPARE(pharmacyctl(dir() + range + QStringList{QStringLiteral("--csv"), inProcess}).status, 0);
    QCOMPARE(readOlder(sales), readOlder(inProcess));
    QCOMPARE(runAlone({QStringLiteral("stock"), QStringLiteral("--csv"), m_out.filePath(QStringLiteral("s.csv"))}).first, 0);
    QCOMPARE(runAlone({QStringLiteral("expiry"), QStringLiteral("--csv"), m_out.filePath(QStringLiteral("e.csv"))}).first, 0);
    const auto [status, message] =
        runAlone({QStringLiteral("stock"), QStringLiteral("--xlsx"), m_out.filePath(QStringLiteral("s.xlsx"))});
    QCOMPARE(status, 1);
    QVERIFY2(message.contains(QStringLiteral("pharmacyctl-print")), qPrintable(message));
}

QTEST_MAIN(ReportsCliTest)
#include "reports_cli_test.moc"
