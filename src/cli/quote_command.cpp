#include "cli/quote_command.h"

#include "core/amounts.h"
#include "core/ci_config.h"
#include "core/clock.h"
#include "core/jalali_date.h"
#include "core/scripted_prompter.h"
#include "db/database.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/drug_list.h"
#include "dispensing/insurer_repository.h"
#include "dispensing/line_kind.h"
#include "dispensing/line_pricer.h"
#include "dispensing/prescription_lines.h"
#include "dispensing/prescription_totals.h"
#include "dispensing/pricing_repository.h"
#include "dispensing/threshold_check.h"
#include "dispensing/threshold_repository.h"
#include "dispensing/totals_repository.h"

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
    QString insurer = QStringLiteral("0");
    QString specialty;
    Admission admission = Admission::Outpatient;
    QString prescriptionDate;
    QString today;
    int hour = -1;
    QString insuranceNumber;
    bool hospitalStamp = false;
    bool priceEndedContractFree = false;
    bool approvalStamp = false;
    QStringList lineArgs;
};

bool choice(const QString& option, const QString& value, const QString& yes, const QString& no) {
    if (value == yes) return true;
    if (value == no) return false;
    throw UsageError{QStringLiteral("%1 takes %2 or %3, not \"%4\"").arg(option, yes, no, value)};
}

QString checkedDate(const QString& option, const QString& value) {
    static const QRegularExpression pattern(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d$"));
    if (!pattern.match(value).hasMatch())
        throw UsageError{QStringLiteral("%1 takes a date as YY/MM/DD, not \"%2\"").arg(option, value)};
    return value;
}

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
            request.insurer = value.isEmpty() ? QStringLiteral("0") : value;
        } else if (option == QLatin1String("--specialty")) {
            request.specialty = value;
        } else if (option == QLatin1String("--admission")) {
            if (value == QLatin1String("inpatient") || value == texts::kInpatient)
                request.admission = Admission::Inpatient;
            else if (value == QLatin1String("outpatient") || value == texts::kOutpatient)
                request.admission = Admission::Outpatient;
            else
                throw UsageError{
                    QStringLiteral("--admission takes inpatient or outpatient, not \"%1\"").arg(value)};
        } else if (option == QLatin1String("--prescription-date")) {
            request.prescriptionDate = checkedDate(option, value);
        } else if (option == QLatin1String("--today")) {
            request.today = checkedDate(option, value);
        } else if (option == QLatin1String("--time")) {
            static const QRegularExpression pattern(QStringLiteral("^(\\d\\d?):(\\d\\d)$"));
            const auto match = pattern.match(value);
            const int hour = match.hasMatch() ? match.captured(1).toInt() : -1;
            if (hour < 0 || hour > 23 || match.captured(2).toInt() > 59)
                throw UsageError{QStringLiteral("--time takes HH:MM, not \"%1\"").arg(value)};
            request.hour = hour;
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
            throw UsageError{QStringLiteral("unknown option \"%1\"").arg(option)};
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
    throw UsageError{QStringLiteral("unknown line kind \"%1\" (%2)").arg(text, texts::kKindInvalid)};
}

bool isPlainNumber(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^\\d+(\\.\\d+)?$"));
    return pattern.match(text).hasMatch();
}

QuoteLine resolveLine(const QString& lineArg, const QString& insurer, DrugList& drugs, bool stockKeeping) {
    const QStringList parts = lineArg.split(u',');
    if (parts.size() < 2 || parts.size() > 4)
        throw UsageError{
            QStringLiteral("--line takes CODE,QUANTITY[,KIND[,PRICE]], not \"%1\"").arg(lineArg)};
    const QString codeText = parts.at(0).trimmed();
    if (!isPlainNumber(codeText)) throw UsageError{QStringLiteral("\"%1\" is not a drug code").arg(codeText)};
    const std::optional<DrugItem> drug = drugs.find(codeText.toDouble(), stockKeeping);
    if (!drug)
        throw UsageError{
            stockKeeping
                ? QStringLiteral("unknown drug code %1 (not in the pharmacy's stock list)").arg(codeText)
                : QStringLiteral("unknown drug code %1").arg(codeText)};
    QuoteLine line{*drug, {}};
    line.input.quantity = parts.at(1).trimmed();
    if (!isPlainNumber(line.input.quantity))
        throw UsageError{QStringLiteral("\"%1\" is not a quantity").arg(line.input.quantity)};
    const QString kind = parts.value(2).trimmed();
    line.input.kind = kind.isEmpty() ? kindForChosenDrug(insurer, drug->groupCode) : kindFromOption(kind);
    const QString price = parts.value(3).trimmed();
    if (!price.isEmpty() && !isPlainNumber(price))
        throw UsageError{QStringLiteral("\"%1\" is not a unit price").arg(price)};
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

        request.insurer = normalisedInsurerCode(request.insurer);
        if (request.insurer != QLatin1String("0")) {
            const auto insurer = insurerNumber(request.insurer);
            if (!insurer || !InsurerRepository(db).name(*insurer))
                throw UsageError{QStringLiteral("unknown insurer code %1").arg(request.insurer)};
        }
        SystemClock clock;
        if (request.today.isEmpty()) request.today = todayJalaliText(clock);
        if (request.hour < 0) request.hour = clock.now().time().hour();
        if (request.prescriptionDate.isEmpty()) request.prescriptionDate = request.today;

        DrugList drugs(db);
        const bool stockKeeping = drugs.stockKeepingMode();
        QList<QuoteLine> quoteLines;
        for (const QString& lineArg : request.lineArgs)
            quoteLines.append(resolveLine(lineArg, request.insurer, drugs, stockKeeping));

        ScriptedPrompter prompter;
        prompter.setYesNoFallback([&request](const QString& question) {
            if (question == texts::kHospitalStampQuestion) return request.hospitalStamp;
            if (question == texts::kPriceFreeQuestion) return request.priceEndedContractFree;
            if (question == texts::kApprovalStampQuestion) return request.approvalStamp;
            return false;
        });

        PricingContext context;
        context.insurerCode = request.insurer;
        context.specialtyCode = request.specialty;
        context.admission = request.admission;
        context.currentDate = request.today;
        context.stockKeeping = stockKeeping;

        PricingRepository pricingData(db);
        LinePricer pricer(pricingData, prompter);
        PrescriptionLines lines;
        for (const QuoteLine& line : quoteLines)
            pricer.add(lines, context, line.drug, line.input);

        TotalsRepository totalsData(db);
        FeeQuery feeQuery;
        feeQuery.insurerCode = request.insurer;
        feeQuery.prescriptionDate = request.prescriptionDate;
        feeQuery.insuranceNumber = request.insuranceNumber;
        feeQuery.currentInvoice = QString::number(totalsData.nextInvoiceNumber());
        feeQuery.hour = request.hour;
        const Totals totals = PrescriptionTotals::compute(lines, totalsData.facts(feeQuery));

        const ThresholdInput thresholdInput =
            ThresholdRepository(db).input(request.insurer, request.specialty,
                                          fieldNumber(totals.patientShare), fieldNumber(totals.insurerShare));
        const ThresholdResult check = ThresholdCheck::run(thresholdInput, prompter);

        QJsonArray lineRows;
        for (const QStringList& row : lines.lines())
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
