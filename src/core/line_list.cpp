#include "core/line_list.h"

namespace ph {

LineList::LineList(QStringList captions, int nameColumn, int codeColumn)
    : m_captions(std::move(captions)), m_nameColumn(nameColumn), m_codeColumn(codeColumn) {
    clear();
}

void LineList::clear() {
    m_rows = {m_captions, emptyRow()};
}

QStringList LineList::emptyRow() const {
    QStringList row;
    row.reserve(columnCount());
    for (int i = 0; i < columnCount(); ++i)
        row.append(QString());
    return row;
}

QStringList LineList::fitted(QStringList cells, int row) const {
    while (cells.size() < columnCount())
        cells.append(QString());
    cells = cells.mid(0, columnCount());
    cells[0] = QString::number(row);
    return cells;
}

void LineList::setCell(int row, int column, const QString& text) {
    m_rows[row][column] = text;
}

bool LineList::isLine(int row) const {
    if (row < 1 || row >= rowCount()) return false;
    return !m_rows.at(row).at(m_nameColumn).isEmpty() || !m_rows.at(row).at(m_codeColumn).isEmpty();
}

int LineList::lineCount() const {
    int count = 0;
    for (int row = 1; row < rowCount(); ++row)
        count += isLine(row) ? 1 : 0;
    return count;
}

QList<QStringList> LineList::lines() const {
    return m_rows.mid(1, rowCount() - 2);
}

int LineList::append(QStringList cells) {
    const int row = lastRow();
    m_rows[row] = fitted(std::move(cells), row);
    m_rows.append(emptyRow());
    return row;
}

void LineList::rewrite(int row, QStringList cells) {
    m_rows[row] = fitted(std::move(cells), row);
}

void LineList::remove(int row) {
    if (row < 1 || row >= lastRow()) return;
    m_rows.removeAt(row);
    renumber();
}

void LineList::compact() {
    QList<QStringList> kept = {m_rows.first()};
    for (int row = 1; row < rowCount(); ++row)
        if (!m_rows.at(row).at(m_codeColumn).isEmpty()) kept.append(m_rows.at(row));
    kept.append(emptyRow());
    m_rows = std::move(kept);
    renumber();
}

void LineList::renumber() {
    for (int row = 1; row < lastRow(); ++row)
        m_rows[row][0] = QString::number(row);
}

} // namespace ph
