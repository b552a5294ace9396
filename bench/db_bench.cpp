// The database layer on generated data.
//
//   db_bench inuse [FILE] [PRESCRIPTIONS]
//       The in-use checks (goods, users, prescription types, wards) on an embedded
//       database of PRESCRIPTIONS prescriptions (default 1,000,000, three lines each),
//       with the look-up indexes and without them, then the time the index upgrade
//       takes on it. FILE defaults to ph_bench/pharmacy.db in the temporary folder and
//       is generated only when it does not exist yet (it is never in the source tree).
//   db_bench pricing
//       Pricing 1 and 20 lines on the demo data set, with statements kept prepared and
//       without: time, statements executed and statements prepared per line. On SQLite,
//       and on PostgreSQL too when PH_PG_HOST (and PH_PG_PORT, PH_PG_USER) name a server.
//   db_bench prescription
//       On the same databases: adding a line to a 20-line prescription and recomputing
//       its totals (median and 95th percentile), and saving a 5-line prescription
//       against its floor, the same rows written by hand-made prepared statements in one
//       transaction; then prescriptions saved per second by one and by eight
//       workstations at once, each on its own connection.
//   db_bench saves FOLDER COUNT [READY START]
//       COUNT 5-line prescriptions saved through the session on the database of the
//       working folder FOLDER (bench/run times it against save_floor); prints the time
//       of the saves alone (F2, not the entry and pricing of the lines) as elapsed_ms=.
//       With READY and START (one workstation of several at once): connected and with
//       one save done, it creates the file READY, waits for the file START to appear,
//       saves (entering the lines too) and prints the wall-clock moment it ended as end_ns=.
//   db_bench stored [FILE] [PRESCRIPTIONS]
//       Showing stored prescriptions on an embedded database of PRESCRIPTIONS
//       prescriptions (default 300,000, three lines each; FILE defaults to
//       ph_bench/stored.db, generated when missing): one read for the dispensing window,
//       the same read handed to a prescription session as the window does, a step to
//       the next number (the highest number, then the read) and the first and last.

#include "admin/users.h"
#include "audit/audit_changes.h"
#include "audit/audit_log.h"
#include "catalogue/goods.h"
#include "catalogue/lookup_list.h"
#include "cli/demo_command.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/database.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "dispensing/drug_list.h"
#include "dispensing/prescription_lines.h"
#include "dispensing/prescription_session.h"
#include "dispensing/stored_prescriptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace ph;

