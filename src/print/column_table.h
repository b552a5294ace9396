#pragma once

#include "print/report_layout.h"

#include <span>

namespace ph::print {

// One column of a printed table: the row value it shows, its caption, and its place across
// the printing area in millimetres from the area's left edge.
struct TableColumn {
    const char* key;
    const char16_t* caption;
    double x;
    double width;
    Align align; // of the row values; the captions are centred
};

// Lays out a table's columns: the column header band (the captions in bold, centred, over a rule
// across the printing area) and, appended to the detail band, one value field per column.
void addColumnTable(ReportLayout& layout, std::span<const TableColumn> columns, double areaWidthMm,
                    double points);

} // namespace ph::print
