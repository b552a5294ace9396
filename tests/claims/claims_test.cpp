#include "claims/claim_file.h"
#include "claims/claim_file_check.h"
#include "claims/claim_merge.h"
#include "claims/claims_texts.h"
#include "claims/insurance_list.h"
#include "core/cp1256_text.h"
#include "claims_expected.h"
#include "claims_fixture.h"
#include "support/cli_run.h"
#include "support/test_database.h"
#include "support/write_failures.h"

#include <QFile>
#include <QJsonDocument>
#include <QDir>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace ph;
using ph::test::TestDatabase;
using namespace ph::test;

namespace {

ListSelection month() {
    ListSelection s;
    s.insurers = {1, 2};
    s.from = QStringLiteral("05/07/01");
    s.to = QStringLiteral("05/07/30");
    return s;
}

ClaimOptions optionsFor(ClaimVariant variant) {
    ClaimOptions o;
    o.variant = variant;
    o.pharmacyCode = QStringLiteral("21345");
    o.from = QStringLiteral("05/07/01");
    o.to = QStringLiteral("05/07/30");
    o.fani = QStringLiteral("54321");
    o.taminCodes = {QStringLiteral("1")};
    return o;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class ClaimsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void cp1256MapsPersianFormsAndStopsAtTheFirstStranger();
    void listSelectsByEveryOption_data();
    void listSelectsByEveryOption();
    void listChecksInOrder_data();
    void listChecksInOrder();
    void sortsEqualSharesByInvoice();
    void eachVariantByteForByte_data();
    void eachVariantByteForByte();
    void socialSecurityNumberCut_data();
    void socialSecurityNumberCut();
    void characterOutsideTheCodePageIsNamed();
    void proposedNames();
    void mergeSortsByDateAndNumbersAgain();
    void mergeRefusesSharesThatAreNotWhole();
    void mergeRefusesDamagedFiles_data();
    void mergeRefusesDamagedFiles();
    void mergeKeepsTheCustomLayout();
    void claimFilesAreWrittenWholeAndPrivate();
    void commandWritesTheWindowsBytes();
    void commandRefusals_data();
    void commandRefusals();

private:
    std::unique_ptr<TestDatabase> m_t;
};

void ClaimsTest::init() {
    m_t = std::make_unique<TestDatabase>();
    test::fillClaims(m_t->db());
}

void ClaimsTest::cleanup() { m_t.reset(); }

void ClaimsTest::cp1256MapsPersianFormsAndStopsAtTheFirstStranger() {
    // Persian yeh and digits take the code page's Arabic yeh and ASCII digits; keheh and the
    // Arabic kaf keep their own bytes.
    const Cp1256Text persian = encodeCp1256(QStringLiteral("یک ۱۲۳٤ ك"));
    QVERIFY(persian.ok());
    QCOMPARE(persian.bytes, QByteArray("\xED\x98 1234 \xDF"));
    QCOMPARE(decodeCp1256("\xED\x98\xDF"), QStringLiteral("يکك"));
    // A Greek letter has no place in it: reported where it stands, the text before it kept.
    const Cp1256Text greek = encodeCp1256(QStringLiteral("ابΩج"));
    QVERIFY(!greek.ok());
    QCOMPARE(*greek.unencodable, char32_t(0x03A9));
    QCOMPARE(greek.unencodableAt, 2);
    QCOMPARE(greek.bytes, QByteArray("\xC7\xC8"));
    const Cp1256Text emoji = encodeCp1256(QStringLiteral("a😀"));
    QCOMPARE(*emoji.unencodable, char32_t(0x1F600));
    QCOMPARE(emoji.unencodableAt, 1);
}

void ClaimsTest::listSelectsByEveryOption_data() {
    QTest::addColumn<QList<int>>("insurers");
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("lowest");
    QTest::addColumn<double>("highest");
    QTest::addColumn<QList<int>>("excluded");
    QTest::addColumn<int>("confirmation");
    QTest::addColumn<QList<int>>("invoices");
    // Inpatients, invoice 0, another insurer and another month never appear; equal dates by code.
    QTest::newRow("both insurers") << QList<int>{1, 2} << 0 << -1.0 << -1.0 << QList<int>{} << 0 << QList<int>{12, 11, 13};
    QTest::newRow("one insurer") << QList<int>{2} << 0 << -1.0 << -1.0 << QList<int>{} << 0 << QList<int>{13};
    QTest::newRow("type 1") << QList<int>{1, 2} << 1 << -1.0 << -1.0 << QList<int>{} << 0 << QList<int>{11, 13};
    QTest::newRow("from 1500") << QList<int>{1, 2} << 0 << 1500.0 << -1.0 << QList<int>{} << 0 << QList<int>{11, 13};
    QTest::newRow("up to 1500.5") << QList<int>{1, 2} << 0 << -1.0 << 1500.5 << QList<int>{} << 0 << QList<int>{12, 11};
    QTest::newRow("specialty 6 unchecked") << QList<int>{1, 2} << 0 << -1.0 << -1.0 << QList<int>{6} << 0
                                           << QList<int>{11, 13};
    QTest::newRow("confirmed") << QList<int>{1, 2} << 0 << -1.0 << -1.0 << QList<int>{} << 1 << QList<int>{11};
    QTest::newRow("ordinary") << QList<int>{1, 2} << 0 << -1.0 << -1.0 << QList<int>{} << 2 << QList<int>{12, 13};
}

void ClaimsTest::listSelectsByEveryOption() {
    QFETCH(QList<int>, insurers);
    QFETCH(int, type);
    QFETCH(double, lowest);
    QFETCH(double, highest);
    QFETCH(QList<int>, excluded);
    QFETCH(int, confirmation);
    QFETCH(QList<int>, invoices);
    ListSelection s = month();
    s.insurers = insurers;
    if (type) s.prescriptionType = type;
    if (lowest >= 0) s.lowestTotal = lowest;
    if (highest >= 0) s.highestTotal = highest;
    s.excludedSpecialties = excluded;
    s.confirmation = ListSelection::Confirmation(confirmation);
    InsuranceListStore store(m_t->db());
    const QList<ListRow> rows = store.rows(s);
    QList<int> got;
    for (const ListRow& row : rows) got.append(row.invoice);
    QCOMPARE(got, invoices);
    // The spreadsheet and the claim file take the same prescriptions in the same order.
    QCOMPARE(store.sheetRows(s).size(), rows.size());
    QList<int> claimed;
    for (const ClaimPrescription& p : store.claimPrescriptions(s)) claimed.append(p.invoice);
    QCOMPARE(claimed, invoices);
}

void ClaimsTest::listChecksInOrder_data() {
    QTest::addColumn<QList<int>>("insurers");
    QTest::addColumn<QString>("fani");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("fault"); // -1 none
    QTest::newRow("no insurer") << QList<int>{} << "1" << "" << "" << int(ListFault::NoInsurer);
    QTest::newRow("no fani") << QList<int>{1} << " " << "" << "" << int(ListFault::NoFani);
    QTest::newRow("no first date") << QList<int>{1} << "1" << "" << "85/07/31" << int(ListFault::NoFirstDate);
    QTest::newRow("no second date") << QList<int>{1} << "1" << "85/07/31" << "" << int(ListFault::NoSecondDate);
    QTest::newRow("31st of the 7th month") << QList<int>{1} << "1" << "85/07/31" << "85/08/01" << int(ListFault::BadFirstDate);
    QTest::newRow("31st of the 6th month") << QList<int>{1} << "1" << "85/06/31" << "85/08/01" << -1;
    QTest::newRow("bad second") << QList<int>{1} << "1" << "85/06/31" << "85/13/01" << int(ListFault::BadSecondDate);
}

void ClaimsTest::listChecksInOrder() {
    QFETCH(QList<int>, insurers);
    QFETCH(QString, fani);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, fault);
    ListSelection s;
    s.insurers = insurers;
    s.from = from;
    s.to = to;
    const std::optional<ListFault> found = checkSelection(s, fani);
    QCOMPARE(found ? int(*found) : -1, fault);
}