namespace {

const QStringList kLookupIndexes = {
    QStringLiteral("ix_details_noskhe_code_darou_main"), QStringLiteral("ix_details_noskhe_sh_bimeh"),
    QStringLiteral("ix_heading_noskhe_code_opr"),        QStringLiteral("ix_heading_noskhe_type_no"),
    QStringLiteral("ix_heading_noskhe_code_bakhsh"),     QStringLiteral("ix_heading_noskhe_date_sabt"),
    QStringLiteral("ix_heading_froosh_kala_code_opr"),
};

double millisecondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// Median and slowest of `runs` timings.
void report(const char* name, int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(millisecondsOf(work));
    std::sort(times.begin(), times.end());
    std::printf("  %-48s median %9.3f ms   max %9.3f ms\n", name, times[times.size() / 2], times.back());
}

void fill(Database& db, int prescriptions) {
    Schema(db).ensure();
    db.exec(QStringLiteral("insert into group_kala (code, name) values (1, 'دارو')"));
    db.exec(QStringLiteral("insert into type_kala (code, name, num) values (1, 'قرص', 0)"));
    db.exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, group_code, type_code, flag) "
                           "with recursive c(x) as (select 0 union all select x+1 from c where x < 1999) "
                           "select 1000000 + x, 'دارو ' || x, 1, 1, 1 from c"));
    constexpr int kChunk = 100000;
    for (int first = 1; first <= prescriptions; first += kChunk) {
        const int last = std::min(prescriptions, first + kChunk - 1);
        Transaction transaction(db);
        db.exec(QStringLiteral(
                    "insert into heading_noskhe (sh_factor, date_no, date_sabt, sh_bimeh, code_bimeh, type_no, "
                    "code_bakhsh, code_opr, nezam_p, price_koll) "
                    "with recursive c(x) as (select ? union all select x+1 from c where x < ?) "
                    "select x, printf('%02d/%02d/%02d', 1 + x / 300000, 1 + (x / 25000) % 12, 1 + x % 28), "
                    "printf('%02d/%02d/%02d', 1 + x / 300000, 1 + (x / 25000) % 12, 1 + x % 28), "
                    "printf('%010d', (x * 7919) % 900000), 1 + x % 4, 1 + x % 3, 1 + x % 10, 1 + x % 5, "
                    "printf('%05d', x % 3000), 1000 * (x % 97) from c"),
                {first, last});
        db.exec(QStringLiteral(
                    "insert into details_noskhe (sh_factor, row, code_darou, code_darou_main, tedad, sh_bimeh, price_koll) "
                    "with recursive c(x) as (select ? union all select x+1 from c where x < ?), r(n) as "
                    "(select 1 union all select 2 union all select 3) "
                    "select x, n, 1000000 + (x * 31 + n * 7) % 2000, 1000000 + (x * 31 + n * 7) % 2000, n, "
                    "printf('%010d', (x * 7919) % 900000), 500 * n from c, r"),
                {first, last});
        if (first % 5 == 1)
            db.exec(QStringLiteral("insert into heading_froosh_kala (sh_factor, date_sabt, code_opr, price_koll) "
                                   "with recursive c(x) as (select ? union all select x+1 from c where x < ?) "
                                   "select x, '03/01/01', 1 + x % 5, 100 from c"),
                    {first, last});
        transaction.commit();
        std::printf("  filled %d prescriptions\r", last);
        std::fflush(stdout);
    }
    std::printf("\n");
    db.refreshStatistics();
}

void inUseChecks(Database& db, int runs) {
    GoodsCatalogue goods(db);
    UserStore users(db);
    LookupList types(db, LookupKind::PrescriptionTypes);
    LookupList wards(db, LookupKind::Wards);
    // A goods named only as the main drug of one line, and a goods nothing names.
    db.exec(QStringLiteral("delete from mosh_kala_anbar where code_kala in (1999998, 1999999)"));
    db.exec(QStringLiteral("delete from details_noskhe where code_darou_main = 1999999"));
    db.exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, group_code, type_code, flag) "
                           "values (1999999, 'x', 1, 1, 1)"));
    db.exec(QStringLiteral("insert into details_noskhe (sh_factor, row, code_darou, code_darou_main) "
                           "values (1, 9, 1000001, 1999999)"));
    report("goods in use (named as a main drug)", runs, [&] {
        if (goods.remove(1999999) != GoodsOutcome::Referenced)
            qFatal("the goods in use was removed");
    });
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        db.exec(QStringLiteral("insert into mosh_kala_anbar (code_kala, name_kala, group_code, type_code, flag) "
                               "values (1999998, 'y', 1, 1, 1)"));
        times.push_back(millisecondsOf([&] { goods.remove(1999998); }));
    }
    std::sort(times.begin(), times.end());
    std::printf("  %-48s median %9.3f ms   max %9.3f ms\n", "goods not in use (every check, then removed)",
                times[times.size() / 2], times.back());
    report("user with sales", runs, [&] { users.hasRecordedSales(1); });
    report("user without sales", runs, [&] { users.hasRecordedSales(9); });
    report("prescription type not in use", runs, [&] { types.isInUse(4); });
    report("ward not in use", runs, [&] { wards.isInUse(11); });
    report("ward in use", runs, [&] { wards.isInUse(3); });
}

