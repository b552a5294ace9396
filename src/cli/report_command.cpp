#include "cli/report_command.h"

#include "admin/pharmacy_identity.h"
#include "cli/option_checks.h"
#include "core/amounts.h"
#include "core/ci_config.h"
#include "core/clock.h"
#include "core/jalali_date.h"
#include "db/database.h"
#include "insurance/doctor_store.h"
#include "insurance/insurer_store.h"
#include "core/atomic_file.h"
#include "reports/report_files.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace ph::cli {

namespace {

enum class Output { None, Csv, Xlsx, Pdf };

struct ReportRequest {
    SalesRequest sales;
    Output output = Output::None;
    QString path;
};

void takeOutput(Output kind, const QString& option, const QStringList& args, int& i, Output& output, QString& path) {
    if (i + 1 >= args.size() || args.at(i + 1).isEmpty()) throw UsageError{option + QStringLiteral(" needs a file name")};
    if (output != Output::None) throw UsageError{QStringLiteral("give one of --csv, --xlsx and --pdf")};
    output = kind;
    path = args.at(++i);
}

ReportRequest parseReport(const QStringList& args) {
    ReportRequest request;
    QStringList positional;
    bool insurerGiven = false;
    bool doctorGiven = false;
    const auto value = [&args](int& i, const QString& option) {
        if (i + 1 >= args.size()) throw UsageError{option + QStringLiteral(" needs a value")};
        return args.at(++i);
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--from")) {
            request.sales.from = checkedDate(arg, value(i, arg));
        } else if (arg == QLatin1String("--to")) {
            request.sales.to = checkedDate(arg, value(i, arg));
        } else if (arg == QLatin1String("--insurer")) {
            request.sales.insurer = checkedCode(QStringLiteral("the insurer code"), value(i, arg), kInsurerDigits).toInt();
            insurerGiven = true;
        } else if (arg == QLatin1String("--doctor")) {
            request.sales.doctor = value(i, arg).trimmed();
            if (request.sales.doctor.isEmpty() || request.sales.doctor.size() > 30)
                throw UsageError{QStringLiteral("--doctor takes a council number of at most 30 characters")};
            doctorGiven = true;
        } else if (arg == QLatin1String("--csv")) {
            takeOutput(Output::Csv, arg, args, i, request.output, request.path);
        } else if (arg == QLatin1String("--xlsx")) {
            takeOutput(Output::Xlsx, arg, args, i, request.output, request.path);
        } else if (arg == QLatin1String("--pdf")) {
            takeOutput(Output::Pdf, arg, args, i, request.output, request.path);
        } else if (arg.startsWith(QLatin1String("--"))) {
            throw UsageError{QStringLiteral("unknown option %1").arg(quoted(arg))};
        } else {
            positional.append(arg);
        }
    }
    if (positional.size() != 1) throw UsageError{QStringLiteral("give the report: sales, by-insurer or by-doctor")};
    const QString& kind = positional.first();
    if (kind == QLatin1String("sales"))
        request.sales.kind = SalesReportKind::General;
    else if (kind == QLatin1String("by-insurer"))
        request.sales.kind = SalesReportKind::ByInsurer;
    else if (kind == QLatin1String("by-doctor"))
        request.sales.kind = SalesReportKind::ByDoctor;
    else
        throw UsageError{QStringLiteral("no report %1: choose sales, by-insurer or by-doctor").arg(quoted(kind))};
    if (request.sales.from.isEmpty() || request.sales.to.isEmpty())
        throw UsageError{QStringLiteral("give the range with --from and --to")};
    if (request.sales.kind == SalesReportKind::ByInsurer && !insurerGiven)
        throw UsageError{QStringLiteral("by-insurer needs --insurer CODE")};
    if (request.sales.kind == SalesReportKind::ByDoctor && !doctorGiven)
        throw UsageError{QStringLiteral("by-doctor needs --doctor COUNCIL")};
    if (request.sales.kind != SalesReportKind::ByInsurer && insurerGiven)
        throw UsageError{QStringLiteral("--insurer belongs to by-insurer")};
    if (request.sales.kind != SalesReportKind::ByDoctor && doctorGiven)
        throw UsageError{QStringLiteral("--doctor belongs to by-doctor")};
    if (request.output == Output::None) throw UsageError{QStringLiteral("give the file to write with --csv, --xlsx or --pdf")};
    return request;
}

