#include "cli/claims_command.h"

#include "admin/pharmacy_identity.h"
#include "claims/claim_file.h"
#include "claims/claim_merge.h"
#include "claims/claims_texts.h"
#include "claims/insurance_list.h"
#include "cli/option_checks.h"
#include "core/amounts.h"
#include "core/atomic_file.h"
#include "core/ci_config.h"
#include "db/database.h"
#include "dispensing/settings_store.h"
#include "insurance/insurer_store.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace ph::cli {

const char* const kClaimsUsage =
    "  claims      claims --insurer CODE[,CODE...] --from YY/MM/DD --to YY/MM/DD --out FILE\n"
    "              [--variant default|custom|nolines] [--fani COUNCIL] [--patient-names]\n"
    "              [--prescriber-names]: writes the insurers' claim file of the period's\n"
    "              outpatient prescriptions (code page 1256, CR LF), as the insurance list's\n"
    "              export writes it; --fani defaults to the pharmacy's technical director.\n"
    "  claims-merge  claims-merge --out FILE FILE...: joins claim files into one, the\n"
    "              prescriptions in date order and numbered again.\n";

namespace {

struct ClaimsRequest {
    ListSelection selection;
    ClaimOptions options;
    std::optional<QString> fani;
    QString out;
};

QString valueOf(const QStringList& args, int& i) {
    if (i + 1 >= args.size() || args.at(i + 1).isEmpty())
        throw UsageError{QStringLiteral("%1 needs a value").arg(args.at(i))};
    return args.at(++i);
}

ClaimsRequest parseClaims(const QStringList& args) {
    ClaimsRequest r;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--insurer")) {
            for (const QString& code : valueOf(args, i).split(u','))
                r.selection.insurers.append(checkedCode(QStringLiteral("an insurer code"), code.trimmed(), kInsurerDigits).toInt());
        } else if (arg == QLatin1String("--from")) {
            r.selection.from = valueOf(args, i);
        } else if (arg == QLatin1String("--to")) {
            r.selection.to = valueOf(args, i);
        } else if (arg == QLatin1String("--variant")) {
            const QString v = valueOf(args, i);
            if (v == QLatin1String("default"))
                r.options.variant = ClaimVariant::Default;
            else if (v == QLatin1String("custom"))
                r.options.variant = ClaimVariant::Custom;
            else if (v == QLatin1String("nolines"))
                r.options.variant = ClaimVariant::NoLines;
            else
                throw UsageError{QStringLiteral("--variant takes default, custom or nolines, not %1").arg(quoted(v))};
        } else if (arg == QLatin1String("--fani")) {
            r.fani = checkedCode(QStringLiteral("a council number"), valueOf(args, i), 20);
        } else if (arg == QLatin1String("--patient-names")) {
            r.options.patientNames = true;
        } else if (arg == QLatin1String("--prescriber-names")) {
            r.options.prescriberNames = true;
        } else if (arg == QLatin1String("--out")) {
            r.out = valueOf(args, i);
        } else {
            throw UsageError{QStringLiteral("unknown option %1").arg(quoted(arg))};
        }
    }
    if (r.selection.insurers.isEmpty()) throw UsageError{QStringLiteral("give the insurers with --insurer CODE[,CODE...]")};
    if (r.selection.from.isEmpty() || r.selection.to.isEmpty())
        throw UsageError{QStringLiteral("give the period with --from YY/MM/DD and --to YY/MM/DD")};
    if (r.out.isEmpty()) throw UsageError{QStringLiteral("give the file to write with --out FILE")};
    if ((r.options.patientNames || r.options.prescriberNames) && r.options.variant != ClaimVariant::Custom)
        throw UsageError{QStringLiteral("--patient-names and --prescriber-names go with --variant custom")};
    return r;
}

} // namespace

