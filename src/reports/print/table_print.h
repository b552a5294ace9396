#pragma once

#include "print/report.h"

#include <QList>
#include <QString>

namespace ph::print {

// A list printed as a table on A4: a heading repeated on every page, the column captions, one
// detail line per row, and a summary of the summed columns (and optionally a picture, the
// chart) after the last row.
struct TableColumn {
    QString caption;
    QString key;
    double widthMm = 20;
    Align align = Align::Center;
    bool summed = false; // its sum is printed in the summary under the column
};

struct TableHeadingLine {
    QString key;     // the report's value shown
    QString prefix;  // printed before it
    Align align = Align::Center;
    bool bold = false;
    double points = 10;
};

struct TablePrint {
    QList<QList<TableHeadingLine>> heading; // lines of the heading, each with up to three texts
    QList<TableColumn> columns;             // right to left; the first is the row number
    QString sumCaption;                     // printed beside the sums
    QString pictureKey;                     // a picture printed after the summary; empty: none
    double pictureHeightMm = 85;
};

// The layout of such a table. The row number's value is "row"; a summed column's sum is its key
// with "_sum".
ReportLayout tableLayout(const TablePrint& table);

} // namespace ph::print
