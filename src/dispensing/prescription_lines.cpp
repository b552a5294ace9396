#include "dispensing/prescription_lines.h"

#include "dispensing/dispensing_texts.h"

namespace ph {

PrescriptionLines::PrescriptionLines() {
    clear();
}

void PrescriptionLines::clear() {
    m_rows = {texts::kLineCaptions, emptyRow()};
}

QStringList PrescriptionLines::emptyRow() {
    QStringList row;
    row.reserve(kColumns);
    for (int i = 0; i < kColumns; ++i)
        row.append(QString());
    return row;
}

QStringList PrescriptionLines::fitted(QStringList cells, int row) {
    while (cells.size() < kColumns)
        cells.append(QString());
    cells = cells.mid(0, kColumns);
    cells[RowNumber] = QString::number(row);
    return cells;
}

void PrescriptionLines::setCell(int row, int column, const QString& text) {
    m_rows[row][column] = text;
}

bool PrescriptionLines::isLine(int row) const {
    if (row < 1 || row >= rowCount()) return false;
    return !m_rows.at(row).at(Name).isEmpty() || !m_rows.at(row).at(Code).isEmpty();
}

int PrescriptionLines::lineCount() const {
    int count = 0;
    for (int row = 1; row < rowCount(); ++row)
        count += isLine(row) ? 1 : 0;
    return count;
}

QList<QStringList> PrescriptionLines::lines() const {
    return m_rows.mid(1, rowCount() - 2);
}

int PrescriptionLines::append(QStringList cells) {
    const int row = lastRow();
    m_rows[row] = fitted(std::move(cells), row);
    m_rows.append(emptyRow());
    return row;
}

void PrescriptionLines::rewrite(int row, QStringList cells) {
    m_rows[row] = fitted(std::move(cells), row);
}

void PrescriptionLines::remove(int row) {
    if (row < 1 || row >= lastRow()) return;
    m_rows.removeAt(row);
    renumber();
}

void PrescriptionLines::compact() {
    QList<QStringList> kept = {m_rows.first()};
    for (int row = 1; row < rowCount(); ++row)
        if (!m_rows.at(row).at(Code).isEmpty()) kept.append(m_rows.at(row));
    kept.append(emptyRow());
    m_rows = std::move(kept);
    renumber();
}

void PrescriptionLines::renumber() {
    for (int row = 1; row < lastRow(); ++row)
        m_rows[row][RowNumber] = QString::number(row);
}

} // namespace ph