QString json(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// Writes a comma file, or hands a spreadsheet or PDF to the drawing with its arguments; the
// failure's message, nothing when the file was written.
template <typename Draw, typename... Args>
std::optional<QString> writeOutput(Output output, const std::function<void()>& writeCsv, const Draw& draw,
                                   Args&&... args) {
    if (output == Output::Csv) {
        try {
            writeCsv();
        } catch (const FileWriteError& error) {
            return error.message();
        }
        return std::nullopt;
    }
    // pharmacyctl hands every command that draws to pharmacyctl-print before it gets here.
    if (!draw) return QStringLiteral("spreadsheets and PDF files are written by pharmacyctl-print");
    return draw(std::forward<Args>(args)...);
}

} // namespace

bool writesCommaFile(const QStringList& args) {
    return !args.contains(QLatin1String("--xlsx")) && !args.contains(QLatin1String("--pdf"));
}

int report(const QString& workingDir, const QStringList& args, const Clock& clock, QTextStream& out, QTextStream& err,
           const ReportDrawing& drawing) {
    if (args.contains(QLatin1String("--help"))) {
        out << "Usage: pharmacyctl [--dir FOLDER] report sales|by-insurer|by-doctor --from YY/MM/DD --to YY/MM/DD "
               "[--insurer CODE] [--doctor COUNCIL] (--csv FILE | --xlsx FILE | --pdf FILE)\n"
            << kReportUsage;
        return 0;
    }
    ReportRequest request;
    try {
        request = parseReport(args);
    } catch (const UsageError& error) {
        err << "pharmacyctl report: " << error.message << "\n";
        return 2;
    }
    Database db(readConnectionSettings(workingDir));
    db.open();
    SalesPrintHeading heading;
    if (request.sales.kind == SalesReportKind::ByInsurer) {
        const std::optional<QString> name = InsurerStore(db).nameOf(request.sales.insurer);
        if (!name) {
            err << "pharmacyctl report: " << QStringLiteral("اين كد موجود نمي باشد") << " (" << request.sales.insurer << ")\n";
            return 2;
        }
        heading.partyName = *name;
    } else if (request.sales.kind == SalesReportKind::ByDoctor) {
        const std::optional<Doctor> doctor = DoctorStore(db).findByCouncilNumber(request.sales.doctor);
        if (!doctor) {
            err << "pharmacyctl report: " << QStringLiteral("اين كد موجود نمي باشد") << " (" << request.sales.doctor << ")\n";
            return 2;
        }
        heading.partyName = doctor->family + QStringLiteral("  ") + doctor->name;
    }
    SalesReport result = SalesReportStore(db).run(request.sales);
    heading.pharmacyName = PharmacyIdentityStore(db).read().name;
    heading.from = request.sales.from;
    heading.to = request.sales.to;
    heading.reportDate = todayJalaliText(clock);

    const std::optional<QString> failure =
        writeOutput(request.output, [&] { writeSalesCsv(request.sales.kind, result, {}, request.path); },
                    drawing.sales, db, request.sales.kind, result, heading, request.output == Output::Pdf, request.path);
    if (failure) {
        err << "pharmacyctl report: " << *failure << "\n";
        return 1;
    }
    const SalesTotals totals = result.totals();
    QJsonObject summary{{QStringLiteral("rows"), int(result.rows.size())},
                        {QStringLiteral("sum_tedad"), totals.quantity},
                        {QStringLiteral("sum_price"), totals.amount}};
    if (request.sales.kind == SalesReportKind::ByInsurer) {
        summary.insert(QStringLiteral("sum_sazman"), totals.insurerShare);
        summary.insert(QStringLiteral("sum_bimar"), totals.patientShare);
    }
    if (result.isEmpty())
        err << "pharmacyctl report: "
            << (request.sales.kind == SalesReportKind::General ? texts::kNoSales : texts::kNoConsumption) << "\n";
    out << json(summary) << "\n";
    return 0;
}

