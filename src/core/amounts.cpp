#include "core/amounts.h"

#include "core/error.h"

#include <QRegularExpression>

#include <charconv>
#include <cmath>

namespace ph {

double roundRial(double amount) { return std::nearbyint(amount); } // default rounding mode: ties to even

QString plainDecimalText(double amount) {
    if (amount == 0.0 || !std::isfinite(amount))
        return QStringLiteral("0");
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, amount, std::chars_format::fixed);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString wholeRialText(double amount) { return plainDecimalText(roundRial(amount)); }

namespace {

// The text trimmed, with Persian and Arabic-Indic digits written as Latin ones.
QString latinDigits(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (QChar c : text.trimmed()) {
        const int digit = c.digitValue();
        plain.append(digit >= 0 ? QChar(u'0' + digit) : c);
    }
    return plain;
}

} // namespace

int wholeNumberFromText(const QString& text) {
    const QString plain = latinDigits(text);
    static const QRegularExpression whole(QStringLiteral("^-?\\d+$"));
    bool ok = false;
    const int number = whole.match(plain).hasMatch() ? plain.toInt(&ok) : 0;
    if (!ok) throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return number;
}

double amountFromText(const QString& text) {
    const QString plain = latinDigits(text);
    static const QRegularExpression number(QStringLiteral("^-?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    if (!number.match(plain).hasMatch())
        throw Error(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return plain.toDouble();
}

QString groupedAmountText(double amount) {
    const QString plain = plainDecimalText(amount);
    const bool negative = plain.startsWith(u'-');
    const QString body = negative ? plain.mid(1) : plain;
    const qsizetype point = body.indexOf(u'.');
    const QString whole = point < 0 ? body : body.left(point);
    QString out;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) out.append(u',');
        out.append(whole.at(i));
    }
    if (point >= 0) out.append(body.mid(point));
    return negative ? QStringLiteral("-") + out : out;
}

} // namespace ph
