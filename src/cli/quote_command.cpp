#include "cli/quote_command.h"

#include "core/amounts.h"
#include "core/ci_config.h"
#include "core/clock.h"
#include "core/jalali_date.h"
#include "core/scripted_prompter.h"
#include "db/database.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/line_kind.h"
#include "dispensing/prescription_session.h"
#include "insurance/insurer_store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace ph::cli {

const char* const kQuoteUsage =
    "  quote       price a prescription without saving it and print its lines, totals and\n"
    "              messages as JSON. Options:\n"
    "                --line CODE,QUANTITY[,KIND[,PRICE]]   a drug line, added in turn (repeat);\n"
    "                    KIND is تعرفه, آزاد, OTC or كالا (or insured, free, otc, goods),\n"
    "                    by default the kind the dispensing window gives; PRICE is the unit\n"
    "                    price of a compounded drug (default its list price)\n"
    "                --insurer CODE             insurer code, 0 for none (default 0)\n"
    "                --specialty CODE           the prescriber's specialty code\n"
    "                --admission outpatient|inpatient   (default outpatient)\n"
    "                --prescription-date YY/MM/DD       (default today)\n"
    "                --today YY/MM/DD, --time HH:MM      (default now)\n"
    "                --insurance-number NUMBER  the patient's number as stored\n"
    "                --hospital-stamp yes|no    answer for hospital-only drugs (default no)\n"
    "                --ended-contract free|refuse   answer for an ended contract (default refuse)\n"
    "                --approval-stamp yes|no    answer for the approval threshold (default no)\n";

