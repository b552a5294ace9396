#include "dispensing/bulk_insurer_change.h"

#include "core/amounts.h"
#include "core/scripted_prompter.h"
#include "db/database.h"
#include "db/key_allocator.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/invoice_search.h"
#include "dispensing/line_kind.h"
#include "dispensing/line_pricer.h"
#include "dispensing/prescription_lines.h"
#include "dispensing/pricing_store.h"
#include "insurance/insurer_store.h"

namespace ph {
namespace {

using Col = PrescriptionLines::Column;

const QString kFileMissing = QStringLiteral("شماره پرونده مشخص نشده است");
const QString kInsurerMissing = QStringLiteral("نام بيمه مشخص نشده است");
const QString kRangeMissing = QStringLiteral("محدوده تاريخي مشخص نشده است");
const QString kUnknownInsurer = QStringLiteral("اين كد موجود نمي باشد");
const QString kNoCoveringPeriod =
    QStringLiteral("هيچ دوره قرارداد بيمه جديد همه محدوده تاريخي را در بر نمي گيرد؛ تغيير بيمه انجام نشد");
// An insurer by this name makes every line free.
const QString kFreeInsurerName = QStringLiteral("آزاد");

// A refusal found inside the transaction: everything is rolled back.
struct Refused {
    InsurerChangeProblem problem;
};

// The reference data of pricing, with the new insurer's contract period that covers the
// range standing as its first: its percentage prices the lines.
class CoveringPeriod : public PricingData {
public:
    CoveringPeriod(PricingData& inner, int insurer, Contract period)
        : m_inner(inner), m_insurer(insurer), m_period(std::move(period)) {}