void ClaimsTest::sortsEqualSharesByInvoice() {
    QList<ListRow> rows(3);
    rows[0].invoice = 9;
    rows[0].patientShare = 5;
    rows[1].invoice = 3;
    rows[1].patientShare = 5;
    rows[2].invoice = 7;
    rows[2].patientShare = 1;
    sortRows(rows, ListOrder::PatientShare);
    QCOMPARE(rows.at(0).invoice, 7);
    QCOMPARE(rows.at(1).invoice, 3);
    QCOMPARE(rows.at(2).invoice, 9);
    const ListTotals totals = totalsOf(rows);
    QCOMPARE(totals.patientShare, 11.0);
    QCOMPARE(totals.count, 3);
}

void ClaimsTest::eachVariantByteForByte_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("default") << int(ClaimVariant::Default) << kDefaultFile;
    QTest::newRow("custom with names") << int(ClaimVariant::Custom) << kCustomFile;
    QTest::newRow("without lines") << int(ClaimVariant::NoLines) << kNoLinesFile;
}

void ClaimsTest::eachVariantByteForByte() {
    QFETCH(int, variant);
    QFETCH(QByteArray, expected);
    ClaimOptions options = optionsFor(ClaimVariant(variant));
    options.patientNames = options.prescriberNames = true; // only the custom file carries names
    const QList<ClaimPrescription> prescriptions = InsuranceListStore(m_t->db()).claimPrescriptions(month());
    const ClaimFile file = ClaimFileWriter(options).write(prescriptions);
    QCOMPARE(file.bytes, expected);
    QCOMPARE(file.prescriptions, 3);
    QCOMPARE(file.insurerShare, 3000.0);
    QCOMPARE(file.lineInsurerShare, variant == int(ClaimVariant::NoLines) ? 0.0 : 3630.0);
}