// The embedded database of generated prescriptions in FILE (default: NAME in ph_bench of
// the temporary folder), generated only when it does not exist yet.
std::unique_ptr<Database> openGenerated(const QString& fileArg, const QString& name, int prescriptions) {
    const QString file = fileArg.isEmpty() ? QDir::tempPath() + QStringLiteral("/ph_bench/") + name : fileArg;
    QDir().mkpath(QFileInfo(file).absolutePath());
    ConnectionSettings settings;
    settings.engine = Engine::Sqlite;
    settings.database = file;
    const bool generate = !QFile::exists(file);
    auto db = std::make_unique<Database>(settings);
    db->open();
    if (generate) {
        std::printf("generating %d prescriptions in %s\n", prescriptions, qPrintable(file));
        std::printf("  took %.1f s\n", millisecondsOf([&] { fill(*db, prescriptions); }) / 1000);
    }
    Schema(*db).ensure();
    return db;
}

int inUse(const QString& fileArg, int prescriptions) {
    const std::unique_ptr<Database> opened = openGenerated(fileArg, QStringLiteral("pharmacy.db"), prescriptions);
    Database& db = *opened;
    std::printf("%d prescriptions, %d lines\n",
                db.scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt(),
                db.scalar(QStringLiteral("select count(*) from details_noskhe")).toInt());
    std::printf("with the look-up indexes:\n");
    inUseChecks(db, 21);

    std::printf("without them (the first version's layout):\n");
    for (const QString& index : kLookupIndexes)
        db.exec(QStringLiteral("drop index if exists %1").arg(index));
    db.exec(QStringLiteral("delete from schema_version"));
    db.exec(QStringLiteral("insert into schema_version (version) values (1)"));
    inUseChecks(db, 3);

    std::printf("index upgrade of that database: %.1f s\n",
                millisecondsOf([&] { Schema(db).ensure(); }) / 1000);
    return 0;
}

int stored(const QString& fileArg, int prescriptions) {
    const std::unique_ptr<Database> opened = openGenerated(fileArg, QStringLiteral("stored.db"), prescriptions);
    Database& db = *opened;
    const int count = db.scalar(QStringLiteral("select count(*) from heading_noskhe")).toInt();
    std::printf("%d prescriptions, %d lines\n", count,
                db.scalar(QStringLiteral("select count(*) from details_noskhe")).toInt());
    StoredPrescriptions store(db);
    ScriptedPrompter prompter;
    PrescriptionSession session(db, prompter);
    session.start({QStringLiteral("03/06/15"), QStringLiteral("10:00")});
    int invoice = count / 2;
    report("read one prescription", 51, [&] {
        if (!store.load(++invoice)) qFatal("no prescription %d", invoice);
    });
    report("read and hand it to the session (one load)", 51, [&] { session.load(*store.load(++invoice)); });
    report("next: the highest number, then the load", 51, [&] {
        if (store.last().value_or(0) > invoice) session.load(*store.load(++invoice));
    });
    report("first and last numbers", 51, [&] {
        store.first();
        store.last();
    });
    return 0;
}

struct PricingRun {
    double msPerLine = 0;
    double executedPerLine = 0;
    double preparedPerLine = 0;
};

// Prices prescriptions of `lineCount` lines through the prescription session, as the
// window and `quote` do: a new prescription, its insurer, the lines, the totals.
PricingRun price(Database& db, const QList<DrugItem>& drugs, int lineCount, int runs) {
    ScriptedPrompter prompter;
    prompter.setYesNoFallback([](const QString&) { return true; });
    PrescriptionSession session(db, prompter);
    auto once = [&] {
        session.start({QStringLiteral("03/06/15"), QStringLiteral("10:00")});
        session.changeInsurer(InsurerCode::fromText(QStringLiteral("2")));
        session.header().specialtyCode = QStringLiteral("1");
        for (int i = 0; i < lineCount; ++i) {
            const DrugItem& drug = drugs.at(i % drugs.size());
            LineInput input;
            input.quantity = QStringLiteral("1");
            input.kind = session.kindForChosen(drug);
            input.price = drug.listPrice ? QString::number(*drug.listPrice, 'f', 0) : QString();
            session.addLine(drug, input);
        }
        session.totals();
    };
    once(); // the first prescription prepares the statements of every later one
    const int executed = db.executedCount();
    const int prepared = db.preparedCount();
    const double ms = millisecondsOf([&] {
        for (int i = 0; i < runs; ++i)
            once();
    });
    const double lines = double(lineCount) * runs;
    return {ms / lines, (db.executedCount() - executed) / lines, (db.preparedCount() - prepared) / lines};
}

