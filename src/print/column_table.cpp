#include "print/column_table.h"

namespace ph::print {

void addColumnTable(ReportLayout& layout, std::span<const TableColumn> columns, double areaWidthMm,
                    double points) {
    layout.columnHeader.heightMm = 7;
    for (const TableColumn& c : columns)
        layout.columnHeader.fields.append(
            TextField::fixed(QString::fromUtf16(c.caption), QRectF(c.x, 0.5, c.width, 5.5), Align::Center, points)
                .inBold());
    layout.columnHeader.linesMm = {QLineF(0, 6.5, areaWidthMm, 6.5)};
    for (const TableColumn& c : columns)
        layout.detail.fields.append(
            TextField::value(QString::fromLatin1(c.key), QRectF(c.x, 0.3, c.width, 5.5), c.align, points));
}

} // namespace ph::print
