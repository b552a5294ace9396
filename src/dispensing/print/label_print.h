#pragma once

#include "dispensing/compounded_labels.h"
#include "print/report.h"

#include <QSizeF>
#include <QString>

namespace ph {

// The label page a workstation prints on when its settings name none: 50 × 30 mm.
inline constexpr double kDefaultLabelWidthMm = 50;
inline constexpr double kDefaultLabelHeightMm = 30;

// What a compounded drug's label prints besides its texts.
struct LabelHeading {
    QString pharmacyName;
    QString patient;    // first name, two blanks, family name
    QString prescriber; // first name, a blank, family name
};

// The label of one compounded drug on a label page of `pageMm` (width × height): the
// pharmacy, patient and prescriber, the instruction, storage note and message, and under
// "محتويات دارو" one row per material with its quantity and unit. Rows that do not fit go
// on further labels with the contents' captions repeated.
print::Report labelReport(const CompoundedLabel& label, const QList<LabelContentLine>& contents,
                          const LabelHeading& heading, QSizeF pageMm = {kDefaultLabelWidthMm, kDefaultLabelHeightMm});

} // namespace ph
