#include "dispensing/bulk_insurer_change.h"

#include "audit/audit_changes.h"
#include "audit/audit_kinds.h"
#include "audit/audit_log.h"

#include "db/database.h"
#include "db/key_allocator.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/insurer_code.h"
#include "dispensing/invoice_search.h"
#include "insurance/insurer_store.h"

namespace ph {
namespace {

const QString kFileMissing = QStringLiteral("شماره پرونده مشخص نشده است");
const QString kInsurerMissing = QStringLiteral("نام بيمه مشخص نشده است");
const QString kRangeMissing = QStringLiteral("محدوده تاريخي مشخص نشده است");
const QString kUnknownInsurer = QStringLiteral("اين كد موجود نمي باشد");
const QString kNoCoveringPeriod =
    QStringLiteral("هيچ دوره قرارداد بيمه جديد همه محدوده تاريخي را در بر نمي گيرد؛ تغيير بيمه انجام نشد");
// An insurer by this name makes every line free.
const QString kFreeInsurerName = QStringLiteral("آزاد");

// The line's value read as a number, null as 0.
double number(const QVariant& value) {
    return value.isNull() ? 0 : value.toDouble();
}

// Insurer, patient and free parts of a line.
struct Shares {
    double insurer = 0;
    double patient = 0;
    double free = 0;
};

// The insurer pays its percentage of the whole line.
Shares atContractPercentage(double unitPrice, double quantity, double percent) {
    const double insurer = unitPrice * quantity * (percent / 100);
    return {insurer, unitPrice * quantity - insurer, 0};
}

// The insurer pays its percentage up to the rule's quantity (type 1) or unit price (type 2);
// the rest is free. A null limit counts as 0 here.
Shares withinLimit(const InsurerChangeRule& rule, double unitPrice, double quantity, double percent) {
    const double d = percent / 100;
    const double limit = rule.limitType == 1 ? rule.quantity.value_or(0) : rule.tariff.value_or(0);
    switch (rule.limitType.value_or(0)) {
    case 1:
        if (limit < quantity)
            return {limit * unitPrice * d, limit * unitPrice * (100 - percent) / 100,
                    (quantity - limit) * unitPrice};
        break;
    case 2:
        if (limit < unitPrice)
            return {limit * quantity * d, limit * quantity * (100 - percent) / 100,
                    quantity * (unitPrice - limit)};
        break;
    default:
        return {};
    }
    return {quantity * unitPrice * d, quantity * unitPrice * (100 - percent) / 100, 0};
}

void setShares(InsurerChangeLine& line, const Shares& shares) {
    line.kind = texts::kInsured;
    line.insurerShare = shares.insurer;
    line.patientShare = shares.patient;
    line.freeAmount = shares.free;
}

void makeFree(InsurerChangeLine& line) {
    line.kind = texts::kFree;
    line.freeAmount = line.unitPrice * line.quantity;
    line.patientShare = 0;
    line.insurerShare = 0;
}

} // namespace

InsurerChangeLine priceLineForNewInsurer(const InsurerChangeLine& stored,
                                         const std::optional<InsurerChangeRule>& rule, bool hoteling,
                                         const InsurerChangeTerms& terms) {
    // OTC and goods lines carry their amounts in the line's otc and kala columns, which
    // the change leaves alone; pricing them as insured lines would count them twice in
    // the prescription's total.
    const QString kind = stored.kind.trimmed();
    if (kind == texts::kOtc || kind == texts::kGoods)
        return stored;
    InsurerChangeLine line = stored;
    // A hoteling line of the former insurer is priced from its hoteling price.
    if (line.hotelingPrice > 0) {
        line.unitPrice = line.hotelingPrice;
        line.total = line.unitPrice * line.quantity;
        line.hotelingPrice = 0;
    }
    if (terms.freeInsurer) {
        makeFree(line);
    } else {
        if (rule && rule->notCovered) makeFree(line); // a limit below may still price it
        const bool noLimit = rule && rule->quantity == 0.0 && rule->tariff == 0.0;
        const bool limited = rule && (rule->quantity.value_or(0) > 0 || rule->tariff.value_or(0) > 0);
        if (noLimit) {
            // Only a former insured line is priced; any other keeps its amounts.
            if (stored.kind.trimmed() == texts::kInsured)
                setShares(line, atContractPercentage(line.unitPrice, line.quantity, terms.percent));
        } else if (limited) {
            setShares(line, withinLimit(*rule, line.unitPrice, line.quantity, terms.percent));
        } else {
            setShares(line, atContractPercentage(line.unitPrice, line.quantity, terms.percent));
        }
    }
    // A drug the insurer keeps as hoteling: no amounts, its unit price kept as the
    // hoteling price (as the dispensing window stores one), so that a line that becomes
    // hoteling does not lose its price.
    if (hoteling) {
        line.hotelingPrice = line.unitPrice;
        line.unitPrice = 0;
        line.patientShare = 0;
        line.insurerShare = 0;
        line.freeAmount = 0;
        line.total = 0;
    }
    return line;
}

InsurerChangeHeader headerForNewInsurer(const InsurerChangeSums& sums, double otcFee, double technicalFee,
                                        double percent, bool feeInCommitment) {
    const double d = percent / 100;
    InsurerChangeHeader header;
    header.freeTotal = sums.free;
    if (feeInCommitment) {
        header.insurerTotal = sums.insurer + d * technicalFee;
        header.total = sums.patient + sums.goods + sums.free + otcFee + (1 - d) * technicalFee;
        header.patientTotal = sums.patient + (1 - d) * technicalFee;
    } else {
        header.insurerTotal = sums.insurer;
        header.patientTotal = sums.patient;
        header.total = sums.patient + sums.goods + sums.free + otcFee + technicalFee;
    }
    return header;
}

BulkInsurerChange::BulkInsurerChange(Database& db) : m_db(db) {}

BulkInsurerChange::~BulkInsurerChange() = default;

std::optional<InsurerChangeProblem> BulkInsurerChange::checkFields(const InsurerChangeRequest& r) {
    if (r.fileNumber.trimmed().isEmpty())
        return InsurerChangeProblem{kFileMissing, QStringLiteral("sh_parvandeh")};
    if (r.insurerCode.trimmed().isEmpty())
        return InsurerChangeProblem{kInsurerMissing, QStringLiteral("me_code_bime")};
    if (checkSearchDate(r.firstDate).state != SearchDate::State::Valid)
        return InsurerChangeProblem{kRangeMissing, QStringLiteral("me_date1")};
    if (checkSearchDate(r.lastDate).state != SearchDate::State::Valid)
        return InsurerChangeProblem{kRangeMissing, QStringLiteral("me_date2")};
    return std::nullopt;
}

std::optional<QString> BulkInsurerChange::patientOfFile(const QString& fileNumber) {
    Rows q = m_db.exec(
        m_db.dialect().selectLimited(
            QStringLiteral("name_b, family_b from heading_noskhe where sh_bimeh=? order by sh_factor"), 1),
        {fileNumber.trimmed()});
    if (!q.next()) return std::nullopt;
    return q.value(0).toString().trimmed() + u' ' + q.value(1).toString().trimmed();
}

std::optional<InsurerChangeRule> BulkInsurerChange::rule(int insurer, double drug) {
    Rows q = m_db.exec(
        QStringLiteral("select non_bimeh, qu, mab, ty_no from bimeh_daru where code_bimeh=? and code_kala=?"),
        {insurer, drug});
    if (!q.next()) {
        q.finish();
        return std::nullopt;
    }
    InsurerChangeRule rule;
    rule.notCovered = !q.value(0).isNull() && q.value(0).toBool();
    if (!q.value(1).isNull()) rule.quantity = q.value(1).toDouble();
    if (!q.value(2).isNull()) rule.tariff = q.value(2).toDouble();
    if (!q.value(3).isNull()) rule.limitType = q.value(3).toInt();
    q.finish();
    return rule;
}

void BulkInsurerChange::repriceLines(const Insurer& insurer, const InsurerChangeTerms& terms,
                                     const QString& fileNumber, const QString& first, const QString& last,
                                     InsurerChangeOutcome& outcome) {
    // The inpatient lines of the file in the range, as stored.
    struct Selected {
        int invoice;
        QVariant row;
        double drug;
        InsurerChangeLine line;
    };
    QList<Selected> selected;
    Rows q = m_db.exec(
        QStringLiteral(
            "select sh_factor, row, code_darou, vaziat, tedad, price_one, price_koll1, sazman, bimar, "
            "azad, price_h from v_see_noskhe where paz_type=0 and sh_bimeh=? and date_no>=? and "
            "date_no<=? order by sh_factor, row"),
        {fileNumber, first, last});
    while (q.next()) {
        InsurerChangeLine line;
        line.kind = q.value(3).toString();
        line.quantity = number(q.value(4));
        line.unitPrice = number(q.value(5));
        line.total = number(q.value(6));
        line.insurerShare = number(q.value(7));
        line.patientShare = number(q.value(8));
        line.freeAmount = number(q.value(9));
        line.hotelingPrice = number(q.value(10));
        selected.append(Selected{q.value(0).toInt(), q.value(1), number(q.value(2)), line});
    }
    q.finish();

    const QString updateLine = QStringLiteral("update details_noskhe set vaziat=?, price_one=?, "
                                              "price_koll=?, sazman=?, bimar=?, azad=?, price_h=? "
                                              "where sh_factor=? and row=?");
    for (const Selected& s : selected) {
        Rows found =
            m_db.exec(QStringLiteral("select 1 from hoteling where code_kala=? and code_bimeh=?"),
                      {s.drug, insurer.code});
        const bool hoteling = found.next();
        found.finish();
        const InsurerChangeLine line =
            priceLineForNewInsurer(s.line, rule(insurer.code, s.drug), hoteling, terms);
        m_db.exec(updateLine, {line.kind, line.unitPrice, line.total, line.insurerShare,
                               line.patientShare, line.freeAmount, line.hotelingPrice, s.invoice, s.row});
        ++outcome.lines;
    }
}

void BulkInsurerChange::updateHeaders(const Insurer& insurer, const Contract& period, const QString& fileNumber,
                                     const QString& first, const QString& last, InsurerChangeOutcome& outcome) {
    // Each prescription's header from the sums of its lines.
    struct Summed {
        int invoice;
        InsurerChangeSums sums;
    };
    QList<Summed> summed;
    Rows sums =
        m_db.exec(QStringLiteral(
                      "select sh_factor, sum(bimar), sum(sazman), sum(azad), sum(kala) from v_see_noskhe "
                      "where paz_type=0 and sh_bimeh=? and date_no>=? and date_no<=? group by sh_factor "
                      "order by sh_factor"),
                  {fileNumber, first, last});
    while (sums.next())
        summed.append(Summed{sums.value(0).toInt(),
                             {number(sums.value(1)), number(sums.value(2)), number(sums.value(3)),
                              number(sums.value(4))}});
    sums.finish();
    for (const Summed& s : summed) {
        Rows header = m_db.exec(
            QStringLiteral(
                "select price_otc, fani2 from heading_noskhe where sh_factor=? and date_no>=? and "
                "date_no<=?"),
            {s.invoice, first, last});
        if (!header.next()) continue;
        const double otc = number(header.value(0));
        const double fee = number(header.value(1));
        header.finish();
        const InsurerChangeHeader amounts =
            headerForNewInsurer(s.sums, otc, fee, period.percent, period.feeInCommitment);
        // The header keeps the flag its amounts were computed with: the new period's.
        m_db.exec(QStringLiteral("update heading_noskhe set code_bimeh=?, price_azad=?, price_bimeh=?, "
                                 "price_bimar=?, price_koll=?, fani_flag=? where sh_factor=?"),
                  {insurer.code, amounts.freeTotal, amounts.insurerTotal, amounts.patientTotal,
                   amounts.total, period.feeInCommitment ? 1 : 0, s.invoice});
        ++outcome.prescriptions;
    }
}

InsurerChangeOutcome BulkInsurerChange::run(const InsurerChangeRequest& request) {
    InsurerChangeOutcome outcome;
    if ((outcome.refused = checkFields(request))) return outcome;
    const QString fileNumber = request.fileNumber.trimmed();
    const QString first = checkSearchDate(request.firstDate).text;
    const QString last = checkSearchDate(request.lastDate).text;

    // The insurer and the first of its contract periods that covers the whole range.
    const InsurerCode code = InsurerCode::fromText(request.insurerCode);
    InsurerStore insurers(m_db);
    const std::optional<Insurer> insurer = code.number() ? insurers.find(*code.number()) : std::nullopt;
    if (!insurer) {
        outcome.refused = InsurerChangeProblem{kUnknownInsurer, QStringLiteral("me_code_bime")};
        return outcome;
    }
    std::optional<Contract> period;
    for (const Contract& contract : insurers.contracts(insurer->code))
        if (contract.fromDate <= first && contract.toDate >= last) {
            period = contract;
            break;
        }
    if (!period) {
        outcome.refused = InsurerChangeProblem{kNoCoveringPeriod, QStringLiteral("me_date1")};
        return outcome;
    }
    const InsurerChangeTerms terms{period->percent, insurer->name.trimmed() == kFreeInsurerName};

    saveInTransaction(m_db, [&] {
        outcome.prescriptions = 0;
        outcome.lines = 0;
        // What the history records: every prescription changed, as it was and as it becomes.
        QList<int> invoices;
        {
            Rows changed = m_db.exec(QStringLiteral("select distinct sh_factor from v_see_noskhe where paz_type=0 and "
                                                    "sh_bimeh=? and date_no>=? and date_no<=? order by sh_factor"),
                                     {fileNumber, first, last});
            while (changed.next()) invoices.append(changed.value(0).toInt());
        }
        const auto rowsOf = [&](int invoice) {
            return std::pair{readAuditRow(m_db, QStringLiteral("heading_noskhe"), QStringLiteral("sh_factor=?"), {invoice}),
                             readAuditRows(m_db, QStringLiteral("details_noskhe"), QStringLiteral("sh_factor=?"),
                                           {invoice}, QStringLiteral("row"))};
        };
        QList<std::pair<AuditRow, QList<AuditRow>>> before;
        for (int invoice : invoices)
            before.append(rowsOf(invoice));
        repriceLines(*insurer, terms, fileNumber, first, last, outcome);
        updateHeaders(*insurer, *period, fileNumber, first, last, outcome);
        QJsonObject documents;
        for (qsizetype i = 0; i < invoices.size(); ++i) {
            const auto after = rowsOf(invoices.at(i));
            documents.insert(QString::number(invoices.at(i)),
                             documentChanges(before.at(i).first, after.first, before.at(i).second, after.second));
        }
        appendAudit(m_db, request.origin,
                    {audit_kind::kBulkInsurerChange,
                     QStringLiteral("%1:%2-%3").arg(fileNumber, first, last),
                     QJsonObject{{QStringLiteral("insurer"), insurer->code},
                                 {QStringLiteral("prescriptions"), documents}}});
    });
    return outcome;
}

} // namespace ph
