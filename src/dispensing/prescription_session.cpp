#include "dispensing/prescription_session.h"

#include "core/amounts.h"
#include "dispensing/line_kind.h"

namespace ph {

using Col = PrescriptionLines::Column;

PrescriptionSession::PrescriptionSession(Database& db, Prompter& prompter)
    : m_prompter(prompter), m_pricing(db), m_prescriptions(db), m_tariffs(db), m_pricer(m_pricing, prompter) {}

void PrescriptionSession::start(const PricingMoment& moment) {
    m_moment = moment;
    m_pricing.forget();
    m_tariff.reset();
    m_insurer = {};
    m_lines.clear();
    m_stockKeeping = m_pricing.stockKeepingMode();
    m_header = {};
    m_header.prescriptionDate = moment.today;
    m_header.invoiceNumber = QString::number(m_prescriptions.nextInvoiceNumber());
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

QString PrescriptionSession::priceFieldFor(int row) {
    const QStringList& cells = m_lines.row(row);
    bool isCode = false;
    const double code = cells.value(Col::Code).toDouble(&isCode);
    const std::optional<DrugItem> drug = isCode ? findDrug(code) : std::nullopt;
    return drug ? m_pricer.priceFieldFor(cells, *drug) : cells.value(Col::UnitPrice);
}

FeeFacts PrescriptionSession::feeFacts() {
    if (!m_tariff) m_tariff = m_tariffs.inForce();
    FeeFacts facts;
    facts.tariff = *m_tariff;
    facts.hour = m_moment.hour;
    facts.currentInvoice = m_header.invoiceNumber;
    if (const auto insurer = m_insurer.number()) {
        const InsurerTerms terms = m_pricing.insurerTerms(*insurer);
        facts.emergencyInsurer = terms.emergency;
        facts.contract = terms.first;
    }
    facts.firstInvoiceOfDay =
        m_prescriptions.firstInvoiceOfDay(m_header.prescriptionDate.trimmed(), m_header.insuranceNumber);
    return facts;
}

Totals PrescriptionSession::totals() {
    return PrescriptionTotals::compute(m_lines, feeFacts());
}

ThresholdResult PrescriptionSession::checkThresholds(const Totals& totals) {
    ThresholdInput input;
    input.insurer = m_insurer;
    input.specialtyCode = m_header.specialtyCode;
    input.patientSum = amountFromText(totals.patientShare);
    input.insurerSum = amountFromText(totals.insurerShare);
    input.settings = m_prescriptions.thresholdSettings();
    if (m_insurer.isInsurer()) input.latestContract = m_pricing.insurerTerms(*m_insurer.number()).latest;
    return ThresholdCheck::run(input, m_prompter);
}

} // namespace ph
