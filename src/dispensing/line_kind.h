#pragma once

#include "dispensing/insurer_code.h"
#include "dispensing/pricing_types.h"

#include <QString>

namespace ph {

// The kind a line is priced as: "آزاد" free, "كالا" goods, "OTC" over the counter, any
// other text insured. The text is trimmed first.
LineKind lineKindOf(const QString& kindText);
// The text written in column 4 for a kind.
QString kindText(LineKind kind);
// Whether the text (trimmed) is one of the four kinds the kind field accepts.
bool isKindText(const QString& kindText);

// The kind every line takes after an insurer change: "OTC" for an empty code, "تعرفه"
// for an insurer, else "آزاد".
QString kindAfterInsurerChange(const InsurerCode& insurer);
// The kind a drug chosen from the drug list starts with: "كالا" for goods of a group
// above 1; otherwise "OTC" for an empty insurer code, "تعرفه" for an insurer, else "آزاد".
QString kindForChosenDrug(const InsurerCode& insurer, int groupCode);

} // namespace ph
