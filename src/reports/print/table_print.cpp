#include "reports/print/table_print.h"

namespace ph::print {
namespace {
constexpr double kPageWidth = 210;
constexpr double kPageLength = 297;
constexpr double kMargin = 10;
constexpr double kWidth = kPageWidth - 2 * kMargin;
constexpr double kLine = 6;
constexpr double kRow = 5.5;
constexpr double kPoints = 9;
} // namespace

ReportLayout tableLayout(const TablePrint& table) {
    ReportLayout layout;
    layout.page = {QSizeF(kPageWidth, kPageLength), QMarginsF(kMargin, kMargin, kMargin, kMargin)};

    double y = 0;
    for (const QList<TableHeadingLine>& line : table.heading) {
        // Up to three texts on a line: right, centre and left thirds, as each asks.
        for (const TableHeadingLine& part : line) {
            TextField field = TextField::value(part.key, QRectF(0, y, kWidth, kLine), part.align, part.points);
            field.prefix = part.prefix;
            if (part.key.isEmpty()) field = TextField::fixed(part.prefix, QRectF(0, y, kWidth, kLine), part.align, part.points);
            field.bold = part.bold;
            layout.pageHeader.fields.append(field);
        }
        y += kLine;
    }
    layout.pageHeader.heightMm = y + 2;

    // Columns from the right edge leftwards.
    double totalWidth = 0;
    for (const TableColumn& column : table.columns) totalWidth += column.widthMm;
    const double scale = totalWidth > kWidth ? kWidth / totalWidth : 1;
    double right = kWidth;
    Band& heads = layout.columnHeader;
    Band& detail = layout.detail;
    Band& summary = layout.summary;
    heads.heightMm = kRow + 1;
    detail.heightMm = kRow;
    heads.linesMm = {QLineF(0, 0, kWidth, 0), QLineF(0, kRow + 0.5, kWidth, kRow + 0.5)};
    double sumLabelLeft = kWidth;
    bool firstSummed = true;
    for (const TableColumn& column : table.columns) {
        const double width = column.widthMm * scale;
        const QRectF cell(right - width + 0.5, 0.5, width - 1, kRow - 0.5);
        heads.fields.append(TextField::fixed(column.caption, cell, Align::Center, kPoints).inBold());
        detail.fields.append(TextField::value(column.key, cell.translated(0, -0.3), column.align, kPoints));
        if (column.summed) {
            if (firstSummed) sumLabelLeft = right;
            firstSummed = false;
            summary.fields.append(
                TextField::value(column.key + QStringLiteral("_sum"), cell.translated(0, 1), column.align, kPoints).inBold());
        }
        right -= width;
    }
    summary.linesMm = {QLineF(0, 0.5, kWidth, 0.5)};
    summary.fields.append(
        TextField::fixed(table.sumCaption, QRectF(sumLabelLeft, 1.5, kWidth - sumLabelLeft - 1, kRow), Align::Right, kPoints)
            .inBold());
    summary.heightMm = kRow + 3;
    if (!table.pictureKey.isEmpty()) {
        summary.pictures.append({QRectF(0, summary.heightMm + 2, kWidth, table.pictureHeightMm), table.pictureKey});
        summary.heightMm += table.pictureHeightMm + 4;
    }

    layout.pageFooter.heightMm = 0;
    return layout;
}

} // namespace ph::print
