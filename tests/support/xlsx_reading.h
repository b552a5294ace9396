#pragma once

// Reads back a spreadsheet the program wrote: the cells of one sheet as text, row by row
// (numbers in their shortest decimal form), and whether the sheet reads right to left.
// Link the test with ph_testzip.

#include <QMap>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include "support/zip_files.h"

namespace ph::test {

struct XlsxSheetText {
    QList<QStringList> rows; // every row up to the last written one; missing cells empty
    bool rightToLeft = false;
};

// Sheet `index` (0 is the first) of the workbook at `path`; empty rows when unreadable.
inline XlsxSheetText readXlsxSheet(const QString& path, int index = 0) {
    XlsxSheetText sheet;
    QStringList shared;
    QXmlStreamReader strings(readZipPart(path, QStringLiteral("xl/sharedStrings.xml")));
    while (!strings.atEnd())
        if (strings.readNext() == QXmlStreamReader::StartElement && strings.name() == u"si")
            shared.append(strings.readElementText(QXmlStreamReader::IncludeChildElements));

    QXmlStreamReader xml(readZipPart(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(index + 1)));
    QMap<int, QMap<int, QString>> cells;
    int row = -1;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"sheetView") {
            sheet.rightToLeft = xml.attributes().value(QLatin1String("rightToLeft")) == u"1";
        } else if (xml.name() == u"row") {
            row = xml.attributes().value(QLatin1String("r")).toInt() - 1;
        } else if (xml.name() == u"c") {
            const QString reference = xml.attributes().value(QLatin1String("r")).toString();
            const QString type = xml.attributes().value(QLatin1String("t")).toString();
            int column = 0;
            for (const QChar c : reference) {
                if (!c.isLetter())
                    break;
                column = column * 26 + (c.unicode() - u'A' + 1);
            }
            QString value;
            while (xml.readNextStartElement()) {
                if (xml.name() == u"v" || xml.name() == u"is")
                    value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                else
                    xml.skipCurrentElement();
            }
            if (type == u"s")
                value = shared.value(value.toInt());
            else if (type.isEmpty() || type == u"n")
                value = QString::number(value.toDouble(), 'g', 15);
            cells[row][column - 1] = value;
        }
    }
    const int lastRow = cells.isEmpty() ? -1 : cells.lastKey();
    for (int r = 0; r <= lastRow; ++r) {
        QStringList texts;
        const QMap<int, QString> line = cells.value(r);
        const int lastColumn = line.isEmpty() ? -1 : line.lastKey();
        for (int c = 0; c <= lastColumn; ++c)
            texts.append(line.value(c));
        sheet.rows.append(texts);
    }
    return sheet;
}

} // namespace ph::test
