#pragma once

#include <QString>

namespace ph {

// Rounds to a whole Rial; a tie goes to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundRial(double amount);

// The shortest plain decimal text that reads back as the same double: 1234.5, 0.1, 115, never 1e+06.
QString plainDecimalText(double amount);

// A rounded amount as an integer text: "115", "-3".
QString wholeRialText(double amount);

// An amount in its shortest decimal form with the whole part grouped by thousands:
// 1234567.5 -> "1,234,567.5".
QString groupedAmountText(double amount);

// The number a field or a line cell holds: plain decimal text ("1250", "12.5", "-3", Persian
// digits too, blanks around it ignored). Anything else, an empty text included, is a
// conversion error: ph::Error naming the text, and the action it belongs to stops.
double amountFromText(const QString& text);
// A whole number typed in a prompt or a field ("12", "-3", Persian digits too); anything
// else, a fraction included, is a conversion error.
int wholeNumberFromText(const QString& text);

} // namespace ph
