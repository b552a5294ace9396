#pragma once

#include <QHash>
#include <QLineF>
#include <QList>
#include <QMarginsF>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace ph::print {

// The values a report prints, by name: the report's own (heading, totals) and one set per
// detail row. Every value is text, formatted by whoever fills it.
using Values = QHash<QString, QString>;

// Names a text field may take besides the report's values: the page's number and the count
// of pages.
inline const QString kPageNumber = QStringLiteral("page");
inline const QString kPageCount = QStringLiteral("pages");
// A field keyed kRunningSum + a detail value's name prints the whole-number part of that
// value summed over the rows printed up to the end of its page (a page foot's carried sums).
inline const QString kRunningSum = QStringLiteral("running_sum:");

enum class Align { Left, Right, Center };

// A text at a fixed place in its band, in millimetres from the band's top-left corner.
// It shows the value named `key` (the detail row's first, then the report's) or, with no
// key, the fixed `caption`. Text runs right to left; `align` is on the page as seen
// (Right: the text ends at the field's right edge) and never mirrored.
struct TextField {
    QRectF placeMm;
    QString key;
    QString caption;
    Align align = Align::Right;
    double points = 9;
    bool bold = false;
    QString prefix; // printed before a non-empty value (a caption on the same line)

    static TextField value(const QString& key, QRectF placeMm, Align align = Align::Right, double points = 9) {
        TextField f;
        f.key = key;
        f.placeMm = placeMm;
        f.align = align;
        f.points = points;
        return f;
    }
    static TextField fixed(const QString& caption, QRectF placeMm, Align align = Align::Right,
                           double points = 9) {
        TextField f;
        f.caption = caption;
        f.placeMm = placeMm;
        f.align = align;
        f.points = points;
        return f;
    }
    TextField& inBold() {
        bold = true;
        return *this;
    }
};

// A picture (a chart) at a fixed place in its band, in millimetres: the report's image named
// `key`, scaled to fit the place with its proportions kept.
struct PictureField {
    QRectF placeMm;
    QString key;
};

// A horizontal strip of the page with its fields and ruled lines, all in millimetres
// from its top-left corner. A band of height 0 is not printed.
struct Band {
    double heightMm = 0;
    QList<TextField> fields;
    QList<QLineF> linesMm;
    QList<PictureField> pictures;
    bool isEmpty() const { return heightMm <= 0; }
};

// The page a report is printed on: its size (width × length) and margins, in millimetres.
struct PageSetup {
    QSizeF sizeMm;
    QMarginsF marginsMm; // left, top, right, bottom
};

// A banded report: on every page the page header on top and the page footer at the foot of
// the page; on the first page the title under the page header; on every page the column
// header before the rows; the detail band once per row, starting a new page when the next
// row does not fit above the page footer; the summary once after the last row (on a page of
// its own, when it does not fit, without the column header).
struct ReportLayout {
    PageSetup page;
    Band pageHeader;
    Band title;
    Band columnHeader;
    Band detail;
    Band summary;
    Band pageFooter;
    QString fontFamily; // empty: the bundled Persian font
};

// What a report prints: the layout and its values.
struct ReportData {
    Values values;
    QList<Values> rows;
    QHash<QString, QImage> pictures; // images named by the bands' picture fields
};

} // namespace ph::print
