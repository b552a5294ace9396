#include "dispensing/prescription_totals.h"

#include "core/amounts.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/prescription_lines.h"

namespace ph {

using Col = PrescriptionLines::Column;

double PrescriptionTotals::technicalFee(double base, const FeeFacts& facts) {
    const TariffPeriod tariff = facts.tariff.value_or(TariffPeriod{});
    double fee = 0;
    if (base != 0) {
        const bool day = facts.hour >= 7 && facts.hour <= 20;
        if (base <= tariff.feeCeiling)
            fee = day ? tariff.dayDown : tariff.nightDown;
        else
            fee = day ? tariff.dayUp : tariff.nightUp;
    }
    if (facts.emergencyInsurer)
        fee = base <= tariff.emergencyCeiling ? tariff.emergencyDown : tariff.emergencyUp;
    return fee;
}

Totals PrescriptionTotals::compute(const PrescriptionLines& lines, const FeeFacts& facts) {
    double patient = 0, insurer = 0, free = 0, otc = 0, goods = 0, tariffTotal = 0;
    auto add = [&](double& sum, int row, int column) {
        const QString text = lines.cell(row, column);
        if (!text.isEmpty()) sum += amountFromText(text);
    };
    for (int row = 1; row < lines.rowCount(); ++row) {
        add(patient, row, Col::PatientShare);
        add(insurer, row, Col::InsurerShare);
        add(free, row, Col::FreeAmount);
        add(otc, row, Col::OtcAmount);
        add(goods, row, Col::GoodsAmount);
        if (lines.cell(row, Col::Kind) == texts::kInsured) add(tariffTotal, row, Col::Total);
    }

    Totals totals;
    totals.linesPatientSum = patient;
    totals.linesInsurerSum = insurer;
    totals.free = plainDecimalText(free);
    totals.patientShare = plainDecimalText(patient);
    totals.insurerShare = plainDecimalText(insurer);
    totals.insuredTotal = plainDecimalText(insurer + patient);
    totals.goods = plainDecimalText(goods);
    totals.tariffTotal = plainDecimalText(tariffTotal);

    const TariffPeriod tariff = facts.tariff.value_or(TariffPeriod{});
    const double otcFee = otc * tariff.otcPercent / 100;
    const double otcWithFee = otc + (otcFee < tariff.otcMax ? otcFee : tariff.otcMax);
    totals.otc = plainDecimalText(otcWithFee);

    double fee = technicalFee(free + patient + insurer, facts);
    totals.feeAmount = fee;
    totals.insurerFeePart =
        facts.contract && facts.contract->feeInCommitment ? fee * facts.contract->percent / 100 : 0;

    // Only the patient's first prescription of the day carries the fee.
    if (facts.firstInvoiceOfDay) {
        bool isNumber = false;
        const int current = facts.currentInvoice.trimmed().toInt(&isNumber);
        if (!isNumber || current != *facts.firstInvoiceOfDay) {
            fee = 0;
            totals.feeAmount = 0;
            totals.insurerFeePart = 0;
        }
    }
    totals.fee = plainDecimalText(fee);
    totals.payable = wholeRialText(otcWithFee + patient + free + goods + fee);
    // An insurer whose contract pays its percentage of the technical fee: the fee moves into
    // the shares (the patient's part to the patient, the rest to the insurer) and the patient
    // pays the total less the insurer's part. The panel shows what is stored and what the
    // cash desk asks for.
    totals.feeInCommitment = facts.contract && facts.contract->feeInCommitment;
    if (totals.feeInCommitment) {
        const double feeShare = totals.insurerFeePart;
        totals.patientShare = plainDecimalText(patient + fee - feeShare);
        totals.insurerShare = plainDecimalText(insurer + feeShare);
        totals.insuredTotal = plainDecimalText(insurer + patient + fee);
        totals.fee = QStringLiteral("0");
        totals.payable = wholeRialText(otcWithFee + patient + free + goods + fee - feeShare);
    }
    return totals;
}

} // namespace ph
