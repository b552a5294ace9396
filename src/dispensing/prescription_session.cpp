#include "dispensing/prescription_session.h"

#include "core/amounts.h"
#include "core/error.h"
#include "dispensing/drug_list.h"
#include "core/prompter.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/line_kind.h"
#include "dispensing/prescription_fields.h"
#include "insurance/doctor_store.h"
#include "insurance/ins_no.h"

#include <QSet>

namespace ph {

using Col = PrescriptionLines::Column;

PrescriptionSession::PrescriptionSession(Database& db, Prompter& prompter)
    : m_db(db), m_prompter(prompter), m_pricing(db), m_prescriptions(db), m_tariffs(db), m_pricer(m_pricing, prompter) {}

void PrescriptionSession::reset(bool readStockKeeping) {
    m_editing.reset();
    m_pricing.forget();
    m_tariff.reset();
    m_insurer = {};
    m_lines.clear();
    m_packs.clear();
    if (readStockKeeping) m_stockKeeping = m_pricing.stockKeepingMode();
    m_header = {};
}

void PrescriptionSession::start(const PricingMoment& moment) {
    m_moment = moment;
    reset();
    m_header.prescriptionDate = moment.today;
    m_header.invoiceNumber = QString::number(m_prescriptions.nextInvoiceNumber());
}

void PrescriptionSession::startAfterSave(const PricingMoment& moment, std::optional<int> savedNewNumber) {
    m_moment = moment;
    reset(false);
    m_header.prescriptionDate = moment.today;
    m_header.invoiceNumber =
        QString::number(savedNewNumber ? *savedNewNumber + 1 : m_prescriptions.nextInvoiceNumber());
}

void PrescriptionSession::load(const StoredPrescription& stored) {
    reset(); // the stored header brings its own number
    m_insurer = InsurerCode::fromText(stored.insurerCode);
    m_header = stored.header;
    if (socialSecurity())
        m_header.insNo = SetInsNo(stored.insNoTamin);
    else
        m_header.insNo = {stored.insNoTamin, {}, {}, {}};
    for (const QStringList& cells : stored.lines)
        m_lines.append(cells);
}

void PrescriptionSession::startEdit(int invoiceNumber) {
    m_editing = invoiceNumber;
    m_header.invoiceNumber = QString::number(invoiceNumber);
}

bool PrescriptionSession::fillPrescriber(PrescriptionHeader& header, CouncilEntry entry) const {
    const std::optional<Doctor> doctor = header.prescriberCouncil.trimmed().isEmpty()
                                             ? std::nullopt
                                             : DoctorStore(m_db).findByCouncilNumber(header.prescriberCouncil);
    if (doctor) {
        header.prescriberName = doctor->name;
        header.prescriberFamily = doctor->family;
        header.specialtyCode = QString::number(doctor->specialty);
        return true;
    }
    header.prescriberName.clear();
    if (entry == CouncilEntry::Leaving || header.prescriberCouncil.trimmed().isEmpty())
        header.prescriberFamily.clear();
    return false;
}

bool PrescriptionSession::socialSecurity() const {
    return isSocialSecurityInsurer(m_taminCodes, m_insurer.text());
}

QString PrescriptionSession::storedInsuranceNumber() const {
    return socialSecurity() ? plainInsNo(m_header.insNo) : m_header.insNo.base;
}

std::optional<HeaderProblem> PrescriptionSession::checkHeaderForLine() const {
    return ph::checkHeaderForLine(m_header, m_insurer, socialSecurity());
}

PricingContext PrescriptionSession::context() const {
    PricingContext context;
    context.insurer = m_insurer;
    context.specialtyCode = m_header.specialtyCode;
    context.admission = m_header.admission;
    context.currentDate = m_moment.today;
    context.stockKeeping = m_stockKeeping;
    return context;
}

LinePricer::InsurerChange PrescriptionSession::changeInsurer(const InsurerCode& insurer) {
    const InsurerCode previous = m_insurer;
    m_insurer = insurer;
    const LinePricer::InsurerChange change = m_pricer.changeInsurer(m_lines, context(), previous);
    if (change == LinePricer::InsurerChange::Declined) m_insurer = previous;
    return change;
}

std::optional<DrugItem> PrescriptionSession::findDrug(double code) {
    return m_pricing.findDrug(code, m_stockKeeping);
}

QString PrescriptionSession::kindForChosen(const DrugItem& drug) const {
    return kindForChosenDrug(m_insurer, drug.groupCode);
}

LineResult PrescriptionSession::addLine(const DrugItem& drug, const LineInput& input) {
    return m_pricer.add(m_lines, context(), drug, input);
}

LineResult PrescriptionSession::replaceLine(int row, const LineInput& input) {
    return m_pricer.replace(m_lines, row, context(), input);
}

QList<EquivalentRow> PrescriptionSession::equivalentsFor(double drug) {
    return EquivalentStore(m_db).offers(drug, m_stockKeeping ? std::optional<int>(DrugList::kPharmacyUnit)
                                                             : std::nullopt);
}

namespace {

// A typed quantity as a number; absent when the text is not one.
std::optional<double> quantityOf(const QString& text) {
    try {
        return amountFromText(text);
    } catch (const Error&) {
        return std::nullopt;
    }
}

} // namespace

SubstitutionResult PrescriptionSession::substitute(const DrugItem& prescribed, const EquivalentRow& equivalent,
                                                   const SubstitutionInput& input) {
    using Status = SubstitutionResult::Status;
    const auto refuse = [this](const QString& message, const QString& focus) {
        m_prompter.warning(message);
        return SubstitutionResult{Status::NotValid, -1, focus};
    };
    const QString prescribedField = QStringLiteral("me_tedad_main");
    const QString dispensedField = QStringLiteral("me_tedad_moadel");
    if (input.prescribedQuantity.trimmed().isEmpty()) return refuse(texts::kPrescribedQuantityMissing, prescribedField);
    if (input.dispensedQuantity.trimmed().isEmpty()) return refuse(texts::kEquivalentQuantityMissing, dispensedField);
    const std::optional<double> qp = quantityOf(input.prescribedQuantity);
    if (!qp) return refuse(texts::kPrescribedQuantityNotNumber, prescribedField);
    const std::optional<double> qe = quantityOf(input.dispensedQuantity);
    if (!qe) return refuse(texts::kEquivalentQuantityNotNumber, dispensedField);
    // An over-the-counter sale has no insurer to price the substitution for.
    if (m_insurer.isEmpty()) return refuse(texts::kInsurerMissing, dispensedField);
    const std::optional<int> insurer = m_insurer.number();
    if (!insurer || *insurer < 0) return {Status::NotAdded, -1, {}};

    if (m_stockKeeping) {
        const double stock = m_pricing.pharmacyStock(equivalent.code).value_or(0);
        if (stock < *qe) m_prompter.warning(texts::kStockShort + u'\'' + plainDecimalText(stock) + u'\'');
    }

    const double pp = prescribed.listPrice.value_or(0);
    const double pe = equivalent.price;
    QStringList cells(PrescriptionLines::kColumns);
    const auto zero = QStringLiteral("0");
    if (*insurer == 0) {
        cells[Col::Name] = equivalent.name.trimmed();
        cells[Col::Code] = goodsCodeText(equivalent.code);
        cells[Col::FormName] = equivalent.formName.trimmed();
        cells[Col::Kind] = texts::kFree;
        cells[Col::Quantity] = plainDecimalText(*qe);
        cells[Col::UnitPrice] = plainDecimalText(pe);
        cells[Col::Total] = plainDecimalText(*qe * pe);
        cells[Col::InsurerShare] = zero;
        cells[Col::PatientShare] = zero;
        cells[Col::FreeAmount] = plainDecimalText(*qe * pe);
        cells[Col::MainDrugCode] = goodsCodeText(prescribed.code);
        cells[Col::MainDrugQuantity] = plainDecimalText(*qp);
        cells[Col::MainDrugPrice] = plainDecimalText(pp);
    } else {
        SubstitutionFacts facts;
        facts.specialtyCode = m_header.specialtyCode;
        const std::optional<Contract> contract = m_pricing.insurerTerms(*insurer).first;
        facts.percent = contract ? contract->percent : 0;
        facts.rule = m_pricing.rule(*insurer, prescribed.code);
        facts.quantity = *qp;
        facts.unitPrice = pp;
        const InsuredShares asPrescribed = SubstitutionPricing::price(facts, m_prompter);
        facts.quantity = *qe;
        facts.unitPrice = pe;
        const InsuredShares asDispensed = SubstitutionPricing::price(facts, m_prompter);
        const InsuredShares shares = SubstitutionPricing::compare(asPrescribed, asDispensed);
        cells[Col::Name] = prescribed.name.trimmed();
        cells[Col::Code] = goodsCodeText(prescribed.code);
        cells[Col::FormName] = prescribed.formName.trimmed();
        cells[Col::Kind] = texts::kInsured;
        cells[Col::Quantity] = plainDecimalText(*qp);
        cells[Col::UnitPrice] = plainDecimalText(pp);
        cells[Col::Total] = plainDecimalText(*qp * pp);
        cells[Col::InsurerShare] = plainDecimalText(shares.insurer);
        cells[Col::PatientShare] = plainDecimalText(shares.patient);
        cells[Col::FreeAmount] = plainDecimalText(shares.free);
        cells[Col::MainDrugCode] = goodsCodeText(equivalent.code);
        cells[Col::MainDrugQuantity] = plainDecimalText(*qe);
        cells[Col::MainDrugPrice] = plainDecimalText(pe);
    }
    cells[Col::OtcAmount] = zero;
    cells[Col::GoodsAmount] = zero;
    cells[Col::Substitute] = QStringLiteral("1");
    return {Status::Written, m_lines.append(cells), {}};
}

void PrescriptionSession::removeLine(int row) {
    if (row <= 0 || row >= m_lines.lastRow()) return;
    const double code = m_lines.row(row).value(Col::Code).toDouble();
    m_lines.remove(row);
    // Packs scanned for a drug no line gives any more are not given either.
    for (int r = 1; r < m_lines.lastRow(); ++r) {
        const QStringList& cells = m_lines.row(r);
        if (cells.value(Col::Code).toDouble() == code || cells.value(Col::MainDrugCode).toDouble() == code) return;
    }
    m_packs.remove(code);
}

QString PrescriptionSession::priceFieldFor(int row) {
    const QStringList& cells = m_lines.row(row);
    bool isCode = false;
    const double code = cells.value(Col::Code).toDouble(&isCode);
    const std::optional<DrugItem> drug = isCode ? findDrug(code) : std::nullopt;
    return drug ? m_pricer.priceFieldFor(cells, *drug) : cells.value(Col::UnitPrice);
}

FeeFacts PrescriptionSession::feeFacts(std::optional<std::optional<int>> firstInvoiceOfDay) {
    if (!m_tariff) m_tariff = m_tariffs.inForce();
    FeeFacts facts;
    facts.tariff = *m_tariff;
    facts.hour = m_moment.hour();
    facts.currentInvoice = m_header.invoiceNumber;
    if (const auto insurer = m_insurer.number()) {
        const InsurerTerms terms = m_pricing.insurerTerms(*insurer);
        facts.emergencyInsurer = terms.emergency;
        facts.contract = terms.first;
    }
    facts.firstInvoiceOfDay =
        firstInvoiceOfDay ? *firstInvoiceOfDay
                          : m_prescriptions.firstInvoiceOfDay(m_header.prescriptionDate.trimmed(), storedInsuranceNumber());
    return facts;
}

Totals PrescriptionSession::totals() {
    return PrescriptionTotals::compute(m_lines, feeFacts());
}

ThresholdResult PrescriptionSession::checkThresholds(const Totals& totals, std::optional<ThresholdSettings> settings) {
    ThresholdInput input;
    input.insurer = m_insurer;
    input.specialtyCode = m_header.specialtyCode;
    // The insured amount of the lines: a fee the shares carry does not count.
    input.patientSum = totals.linesPatientSum;
    input.insurerSum = totals.linesInsurerSum;
    input.settings = settings ? *settings : m_prescriptions.saveSettings().thresholds;
    if (m_insurer.isInsurer()) input.latestContract = m_pricing.insurerTerms(*m_insurer.number()).latest;
    return ThresholdCheck::run(input, m_prompter);
}

SaveOutcome PrescriptionSession::refuse(const QString& message, const QString& focus) {
    if (!message.isEmpty()) m_prompter.warning(message);
    return {SaveOutcome::Status::Refused, {}, focus};
}

PrescriptionRecord PrescriptionSession::record(const Totals& totals) {
    const PrescriptionHeader& h = m_header;
    PrescriptionRecord r;
    r.insurer = m_insurer.number().value_or(0);
    r.insurerText = m_insurer.text();
    r.prescriptionDate = h.prescriptionDate;
    r.deliveryDate = h.deliveryDate;
    r.expiryDate = h.expiryDate;
    r.name = h.name;
    r.family = h.family;
    if (!h.insNo.base.isEmpty()) {
        r.shBimeh = storedInsuranceNumber();
        r.insNoTamin = socialSecurity() ? FormatInsNo(h.insNo) : h.insNo.base;
    }
    r.pageNumber = h.pageNumber;
    r.admission = h.admission == Admission::Inpatient ? 0 : 1;
    r.wardCode = h.wardCode;
    r.requestNumber = h.requestNumber;
    r.staff = h.staff;
    r.prescriberCouncil = h.prescriberCouncil;
    r.prescriberName = h.prescriberName;
    r.prescriberFamily = h.prescriberFamily;
    r.specialtyCode = h.specialtyCode;
    r.typeCode = h.typeCode;

    // The totals already hold the shares, the fee and the payable as stored and asked at the
    // cash desk (the insurer's part of the fee inside them under fani_flag); a member of the
    // staff pays no fee at all, though the cash row asks for the whole payable.
    const double patient = amountFromText(totals.patientShare);
    const double insurer = amountFromText(totals.insurerShare);
    const double fee = amountFromText(totals.fee);
    const double payable = amountFromText(totals.payable);
    r.feeInCommitment = totals.feeInCommitment;
    r.patientPrice = patient;
    r.insurerPrice = insurer;
    r.fee = fee;
    r.fee2 = totals.feeAmount;
    r.total = payable;
    if (h.staff) {
        r.fee = 0;
        r.fee2 = 0;
        r.total = payable + totals.insurerFeePart - totals.feeAmount;
    }
    r.freeAmount = amountFromText(totals.free);
    r.otcAmount = amountFromText(totals.otc);
    r.goodsAmount = amountFromText(totals.goods);
    r.cash = {patient, r.freeAmount, r.otcAmount, fee, r.goodsAmount, payable};

    r.stockKeeping = m_stockKeeping;
    QSet<double> packed; // a drug's packs go with its first line
    for (int row = 1; row < m_lines.rowCount(); ++row) {
        if (!m_lines.isLine(row)) continue;
        const QStringList& cells = m_lines.row(row);
        r.lines.append(cells);
        StockLine stock = dispensedGoods(cells);
        if (!packed.contains(stock.code)) {
            packed.insert(stock.code);
            stock.packs = m_packs.value(stock.code);
        }
        r.stock.append(stock);
    }
    return r;
}

SaveOutcome PrescriptionSession::save(const SaveContext& saveContext, bool maySave) {
    if (!maySave) return refuse(texts::kNoSaveRight);
    if (m_editing && !m_prompter.askYesNo(texts::kConfirmEditSave)) return refuse({});
    if (const auto problem = checkPrescriptionFields(*this)) return refuse(problem->message, problem->focus);
    if (const auto problem = ph::checkHeaderForSave(m_header, m_insurer, socialSecurity()))
        return refuse(problem->message, problem->focus);
    if (m_editing && !m_prescriptions.exists(*m_editing)) return refuse(texts::kInvoiceNotFound);

    // What the checks read, in one look before the transaction.
    auto duplicates = PrescriptionRecord::Duplicates::Stored;
    if (!m_editing && m_header.outpatient() && !m_insurer.isEmpty())
        duplicates = m_insurer.isInsurer() ? PrescriptionRecord::Duplicates::RefusedWithInsurer
                                           : PrescriptionRecord::Duplicates::RefusedByNames;
    PrescriptionStore::BeforeSave before;
    {
        PrescriptionRecord identity;
        identity.prescriptionDate = m_header.prescriptionDate;
        identity.name = m_header.name;
        identity.family = m_header.family;
        if (!m_header.insNo.base.isEmpty()) identity.shBimeh = storedInsuranceNumber();
        identity.prescriberCouncil = m_header.prescriberCouncil;
        identity.prescriberName = m_header.prescriberName;
        identity.duplicates = duplicates;
        before = m_prescriptions.readBeforeSave(identity, storedInsuranceNumber());
    }
    const Totals sums = PrescriptionTotals::compute(m_lines, feeFacts(before.firstInvoiceOfDay));
    PrescriptionRecord stored = record(sums);
    stored.duplicates = duplicates;
    stored.prescriberKnown = before.prescriberKnown;
    // A new outpatient prescription already stored for the patient on the day is saved
    // again only when the user says so.
    const auto storeDuplicate = [this] {
        m_prompter.warning(texts::kDuplicate);
        return m_prompter.askYesNo(texts::kSaveDuplicateQuestion);
    };
    if (before.duplicate) {
        if (!storeDuplicate()) return refuse({});
        stored.duplicates = PrescriptionRecord::Duplicates::Stored;
    }
    if (m_lines.lineCount() == 0) return refuse(texts::kNoLines);
    const PrescriptionStore::SaveSettings& settings = before.settings;
    const ThresholdResult check = checkThresholds(sums, settings.thresholds);
    if (!check.savePermitted) return refuse({});
    stored.approvalStamp = check.approvalStamp;
    stored.waitsAtCashDesk = settings.separateCashDesk;

    SaveOutcome outcome{SaveOutcome::Status::Saved, {}, {}};
    if (m_editing) {
        outcome.saved = m_prescriptions.saveEdit(*m_editing, stored, saveContext);
    } else {
        std::optional<SavedPrescription> saved;
        // Another workstation stored the same prescription since the question: asked again.
        while (!(saved = m_prescriptions.saveNew(stored, saveContext))) {
            if (!storeDuplicate()) return refuse({});
            stored.duplicates = PrescriptionRecord::Duplicates::Stored;
        }
        outcome.saved = *saved;
    }
    startAfterSave({saveContext.today, saveContext.time},
                   m_editing ? std::nullopt : std::optional<int>(outcome.saved.invoiceNumber));
    return outcome;
}

} // namespace ph
