#pragma once

#include "dispensing/insurer_code.h"
#include "dispensing/pricing_types.h"

#include <QString>

#include <optional>

namespace ph {

class Prompter;

// The two settings that switch the threshold messages on (tanzimat).
struct ThresholdSettings {
    bool approvalMessages = false; // message_taeed
    bool addressMessages = false;  // message_address
};

struct ThresholdInput {
    InsurerCode insurer;   // me_code_bime
    QString specialtyCode; // me_code_takhasos: chooses the thresholds
    double patientSum = 0; // me_sahme_bimar
    double insurerSum = 0; // me_sahme_bime
    ThresholdSettings settings;
    std::optional<Contract> latestContract; // the insurer's period with the largest row
};

struct ThresholdResult {
    bool savePermitted = true;
    bool approvalStamp = false; // stored as heading_noskhe.flag_taeed
};

// Before a prescription is stored, its insured amount is compared with the thresholds
// of the insurer's latest contract period for the prescriber's category: above the
// address threshold the pharmacist is told to take the patient's address, above the
// approval threshold the prescription must bear the insurer's stamp or is not stored.
class ThresholdCheck {
public:
    static ThresholdResult run(const ThresholdInput& input, Prompter& prompter);
};

} // namespace ph
