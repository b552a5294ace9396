#pragma once

#include <QList>
#include <QStyledItemDelegate>

namespace ph {

// How numbers read on screen. The models keep plain values (numbers stay numbers, so sorting
// and locating work on them); only what is drawn changes.
//   amount: 380000 -> "380,000"; 12.5 -> "12.5"; -1250 -> "-1,250"
//   code:   1010000 -> "1010000" (a whole number, no separators, never 1.01e+06)
// With `persianDigits` the digits are drawn as Persian digits and the separator as the Persian
// thousands separator.
QString amountDisplayText(double amount, bool persianDigits = false);
QString codeDisplayText(double code, bool persianDigits = false);

// True when the locale draws Persian digits (the digits setting of the program is carried by the
// default locale; Latin digits unless the user chose Persian ones).
bool drawsPersianDigits(const QLocale& locale);

// The grids' way of drawing numbers: a number in a code column is drawn as a code, any other
// number as an amount; texts, dates and check boxes are drawn as they are, except a text holding a
// number in a column the window names as amounts (document line lists keep their cells as
// text). A column is a code column when the window names it so, or when its caption says it is
// a code ("كد" / "کد").
class NumberDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit NumberDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    void setCodeColumns(const QList<int>& columns) { m_codeColumns = columns; }
    void setAmountColumns(const QList<int>& columns) { m_amountColumns = columns; }
    bool isCodeColumn(const QModelIndex& index) const;

    QString displayText(const QVariant& value, const QLocale& locale) const override;
    // Public so that tests and printing can ask for a cell's text as drawn.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    QList<int> m_codeColumns;
    QList<int> m_amountColumns;
};

} // namespace ph
