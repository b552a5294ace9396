#pragma once

#include <QSettings>
#include <QString>

namespace ph::workstation {

// Keys of this workstation's settings file (pharmacy.ini in the working folder).
inline constexpr char kPersianDigits[] = "display/persianDigits"; // grids draw Persian digits (from the next start)
inline constexpr char kStoreProgram[] = "programs/store";         // the outside store program
inline constexpr char kClaimsFolder[] = "claims/removableFolder";  // the removable-media folder of claim files

// The outside store program: the one the settings name, else "anbar" found on the search path.
inline QString storeProgram(const QSettings* settings) {
    const QString named = settings ? settings->value(QLatin1String(kStoreProgram)).toString().trimmed() : QString();
    return named.isEmpty() ? QStringLiteral("anbar") : named;
}

} // namespace ph::workstation
