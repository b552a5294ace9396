#pragma once

#include "dispensing/insurer_code.h"
#include "dispensing/prescription_header.h"

#include <QString>

#include <optional>

namespace ph {

// The first header check that failed: its warning and the field the focus goes to.
struct HeaderProblem {
    QString message;
    QString focus; // the field's object name
    bool operator==(const HeaderProblem&) const = default;
};

// The header checks before an insured or free line is added. `socialSecurity`: the
// insurer takes the four-part insurance number (and then has no page-number field).
std::optional<HeaderProblem> checkHeaderForLine(const PrescriptionHeader& header, const InsurerCode& insurer,
                                                bool socialSecurity);

// The header checks before a prescription is saved, new or edited. The three dates must
// be dates (month 1 to 12, day 1 to 31 and at most 30 from month 7, the expiry before
// the year 1500), whatever the insurer.
std::optional<HeaderProblem> checkHeaderForSave(const PrescriptionHeader& header, const InsurerCode& insurer,
                                                bool socialSecurity);

// A stored date read by the save check: "yy/mm/dd", or "yyyy/mm/dd" when `longYear`.
bool isSaveableDate(const QString& date, bool longYear);

} // namespace ph
