#pragma once

#include <QString>

namespace ph {

// An amount of at most 12 decimal digits in Persian words, as printed under the totals
// of insurance reports: "115" -> "يكصد و پانزده ", "2000000" -> "دو ميليون".
// Throws ph::Error for text that is not 1 to 12 digits.
QString amountInWords(const QString& digits);

} // namespace ph
