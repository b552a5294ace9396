#include "print/barcode_image.h"
#include "print/barcode_label.h"
#include "print/report_output.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace ph::print;

namespace {

// What a tool wrote on standard output; empty when it is missing or failed.
QString run(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

// Labels printed to PDF, rendered as a scanner's camera would see them and read back.
class BarcodeLabelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void symbologyFollowsTheBarcode();
    void printedLabelReadsBack_data();
    void printedLabelReadsBack();
};

void BarcodeLabelTest::symbologyFollowsTheBarcode() {
    const struct {
        QString stored;
        Symbology symbology;
        QString encoded;
    } cases[] = {
        {QStringLiteral("05901234123457"), Symbology::Ean13, QStringLiteral("5901234123457")},
        {QStringLiteral("00036000291452"), Symbology::Ean13, QStringLiteral("0036000291452")}, // a UPC-A
        {QStringLiteral("00000096385074"), Symbology::Code128, QStringLiteral("00000096385074")}, // an EAN-8
        {QStringLiteral("10012345678902"), Symbology::DataMatrix, QStringLiteral("(01)10012345678902")},
        {QStringLiteral("ABC-123"), Symbology::Code128, QStringLiteral("ABC-123")},
        {QStringLiteral("(01)10012345678902(17)281231(10)B7"), Symbology::DataMatrix,
         QStringLiteral("(01)10012345678902(17)281231(10)B7")},
    };
    for (const auto& c : cases) {
        QCOMPARE(symbologyFor(c.stored), c.symbology);
        QCOMPARE(encodedText(c.stored, c.symbology), c.encoded);
    }
    // A text the symbology cannot carry draws nothing rather than a wrong code.
    QVERIFY(barcodeImage(QStringLiteral("12AB"), Symbology::Ean13).isNull());
}

void BarcodeLabelTest::printedLabelReadsBack_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("read");
    QTest::newRow("EAN-13") << "05901234123457" << "zbarimg" << "5901234123457";
    QTest::newRow("Code 128") << "PH-2026/17" << "zbarimg" << "PH-2026/17";
    QTest::newRow("GS1 DataMatrix") << "10012345678902" << "dmtxread" << "0110012345678902";
    // A pack's label: the expiry is fixed-length and needs no separator before the batch.
    QTest::newRow("GS1 pack") << "(01)10012345678902(17)281231(10)B7" << "dmtxread" << "011001234567890217281231" "10B7";
}

void BarcodeLabelTest::printedLabelReadsBack() {
    QFETCH(QString, stored);
    QFETCH(QString, reader);
    QFETCH(QString, read);
    for (const QString& tool : {QStringLiteral("pdftoppm"), reader})
        if (QStandardPaths::findExecutable(tool).isEmpty()) QSKIP(qPrintable(tool + QStringLiteral(" is not installed")));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("label.pdf"));
    // The label size of the settings' default: 50 × 30 mm.
    const Report label = barcodeLabelReport(QStringLiteral("استامينوفن ۵۰۰"), stored, QSizeF(50, 30));
    QVERIFY(!label.data().pictures.value(QStringLiteral("barcode")).isNull());
    const OutputResult written = writePdf(label, pdf);
    QVERIFY2(written.done(), qPrintable(written.message));
    const QString png = dir.filePath(QStringLiteral("label"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-gray"),
                                     QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, png});
    const QStringList args = reader == QLatin1String("zbarimg")
                                 ? QStringList{QStringLiteral("-q"), QStringLiteral("--raw"), png + QStringLiteral(".png")}
                                 : QStringList{png + QStringLiteral(".png")};
    const QString decoded = run(reader, args).trimmed();
    QVERIFY2(decoded.endsWith(read), qPrintable(decoded));
}

QTEST_MAIN(BarcodeLabelTest)
#include "barcode_label_test.moc"
