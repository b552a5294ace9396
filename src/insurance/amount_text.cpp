#include "insurance/amount_text.h"

#include "core/amounts.h"
#include "core/error.h"

#include <QRegularExpression>

namespace ph {

double amountFromText(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (QChar c : text.trimmed()) {
        const int digit = c.digitValue();
        plain.append(digit >= 0 ? QChar(u'0' + digit) : c);
    }
    static const QRegularExpression number(QStringLiteral("^-?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    if (!number.match(plain).hasMatch())
        throw Error(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return plain.toDouble();
}

QString amountText(double amount) {
    return plainDecimalText(amount);
}

} // namespace ph
