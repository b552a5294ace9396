#pragma once

#include "dispensing/header_checks.h"

#include <QString>

#include <optional>

namespace ph {

class PrescriptionSession;

// The most lines a prescription holds. A paper prescription names a handful of drugs; a
// list far longer is a mistake (a pasted list), and all of it would be written while the
// numbering lock keeps the other counters waiting.
constexpr int kMaxPrescriptionLines = 100;
inline const QString kTooManyLines = QStringLiteral("نسخه بيش از %1 دارو نمي پذيرد");

// Whether every header field fits the column it is stored in (its width, a number where
// one is stored, no NUL) and the lines are within kMaxPrescriptionLines: the first that
// does not, with its message and field. Judged before anything is written, the same on
// every engine.
std::optional<HeaderProblem> checkPrescriptionFields(const PrescriptionSession& session);

// The most characters the header field stored in this column of heading_noskhe takes (0 for
// no limit): what its input accepts while typing.
int headerFieldWidth(const QString& column);

} // namespace ph
