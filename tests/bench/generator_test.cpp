// The benchmark data generator, on a few hundred prescriptions: whole documents, the
// same rows from the same seed, and a database the program goes on working with.
#include "generator.h"

#include "core/scripted_prompter.h"
#include "db/database.h"
#include "support/sample_prescription.h"
#include "support/test_database.h"

#include <QSqlRecord>
#include <QTest>

using namespace ph;

namespace {

constexpr int kPrescriptions = 400;

GenerateOptions small(quint64 seed) {
    GenerateOptions options;
    options.prescriptions = kPrescriptions;
    options.catalogue = 600;
    options.seed = seed;
    return options;
}

// A digest of what was generated: equal digests, equal data (for these purposes).
QStringList digest(Database& db) {
    QStringList parts;
    for (const char* sql :
         {"select count(*), sum(price_koll), sum(price_bimeh), min(code_no), max(code_no), max(nezam_p) from heading_noskhe",
          "select count(*), sum(tedad), sum(code_darou), sum(price_koll) from details_noskhe",
          "select count(*), sum(koll_daryaft), sum(ekhtetam) from cash",
          "select count(*), sum(price_koll_f) from heading_froosh_kala",
          "select count(*), sum(price_u), max(name_kala) from mosh_kala_anbar",
          "select count(*), sum(khales) from ekhtetam", "select count(*), max(family_b) from mosh_bimaran"}) {
        Rows q = db.exec(QString::fromLatin1(sql));
        q.next();
        for (int i = 0; i < q.record().count(); ++i)
            parts.append(q.value(i).toString());
    }
    return parts;
}

} // namespace

class GeneratorTest : public QObject {
    Q_OBJECT

private slots:
    void wholeDocumentsTheSameFromTheSameSeed();
};

void GeneratorTest::wholeDocumentsTheSameFromTheSameSeed() {
    test::TestDatabase first, second, other;
    QString shown;
    QTextStream out(&shown);
    const GenerateCounts counts = generateDatabase(first.workingDir(), small(7), out);
    QCOMPARE(counts.prescriptions, kPrescriptions);
    QVERIFY(counts.prescriptionLines > 2 * kPrescriptions && counts.prescriptionLines < 4 * kPrescriptions);
    QCOMPARE(counts.goodsInvoices, kPrescriptions * 3 / 10);
    QCOMPARE(counts.cashRows, counts.prescriptions + counts.goodsInvoices);
    QCOMPARE(counts.tillClosings, 5 * 365 - 1);

    Database& db = first.db();
    const QList<std::pair<const char*, const char*>> broken = {
        {"a prescription without lines",
         "select count(*) from heading_noskhe h where not exists (select 1 from details_noskhe d where d.sh_factor = h.sh_factor)"},
        {"a prescription without its cash row",
         "select count(*) from heading_noskhe h where (select count(*) from cash c where c.sh_factor = h.sh_factor "
         "and c.type_factor = 'd') <> 1"},
        {"a goods invoice without lines",
         "select count(*) from heading_froosh_kala h where not exists "
         "(select 1 from details_froosh_kala d where d.sh_factor = h.sh_factor)"},
        {"a goods invoice without its cash row",
         "select count(*) from heading_froosh_kala h where (select count(*) from cash c where c.sh_factor = h.sh_factor "
         "and c.type_factor = 'k') <> 1"},
        {"a line of an unknown goods",
         "select count(*) from details_noskhe d where not exists (select 1 from mosh_kala_anbar g where g.code_kala = d.code_darou)"},
        {"a prescriber not in the register",
         "select count(*) from heading_noskhe h where not exists (select 1 from doctor_s d where d.order1 = h.nezam_p)"},
        {"a prescription code taken twice", "select count(*) - count(distinct code_no) from heading_noskhe"},
        {"a header total that is not its lines' sum",
         "select count(*) from heading_noskhe h where abs(h.price_bimeh - (select sum(sazman) from details_noskhe d "
         "where d.sh_factor = h.sh_factor)) > 0.5"},
        {"a closed day that does not add up",
         "select count(*) from ekhtetam e where abs(e.koll_daryaft - (select sum(koll_daryaft) from cash c "
         "where c.date_no = e.date_first)) > 0.5"},
    };
    for (const auto& [what, sql] : broken)
        QVERIFY2(db.scalar(QString::fromLatin1(sql)).toInt() == 0, what);
    // Invoice numbers rise with the dates over the five years.
    QVERIFY(db.scalar(QStringLiteral("select date_no from heading_noskhe where sh_factor=1")).toString() <=
            QStringLiteral("00/01/07"));
    QCOMPARE(db.scalar(QStringLiteral("select max(date_no) from heading_noskhe")).toString(), QStringLiteral("04/12/29"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from heading_noskhe h where exists (select 1 from heading_noskhe n "
                                      "where n.sh_factor = h.sh_factor + 1 and n.date_no < h.date_no)"))
                 .toInt(),
             0);

    generateDatabase(second.workingDir(), small(7), out);
    generateDatabase(other.workingDir(), small(8), out);
    QCOMPARE(digest(second.db()), digest(db));
    QVERIFY(digest(other.db()) != digest(db));

    // The program saves on top of it: the next number, and the day counter going on.
    ScriptedPrompter prompter;
    prompter.setYesNoFallback([](const QString&) { return true; });
    PrescriptionSession session(db, prompter);
    const QList<DrugItem> drugs = DrugList(db).load(true);
    test::enterSamplePrescription(session, drugs, 3, 1);
    const int counter = db.scalar(QStringLiteral("select m7 from code_noskhe where code_bimeh=2 and rooz=15")).toInt();
    const SaveOutcome saved = session.save({1, 0, QStringLiteral("05/07/15"), QStringLiteral("10:00")}, true);
    QVERIFY2(saved.isSaved(), qPrintable(prompter.texts().join(u'|')));
    QCOMPARE(saved.saved.invoiceNumber, kPrescriptions + 1);
    QCOMPARE(saved.saved.code, QStringLiteral("01-002-07-15-%1").arg(counter + 1, 4, 10, QLatin1Char('0')));
}

QTEST_GUILESS_MAIN(GeneratorTest)
#include "generator_test.moc"
