#include "dispensing/compounded_labels.h"
#include "db/schema.h"
#include "../print/pdf_reading.h"
#include "dispensing/print/label_print.h"
#include "print/report_output.h"
#include "support/test_database.h"
#include "../catalogue/compounding_fixture.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace ph;

// The labels of a prescription's compounded drugs: texts from the formula or as stored for
// the prescription, storing from the first changed label on, and the label read back from
// its PDF.
class LabelPrintTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void labelsFromFormulasAndStoredTexts();
    void storingStartsAtTheFirstChangedLabel();
    void labelPdfShowsItsTexts_data();
    void labelPdfShowsItsTexts();

private:
    std::unique_ptr<test::TestDatabase> m_t;
    double m_first = 0;
    double m_second = 0;
    QTemporaryDir m_out;
};

void LabelPrintTest::initTestCase() {
    QVERIFY2(test::popplerPresent(), "poppler-utils (pdftotext, pdfinfo) are needed: scripts/install-deps.sh");
}

void LabelPrintTest::init() {
    m_t = std::make_unique<test::TestDatabase>();
    Database& db = m_t->db();
    Schema(db).ensure();
    test::seedCompounding(db);
    FormulaStore(db).add(test::ointment(), &m_first);
    Formula second = test::ointment(QStringLiteral("شربت سرفه"));
    second.message.reset(); // no message: an empty cell
    FormulaStore(db).add(second, &m_second);
}

void LabelPrintTest::cleanup() {
    m_t.reset();
}

void LabelPrintTest::labelsFromFormulasAndStoredTexts() {
    CompoundedLabels labels(m_t->db());
    // Drugs without a formula get no label; a prescription without any shows none.
    QVERIFY(labels.load(5, {1010001, 1010002}).isEmpty());
    const QList<CompoundedLabel> shown = labels.load(5, {1010001, m_first, m_second});
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0).code, m_first);
    QCOMPARE(shown.at(0).name, QStringLiteral("پماد سوختگي"));
    QCOMPARE(shown.at(0).instruction, QStringLiteral("روزي دو بار"));
    QCOMPARE(shown.at(0).storage, QStringLiteral("دور از نور"));
    QCOMPARE(shown.at(0).message, QStringLiteral("فقط مصرف خارجي"));
    QCOMPARE(shown.at(1).message, QString());

    // Stored texts come back for this prescription only; another drug keeps the formula's.
    QList<CompoundedLabel> edited = shown;
    edited[0].instruction = QStringLiteral("شبي يك بار");
    QCOMPARE(labels.store(5, edited), 2);
    const QList<CompoundedLabel> reopened = labels.load(5, {m_first, m_second});
    QCOMPARE(reopened.at(0).instruction, QStringLiteral("شبي يك بار"));
    QCOMPARE(labels.load(6, {m_first}).at(0).instruction, QStringLiteral("روزي دو بار"));
    // Storing again replaces the rows rather than adding to them.
    QCOMPARE(labels.store(5, reopened), 2);
    QCOMPARE(m_t->db().scalar(QStringLiteral("select count(*) from details_froosh_sakhtani")).toInt(), 2);

    const QList<LabelContentLine> contents = labels.contents(m_first);
    QCOMPARE(contents.size(), 2);
    QCOMPARE(contents.at(1).quantity, 0.5);
    QCOMPARE(contents.at(1).unit, QStringLiteral("ميلي ليتر"));
}

void LabelPrintTest::storingStartsAtTheFirstChangedLabel() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("update heading_formul_darou set code_payam=1"));
    CompoundedLabels labels(db);
    QList<CompoundedLabel> shown = labels.load(8, {m_first, m_second, m_first + 0});
    QCOMPARE(shown.size(), 3);
    // Only standard texts: nothing is stored.
    QCOMPARE(labels.store(8, shown), 0);
    // The second label's message changed: the second and the third are stored, not the first.
    shown[1].message = QStringLiteral("پيش از مصرف تكان دهيد");
    QCOMPARE(labels.store(8, shown), 2);
    Rows stored = db.exec(QStringLiteral("select code_darou, payam from details_froosh_sakhtani where sh_factor=8 "
                                              "order by code_darou"));
    QVERIFY(stored.next());
    QCOMPARE(stored.value(0).toDouble(), m_first);
    QCOMPARE(stored.value(1).toString(), QStringLiteral("فقط مصرف خارجي"));
    QVERIFY(stored.next());
    QCOMPARE(stored.value(0).toDouble(), m_second);
    QCOMPARE(stored.value(1).toString(), QStringLiteral("پيش از مصرف تكان دهيد"));
    QVERIFY(!stored.next());
}

void LabelPrintTest::labelPdfShowsItsTexts_data() {
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<int>("pages");
    QTest::newRow("default 50 x 30 mm") << QSizeF(kDefaultLabelWidthMm, kDefaultLabelHeightMm) << 1;
    QTest::newRow("70 x 40 mm") << QSizeF(70, 40) << 1;
    // A label too short for the contents carries them over to a second label.
    QTest::newRow("50 x 22 mm") << QSizeF(50, 22) << 2;
}

void LabelPrintTest::labelPdfShowsItsTexts() {
    QFETCH(QSizeF, page);
    QFETCH(int, pages);
    CompoundedLabels labels(m_t->db());
    const CompoundedLabel label = labels.load(5, {m_first}).at(0);
    const LabelHeading heading{QStringLiteral("داروخانه شفا"), QStringLiteral("علي  رضايي"),
                               QStringLiteral("مريم احمدي")};
    const QString path = m_out.filePath(QStringLiteral("label.pdf"));
    QVERIFY(print::writePdf(labelReport(label, labels.contents(m_first), heading, page), path).done());
    QCOMPARE(test::pdfPages(path), pages);
    const QSizeF size = test::pdfPageSizeMm(path);
    QVERIFY2(qAbs(size.width() - page.width()) < 0.5 && qAbs(size.height() - page.height()) < 0.5,
             qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
    // Letters that join on both sides (medial yeh, peh) do not always read back from the
    // PDF, so the words checked are ones that read back whole.
    const QString text = test::pdfText(path);
    for (const QString& expected :
         {QStringLiteral("داروخانه شفا"), QStringLiteral("علي"), QStringLiteral("مريم احمدي"),
          QStringLiteral("روزي دو بار"), QStringLiteral("نگهداري دارو دور از نور"), QStringLiteral("فقط مصرف خارجي"),
          QStringLiteral("محتويات دارو"), QStringLiteral("مقدار"), QStringLiteral("گرم"), QStringLiteral("ميلي ليتر"),
          QStringLiteral("0.5")})
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing from:\n") + text));
}

QTEST_MAIN(LabelPrintTest)
#include "label_print_test.moc"
