#include "core/jalali_date.h"

#include "core/clock.h"

#include <QRegularExpression>

#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <memory>
#include <stdexcept>

namespace ph {
namespace {

// A calendar on GMT so that a civil date maps to a civil date without time-zone shifts.
std::unique_ptr<icu::Calendar> makeCalendar(const char* locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> cal(
        icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(), icu::Locale(locale), status));
    if (U_FAILURE(status) || !cal)
        throw std::runtime_error("ICU calendar unavailable");
    return cal;
}

// The solar calendar of this thread: making one reads the locale's data, which cost more than
// the conversion itself, so each thread makes it once. Every use sets it whole first.
icu::Calendar& solarCalendar() {
    thread_local const std::unique_ptr<icu::Calendar> calendar = makeCalendar("fa_IR@calendar=persian");
    return *calendar;
}

UDate noonOf(const QDate& date) {
    UErrorCode status = U_ZERO_ERROR;
    thread_local const std::unique_ptr<icu::GregorianCalendar> made = [] {
        UErrorCode made = U_ZERO_ERROR;
        auto greg = std::make_unique<icu::GregorianCalendar>(*icu::TimeZone::getGMT(), made);
        // Proleptic Gregorian everywhere, as QDate is.
        greg->setGregorianChange(-8.64e15, made);
        if (U_FAILURE(made)) throw std::runtime_error("ICU calendar unavailable");
        return greg;
    }();
    icu::GregorianCalendar& greg = *made;
    greg.clear();
    greg.set(date.year(), date.month() - 1, date.day(), 12, 0, 0);
    UDate at = greg.getTime(status);
    if (U_FAILURE(status))
        throw std::runtime_error("ICU date conversion failed");
    return at;
}

QString twoDigits(int n) { return QStringLiteral("%1").arg(n % 100, 2, 10, QLatin1Char('0')); }

} // namespace

QString JalaliDate::shortText() const {
    return twoDigits(year) + u'/' + twoDigits(month) + u'/' + twoDigits(day);
}

QString JalaliDate::longText() const {
    return QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0')) + u'/' + twoDigits(month) + u'/' +
           twoDigits(day);
}

JalaliDate toJalali(const QDate& gregorian) {
    icu::Calendar* cal = &solarCalendar();
    UErrorCode status = U_ZERO_ERROR;
    cal->clear();
    cal->setTime(noonOf(gregorian), status);
    JalaliDate out;
    out.year = cal->get(UCAL_EXTENDED_YEAR, status);
    out.month = cal->get(UCAL_MONTH, status) + 1;
    out.day = cal->get(UCAL_DATE, status);
    if (U_FAILURE(status))
        throw std::runtime_error("ICU date conversion failed");
    return out;
}

QDate fromJalali(const JalaliDate& jalali) {
    icu::Calendar* cal = &solarCalendar();
    UErrorCode status = U_ZERO_ERROR;
    cal->clear();
    cal->set(UCAL_EXTENDED_YEAR, jalali.year);
    cal->set(UCAL_MONTH, jalali.month - 1);
    cal->set(UCAL_DATE, jalali.day);
    cal->set(UCAL_HOUR_OF_DAY, 12);
    UDate at = cal->getTime(status);
    if (U_FAILURE(status))
        return {};
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(at), Qt::UTC).date();
}

std::optional<JalaliDate> jalaliFromShortText(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d\\d)/(\\d\\d)/(\\d\\d)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) return std::nullopt;
    const int yy = match.captured(1).toInt();
    const JalaliDate date{yy >= 50 ? 1300 + yy : 1400 + yy, match.captured(2).toInt(), match.captured(3).toInt()};
    if (!date.isValid()) return std::nullopt;
    // ICU rolls a day past the month's end into the next month: such a day does not exist.
    const QDate gregorian = fromJalali(date);
    if (!gregorian.isValid()) return std::nullopt;
    const JalaliDate back = toJalali(gregorian);
    if (back.year != date.year || back.month != date.month || back.day != date.day) return std::nullopt;
    return date;
}

bool isFieldMonthDay(int month, int day) {
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && !(month >= 7 && day > 30);
}

QString todayJalaliText(const Clock& clock) { return toJalali(clock.now().date()).shortText(); }

} // namespace ph