void ClaimsTest::socialSecurityNumberCut_data() {
    QTest::addColumn<int>("insurer");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("written");
    QTest::newRow("four parts") << 1 << "1234567890-0012-03-07" << "123456789000120307";
    QTest::newRow("no insurance number") << 1 << "1234567890-0000-03-07" << "1234567890";
    QTest::newRow("base alone") << 1 << "1234567890" << "1234567890";
    QTest::newRow("other insurer") << 2 << "1234567890-0012-03-07" << "1234567890-0012-03-07";
}

void ClaimsTest::socialSecurityNumberCut() {
    QFETCH(int, insurer);
    QFETCH(QString, stored);
    QFETCH(QString, written);
    ClaimPrescription p;
    p.insurer = insurer;
    p.insNoTamin = stored;
    QCOMPARE(ClaimFileWriter::insuredNumber(p, {QStringLiteral("1")}), written);
}

void ClaimsTest::characterOutsideTheCodePageIsNamed() {
    m_t->db().exec(QStringLiteral("update heading_noskhe set family_b = ? where sh_factor = 13"),
                   {QStringLiteral("كاظمΩ")});
    const QList<ClaimPrescription> prescriptions = InsuranceListStore(m_t->db()).claimPrescriptions(month());
    // The default file carries no names: it is written.
    QCOMPARE(ClaimFileWriter(optionsFor(ClaimVariant::Default)).write(prescriptions).bytes, kDefaultFile);
    ClaimOptions options = optionsFor(ClaimVariant::Custom);
    options.patientNames = true;
    try {
        ClaimFileWriter(options).write(prescriptions);
        QFAIL("written with a character the code page lacks");
    } catch (const ClaimEncodingError& error) {
        QCOMPARE(error.invoice(), 13);
        QCOMPARE(error.field(), claims::texts::kFieldPatientFamily);
        QCOMPARE(error.character(), char32_t(0x03A9));
        QVERIFY(error.message().contains(QStringLiteral("نسخه شماره 13")));
    }
}

void ClaimsTest::proposedNames() {
    QCOMPARE(proposedClaimName(3, QStringLiteral("nos1")), QStringLiteral("nos3"));
    QCOMPARE(proposedClaimName(9, QStringLiteral("nos3")), QStringLiteral("nos3"));
    QCOMPARE(proposedClaimName(std::nullopt, QStringLiteral("nos3")), QStringLiteral("nos1"));
}

