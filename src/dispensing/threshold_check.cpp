#include "dispensing/threshold_check.h"

#include "core/prompter.h"
#include "dispensing/dispensing_texts.h"

namespace ph {
namespace {

struct Thresholds {
    std::optional<double> address;
    double approval = 0;
};

std::optional<Thresholds> thresholdsFor(const QString& specialtyCode, const Contract& contract) {
    const QString code = specialtyCode.trimmed();
    if (code == QLatin1String("1")) return Thresholds{contract.gpAddress, contract.gpApproval};
    if (code == QLatin1String("2")) return Thresholds{std::nullopt, contract.midwifeApproval};
    if (code == QLatin1String("3")) return Thresholds{std::nullopt, contract.dentistApproval};
    if (code == QLatin1String("4"))
        return Thresholds{contract.specialistAddress, contract.specialistApproval};
    if (code == QLatin1String("10"))
        return Thresholds{contract.subSpecialistAddress, contract.subSpecialistApproval};
    return std::nullopt;
}

} // namespace

ThresholdResult ThresholdCheck::run(const ThresholdInput& input, Prompter& prompter) {
    ThresholdResult result;
    if (!input.insurer.isInsurer()) return result;
    if (!input.settings.approvalMessages && !input.settings.addressMessages) return result;
    if (!input.latestContract) return result;
    const double amount = input.patientSum + input.insurerSum;
    const auto thresholds = thresholdsFor(input.specialtyCode, *input.latestContract);
    if (!thresholds) return result;
    if (thresholds->address) {
        const double address = *thresholds->address;
        if (amount < address) return result;
        if (address < amount && amount < thresholds->approval && input.settings.addressMessages) {
            prompter.warning(texts::kAddressNeeded);
            return result;
        }
    }
    if (amount > thresholds->approval && input.settings.approvalMessages) {
        prompter.warning(texts::kApprovalNeeded);
        if (prompter.askYesNo(texts::kApprovalStampQuestion)) {
            result.approvalStamp = true;
        } else {
            result.savePermitted = false;
            prompter.warning(texts::kCannotSave);
        }
    }
    return result;
}

} // namespace ph