int stock(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err,
          const ReportDrawing& drawing) {
    if (args.contains(QLatin1String("--help"))) {
        out << "Usage: pharmacyctl [--dir FOLDER] stock (--csv FILE | --xlsx FILE)\n" << kStockUsage;
        return 0;
    }
    Output output = Output::None;
    QString path;
    try {
        for (int i = 0; i < args.size(); ++i) {
            if (args.at(i) == QLatin1String("--csv"))
                takeOutput(Output::Csv, args.at(i), args, i, output, path);
            else if (args.at(i) == QLatin1String("--xlsx"))
                takeOutput(Output::Xlsx, args.at(i), args, i, output, path);
            else
                throw UsageError{QStringLiteral("unknown option %1").arg(quoted(args.at(i)))};
        }
        if (output == Output::None) throw UsageError{QStringLiteral("give the file to write with --csv or --xlsx")};
    } catch (const UsageError& error) {
        err << "pharmacyctl stock: " << error.message << "\n";
        return 2;
    }
    Database db(readConnectionSettings(workingDir));
    db.open();
    const QList<StockRow> rows = StockStore(db).pharmacyStock();
    const std::optional<QString> failure =
        writeOutput(output, [&] { writeStockCsv(rows, path); }, drawing.stockSheet, rows, path);
    if (failure) {
        err << "pharmacyctl stock: " << *failure << "\n";
        return 1;
    }
    double sum = 0;
    for (const StockRow& row : rows) sum += row.quantity;
    out << json({{QStringLiteral("rows"), int(rows.size())}, {QStringLiteral("sum_moj_vah"), sum}}) << "\n";
    return 0;
}

int expiry(const QString& workingDir, const QStringList& args, const Clock& clock, QTextStream& out, QTextStream& err,
           const ReportDrawing& drawing) {
    if (args.contains(QLatin1String("--help"))) {
        out << "Usage: pharmacyctl [--dir FOLDER] expiry [--days N] [--date YY/MM/DD] (--csv FILE | --xlsx FILE)\n"
            << kExpiryUsage;
        return 0;
    }
    Output output = Output::None;
    QString path;
    int days = kDefaultExpiryDays;
    QString date;
    try {
        for (int i = 0; i < args.size(); ++i) {
            const QString& arg = args.at(i);
            if (arg == QLatin1String("--csv") || arg == QLatin1String("--xlsx")) {
                takeOutput(arg == QLatin1String("--csv") ? Output::Csv : Output::Xlsx, arg, args, i, output, path);
            } else if (arg == QLatin1String("--days") || arg == QLatin1String("--date")) {
                if (i + 1 >= args.size()) throw UsageError{arg + QStringLiteral(" needs a value")};
                const QString value = args.at(++i);
                if (arg == QLatin1String("--date")) {
                    date = checkedDate(arg, value);
                    continue;
                }
                bool number = false;
                days = value.toInt(&number);
                if (!number || days < 0 || days > kMostExpiryDays)
                    throw UsageError{QStringLiteral("--days takes a whole number of days from 0 to %1, not %2")
                                         .arg(kMostExpiryDays)
                                         .arg(quoted(value))};
            } else {
                throw UsageError{QStringLiteral("unknown option %1").arg(quoted(arg))};
            }
        }
        if (output == Output::None) throw UsageError{QStringLiteral("give the file to write with --csv or --xlsx")};
    } catch (const UsageError& error) {
        err << "pharmacyctl expiry: " << error.message << "\n";
        return 2;
    }
    if (date.isEmpty()) date = todayJalaliText(clock);
    const std::optional<JalaliDate> solar = jalaliFromShortText(date);
    const QDate today = solar ? fromJalali(*solar) : clock.now().date();
    Database db(readConnectionSettings(workingDir));
    db.open();
    const ExpiryReport report = nearExpiryReport(db, today, days);
    const ExpiryPrintHeading heading{PharmacyIdentityStore(db).read().name, date, days};
    const std::optional<QString> failure =
        writeOutput(output, [&] { writeExpiryCsv(report, path); }, drawing.expirySheet, report, heading, path);
    if (failure) {
        err << "pharmacyctl expiry: " << *failure << "\n";
        return 1;
    }
    int expired = 0;
    for (const ExpiryRow& row : report.rows) expired += row.expired ? 1 : 0;
    out << json({{QStringLiteral("rows"), int(report.rows.size())},
                 {QStringLiteral("expired"), expired},
                 {QStringLiteral("value"), report.total}})
        << "\n";
    return 0;
}

} // namespace ph::cli