int claims(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.contains(QLatin1String("--help"))) {
        out << "Usage: pharmacyctl [--dir FOLDER] claims --insurer CODE[,CODE...] --from YY/MM/DD --to YY/MM/DD "
               "--out FILE [options]\n"
            << kClaimsUsage;
        return 0;
    }
    ClaimsRequest r;
    try {
        r = parseClaims(args);
    } catch (const UsageError& error) {
        err << "pharmacyctl claims: " << error.message << "\n";
        return 2;
    }
    Database db(readConnectionSettings(workingDir));
    db.open();
    for (int code : std::as_const(r.selection.insurers)) {
        if (!InsurerStore(db).find(code)) {
            err << "pharmacyctl claims: " << claims::texts::kUnknownCode << " (" << code << ")\n";
            return 2;
        }
    }
    PharmacyIdentityStore identity(db);
    r.options.fani = r.fani.value_or(identity.read().directorNezam.value_or(QString()));
    if (const std::optional<ListFault> fault = checkSelection(r.selection, r.options.fani)) {
        err << "pharmacyctl claims: " << listFaultText(*fault) << "\n";
        return 2;
    }
    InsuranceListStore store(db);
    const QList<ClaimPrescription> prescriptions = store.claimPrescriptions(r.selection);
    if (prescriptions.isEmpty()) {
        err << "pharmacyctl claims: " << claims::texts::kNothingFound << "\n";
        return 3;
    }
    r.options.from = r.selection.from;
    r.options.to = r.selection.to;
    r.options.pharmacyCode = store.pharmacyCode(r.selection);
    r.options.taminCodes = SettingsStore(db).taminCodes();
    ClaimFile file;
    try {
        file = ClaimFileWriter(r.options).write(prescriptions);
    } catch (const ClaimEncodingError& error) {
        err << "pharmacyctl claims: " << error.message() << "\n";
        return 3;
    }
    saveFileBytes(r.out, file.bytes);
    QJsonObject summary{{QStringLiteral("file"), QDir::toNativeSeparators(QFileInfo(r.out).absoluteFilePath())},
                        {QStringLiteral("prescriptions"), file.prescriptions},
                        {QStringLiteral("price_bimeh"), file.insurerShare},
                        {QStringLiteral("sazman_lines"), file.lineInsurerShare}};
    out << QJsonDocument(summary).toJson(QJsonDocument::Compact) << "\n";
    return 0;
}

int claimsMerge(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.contains(QLatin1String("--help"))) {
        out << "Usage: pharmacyctl claims-merge --out FILE FILE...\n" << kClaimsUsage;
        return 0;
    }
    QString target;
    QStringList files;
    try {
        for (int i = 0; i < args.size(); ++i) {
            if (args.at(i) == QLatin1String("--out"))
                target = valueOf(args, i);
            else if (args.at(i).startsWith(QLatin1String("--")))
                throw UsageError{QStringLiteral("unknown option %1").arg(quoted(args.at(i)))};
            else
                files.append(args.at(i));
        }
        if (target.isEmpty()) throw UsageError{QStringLiteral("give the file to write with --out FILE")};
        if (files.isEmpty()) throw UsageError{QStringLiteral("give the claim files to join")};
        for (const QString& file : std::as_const(files)) {
            if (!QFileInfo(file).isFile()) throw UsageError{QStringLiteral("no file %1").arg(quoted(file))};
            if (QFileInfo(file).absoluteFilePath() == QFileInfo(target).absoluteFilePath())
                throw UsageError{QStringLiteral("the joined file cannot be one of the files joined")};
        }
    } catch (const UsageError& error) {
        err << "pharmacyctl claims-merge: " << error.message << "\n";
        return 2;
    }
    try {
        const JoinedClaimFile joined = mergeClaimFiles(files, target);
        out << QJsonDocument(QJsonObject{{QStringLiteral("file"), QDir::toNativeSeparators(QFileInfo(target).absoluteFilePath())},
                                          {QStringLiteral("prescriptions"), joined.prescriptions},
                                          {QStringLiteral("from"), joined.from},
                                          {QStringLiteral("to"), joined.to}})
                   .toJson(QJsonDocument::Compact)
            << "\n";
    } catch (const FileWriteError& error) {
        err << "pharmacyctl claims-merge: " << error.message() << "\n";
        return 1;
    } catch (const Error& error) {
        // A damaged or unreadable claim file: nothing was written.
        err << "pharmacyctl claims-merge: " << error.message() << "\n";
        return 2;
    }
    return 0;
}

} // namespace ph::cli