namespace {

// Wrong usage or an unknown code: reported on standard error, exit status 2.
struct UsageError {
    QString message;
};

struct QuoteLine {
    DrugItem drug;
    LineInput input;
};

struct QuoteRequest {
    InsurerCode insurer = InsurerCode::fromText(QStringLiteral("0"));
    QString specialty;
    Admission admission = Admission::Outpatient;
    QString prescriptionDate;
    QString today;
    QString time; // HH:MM
    QString insuranceNumber;
    bool hospitalStamp = false;
    bool priceEndedContractFree = false;
    bool approvalStamp = false;
    QStringList lineArgs;
};

// A value as a message quotes it: a long one is cut, so that a mistyped option does
// not fill the terminal.
QString quoted(const QString& value) {
    constexpr int kShown = 24;
    return u'"' + (value.size() > kShown ? value.left(kShown) + QStringLiteral("…") : value) + u'"';
}

bool choice(const QString& option, const QString& value, const QString& yes, const QString& no) {
    if (value == yes) return true;
    if (value == no) return false;
    throw UsageError{QStringLiteral("%1 takes %2 or %3, not %4").arg(option, yes, no, quoted(value))};
}

QString checkedDate(const QString& option, const QString& value) {
    if (!jalaliFromShortText(value))
        throw UsageError{QStringLiteral("%1 takes a real date as YY/MM/DD, not %2").arg(option, quoted(value))};
    return value;
}

// A code: a whole number, not negative, of at most `digits` digits.
QString checkedCode(const QString& what, const QString& value, int digits) {
    static const QRegularExpression pattern(QStringLiteral("^\\d+$"));
    if (!pattern.match(value).hasMatch() || value.size() > digits)
        throw UsageError{QStringLiteral("%1 is not %2").arg(quoted(value), what)};
    return value;
}

// A quantity or a unit price: a plain positive number below the ceiling.
QString checkedAmount(const QString& what, const QString& value, double ceiling) {
    static const QRegularExpression pattern(QStringLiteral("^\\d{1,13}(\\.\\d{1,6})?$"));
    if (!pattern.match(value).hasMatch() || !(value.toDouble() > 0) || !(value.toDouble() < ceiling))
        throw UsageError{QStringLiteral("%1 is not %2").arg(quoted(value), what)};
    return value;
}

constexpr int kInsurerDigits = 9;
constexpr int kDrugCodeDigits = 15;
constexpr double kQuantityCeiling = 1e6;
constexpr double kPriceCeiling = 1e12;

QuoteRequest parse(const QStringList& args) {
    QuoteRequest request;
    for (int i = 0; i < args.size(); ++i) {
        QString option = args.at(i);
        QString value;
        const int equals = option.indexOf(u'=');
        if (option.startsWith(QLatin1String("--")) && equals > 0) {
            value = option.mid(equals + 1);
            option = option.left(equals);
        } else {
            if (i + 1 >= args.size()) throw UsageError{QStringLiteral("%1 needs a value").arg(option)};
            value = args.at(++i);
        }
        value = value.trimmed();
        if (option == QLatin1String("--line")) {
            request.lineArgs.append(value);
        } else if (option == QLatin1String("--insurer")) {
            request.insurer = InsurerCode::fromText(
                value.isEmpty() ? QStringLiteral("0") : checkedCode(QStringLiteral("an insurer code"), value, kInsurerDigits));
        } else if (option == QLatin1String("--specialty")) {
            request.specialty =
                value.isEmpty() ? value : checkedCode(QStringLiteral("a specialty code"), value, kInsurerDigits);
        } else if (option == QLatin1String("--admission")) {
            if (value == QLatin1String("inpatient") || value == texts::kInpatient)
                request.admission = Admission::Inpatient;
            else if (value == QLatin1String("outpatient") || value == texts::kOutpatient)
                request.admission = Admission::Outpatient;
            else
                throw UsageError{
                    QStringLiteral("--admission takes inpatient or outpatient, not %1").arg(quoted(value))};
        } else if (option == QLatin1String("--prescription-date")) {
            request.prescriptionDate = checkedDate(option, value);
        } else if (option == QLatin1String("--today")) {
            request.today = checkedDate(option, value);
        } else if (option == QLatin1String("--time")) {
            static const QRegularExpression pattern(QStringLiteral("^(\\d\\d?):(\\d\\d)$"));
            const auto match = pattern.match(value);
            const int hour = match.hasMatch() ? match.captured(1).toInt() : -1;
            if (hour < 0 || hour > 23 || match.captured(2).toInt() > 59)
                throw UsageError{QStringLiteral("--time takes HH:MM, not %1").arg(quoted(value))};
            request.time = QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(match.captured(2));
        } else if (option == QLatin1String("--insurance-number")) {
            request.insuranceNumber = value;
        } else if (option == QLatin1String("--hospital-stamp")) {
            request.hospitalStamp = choice(option, value, QStringLiteral("yes"), QStringLiteral("no"));
        } else if (option == QLatin1String("--ended-contract")) {
            request.priceEndedContractFree =
                choice(option, value, QStringLiteral("free"), QStringLiteral("refuse"));
        } else if (option == QLatin1String("--approval-stamp")) {
            request.approvalStamp = choice(option, value, QStringLiteral("yes"), QStringLiteral("no"));
        } else {
            throw UsageError{QStringLiteral("unknown option %1").arg(quoted(option))};
        }
    }
    if (request.lineArgs.isEmpty())
        throw UsageError{QStringLiteral("give at least one --line CODE,QUANTITY")};
    return request;
}

QString kindFromOption(const QString& text) {
    static const QHash<QString, QString> aliases = {{QStringLiteral("insured"), texts::kInsured},
                                                    {QStringLiteral("free"), texts::kFree},
                                                    {QStringLiteral("otc"), texts::kOtc},
                                                    {QStringLiteral("goods"), texts::kGoods}};
    if (isKindText(text)) return text;
    if (aliases.contains(text.toLower())) return aliases.value(text.toLower());
    throw UsageError{QStringLiteral("unknown line kind %1 (%2)").arg(quoted(text), texts::kKindInvalid)};
}

QuoteLine resolveLine(const QString& lineArg, PrescriptionSession& session) {
    const QStringList parts = lineArg.split(u',');
    if (parts.size() < 2 || parts.size() > 4)
        throw UsageError{QStringLiteral("--line takes CODE,QUANTITY[,KIND[,PRICE]], not %1").arg(quoted(lineArg))};
    const QString codeText = checkedCode(QStringLiteral("a drug code"), parts.at(0).trimmed(), kDrugCodeDigits);
    const std::optional<DrugItem> drug = session.findDrug(codeText.toDouble());
    if (!drug)
        throw UsageError{
            session.stockKeeping()
                ? QStringLiteral("unknown drug code %1 (not in the pharmacy's stock list)").arg(codeText)
                : QStringLiteral("unknown drug code %1").arg(codeText)};
    QuoteLine line{*drug, {}};
    line.input.quantity = checkedAmount(QStringLiteral("a quantity"), parts.at(1).trimmed(), kQuantityCeiling);
    const QString kind = parts.value(2).trimmed();
    line.input.kind = kind.isEmpty() ? session.kindForChosen(*drug) : kindFromOption(kind);
    QString price = parts.value(3).trimmed();
    if (!price.isEmpty()) price = checkedAmount(QStringLiteral("a unit price"), price, kPriceCeiling);
    line.input.price = !price.isEmpty()  ? price
                       : drug->listPrice ? plainDecimalText(*drug->listPrice)
                                         : QString();
    return line;
}

QJsonObject totalsJson(const Totals& totals, const ThresholdResult& check) {
    QJsonObject json;
    json[QStringLiteral("me_sahme_bime")] = totals.insurerShare;
    json[QStringLiteral("me_sahme_bimar")] = totals.patientShare;
    json[QStringLiteral("MedtKol")] = totals.insuredTotal;
    json[QStringLiteral("me_azad")] = totals.free;
    json[QStringLiteral("me_otc")] = totals.otc;
    json[QStringLiteral("me_kala")] = totals.goods;
    json[QStringLiteral("me_koll_tarefeh")] = totals.tariffTotal;
    json[QStringLiteral("me_fani")] = totals.fee;
    json[QStringLiteral("me_koll")] = totals.payable;
    json[QStringLiteral("fee_amount")] = totals.feeAmount;
    json[QStringLiteral("insurer_fee_part")] = totals.insurerFeePart;
    json[QStringLiteral("save_permitted")] = check.savePermitted;
    json[QStringLiteral("flag_taeed")] = check.approvalStamp;
    return json;
}

} // namespace

