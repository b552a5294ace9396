#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace ph {

class Clock;

struct JalaliDate {
    int year = 0; // full solar hijri year, e.g. 1405
    int month = 0;
    int day = 0;

    bool isValid() const { return year > 0 && month >= 1 && month <= 12 && day >= 1 && day <= 31; }
    // The stored form of dates: yy/mm/dd, zero-padded, 8 characters.
    QString shortText() const;
    // The four-digit-year form yyyy/mm/dd (booklet expiry dates).
    QString longText() const;
};

// Converts a Gregorian civil date through ICU's Persian calendar.
JalaliDate toJalali(const QDate& gregorian);
QDate fromJalali(const JalaliDate& jalali);

// A stored date yy/mm/dd read as a real solar date: years 50 to 99 are 1350 to 1399, 00 to 49
// are 1400 to 1449. Absent for any other text or a day the month does not have (06/07/31, 99/99/99).
std::optional<JalaliDate> jalaliFromShortText(const QString& text);

// The month and day rule the date fields check (not a calendar look-up): month 1 to 12,
// day 1 to 31, and at most 30 from month 7 on.
bool isFieldMonthDay(int month, int day);

// Today's date as yy/mm/dd, the program's "current date" everywhere.
QString todayJalaliText(const Clock& clock);

} // namespace ph
