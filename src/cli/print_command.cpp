#include "cli/print_command.h"

#include "admin/pharmacy_identity.h"
#include "dispensing/settings_store.h"
#include "cli/option_checks.h"
#include "core/ci_config.h"
#include "db/database.h"
#include "dispensing/print/prescription_prints.h"
#include "dispensing/print/print_texts.h"
#include "print/report_output.h"

#include <QGuiApplication>

namespace ph::cli {

namespace {

struct PrintRequest {
    PrintKind kind = PrintKind::Invoice;
    int invoice = 0;
    QString pdf;
};

PrintRequest parse(const QStringList& args) {
    PrintRequest request;
    QStringList positional;
    bool pdfGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--pdf")) {
            if (i + 1 >= args.size() || args.at(i + 1).isEmpty())
                throw UsageError{QStringLiteral("--pdf needs a file name")};
            request.pdf = args.at(++i);
            pdfGiven = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            throw UsageError{QStringLiteral("unknown option %1").arg(quoted(arg))};
        } else {
            positional.append(arg);
        }
    }
    if (positional.size() != 2)
        throw UsageError{QStringLiteral("give what to print (invoice, thermal or prescription) and an invoice number")};
    const QString& kind = positional.at(0);
    if (kind == QLatin1String("invoice"))
        request.kind = PrintKind::Invoice;
    else if (kind == QLatin1String("thermal"))
        request.kind = PrintKind::ThermalInvoice;
    else if (kind == QLatin1String("prescription"))
        request.kind = PrintKind::Prescription;
    else
        throw UsageError{QStringLiteral("cannot print %1: choose invoice, thermal or prescription").arg(quoted(kind))};
    bool whole = false;
    request.invoice = checkedCode(QStringLiteral("the invoice number"), positional.at(1), 9).toInt(&whole);
    if (!whole) throw UsageError{QStringLiteral("the invoice number must be a whole number")};
    if (!pdfGiven) throw UsageError{QStringLiteral("give the file to write with --pdf FILE")};
    return request;
}

} // namespace

int print(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.contains(QLatin1String("--help"))) {
        out << "Usage: pharmacyctl [--dir FOLDER] print invoice|thermal|prescription N --pdf FILE\n"
            << kPrintUsage;
        return 0;
    }
    PrintRequest request;
    try {
        request = parse(args);
    } catch (const UsageError& error) {
        err << "pharmacyctl print: " << error.message << "\n";
        return 2;
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        err << "pharmacyctl print: printing needs the graphics library, which did not start\n";
        return 1;
    }
    Database db(readConnectionSettings(workingDir));
    db.open();
    const std::optional<PrescriptionPrintData> data = PrescriptionPrintReader(db).read(request.invoice);
    // An invoice names its insurer: one that is not in the list of insurers is not found, as
    // in the print menu.
    if (!data || (request.kind != PrintKind::Prescription && !data->insurerName)) {
        const QString persian = request.kind == PrintKind::Prescription ? print::texts::kPrescriptionNotFound
                                                                        : print::texts::kInvoiceNotFound;
        err << "pharmacyctl print: " << persian << " (" << request.invoice << ")\n";
        return 2;
    }
    InvoiceHeading heading;
    heading.pharmacyName = PharmacyIdentityStore(db).read().name;
    if (const std::optional<Settings> settings = SettingsStore(db).read()) heading.message = settings->message;
    const print::OutputResult result = print::writePdf(reportFor(*data, request.kind, heading), request.pdf);
    if (!result.done()) {
        err << "pharmacyctl print: " << result.message << "\n";
        return 1;
    }
    return 0;
}

} // namespace ph::cli
