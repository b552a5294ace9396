#include "cli/commands.h"

#include "cli/audit_command.h"
#include "cli/backup_command.h"
#include "cli/claims_command.h"
#include "cli/demo_command.h"
#include "cli/drawing_commands.h"
#include "cli/quote_command.h"
#include "cli/reprice_command.h"
#include "cli/save_command.h"
#include "cli/till_command.h"
#include "core/ci_config.h"
#include "core/clock.h"
#include "db/database.h"
#include "db/legacy_upgrades.h"
#include "db/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <exception>
#include <new>

namespace ph::cli {
namespace {

const char* const kUsage =
    "Usage: pharmacyctl [--dir FOLDER] COMMAND\n"
    "\n"
    "Works on the database named by ci.txt in the working folder (the current folder,\n"
    "or FOLDER), or on the embedded database pharmacy.db there when there is no ci.txt.\n"
    "\n"
    "Commands:\n"
    "  init        create the schema of a new database, or upgrade an older one, and exit\n"
    "%1"
    "  --help      show this text\n";

QString usage() {
    // One entry per command, in the order they are listed.
    static const char* const commandUsages[] = {
        kQuoteUsage, kSaveUsage, kDemoUsage, kBackupUsage, kPrintUsage,
        kTillUsage,
        kRepriceUsage,
        kClaimsUsage,
        kReportUsage,
        kStockUsage,
        kExpiryUsage,
        kAuditUsage,
    };
    QString commands;
    for (const char* text : commandUsages)
        commands += QString::fromUtf8(text);
    return QString::fromUtf8(kUsage).arg(commands);
}

int init(const QString& workingDir, QTextStream& out) {
    Database db(readConnectionSettings(workingDir));
    db.open();
    Schema schema(db);
    schema.ensure();
    const bool users = upgradeUsersTable(db);
    const bool settings = upgradeSettingsTable(db);
    out << "schema ready (version " << schema.storedVersion() << ") on " << db.settings().describe() << "\n";
    if (users)
        out << "users table upgraded to the current layout\n";
    if (settings)
        out << "settings table upgraded to the current layout\n";
    return 0;
}

// A command that works on an existing database refuses a folder without one, rather
// than opening (and so creating) an empty embedded database there. A server database
// named by ci.txt is left to the connection to find.
bool refuseMissingDatabase(const QString& command, const QString& workingDir, QTextStream& err) {
    const ConnectionSettings settings = readConnectionSettings(workingDir);
    if (settings.engine != Engine::Sqlite || QFileInfo(settings.database).isFile())
        return false;
    err << "pharmacyctl " << command << ": no database in " << QDir::toNativeSeparators(workingDir) << " ("
        << QDir::toNativeSeparators(settings.database)
        << " does not exist); create one with \"pharmacyctl init\" or \"pharmacyctl demo\", or use --dir\n";
    return true;
}

} // namespace

int run(const QStringList& argsIn, QTextStream& out, QTextStream& err, const std::optional<QByteArray>& input) {
    QStringList args = argsIn;
    QString workingDir = QDir::currentPath();
    if (args.size() >= 2 && args.at(0) == QLatin1String("--dir")) {
        workingDir = QDir(args.at(1)).absolutePath();
        args = args.mid(2);
    }
    if (args.isEmpty() || args.at(0) == QLatin1String("--help") || args.at(0) == QLatin1String("-h") ||
        args.at(0) == QLatin1String("help")) {
        (args.isEmpty() ? err : out) << usage();
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.takeFirst();
    // Creating or filling a database may start in a working folder that does not exist yet.
    if ((command == QLatin1String("init") || command == QLatin1String("demo")) && !QDir().mkpath(workingDir)) {
        err << "pharmacyctl " << command << ": cannot create the working folder " << workingDir << "\n";
        return 1;
    }
    try {
        if (command == QLatin1String("init"))
            return init(workingDir, out);
        if (command == QLatin1String("quote"))
            return refuseMissingDatabase(command, workingDir, err) ? 2 : quote(workingDir, args, out, err);
        if (command == QLatin1String("save")) {
            if (refuseMissingDatabase(command, workingDir, err)) return 2;
            QByteArray json = input.value_or(QByteArray());
            if (!input) {
                QFile in;
                if (in.open(stdin, QIODevice::ReadOnly)) json = in.readAll();
            }
            return save(workingDir, args, json, out, err);
        }
        if (command == QLatin1String("backup"))
            return refuseMissingDatabase(command, workingDir, err) ? 2 : backup(workingDir, args, SystemClock(), out, err);
        if (command == QLatin1String("restore"))
            return refuseMissingDatabase(command, workingDir, err) ? 2 : restore(workingDir, args, input, out, err);
        if (command == QLatin1String("print")) {
            if (!args.contains(QLatin1String("--help")) && refuseMissingDatabase(command, workingDir, err)) return 2;
            return runDrawingCommand(command, workingDir, args, argsIn, out, err);
        }
        if (command == QLatin1String("till")) {
            if (!args.contains(QLatin1String("--help")) && refuseMissingDatabase(command, workingDir, err)) return 2;
            return till(workingDir, args, out, err);
        }
        if (command == QLatin1String("audit")) {
            if (!args.contains(QLatin1String("--help")) && refuseMissingDatabase(command, workingDir, err)) return 2;
            return audit(workingDir, args, out, err);
        }
        if (command == QLatin1String("reprice-compounded"))
            return refuseMissingDatabase(command, workingDir, err) ? 2 : repriceCompoundedCommand(workingDir, args, out, err);
        if (command == QLatin1String("claims")) {
            if (!args.contains(QLatin1String("--help")) && refuseMissingDatabase(command, workingDir, err)) return 2;
            return claims(workingDir, args, out, err);
        }
        // The merge reads and writes claim files only: no database is needed.
        if (command == QLatin1String("claims-merge")) return claimsMerge(args, out, err);
        if (command == QLatin1String("report") || command == QLatin1String("stock") ||
            command == QLatin1String("expiry")) {
            if (!args.contains(QLatin1String("--help")) && refuseMissingDatabase(command, workingDir, err)) return 2;
            // A comma file needs no drawing library: written here, without starting pharmacyctl-print.
            if (!writesCommaFile(args)) return runDrawingCommand(command, workingDir, args, argsIn, out, err);
            if (command == QLatin1String("report")) return report(workingDir, args, SystemClock(), out, err);
            if (command == QLatin1String("expiry")) return expiry(workingDir, args, SystemClock(), out, err);
            return stock(workingDir, args, out, err);
        }
        if (command == QLatin1String("demo")) {
            if (!args.isEmpty()) {
                err << "pharmacyctl demo: takes no options, not \"" << args.first() << "\"\n";
                return 2;
            }
            return demo(workingDir, SystemClock(), out, err);
        }
    } catch (const Error& error) {
        err << "pharmacyctl " << command << ": " << error.message() << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        err << "pharmacyctl " << command << ": out of memory; nothing was saved\n";
        return 1;
    } catch (const std::exception& error) {
        err << "pharmacyctl " << command << ": unexpected failure: " << error.what() << "\n";
        return 1;
    }
    err << "pharmacyctl: unknown command \"" << command << "\"\n\n" << usage();
    return 2;
}

int runMain(const std::function<std::unique_ptr<QCoreApplication>()>& makeApplication) {
    try {
        const std::unique_ptr<QCoreApplication> app = makeApplication();
        QTextStream out(stdout);
        QTextStream err(stderr);
        const int status = run(QCoreApplication::arguments().mid(1), out, err);
        out.flush();
        err.flush();
        return status;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pharmacyctl: unexpected failure: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "pharmacyctl: unexpected failure\n");
    }
    return 1;
}

} // namespace ph::cli
