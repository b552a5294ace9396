#include "cli/audit_command.h"

#include "audit/audit_log.h"
#include "cli/option_checks.h"
#include "core/ci_config.h"
#include "core/jalali_date.h"
#include "db/database.h"
#include "db/schema.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ph::cli {

const char* const kAuditUsage =
    "  audit       the history of changes: \"audit verify\" checks that no entry was changed,\n"
    "              removed or moved (exit 3 naming the first one at fault); \"audit --from DATE\n"
    "              --to DATE [--user CODE] [--document KIND:KEY] --csv|--json\" writes the entries\n"
    "              of those days (yyyy-mm-dd, or yy/mm/dd solar) on standard output\n";

namespace {

// The local day a date option names: yyyy-mm-dd, or the program's solar yy/mm/dd.
QDate dayOf(const QString& option, const QString& text) {
    const QDate gregorian = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (gregorian.isValid()) return gregorian;
    if (const std::optional<JalaliDate> solar = jalaliFromShortText(text)) return fromJalali(*solar);
    throw UsageError{QStringLiteral("%1 takes a date yyyy-mm-dd or yy/mm/dd, not %2").arg(option, quoted(text))};
}

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r')) return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

int verify(Database& db, QTextStream& out, QTextStream& err) {
    const AuditVerdict verdict = AuditLog(db).verify();
    QJsonObject result{{QStringLiteral("entries"), double(verdict.entries)}, {QStringLiteral("holds"), verdict.holds()}};
    if (verdict.broken) {
        result.insert(QStringLiteral("broken_at"), double(verdict.broken->seq));
        result.insert(QStringLiteral("reason"), verdict.broken->reason);
    }
    out << QJsonDocument(result).toJson(QJsonDocument::Indented);
    if (!verdict.broken) return 0;
    err << "pharmacyctl audit verify: the history is broken: " << verdict.broken->reason << "\n";
    return 3;
}

} // namespace

int audit(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args == QStringList{QStringLiteral("--help")}) {
        out << "Usage: pharmacyctl audit verify\n"
               "       pharmacyctl audit --from DATE --to DATE [--user CODE] [--document KIND:KEY] --csv|--json\n\n"
            << kAuditUsage;
        return 0;
    }
    try {
        const bool verifying = args == QStringList{QStringLiteral("verify")};
        AuditFilter filter;
        enum class Format { None, Csv, Json } format = Format::None;
        if (!verifying) {
            std::optional<QDate> from, to;
            for (qsizetype i = 0; i < args.size(); ++i) {
                const QString& option = args.at(i);
                const auto value = [&]() -> QString {
                    if (i + 1 >= args.size()) throw UsageError{option + QStringLiteral(" needs a value")};
                    return args.at(++i);
                };
                if (option == QLatin1String("--from"))
                    from = dayOf(option, value());
                else if (option == QLatin1String("--to"))
                    to = dayOf(option, value());
                else if (option == QLatin1String("--user"))
                    filter.userCode = checkedCode(QStringLiteral("--user"), value(), 9).toInt();
                else if (option == QLatin1String("--document")) {
                    const QString document = value();
                    const qsizetype colon = document.indexOf(u':');
                    if (colon <= 0 || colon + 1 >= document.size())
                        throw UsageError{QStringLiteral("--document takes KIND:KEY, not %1").arg(quoted(document))};
                    filter.kind = document.left(colon);
                    filter.key = document.mid(colon + 1);
                } else if (option == QLatin1String("--csv") && format == Format::None)
                    format = Format::Csv;
                else if (option == QLatin1String("--json") && format == Format::None)
                    format = Format::Json;
                else
                    throw UsageError{QStringLiteral("unknown or repeated option %1").arg(quoted(option))};
            }
            if (!from || !to || format == Format::None)
                throw UsageError{QStringLiteral("give verify, or --from, --to and one of --csv and --json")};
            if (*to < *from) throw UsageError{QStringLiteral("--to is before --from")};
            filter.from = QDateTime(*from, QTime(0, 0));
            filter.to = QDateTime(to->addDays(1), QTime(0, 0));
        }
        Database db(readConnectionSettings(workingDir));
        db.open();
        Schema(db).ensure();
        if (verifying) return verify(db, out, err);
        const QList<AuditEntry> entries = AuditLog(db).entries(filter);
        if (format == Format::Json) {
            QJsonArray array;
            for (const AuditEntry& e : entries)
                array.append(QJsonObject{{QStringLiteral("seq"), double(e.seq)},
                                         {QStringLiteral("changed_at"), e.changedAt},
                                         {QStringLiteral("user"), e.userCode},
                                         {QStringLiteral("host"), e.host},
                                         {QStringLiteral("source"), e.source},
                                         {QStringLiteral("kind"), e.kind},
                                         {QStringLiteral("key"), e.key},
                                         {QStringLiteral("changes"), QJsonDocument::fromJson(e.changes.toUtf8()).object()},
                                         {QStringLiteral("hash"), e.hash}});
            out << QJsonDocument(array).toJson(QJsonDocument::Indented);
        } else {
            out << "seq,changed_at,user,host,source,kind,key,changes,hash\n";
            for (const AuditEntry& e : entries)
                out << e.seq << ',' << csvField(e.changedAt) << ',' << e.userCode << ',' << csvField(e.host) << ','
                    << csvField(e.source) << ',' << csvField(e.kind) << ',' << csvField(e.key) << ','
                    << csvField(e.changes) << ',' << e.hash << "\n";
        }
        return 0;
    } catch (const UsageError& error) {
        err << "pharmacyctl audit: " << error.message << "\n";
        return 2;
    }
}

} // namespace ph::cli