void pricingOn(const QString& engineName, Database& db) {
    const QList<DrugItem> drugs = DrugList(db).load(false);
    if (drugs.isEmpty())
        qFatal("the demo data set has no drugs");
    for (const bool cache : {false, true}) {
        db.setStatementCacheEnabled(cache);
        for (const int lineCount : {1, 20}) {
            const PricingRun run = price(db, drugs, lineCount, lineCount == 1 ? 400 : 40);
            std::printf("  %-10s %-22s %2d lines: %7.3f ms/line, %5.2f statements executed/line, "
                        "%5.2f prepared/line\n",
                        qPrintable(engineName), cache ? "statements kept" : "prepared on each call", lineCount,
                        run.msPerLine, run.executedPerLine, run.preparedPerLine);
        }
    }
}

// Runs `work` on the demo data set on SQLite, and on PostgreSQL when a server is named.
int onDemoDatabases(const std::function<void(const QString&, Database&)>& work) {
    QTemporaryDir dir;
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const SystemClock clock;
    if (cli::demo(dir.path(), clock, outStream, errStream) != 0)
        qFatal("demo failed: %s", qPrintable(err));
    {
        Database db(readConnectionSettings(dir.path()));
        db.open();
        work(QStringLiteral("SQLite"), db);
    }
    const QByteArray host = qgetenv("PH_PG_HOST");
    if (host.isEmpty())
        return 0;
    ConnectionSettings server;
    server.engine = Engine::Postgres;
    server.serverLogin = true;
    server.server = QString::fromLocal8Bit(host);
    server.port = qEnvironmentVariableIntValue("PH_PG_PORT") > 0 ? qEnvironmentVariableIntValue("PH_PG_PORT") : 5432;
    server.user = qEnvironmentVariable("PH_PG_USER", QStringLiteral("postgres"));
    const QString name = QStringLiteral("ph_bench_%1").arg(QCoreApplication::applicationPid());
    server.database = QStringLiteral("postgres");
    {
        Database admin(server);
        admin.open();
        admin.exec(QStringLiteral("create database %1 template template0 encoding 'UTF8'").arg(name));
    }
    QTemporaryDir pgDir;
    QFile ci(pgDir.filePath(QStringLiteral("ci.txt")));
    if (!ci.open(QIODevice::WriteOnly))
        qFatal("cannot write ci.txt");
    ci.write(QStringLiteral("1-%1:%2-%3--%4-postgres*").arg(server.server).arg(server.port).arg(server.user, name).toUtf8());
    ci.close();
    if (cli::demo(pgDir.path(), clock, outStream, errStream) != 0)
        qFatal("demo failed: %s", qPrintable(err));
    {
        Database db(readConnectionSettings(pgDir.path()));
        db.open();
        work(QStringLiteral("PostgreSQL"), db);
    }
    Database admin(server);
    admin.open();
    admin.exec(QStringLiteral("drop database %1 with (force)").arg(name));
    return 0;
}


int pricing() {
    return onDemoDatabases(pricingOn);
}

// Percentile p (0 to 1) of sorted timings.
double percentile(const std::vector<double>& sorted, double p) {
    return sorted[std::min(sorted.size() - 1, size_t(p * double(sorted.size())))];
}

