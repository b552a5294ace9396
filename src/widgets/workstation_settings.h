#pragma once

#include <QSettings>
#include <QSizeF>
#include <QString>

namespace ph::workstation {

// Keys of this workstation's settings file (pharmacy.ini in the working folder).
inline constexpr char kPersianDigits[] = "display/persianDigits"; // grids draw Persian digits (from the next start)
inline constexpr char kStoreProgram[] = "programs/store";         // the outside store program
inline constexpr char kLabelWidth[] = "print/labelWidthMm";       // the label page, in millimetres
inline constexpr char kLabelHeight[] = "print/labelHeightMm";
inline constexpr char kClaimsFolder[] = "claims/removableFolder";  // the removable-media folder of claim files

// The outside store program: the one the settings name, else "anbar" found on the search path.
inline QString storeProgram(const QSettings* settings) {
    const QString named = settings ? settings->value(QLatin1String(kStoreProgram)).toString().trimmed() : QString();
    return named.isEmpty() ? QStringLiteral("anbar") : named;
}

// The label page of this workstation's label printer, in millimetres: the settings' size when
// both are positive numbers, else 50 × 30.
inline QSizeF labelPageMm(const QSettings* settings) {
    const QSizeF fallback(50, 30);
    if (!settings) return fallback;
    bool wideOk = false;
    bool highOk = false;
    const double width = settings->value(QLatin1String(kLabelWidth)).toDouble(&wideOk);
    const double height = settings->value(QLatin1String(kLabelHeight)).toDouble(&highOk);
    return wideOk && highOk && width > 0 && height > 0 ? QSizeF(width, height) : fallback;
}

} // namespace ph::workstation