    std::optional<DrugItem> findDrug(double code, bool stockKeeping) override {
        return m_inner.findDrug(code, stockKeeping);
    }
    InsurerTerms insurerTerms(int insurer) override {
        InsurerTerms terms = m_inner.insurerTerms(insurer);
        if (insurer == m_insurer) terms.first = m_period;
        return terms;
    }
    std::optional<DrugRuleEntry> rule(int insurer, double drug) override { return m_inner.rule(insurer, drug); }
    std::optional<double> formulaFreePart(double drug) override { return m_inner.formulaFreePart(drug); }
    bool isHoteling(int insurer, double drug) override { return m_inner.isHoteling(insurer, drug); }
    QList<CompanionItem> companions(double drug, bool stockKeeping) override {
        return m_inner.companions(drug, stockKeeping);
    }
    std::optional<double> pharmacyStock(double drug) override { return m_inner.pharmacyStock(drug); }

private:
    PricingData& m_inner;
    int m_insurer;
    Contract m_period;
};

QString numberText(const QVariant& value) {
    return value.isNull() ? QString() : plainDecimalText(value.toDouble());
}

double amountOf(const QString& text) {
    return text.trimmed().isEmpty() ? 0 : amountFromText(text);
}

// A stored prescription's lines as the line list holds them, with the stored row numbers.
struct StoredLines {
    PrescriptionLines lines;
    QList<QVariant> rows; // details_noskhe.row of each line, in list order
};

StoredLines readLines(Database& db, int invoice) {
    StoredLines stored;
    QSqlQuery q = db.exec(QStringLiteral("select row, code_darou, vaziat, tedad, price_one, price_koll, sazman, bimar, "
                                         "azad, otc, kala, price_h from details_noskhe where sh_factor=? order by row"),
                          {invoice});
    while (q.next()) {
        QStringList cells(PrescriptionLines::kColumns);
        cells[Col::Code] = numberText(q.value(1));
        cells[Col::Kind] = q.value(2).toString().trimmed();
        for (int i = 0; i < 8; ++i)
            cells[Col::Quantity + i] = numberText(q.value(3 + i));
        cells[Col::HotelingPrice] = q.value(11).isNull() ? QStringLiteral("0") : numberText(q.value(11));
        stored.lines.append(cells);
        stored.rows.append(q.value(0));
    }
    return stored;
}

void writeLines(Database& db, int invoice, const StoredLines& stored) {
    const QString sql = QStringLiteral(
        "update details_noskhe set vaziat=?, price_one=?, price_koll=?, sazman=?, bimar=?, azad=?, otc=?, kala=?, "
        "price_h=? where sh_factor=? and row=?");
    for (int i = 0; i < stored.rows.size(); ++i) {
        const QStringList& cells = stored.lines.row(i + 1);
        QVariantList values{cells.value(Col::Kind)};
        for (int column = Col::UnitPrice; column <= Col::GoodsAmount; ++column)
            values.append(amountOf(cells.value(column)));
        values << amountOf(cells.value(Col::HotelingPrice)) << invoice << stored.rows.at(i);
        db.exec(sql, values);
    }
}

} // namespace

BulkInsurerChange::BulkInsurerChange(Database& db)
    : m_db(db), m_ownPricing(std::make_unique<PricingStore>(db)), m_pricing(*m_ownPricing) {}

BulkInsurerChange::BulkInsurerChange(Database& db, PricingData& pricing) : m_db(db), m_pricing(pricing) {}

BulkInsurerChange::~BulkInsurerChange() = default;

std::optional<InsurerChangeProblem> BulkInsurerChange::checkFields(const InsurerChangeRequest& r) {
    if (r.fileNumber.trimmed().isEmpty()) return InsurerChangeProblem{kFileMissing, QStringLiteral("sh_parvandeh")};
    if (r.insurerCode.trimmed().isEmpty()) return InsurerChangeProblem{kInsurerMissing, QStringLiteral("me_code_bime")};
    if (checkSearchDate(r.firstDate).state != SearchDate::State::Valid)
        return InsurerChangeProblem{kRangeMissing, QStringLiteral("me_date1")};
    if (checkSearchDate(r.lastDate).state != SearchDate::State::Valid)
        return InsurerChangeProblem{kRangeMissing, QStringLiteral("me_date2")};
    return std::nullopt;
}

std::optional<QString> BulkInsurerChange::patientOfFile(const QString& fileNumber) {
    QSqlQuery q = m_db.exec(m_db.dialect().selectLimited(
                                QStringLiteral("name_b, family_b from heading_noskhe where sh_bimeh=? order by sh_factor"), 1),
                            {fileNumber.trimmed()});
    if (!q.next()) return std::nullopt;
    return q.value(0).toString().trimmed() + u' ' + q.value(1).toString().trimmed();
}

InsurerChangeOutcome BulkInsurerChange::run(const InsurerChangeRequest& request) {
    InsurerChangeOutcome outcome;
    if ((outcome.refused = checkFields(request))) return outcome;
    const QString fileNumber = request.fileNumber.trimmed();
    const QString first = checkSearchDate(request.firstDate).text;
    const QString last = checkSearchDate(request.lastDate).text;

    // The insurer and the contract period that covers the whole range.
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

    CoveringPeriod pricing(m_pricing, insurer->code, *period);
    PricingContext context;
    context.insurer = code;
    context.admission = Admission::Inpatient;
    context.currentDate = request.today;
    context.hospitalStamp = true; // an inpatient prescription comes from the hospital
    const QString kind =
        insurer->name.trimmed() == kFreeInsurerName ? texts::kFree : kindAfterInsurerChange(code);
    const double d = period->percent / 100;

    try {
        saveInTransaction(m_db, [&] {
            outcome.prescriptions = 0;
            outcome.lines = 0;
            QList<int> invoices;
            QSqlQuery found = m_db.exec(
                QStringLiteral("select h.sh_factor from heading_noskhe h where h.paz_type=0 and h.sh_bimeh=? and "
                               "h.date_no>=? and h.date_no<=? and exists (select 1 from details_noskhe d where "
                               "d.sh_factor=h.sh_factor) order by h.sh_factor"),
                {fileNumber, first, last});
            while (found.next())
                invoices.append(found.value(0).toInt());
            found.finish();

            for (int invoice : invoices) {
                StoredLines stored = readLines(m_db, invoice);
                ScriptedPrompter silent; // a question or a message here refuses the change
                LinePricer pricer(pricing, silent);
                pricer.repriceInsuredAndFree(stored.lines, context, kind);
                if (!silent.texts().isEmpty() || stored.lines.lineCount() != stored.rows.size())
                    throw Refused{{QStringLiteral("نسخه شماره %1: %2؛ تغيير بيمه انجام نشد")
                                       .arg(invoice)
                                       .arg(silent.texts().value(0, texts::kCannotEditLine)),
                                   QStringLiteral("me_code_bime")}};
                writeLines(m_db, invoice, stored);
                outcome.lines += stored.rows.size();

                double patient = 0, insurerShare = 0, free = 0, goods = 0;
                for (int row = 1; row < stored.lines.lastRow(); ++row) {
                    patient += amountOf(stored.lines.cell(row, Col::PatientShare));
                    insurerShare += amountOf(stored.lines.cell(row, Col::InsurerShare));
                    free += amountOf(stored.lines.cell(row, Col::FreeAmount));
                    goods += amountOf(stored.lines.cell(row, Col::GoodsAmount));
                }
                QSqlQuery header =
                    m_db.exec(QStringLiteral("select price_otc, fani2 from heading_noskhe where sh_factor=?"), {invoice});
                header.next();
                const double otc = header.value(0).toDouble();
                const double fee = header.value(1).toDouble();
                header.finish();
                // When the insurer pays its percentage of the technical fee, that part is its
                // own and the rest the patient's.
                const double insurerFee = period->feeInCommitment ? d * fee : 0;
                const double patientFee = period->feeInCommitment ? fee - insurerFee : 0;
                m_db.exec(QStringLiteral("update heading_noskhe set code_bimeh=?, price_azad=?, price_bimeh=?, "
                                         "price_bimar=?, price_koll=? where sh_factor=?"),
                          {insurer->code, free, insurerShare + insurerFee, patient + patientFee,
                           patient + goods + free + otc + fee - insurerFee, invoice});
                ++outcome.prescriptions;
            }
        });
    } catch (const Refused& refused) {
        outcome = {};
        outcome.refused = refused.problem;
    }
    return outcome;
}

} // namespace ph
