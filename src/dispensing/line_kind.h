#pragma once

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

// The kind every line takes after an insurer change: "OTC" for an empty code, "آزاد"
// for "0", else "تعرفه".
QString kindAfterInsurerChange(const QString& insurerCode);
// The kind a drug chosen from the drug list starts with: "كالا" for goods of a group
// above 1; otherwise "OTC" for an empty insurer code, "تعرفه" for a code above 0,
// else "آزاد".
QString kindForChosenDrug(const QString& insurerCode, int groupCode);

// An insurer code as the insurer field keeps it once known: a two-character code
// below 10 ("05") is cut to its second character.
QString normalisedInsurerCode(const QString& insurerCode);

} // namespace ph
