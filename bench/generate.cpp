// Fills a database with years of generated data for the benchmarks:
//
//   generate [--dir FOLDER] [--prescriptions N] [--seed S] [--catalogue N] [--years Y]
//
// FOLDER (default: the current folder) is a working folder as the program uses it: its
// ci.txt names a PostgreSQL database, or else the embedded pharmacy.db is created there.
// The database must be empty. N prescriptions (default 1,000,000) over Y years (default
// five, from 1400), about
// three lines each, with their cash rows, three goods invoices for every ten
// prescriptions, a till closing a day, and a catalogue of 30,000 goods on top of the
// demo working set. The same seed (default 1) writes the same rows.
#include "generator.h"

#include "core/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString dir = QDir::currentPath();
    ph::GenerateOptions options;
    for (int i = 0; i < args.size(); ++i) {
        const QString option = args.at(i);
        bool ok = i + 1 < args.size();
        const QString value = ok ? args.at(++i) : QString();
        if (option == QLatin1String("--dir"))
            dir = value;
        else if (option == QLatin1String("--prescriptions"))
            options.prescriptions = value.toLongLong(&ok);
        else if (option == QLatin1String("--seed"))
            options.seed = value.toULongLong(&ok);
        else if (option == QLatin1String("--catalogue"))
            options.catalogue = value.toInt(&ok);
        else if (option == QLatin1String("--years"))
            options.years = value.toInt(&ok);
        else
            ok = false;
        if (!ok || options.prescriptions < 0 || options.catalogue < 1 || options.years < 1 || options.years > 99) {
            std::fprintf(stderr, "usage: generate [--dir FOLDER] [--prescriptions N] [--seed S] [--catalogue N] [--years Y]\n");
            return 2;
        }
    }
    QDir().mkpath(dir);
    QString shown;
    QTextStream out(&shown);
    QElapsedTimer timer;
    timer.start();
    try {
        const ph::GenerateCounts counts = ph::generateDatabase(dir, options, out, [&](qint64 written) {
            std::fprintf(stderr, "  %lld prescriptions, %.0f s\r", written, timer.elapsed() / 1000.0);
        });
        out.flush();
        std::printf("%s", qPrintable(shown));
        std::printf("generated in %.1f s: %lld prescriptions (%lld lines), %lld goods invoices (%lld lines), "
                    "%lld cash rows, %lld till closings, %lld goods, %lld patients, %lld doctors\n",
                    timer.elapsed() / 1000.0, counts.prescriptions, counts.prescriptionLines, counts.goodsInvoices,
                    counts.goodsLines, counts.cashRows, counts.tillClosings, counts.goods, counts.patients,
                    counts.doctors);
    } catch (const ph::Error& error) {
        std::fprintf(stderr, "\ngenerate: %s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
