#pragma once

// Checks of the values the prescription commands read (options, JSON fields), and the
// drug line they describe, shared by `quote` and `save`.

#include "dispensing/line_pricer.h"
#include "dispensing/pricing_types.h"

#include <QString>
#include <QStringList>

namespace ph {
class PrescriptionSession;
}

namespace ph::cli {

// Wrong usage or an unknown code: reported on standard error, exit status 2.
struct UsageError {
    QString message;
};

constexpr int kInsurerDigits = 9;
constexpr int kDrugCodeDigits = 15;
constexpr double kQuantityCeiling = 1e6;
constexpr double kPriceCeiling = 1e12;

// A value as a message quotes it: a long one is cut, so that a mistyped option does
// not fill the terminal.
QString quoted(const QString& value);
// `yes` or `no`, else a usage error naming the option.
bool choice(const QString& option, const QString& value, const QString& yes, const QString& no);
// A real solar date yy/mm/dd.
QString checkedDate(const QString& option, const QString& value);
// A time of day H:MM or HH:MM, returned as HH:MM.
QString checkedTime(const QString& option, const QString& value);
// A code: a whole number, not negative, of at most `digits` digits.
QString checkedCode(const QString& what, const QString& value, int digits);
// A quantity or a unit price: a plain positive number below the ceiling.
QString checkedAmount(const QString& what, const QString& value, double ceiling);
// A line kind as the kind field holds it, or its English name (insured, free, otc, goods).
QString kindFromOption(const QString& text);
// Today and the time of day from the clock where they were not given.
void fillMoment(QString& today, QString& time);

// A drug line: CODE, QUANTITY and optionally KIND and PRICE, as the drug list and the
// line entry fields take them. An unknown code is a usage error.
struct LineRequest {
    DrugItem drug;
    LineInput input;
};
LineRequest resolveLineRequest(const QStringList& parts, PrescriptionSession& session);

} // namespace ph::cli
