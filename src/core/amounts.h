#pragma once

#include <QString>

namespace ph {

// Rounds to a whole Rial; a tie goes to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundRial(double amount);

// The shortest plain decimal text that reads back as the same double: 1234.5, 0.1, 115, never 1e+06.
QString plainDecimalText(double amount);

// A rounded amount as an integer text: "115", "-3".
QString wholeRialText(double amount);

} // namespace ph
