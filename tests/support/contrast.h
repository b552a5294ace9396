#pragma once

#include <QColor>

#include <algorithm>
#include <cmath>

namespace ph::test {

// The contrast ratio of two colours as the accessibility guidelines define it: 1 (none) to
// 21 (black on white); text reads well from 4.5.
inline double contrastRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](int value) {
            const double v = value / 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace ph::test
