#pragma once

#include <QList>
#include <QStringList>

namespace ph {

// The line list of a document being entered (a prescription, a goods invoice): text cells
// in a fixed number of columns, the captions in row 0, the lines from row 1, and always
// one empty row at the end, into which the next line is written. Column 0 holds the line
// number; a row is a line when its name or its code cell is not empty. The windows show
// it through a Qt model (LineListModel).
class LineList {
public:
    // The captions decide the number of columns.
    LineList(QStringList captions, int nameColumn, int codeColumn);
    void clear();

    int columnCount() const { return int(m_captions.size()); }
    // Every row, captions and the empty last row included.
    int rowCount() const { return int(m_rows.size()); }
    const QStringList& row(int index) const { return m_rows.at(index); }
    QString cell(int row, int column) const { return m_rows.at(row).at(column); }
    void setCell(int row, int column, const QString& text);

    // The rows that hold a line (with a name or a code).
    bool isLine(int row) const;
    int lineCount() const;
    // The lines' cells, rows 1 up to the empty last row (excluded).
    QList<QStringList> lines() const;
    // The empty last row, where the next line goes.
    int lastRow() const { return rowCount() - 1; }

    // Writes a new line into the empty last row (column 0 gets its row index) and adds
    // an empty row after it. Returns the row written.
    int append(QStringList cells);
    // Writes a line into an existing row (column 0 gets the row index); cells not given
    // are left empty, so nothing of the row's former line stays behind.
    void rewrite(int row, QStringList cells);
    // Removes a line; the rows below move up and column 0 is numbered again from 1.
    void remove(int row);
    // Removes every row whose code cell is empty, numbers the lines again from 1 and
    // ends the list with one empty row.
    void compact();

private:
    QStringList emptyRow() const;
    QStringList fitted(QStringList cells, int row) const;
    void renumber();

    QStringList m_captions;
    int m_nameColumn;
    int m_codeColumn;
    QList<QStringList> m_rows;
};

} // namespace ph