void ClaimsTest::mergeSortsByDateAndNumbersAgain() {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("a.txt")), kMergeFirst);
    writeFile(dir.filePath(QStringLiteral("b.txt")), kMergeSecond);
    ClaimMerge merge(dir.filePath(QStringLiteral("nos1.txt")));
    merge.create();
    QVERIFY(QFile::exists(merge.mainPath()));
    merge.startAdding();
    merge.add(dir.filePath(QStringLiteral("a.txt")));
    merge.add(dir.filePath(QStringLiteral("b.txt")));
    QCOMPARE(merge.added(), 3);
    // Before finishing: the first heading, the second file's heading as one <PH>, numbered on.
    const QByteArray joined = readFile(merge.mainPath());
    QCOMPARE(joined.count("<HR>"), 1);
    QVERIFY(joined.contains("<SQ>3</SQ><ND>050702</ND>"));

    const MergedFile merged = merge.finish(false, false);
    QCOMPARE(readFile(merge.mainPath()), kMerged);
    QCOMPARE(merged.from, QStringLiteral("05/07/01"));
    QCOMPARE(merged.to, QStringLiteral("05/07/15"));
    QCOMPARE(merged.prescriptions.size(), 3);

    MergedListStore(m_t->db()).replace(merged.prescriptions);
    MergedListStore(m_t->db()).replace(merged.prescriptions); // emptied first, not doubled
    Rows q = m_t->db().exec(
        QStringLiteral("select count, sh_bimeh, date_no, kol, price_bimar, price_bimeh from list_koli order by count"));
    QStringList rows;
    while (q.next())
        rows << QStringLiteral("%1 %2 %3 %4 %5 %6")
                    .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                         q.value(4).toString(), q.value(5).toString());
    QCOMPARE(rows, (QStringList{QStringLiteral("1 222 05/07/01 30 10 20"), QStringLiteral("2 333 05/07/02 12 5 7"),
                                QStringLiteral("3 111 05/07/03 300 100 200")}));

    // The command joins the same files into the same bytes.
    const QString out = dir.filePath(QStringLiteral("joined.txt"));
    const test::CliRun run = test::pharmacyctl({QStringLiteral("claims-merge"), QStringLiteral("--out"), out,
                                                dir.filePath(QStringLiteral("a.txt")), dir.filePath(QStringLiteral("b.txt"))});
    QCOMPARE(run.status, 0);
    QCOMPARE(readFile(out), kMerged);
}

void ClaimsTest::mergeRefusesSharesThatAreNotWhole() {
    QTemporaryDir dir;
    QByteArray fraction = kMergeSecond;
    fraction.replace("<PS>5</PS>", "<PS>5.5</PS>");
    writeFile(dir.filePath(QStringLiteral("a.txt")), kMergeFirst);
    writeFile(dir.filePath(QStringLiteral("b.txt")), fraction);
    ClaimMerge merge(dir.filePath(QStringLiteral("nos1.txt")));
    merge.create();
    merge.startAdding();
    merge.add(dir.filePath(QStringLiteral("a.txt")));
    merge.add(dir.filePath(QStringLiteral("b.txt")));
    const QByteArray before = readFile(merge.mainPath());
    QVERIFY_THROWS_EXCEPTION(Error, merge.finish(false, false));
    QCOMPARE(readFile(merge.mainPath()), before);
}

void ClaimsTest::mergeRefusesDamagedFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line"); // where the fault is reported
    const QByteArray lastLine = "<MH><MG>00123</MG><MD>1</MD><MR>1</MR><MP>300</MP><MI>200</MI><MS>100</MS></MH>";
    QTest::newRow("cut inside an element") << kMergeFirst.left(kMergeFirst.indexOf(lastLine) + lastLine.size() - 8) << 12;
    QTest::newRow("cut after a whole prescription") << kMergeFirst.left(kMergeFirst.indexOf("<PH>", 80)) << 3;
    QTest::newRow("cut before its last line") << kMergeFirst.chopped(7) << 18;
    QTest::newRow("last line without its end") << kMergeFirst.chopped(2) << 18;
    QTest::newRow("NUL bytes") << QByteArray(kMergeFirst).replace("<SN>111</SN>", QByteArray("<SN>1\0\0</SN>", 12)) << 9;
    QTest::newRow("LF line ends") << QByteArray(kMergeFirst).replace("\r\n", "\n") << 1;
    QTest::newRow("element not closed") << QByteArray(kMergeFirst).replace("<PC>1111</PC>", "<PC>1111") << 9;
    QTest::newRow("element out of place") << QByteArray(kMergeFirst).replace("<NN>1</NN><PT>1</PT>", "<PT>1</PT><NN>1</NN>") << 9;
    QTest::newRow("line of no layout") << QByteArray(kMergeFirst).replace("</PH>\r\n<BY>", "</PH>\r\n<BX>") << 11;
    QTest::newRow("numbered twice") << QByteArray(kMergeFirst).replace("<SQ>2</SQ>", "<SQ>1</SQ>") << 15;
    QTest::newRow("share not a number") << QByteArray(kMergeFirst).replace("<PS>10</PS>", "<PS>1O</PS>") << 15;
    QTest::newRow("not a claim file") << QByteArray("hello\r\n") << 1;
    QTest::newRow("empty") << QByteArray() << 1;
    QTest::newRow("custom file without its end") << kCustomFile.chopped(6) << int(kCustomFile.count("\r\n"));
}

