#pragma once

#include <QString>

namespace ph {

// The number an amount or percentage field holds: plain decimal text ("1250", "12.5",
// Persian digits too, blanks around it ignored). Anything else, an empty field included,
// is a conversion error: ph::Error with the field's text, and the save it belongs to stops.
double amountFromText(const QString& text);

// An amount as its field shows it: "0", "1250", "12.5".
QString amountText(double amount);

} // namespace ph