// A prescription of `lines` lines for the demo's insurer 2, for patient `n`.
void enterPrescription(PrescriptionSession& session, const QList<DrugItem>& drugs, int lines, qint64 n) {
    session.start({QStringLiteral("05/07/15"), QStringLiteral("10:00")});
    session.changeInsurer(InsurerCode::fromText(QStringLiteral("2")));
    PrescriptionHeader& h = session.header();
    h.insNo.base = QStringLiteral("%1").arg(1000000000 + n);
    h.family = QStringLiteral("بيمار %1").arg(n);
    h.name = QStringLiteral("علي");
    h.pageNumber = QStringLiteral("1");
    h.prescriberCouncil = QStringLiteral("45213"); // a prescriber of the demo working set
    h.prescriberName = QStringLiteral("علي");
    h.prescriberFamily = QStringLiteral("محمدي");
    h.specialtyCode = QStringLiteral("1");
    h.typeCode = QStringLiteral("1");
    h.expiryDate = QStringLiteral("1405/12/29");
    // Days spread over the month, as a pharmacy's are: one day's rows would let the server
    // plan every save's look-ups for that day alone.
    h.prescriptionDate = h.deliveryDate = QStringLiteral("05/07/%1").arg(1 + n % 29, 2, 10, QLatin1Char('0'));
    for (int i = 0; i < lines; ++i) {
        const DrugItem& drug = drugs.at(i % drugs.size());
        session.addLine(drug, {QStringLiteral("1"), session.kindForChosen(drug),
                               drug.listPrice ? QString::number(*drug.listPrice, 'f', 0) : QString()});
    }
}

// The rows a 5-line save writes (header, lines, cash row, day counter, new patient, stock),
// by prepared statements made once, in one transaction.
// What the history of changes adds to one save, in milliseconds: the median of `runs`
// transactions that write a row and append one entry (its lock, the read of the last entry
// and the insert) less the median of as many that write the row alone. The row makes both
// commits write, as a save's does: an empty transaction's commit writes nothing, and the
// difference would count a commit the save pays anyway.
double historyShareOfSave(Database& db, int runs) {
    const AuditOrigin origin{1, QStringLiteral("bench"), QStringLiteral("db_bench")};
    const QJsonObject changes = documentChanges(
        {}, {{QStringLiteral("sh_factor"), 1}, {QStringLiteral("price_koll"), 4500}, {QStringLiteral("name_b"), "x"}},
        QList<AuditRow>{}, QList<AuditRow>(5, AuditRow{{QStringLiteral("code_darou"), 1010001}, {QStringLiteral("tedad"), 1}}));
    const QString scratch = QStringLiteral("insert into g_froosh (code_darou, tedad, price, date_sabt) values (?, 1, 1, '05/07/15')");
    std::vector<double> appended, empty;
    for (int n = 0; n < runs; ++n) {
        appended.push_back(millisecondsOf([&] {
            Transaction transaction(db);
            db.exec(scratch, {n});
            appendAudit(db, origin, {QStringLiteral("bench"), QString::number(n), changes});
            transaction.commit();
        }));
        empty.push_back(millisecondsOf([&] {
            Transaction transaction(db);
            db.exec(scratch, {n});
            transaction.commit();
        }));
    }
    db.exec(QStringLiteral("delete from g_froosh"));
    std::sort(appended.begin(), appended.end());
    std::sort(empty.begin(), empty.end());
    return std::max(0.0, percentile(appended, 0.5) - percentile(empty, 0.5));
}

