#pragma once

#include <QList>
#include <QString>

namespace ph {

// One row of a price workbook: its row number on the sheet (the header row is 1) and
// the text of its code and price cells, and of its barcode cell when the sheet has one. A text cell gives its text as written; a number
// cell gives its shortest plain decimal form ("1001", "6500.5"); an empty or missing
// cell gives an empty text.
struct PriceSheetRow {
    int sheetRow = 0;
    QString code;
    QString price;
    QString barcode;

    friend bool operator==(const PriceSheetRow&, const PriceSheetRow&) = default;
};

// A cell's text without what a spreadsheet user cannot see: surrounding blanks,
// direction marks and byte order marks.
QString visibleCellText(const QString& text);

// The workbook the price correction offers first: pharmacy.xls in the working folder.
QString defaultPriceWorkbookPath(const QString& workingDir);

// How a price workbook is read: the helper program for Excel 97-2003 files and the
// limits that keep a hostile or damaged file from exhausting memory or time.
struct PriceWorkbookReading {
    // The program that reads .xls files in a process of its own (pharmacy-xls-reader);
    // empty: the one beside the running program.
    QString xlsReader;
    int xlsTimeoutMs = 60'000;
    // The most bytes taken from one part of an .xlsx package once inflated, from a
    // .csv file, or from the .xls reader's output.
    qint64 largestPartBytes = qint64(64) << 20;
    // The most rows with a code or a price a sheet may hold.
    int mostRows = 100'000;
};

// pharmacy-xls-reader beside the running program.
QString xlsReaderBesideProgram();

// Reads the first sheet of a price workbook: an Excel 97-2003 file (.xls), an Excel
// 2007 or later file (.xlsx) or a text file of comma or semicolon separated values in
// UTF-8. The kind is told by the file's content, not by its name. The columns are found
// by the header cells "code" and "price" on the sheet's first row (letter case and
// surrounding blanks do not matter); an optional barcode column is headed "barcode",
// "باركد" or "بارکد" (with or without a blank inside). Rows whose code and price cells are
// both empty are left out.
// Throws Error, with a message naming the file, when the file is missing, cannot be
// read as a workbook (the .xls reader crashed, hung or refused it), is larger than the
// limits allow, or its first row lacks either header.
QList<PriceSheetRow> readPriceWorkbook(const QString& path, const PriceWorkbookReading& reading = {});

} // namespace ph