// A damaged claim file is named with the line at fault, and nothing is written: the file
// goes to the insurer. The window's merge refuses it too, before adding anything.
void ClaimsTest::mergeRefusesDamagedFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("damaged.txt")), bytes);
    writeFile(dir.filePath(QStringLiteral("b.txt")), kMergeSecond);
    const QString out = dir.filePath(QStringLiteral("all.txt"));
    writeFile(out, "older");
    const QStringList before = everyEntry(dir.path());
    const test::CliRun run = test::pharmacyctl({QStringLiteral("claims-merge"), QStringLiteral("--out"), out,
                                                dir.filePath(QStringLiteral("b.txt")), dir.filePath(QStringLiteral("damaged.txt"))});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(QStringLiteral("damaged.txt")) && run.err.contains(QStringLiteral("سطر %1").arg(line)),
             qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    QCOMPARE(readFile(out), QByteArray("older"));
    QCOMPARE(everyEntry(dir.path()), before);

    ClaimMerge merge(dir.filePath(QStringLiteral("nos1.txt")));
    merge.create();
    merge.startAdding();
    merge.add(dir.filePath(QStringLiteral("b.txt")));
    const QByteArray joined = readFile(merge.mainPath());
    try {
        merge.add(dir.filePath(QStringLiteral("damaged.txt")));
        QFAIL("a damaged file was added");
    } catch (const DamagedClaimFile& error) {
        QCOMPARE(error.line(), line);
    }
    QCOMPARE(readFile(merge.mainPath()), joined);
    QCOMPARE(merge.added(), 1);
}

// Custom files keep their wrapping: the joined file is itself a whole custom claim file.
void ClaimsTest::mergeKeepsTheCustomLayout() {
    QTemporaryDir dir;
    QByteArray whole = kCustomFile;
    whole.replace("500.5", "500"); // the merge sums whole Rials
    writeFile(dir.filePath(QStringLiteral("a.txt")), whole);
    const QString out = dir.filePath(QStringLiteral("all.txt"));
    const test::CliRun run = test::pharmacyctl({QStringLiteral("claims-merge"), QStringLiteral("--out"), out,
                                                dir.filePath(QStringLiteral("a.txt")), dir.filePath(QStringLiteral("a.txt"))});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    const ClaimFileOutline joined = checkClaimFile(out);
    const ClaimFileOutline single = checkClaimFile(dir.filePath(QStringLiteral("a.txt")));
    QVERIFY(joined.wrapped);
    QCOMPARE(joined.blocks.size(), 2 * single.blocks.size());
    QCOMPARE(readFile(out).count("<X>"), 2 * whole.count("<X>"));
}

// Claim files carry insurance numbers: readable by their owner only whatever the umask, and
// a file that cannot be written whole is an error that leaves nothing behind.
void ClaimsTest::claimFilesAreWrittenWholeAndPrivate() {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("a.txt")), kMergeFirst);
    const QStringList claims{QStringLiteral("--dir"), m_t->workingDir(), QStringLiteral("claims"), QStringLiteral("--insurer"),
                             QStringLiteral("1,2"), QStringLiteral("--from"), QStringLiteral("05/07/01"),
                             QStringLiteral("--to"), QStringLiteral("05/07/30"), QStringLiteral("--out")};
    const QStringList merge{QStringLiteral("claims-merge"), QStringLiteral("--out")};
    {
        const Umask open(0);
        QCOMPARE(test::pharmacyctl(claims + QStringList{dir.filePath(QStringLiteral("nos1.txt"))}).status, 0);
        QCOMPARE(fileMode(dir.filePath(QStringLiteral("nos1.txt"))), 0600);
        QCOMPARE(test::pharmacyctl(merge + QStringList{dir.filePath(QStringLiteral("all.txt")), dir.filePath(QStringLiteral("a.txt"))}).status, 0);
        QCOMPARE(fileMode(dir.filePath(QStringLiteral("all.txt"))), 0600);
    }
    for (const QString& place : failingPlaces()) {
        QTemporaryDir folder;
        const QString target = failingTarget(place, folder.path(), QStringLiteral("out.txt"));
        const QStringList before = everyEntry(folder.path());
        test::CliRun written, joined;
        {
            std::optional<FileSizeLimit> full;
            if (place == QLatin1String("full disk")) full.emplace(16);
            written = test::pharmacyctl(claims + QStringList{target});
            joined = test::pharmacyctl(merge + QStringList{target, dir.filePath(QStringLiteral("a.txt"))});
        }
        QCOMPARE(written.status, 1);
        QCOMPARE(joined.status, 1);
        QVERIFY2(written.err.contains(target) && joined.err.contains(target), qPrintable(written.err + joined.err));
        QCOMPARE(everyEntry(folder.path()), before);
    }
    QVERIFY(!QFileInfo(QStringLiteral("/dev/full")).isFile());
}