int quote(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err) {
    try {
        QuoteRequest request = parse(args);
        Database db(readConnectionSettings(workingDir));
        db.open();

        if (!request.insurer.isNone() && !InsurerStore(db).nameOf(*request.insurer.number()))
            throw UsageError{QStringLiteral("unknown insurer code %1").arg(request.insurer.text())};
        SystemClock clock;
        if (request.today.isEmpty()) request.today = todayJalaliText(clock);
        if (request.time.isEmpty()) request.time = clock.now().time().toString(QStringLiteral("HH:mm"));

        ScriptedPrompter prompter;
        prompter.setYesNoFallback([&request](const QString& question) {
            if (question == texts::kHospitalStampQuestion) return request.hospitalStamp;
            if (question == texts::kPriceFreeQuestion) return request.priceEndedContractFree;
            if (question == texts::kApprovalStampQuestion) return request.approvalStamp;
            return false;
        });

        PrescriptionSession session(db, prompter);
        session.start({request.today, request.time});
        session.changeInsurer(request.insurer);
        PrescriptionHeader& header = session.header();
        header.specialtyCode = request.specialty;
        header.admission = request.admission;
        if (!request.prescriptionDate.isEmpty()) header.prescriptionDate = request.prescriptionDate;
        header.insNo.base = request.insuranceNumber;

        QList<QuoteLine> quoteLines;
        for (const QString& lineArg : request.lineArgs)
            quoteLines.append(resolveLine(lineArg, session));
        for (const QuoteLine& line : quoteLines)
            session.addLine(line.drug, line.input);

        const Totals totals = session.totals();
        const ThresholdResult check = session.checkThresholds(totals);

        QJsonArray lineRows;
        for (const QStringList& row : session.lines().lines())
            lineRows.append(QJsonArray::fromStringList(row));
        QJsonObject json;
        json[QStringLiteral("lines")] = lineRows;
        json[QStringLiteral("totals")] = totalsJson(totals, check);
        json[QStringLiteral("messages")] = QJsonArray::fromStringList(prompter.texts());
        out << QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Indented));
        return 0;
    } catch (const UsageError& error) {
        err << "pharmacyctl quote: " << error.message << "\n";
        return 2;
    }
}

} // namespace ph::cli