double floorOfSave(Database& db, int runs) {
    QSqlDatabase handle = db.handle();
    auto prepared = [&](const char* sql) {
        QSqlQuery q(handle);
        q.prepare(QString::fromLatin1(sql));
        return q;
    };
    QSqlQuery number = prepared("select max(sh_factor) from heading_noskhe");
    QSqlQuery counter = prepared("update code_noskhe set m7=coalesce(m7, 0)+1 where code_bimeh=? and rooz=?");
    QSqlQuery heading = prepared(
        "insert into heading_noskhe (sh_factor, code_no, date_no, date_bimeh, name_b, sh_safhe, family_b, insnotamin, "
        "sh_bimeh, paz_type, code_bimeh, nezam_p, code_opr, date_sabt, price_bimar, price_bimeh, fani, fani2, "
        "price_koll, price_azad, price_otc, type_no, price_kala) "
        "values (?, ?, ?, ?, ?, ?, ?, ?, ?, 1, 2, ?, 1, ?, ?, ?, ?, ?, ?, 0, 0, 1, 0)");
    QSqlQuery line = prepared("insert into details_noskhe (sh_factor, row, code_darou, tedad, vaziat, price_one, "
                              "price_koll, sazman, bimar, azad, otc, kala, sh_bimeh, price_h) "
                              "values (?, ?, ?, 1, 'تعرفه', 1000, 1000, 700, 300, 0, 0, 0, ?, 0)");
    QSqlQuery cash = prepared("insert into cash (sh_factor, code_opr, code_cashier, flag_pa, date_no, date_pa, "
                              "time_no, time_pa, bimar, azad, otc, fani, koll_daryaft, koll_bargasht, ekhtetam, "
                              "type_factor, family_b, kala) values (?, 1, 1, 1, '05/07/15', '05/07/15', '10:00', "
                              "'10:00', 1500, 0, 0, 3000, 4500, 0, 0, 'd', ?, 0)");
    QSqlQuery stock = prepared("update moj_kala_vah set moj_vah=moj_vah-1 where code_kala=? and code_vah=20");
    QSqlQuery patient = prepared("insert into mosh_bimaran (code, insnotamin, sh_bimeh, code_bimeh, date_bimeh, name_b, "
                                 "family_b) values (?, ?, ?, 2, '1405/12/29', 'علي', 'بيمار')");
    const int firstPatient = db.scalar(QStringLiteral("select coalesce(max(code), 0) from mosh_bimaran")).toInt() + 1;
    auto run = [](QSqlQuery& q) {
        if (!q.exec()) qFatal("floor statement failed: %s", qPrintable(q.lastError().text()));
    };
    std::vector<double> times;
    for (int n = 0; n < runs; ++n) {
        times.push_back(millisecondsOf([&] {
            Transaction transaction(db);
            run(number);
            number.next();
            const int invoice = number.value(0).toInt() + 1;
            number.finish();
            counter.addBindValue(2);
            counter.addBindValue(15);
            run(counter);
            const QString insNo = QString::number(2000000000 + n);
            for (const QVariant& v : QVariantList{invoice, QStringLiteral("01-002-07-15-0001"), QStringLiteral("05/07/15"),
                                                  QStringLiteral("1405/12/29"), QStringLiteral("علي"), 1,
                                                  QStringLiteral("بيمار"), insNo, insNo, QStringLiteral("12345"),
                                                  QStringLiteral("05/07/15"), 1500, 3500, 3000, 3000, 4500})
                heading.addBindValue(v);
            run(heading);
            for (int row = 1; row <= 5; ++row) {
                line.addBindValue(invoice);
                line.addBindValue(row);
                line.addBindValue(1010000 + row);
                line.addBindValue(insNo);
                run(line);
            }
            cash.addBindValue(invoice);
            cash.addBindValue(QStringLiteral("بيمار  علي"));
            run(cash);
            patient.addBindValue(firstPatient + n);
            patient.addBindValue(insNo);
            patient.addBindValue(insNo);
            run(patient);
            for (int row = 1; row <= 5; ++row) {
                stock.addBindValue(1010000 + row);
                run(stock);
            }
            transaction.commit();
        }));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void prescriptionOn(const QString& engineName, Database& db) {
    const QList<DrugItem> drugs = DrugList(db).load(false);
    ScriptedPrompter prompter;
    prompter.setYesNoFallback([](const QString&) { return true; });
    PrescriptionSession session(db, prompter);

    std::vector<double> adds;
    for (int run = 0; run < 200; ++run) {
        enterPrescription(session, drugs, 20, run);
        const DrugItem& drug = drugs.at(run % drugs.size());
        const LineInput input{QStringLiteral("2"), session.kindForChosen(drug),
                              drug.listPrice ? QString::number(*drug.listPrice, 'f', 0) : QString()};
        adds.push_back(millisecondsOf([&] {
            session.addLine(drug, input);
            session.totals();
        }));
    }
    std::sort(adds.begin(), adds.end());
    std::printf("  %-10s line added to 20 lines + totals: median %7.3f ms, p95 %7.3f ms\n", qPrintable(engineName),
                percentile(adds, 0.5), percentile(adds, 0.95));

    std::vector<double> saves;
    for (int run = 0; run < 100; ++run) {
        enterPrescription(session, drugs, 5, 10000 + run);
        saves.push_back(millisecondsOf([&] {
            if (!session.save({1, 0, QStringLiteral("05/07/15"), QStringLiteral("10:00")}, true).isSaved())
                qFatal("the save was refused: %s", qPrintable(prompter.texts().join(u'|')));
        }));
    }
    std::sort(saves.begin(), saves.end());
    const double floor = floorOfSave(db, 100);
    std::printf("  %-10s 5-line save: median %7.3f ms, p95 %7.3f ms; floor %7.3f ms; ratio %.2f\n",
                qPrintable(engineName), percentile(saves, 0.5), percentile(saves, 0.95), floor,
                percentile(saves, 0.5) / floor);
    // The save above includes its entry in the history; without it, it would take its share less.
    const double history = historyShareOfSave(db, 100);
    const double save = percentile(saves, 0.5);
    std::printf("  %-10s history of changes: %7.3f ms of the save; with / without %.2f (at most 1.15)\n",
                qPrintable(engineName), history, save > history ? save / (save - history) : 0.0);
}

// Prescriptions saved per second by `clients` workstations at once, each on its own
// connection, `each` saves apiece; exits when a save is refused or fails.
double savesPerSecond(const ConnectionSettings& settings, const QList<DrugItem>& drugs, int clients, int each,
                      int offset) {
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    const double ms = millisecondsOf([&] {
        for (int c = 0; c < clients; ++c)
            threads.emplace_back([&, c] {
                try {
                    Database db(settings, QStringLiteral("client%1_%2").arg(offset).arg(c));
                    db.open();
                    ScriptedPrompter prompter;
                    prompter.setYesNoFallback([](const QString&) { return true; });
                    PrescriptionSession session(db, prompter);
                    for (int i = 0; i < each; ++i) {
                        enterPrescription(session, drugs, 5, offset + c * each + i);
                        if (!session.save({1, 0, QStringLiteral("05/07/15"), QStringLiteral("10:00")}, true).isSaved())
                            ++failures;
                    }
                } catch (const Error& error) {
                    std::fprintf(stderr, "client %d: %s\n", c, qPrintable(error.message()));
                    ++failures;
                }
            });
        for (std::thread& thread : threads)
            thread.join();
    });
    if (failures > 0) qFatal("%d saves failed", int(failures));
    return clients * each / (ms / 1000);
}

void concurrentSavesOn(const QString& engineName, Database& db) {
    const QList<DrugItem> drugs = DrugList(db).load(false);
    const int before = db.scalar(QStringLiteral("select coalesce(max(sh_factor), 0) from heading_noskhe")).toInt();
    const double one = savesPerSecond(db.settings(), drugs, 1, 160, 100000);
    const double eight = savesPerSecond(db.settings(), drugs, 8, 20, 200000);
    const QString since = QStringLiteral(" from heading_noskhe where sh_factor > ?");
    const int saved = db.scalar(QStringLiteral("select count(*)") + since, {before}).toInt();
    const int distinct = db.scalar(QStringLiteral("select count(distinct code_no)") + since, {before}).toInt();
    std::printf("  %-10s saves per second: 1 client %.0f, 8 clients %.0f (%d saved, codes distinct: %s)\n",
                qPrintable(engineName), one, eight, saved,
                distinct == saved ? "yes" : "no");
}

// COUNT 5-line prescriptions saved through the prescription session on the database of
// the working folder FOLDER, as the window's F2 saves them (the figure whose floor is
// save_floor). Patients differ from one process to the next.
int saves(const QString& folder, int count, const QString& ready = {}, const QString& start = {}) {
    Database db(readConnectionSettings(folder));
    db.open();
    DrugList list(db);
    const bool stockKeeping = list.stockKeepingMode();
    QList<DrugItem> drugs;
    for (const double code : {1010001.0, 1010002.0, 1010003.0, 1010004.0, 1010005.0}) {
        const std::optional<DrugItem> drug = list.find(code, stockKeeping);
        if (!drug) qFatal("the demo drug %.0f is missing", code);
        drugs.append(*drug);
    }
    ScriptedPrompter prompter;
    prompter.setYesNoFallback([](const QString&) { return true; });
    PrescriptionSession session(db, prompter);
    const qint64 first = qint64(QCoreApplication::applicationPid()) * 100000;
    if (!ready.isEmpty()) {
        // Connected and its statements prepared by a first save, the workstation waits for
        // the others, so that the figure is of the saves alone.
        enterPrescription(session, drugs, 5, first + count);
        if (!session.save({1, 0, QStringLiteral("05/07/15"), QStringLiteral("10:00")}, true).isSaved())
            qFatal("the save was refused: %s", qPrintable(prompter.texts().join(u'|')));
        QFile signal(ready);
        if (!signal.open(QIODevice::WriteOnly)) qFatal("cannot create %s", qPrintable(ready));
        signal.close();
        while (!QFile::exists(start))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    double ms = 0;
    int statements = 0;
    for (int n = 0; n < count; ++n) {
        enterPrescription(session, drugs, 5, first + n); // entering and pricing the lines is not timed
        const int before = db.executedCount();
        ms += millisecondsOf([&] {
            if (!session.save({1, 0, QStringLiteral("05/07/15"), QStringLiteral("10:00")}, true).isSaved())
                qFatal("the save was refused: %s", qPrintable(prompter.texts().join(u'|')));
        });
        statements += db.executedCount() - before;
    }
    if (!ready.isEmpty())
        std::printf("end_ns=%lld\n", (long long)std::chrono::duration_cast<std::chrono::nanoseconds>(
                                         std::chrono::system_clock::now().time_since_epoch())
                                         .count());
    std::printf("statements_per_save=%.1f\n", count > 0 ? double(statements) / count : 0.0);
    std::printf("elapsed_ms=%.3f\n", ms); // the saves alone (F2), for bench/run
    return 0;
}

int prescription() {
    return onDemoDatabases([](const QString& engineName, Database& db) {
        prescriptionOn(engineName, db);
        concurrentSavesOn(engineName, db);
    });
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.value(0) == QLatin1String("inuse"))
            return inUse(args.value(1), args.size() > 2 ? args.at(2).toInt() : 1000000);
        if (args.value(0) == QLatin1String("stored"))
            return stored(args.value(1), args.size() > 2 ? args.at(2).toInt() : 300000);
        if (args.value(0) == QLatin1String("pricing"))
            return pricing();
        if (args.value(0) == QLatin1String("prescription"))
            return prescription();
        if (args.value(0) == QLatin1String("saves") && (args.size() == 3 || args.size() == 5))
            return saves(args.at(1), args.at(2).toInt(), args.value(3), args.value(4));
    } catch (const Error& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    std::fprintf(stderr, "usage: db_bench inuse [FILE] [PRESCRIPTIONS] | db_bench stored [FILE] [PRESCRIPTIONS] | "
                         "db_bench pricing | db_bench prescription | db_bench saves FOLDER COUNT [READY START]\n");
    return 2;
}