void ClaimsTest::commandWritesTheWindowsBytes() {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("nos1.txt"));
    test::CliRun run = test::pharmacyctl({QStringLiteral("--dir"), m_t->workingDir(), QStringLiteral("claims"),
                                          QStringLiteral("--insurer"), QStringLiteral("1,2"), QStringLiteral("--from"),
                                          QStringLiteral("05/07/01"), QStringLiteral("--to"), QStringLiteral("05/07/30"),
                                          QStringLiteral("--out"), out});
    QCOMPARE(run.status, 0);
    QCOMPARE(readFile(out), kDefaultFile);
    QCOMPARE(QJsonDocument::fromJson(run.out.toUtf8()).object().value(QStringLiteral("prescriptions")).toInt(), 3);

    run = test::pharmacyctl({QStringLiteral("--dir"), m_t->workingDir(), QStringLiteral("claims"),
                             QStringLiteral("--insurer"), QStringLiteral("1,2"), QStringLiteral("--from"),
                             QStringLiteral("05/07/01"), QStringLiteral("--to"), QStringLiteral("05/07/30"),
                             QStringLiteral("--variant"), QStringLiteral("custom"), QStringLiteral("--patient-names"),
                             QStringLiteral("--prescriber-names"), QStringLiteral("--out"), out});
    QCOMPARE(run.status, 0);
    QCOMPARE(readFile(out), kCustomFile);
}

void ClaimsTest::commandRefusals_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QStringList period{QStringLiteral("--from"), QStringLiteral("05/07/01"), QStringLiteral("--to"),
                             QStringLiteral("05/07/30")};
    QTest::newRow("unknown insurer") << (QStringList{QStringLiteral("--insurer"), QStringLiteral("7")} + period) << 2
                                     << claims::texts::kUnknownCode;
    QTest::newRow("bad date") << QStringList{QStringLiteral("--insurer"), QStringLiteral("1"), QStringLiteral("--from"),
                                             QStringLiteral("05/07/31"), QStringLiteral("--to"), QStringLiteral("05/07/30")}
                              << 2 << claims::texts::kBadDate;
    QTest::newRow("nothing in the period")
        << QStringList{QStringLiteral("--insurer"), QStringLiteral("2"), QStringLiteral("--from"),
                       QStringLiteral("05/09/01"), QStringLiteral("--to"), QStringLiteral("05/09/30")}
        << 3 << claims::texts::kNothingFound;
    QTest::newRow("names without custom")
        << (QStringList{QStringLiteral("--insurer"), QStringLiteral("1"), QStringLiteral("--patient-names")} + period) << 2
        << QStringLiteral("--variant custom");
    QTest::newRow("a name the code page lacks")
        << (QStringList{QStringLiteral("--insurer"), QStringLiteral("2"), QStringLiteral("--variant"),
                        QStringLiteral("custom"), QStringLiteral("--patient-names")} +
            period)
        << 3 << QStringLiteral("نسخه شماره 13");
}

void ClaimsTest::commandRefusals() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    m_t->db().exec(QStringLiteral("update heading_noskhe set family_b = ? where sh_factor = 13"),
                   {QStringLiteral("كاظمΩ")});
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("nos1.txt"));
    const test::CliRun run = test::pharmacyctl(QStringList{QStringLiteral("--dir"), m_t->workingDir(),
                                                           QStringLiteral("claims")} +
                                               args + QStringList{QStringLiteral("--out"), out});
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!QFile::exists(out)); // nothing written, not even a part
    QCOMPARE(dir.isValid(), true);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(ClaimsTest)
#include "claims_test.moc"
