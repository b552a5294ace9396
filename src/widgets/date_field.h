#pragma once

#include <QLineEdit>

namespace ph {

// A date typed day first in a masked field, with the stored yy/mm/dd (or yyyy/mm/dd) twin:
//
//     me_date_no1 = new DateField(DateField::Year::TwoDigits, this);   // mask "99/ 99/ 99"
//     me_date_no1->setStoredText(context.current_date);               // "05/09/19" shows "19/ 09/ 05"
//     ... if (!me_date_no1->isValidDate()) refuse ...; header.date_no = me_date_no1->storedText();
//
// Only the ASCII digits are typed (the mask alone would let Persian digits in). Once the year is
// known, setText("/ / 1403") fills the year alone, ready for the day and month.
// The twin is computed from the shown text, so the two can never disagree. The field only checks
// the shape of a date (month 1-12, day 1-31); whether a day exists in its month is left to the
// window, as the stored texts are compared as texts.
class DateField : public QLineEdit {
    Q_OBJECT
public:
    enum class Year { TwoDigits, FourDigits };

    explicit DateField(Year year = Year::TwoDigits, QWidget* parent = nullptr);

    // A two-digit-year date typed year first in the free mask "99/99/99" (blanks are spaces, so
    // "85/3 /7 " can be typed and the window writes it out as 85/03/07); the shown text is the
    // stored one. For the search windows that take dates as they are stored.
    static DateField* yearFirst(QWidget* parent = nullptr);

    Year year() const { return m_year; }
    bool isYearFirst() const { return m_yearFirst; }

    // The stored twin: yy/mm/dd or yyyy/mm/dd; empty while the field is empty or incomplete.
    QString storedText() const;
    // Shows a stored text day first; an empty or malformed text empties the field.
    void setStoredText(const QString& stored);

    // Every position of the mask is filled.
    bool isComplete() const;
    // Complete, with the month 1-12 and the day 1-31.
    bool isValidDate() const;
    // The same check on a stored text of either year length.
    static bool isValidStored(const QString& stored);

    // Wide enough for the whole mask in the field's font: a layout never squeezes a date to a
    // few of its characters.
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString part(int start, int length) const;

    Year m_year;
    bool m_yearFirst = false;
};

} // namespace ph
