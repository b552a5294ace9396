#include "cli/option_checks.h"

#include "core/amounts.h"
#include "core/clock.h"
#include "core/jalali_date.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/line_kind.h"
#include "dispensing/prescription_session.h"

#include <QHash>
#include <QRegularExpression>

namespace ph::cli {

QString quoted(const QString& value) {
    constexpr int kShown = 24;
    return u'"' + (value.size() > kShown ? value.left(kShown) + QStringLiteral("…") : value) + u'"';
}

bool choice(const QString& option, const QString& value, const QString& yes, const QString& no) {
    if (value == yes) return true;
    if (value == no) return false;
    throw UsageError{QStringLiteral("%1 takes %2 or %3, not %4").arg(option, yes, no, quoted(value))};
}

QString checkedDate(const QString& option, const QString& value) {
    if (!jalaliFromShortText(value))
        throw UsageError{QStringLiteral("%1 takes a real date as YY/MM/DD, not %2").arg(option, quoted(value))};
    return value;
}

QString checkedTime(const QString& option, const QString& value) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d\\d?):(\\d\\d)$"));
    const auto match = pattern.match(value);
    const int hour = match.hasMatch() ? match.captured(1).toInt() : -1;
    if (hour < 0 || hour > 23 || match.captured(2).toInt() > 59)
        throw UsageError{QStringLiteral("%1 takes HH:MM, not %2").arg(option, quoted(value))};
    return QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(match.captured(2));
}

QString checkedCode(const QString& what, const QString& value, int digits) {
    static const QRegularExpression pattern(QStringLiteral("^\\d+$"));
    if (!pattern.match(value).hasMatch() || value.size() > digits)
        throw UsageError{QStringLiteral("%1 is not %2").arg(quoted(value), what)};
    return value;
}

QString checkedAmount(const QString& what, const QString& value, double ceiling) {
    static const QRegularExpression pattern(QStringLiteral("^\\d{1,13}(\\.\\d{1,6})?$"));
    if (!pattern.match(value).hasMatch() || !(value.toDouble() > 0) || !(value.toDouble() < ceiling))
        throw UsageError{QStringLiteral("%1 is not %2").arg(quoted(value), what)};
    return value;
}

QString kindFromOption(const QString& text) {
    static const QHash<QString, QString> aliases = {{QStringLiteral("insured"), texts::kInsured},
                                                    {QStringLiteral("free"), texts::kFree},
                                                    {QStringLiteral("otc"), texts::kOtc},
                                                    {QStringLiteral("goods"), texts::kGoods}};
    if (isKindText(text)) return text.trimmed();
    if (aliases.contains(text.toLower())) return aliases.value(text.toLower());
    throw UsageError{QStringLiteral("unknown line kind %1 (%2)").arg(quoted(text), texts::kKindInvalid)};
}

void fillMoment(QString& today, QString& time) {
    SystemClock clock;
    if (today.isEmpty()) today = todayJalaliText(clock);
    if (time.isEmpty()) time = clock.now().time().toString(QStringLiteral("HH:mm"));
}

LineRequest resolveLineRequest(const QStringList& parts, PrescriptionSession& session) {
    const QString codeText = checkedCode(QStringLiteral("a drug code"), parts.value(0).trimmed(), kDrugCodeDigits);
    const std::optional<DrugItem> drug = session.findDrug(codeText.toDouble());
    if (!drug)
        throw UsageError{
            session.stockKeeping()
                ? QStringLiteral("unknown drug code %1 (not in the pharmacy's stock list)").arg(codeText)
                : QStringLiteral("unknown drug code %1").arg(codeText)};
    LineRequest line{*drug, {}};
    line.input.quantity = checkedAmount(QStringLiteral("a quantity"), parts.value(1).trimmed(), kQuantityCeiling);
    const QString kind = parts.value(2).trimmed();
    line.input.kind = kind.isEmpty() ? session.kindForChosen(*drug) : kindFromOption(kind);
    QString price = parts.value(3).trimmed();
    if (!price.isEmpty()) price = checkedAmount(QStringLiteral("a unit price"), price, kPriceCeiling);
    line.input.price = !price.isEmpty()  ? price
                       : drug->listPrice ? plainDecimalText(*drug->listPrice)
                                         : QString();
    return line;
}

} // namespace ph::cli
