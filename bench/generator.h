#pragma once

#include <QString>
#include <QTextStream>

#include <functional>

namespace ph {

class Database;

// What the generator writes: a working pharmacy's years of dispensing.
struct GenerateOptions {
    qint64 prescriptions = 1000000; // about three lines each, over five years
    quint64 seed = 1;               // the same seed gives the same rows
    int catalogue = 30000;          // goods added to the demo working set
    int firstYear = 1400;           // the five years 1400 to 1404 (yy 00 to 04)
    int years = 5;
};

struct GenerateCounts {
    qint64 prescriptions = 0;
    qint64 prescriptionLines = 0;
    qint64 goodsInvoices = 0;
    qint64 goodsLines = 0;
    qint64 cashRows = 0;
    qint64 tillClosings = 0;
    qint64 goods = 0;
    qint64 patients = 0;
    qint64 doctors = 0;
};

// Fills the database of `workingDir` (its ci.txt, or the embedded pharmacy.db): first
// the demo working set (users, insurers with contracts, tariff, lists; its passwords go
// to `out`), then a catalogue, prescribers, patients, prescriptions with their lines and
// cash rows, goods invoices with theirs, and a till closing for every working day.
// Rows are written by prepared multi-row inserts in large transactions, in date order,
// invoice numbers rising with the dates. Refuses (DbError) a database that holds data.
// `progress` is told the prescriptions written so far.
GenerateCounts generateDatabase(const QString& workingDir, const GenerateOptions& options, QTextStream& out,
                                const std::function<void(qint64)>& progress = {});

} // namespace ph
