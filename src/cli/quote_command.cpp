#include "cli/quote_command.h"

#include "cli/option_checks.h"
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
            request.time = checkedTime(option, value);
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

QuoteLine resolveLine(const QString& lineArg, PrescriptionSession& session) {
    const QStringList parts = lineArg.split(u',');
    if (parts.size() < 2 || parts.size() > 4)
        throw UsageError{QStringLiteral("--line takes CODE,QUANTITY[,KIND[,PRICE]], not %1").arg(quoted(lineArg))};
    const LineRequest line = resolveLineRequest(parts, session);
    return {line.drug, line.input};
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
        fillMoment(request.today, request.time);

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
