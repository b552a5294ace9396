#pragma once

#include <QDate>
#include <QString>

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

// Today's date as yy/mm/dd, the program's "current date" everywhere.
QString todayJalaliText(const Clock& clock);

} // namespace ph
