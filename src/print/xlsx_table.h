#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include "print/report_output.h"

namespace ph::print {

// How a column's values are written: text as it is, whole counts, or amounts in Rials
// shown with thousands separators.
enum class XlsxColumnKind { Text, Count, Amount };

struct XlsxColumn {
    QString caption;
    XlsxColumnKind kind = XlsxColumnKind::Text;
    // Width in characters; 0 fits the column to its caption and longest value.
    double width = 0;
};

// One sheet: optional title lines above the table, the captions, the rows, and an
// optional totals row written in bold under them. A row holds one value per column; a
// number (int, double) is written as a number, anything else as its text, a null value
// leaves the cell empty.
struct XlsxSheet {
    QString name;
    QStringList titleLines;
    QList<XlsxColumn> columns;
    QList<QVariantList> rows;
    QVariantList totals;
    bool rightToLeft = true;
};

// Writes the sheets as an Excel 2007 workbook (.xlsx). The workbook is written under a
// temporary name beside the target and renamed when complete, so a full disk or a crash
// never leaves a truncated file that looks finished.
OutputResult writeXlsx(const QList<XlsxSheet>& sheets, const QString& path);

namespace texts {
inline const QString kXlsxNotWritten = QStringLiteral("فايل اكسل ساخته نشد: ");
} // namespace texts

} // namespace ph::print
