// pharmacy-xls-reader FILE
//
// Reads the first sheet of an Excel 97-2003 workbook with FreeXL and writes its rows to
// standard output as UTF-8 text, one line per row that has a cell:
//
//     ROW <tab> CELL <tab> CELL ...
//
// ROW is the sheet row number (the first row is 1); the cells follow from column A,
// trailing empty cells left out. In a cell's text a backslash is written "\\", a tab
// "\t", a line feed "\n" and a carriage return "\r". A number cell is written in its
// shortest plain decimal form, a text or date cell as FreeXL gives it.
//
// The price correction runs this program in a process of its own: FreeXL can crash or
// loop on a damaged file, and that must not take the desktop program down with it.
//
// Exit status: 0 the rows were written; 2 wrong usage; 3 the workbook has a password;
// 4 the workbook has no sheet; 5 FreeXL cannot read the file.

#include "core/amounts.h"

#include <QByteArray>
#include <QList>

#include <freexl.h>

#include <cstdio>

namespace {

enum Status { Done = 0, Usage = 2, Password = 3, NoSheet = 4, Unreadable = 5 };

QByteArray cellText(const FreeXL_CellValue& cell) {
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return QByteArray::number(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return ph::plainDecimalText(cell.value.double_value).toUtf8();
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return cell.value.text_value ? QByteArray(cell.value.text_value) : QByteArray();
    default:
        return {};
    }
}

void appendEscaped(QByteArray& line, const QByteArray& text) {
    for (char c : text) {
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += c;
        }
    }
}

int readSheet(const void* handle) {
    unsigned int info = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        return Password;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &info) != FREEXL_OK || info == 0)
        return NoSheet;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK)
        return Unreadable;
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
        return Unreadable;

    QByteArray line;
    for (unsigned int row = 0; row < rows; ++row) {
        QList<QByteArray> cells;
        for (unsigned short col = 0; col < columns; ++col) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(handle, row, col, &cell) != FREEXL_OK)
                return Unreadable;
            cells.append(cellText(cell));
        }
        while (!cells.isEmpty() && cells.last().isEmpty())
            cells.removeLast();
        if (cells.isEmpty())
            continue;
        line = QByteArray::number(row + 1);
        for (const QByteArray& cell : cells) {
            line += '\t';
            appendEscaped(line, cell);
        }
        line += '\n';
        if (std::fwrite(line.constData(), 1, size_t(line.size()), stdout) != size_t(line.size()))
            return Unreadable;
    }
    return std::fflush(stdout) == 0 ? Done : Unreadable;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: pharmacy-xls-reader FILE\n", stderr);
        return Usage;
    }
    const void* handle = nullptr;
    if (freexl_open(argv[1], &handle) != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        return Unreadable;
    }
    const int status = readSheet(handle);
    freexl_close(handle);
    return status;
}
