#include "core/amounts.h"

#include <charconv>
#include <cmath>

namespace ph {

double roundRial(double amount) { return std::nearbyint(amount); } // default rounding mode: ties to even

QString plainDecimalText(double amount) {
    if (amount == 0.0 || !std::isfinite(amount))
        return QStringLiteral("0");
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, amount, std::chars_format::fixed);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString wholeRialText(double amount) { return plainDecimalText(roundRial(amount)); }

} // namespace ph
