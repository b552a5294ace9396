#include "widgets/number_delegate.h"

#include "core/amounts.h"

#include <QLocale>

#include <cmath>

namespace ph {
namespace {

constexpr char16_t kPersianZero = u'\u06F0';
constexpr char16_t kPersianThousands = u'\u066C';
constexpr char16_t kPersianDecimal = u'\u066B';

QString toPersianDigits(QString text) {
    for (QChar& c : text) {
        if (c >= u'0' && c <= u'9')
            c = QChar(char16_t(kPersianZero + (c.unicode() - u'0')));
        else if (c == u',')
            c = QChar(kPersianThousands);
        else if (c == u'.')
            c = QChar(kPersianDecimal);
    }
    return text;
}

// Groups the whole part of a plain decimal text by thousands: "-1234567.5" -> "-1,234,567.5".
// A code column keeps its number whole whatever its type.
bool isNumber(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

} // namespace

QString amountDisplayText(double amount, bool persianDigits) {
    const QString text = groupedAmountText(amount);
    return persianDigits ? toPersianDigits(text) : text;
}

QString codeDisplayText(double code, bool persianDigits) {
    const QString text = std::isfinite(code) ? plainDecimalText(std::trunc(code)) : QStringLiteral("0");
    return persianDigits ? toPersianDigits(text) : text;
}

bool drawsPersianDigits(const QLocale& locale) {
    return locale.zeroDigit() == QString(QChar(kPersianZero));
}

bool NumberDelegate::isCodeColumn(const QModelIndex& index) const {
    if (m_codeColumns.contains(index.column())) return true;
    if (m_amountColumns.contains(index.column()) || !index.model()) return false;
    QString caption = index.model()->headerData(index.column(), Qt::Horizontal).toString();
    caption.remove(QChar(u'\u0640')); // the stretching stroke of "كــــد"
    return caption.contains(QStringLiteral("كد")) || caption.contains(QStringLiteral("کد"));
}

QString NumberDelegate::displayText(const QVariant& value, const QLocale& locale) const {
    if (!isNumber(value)) return QStyledItemDelegate::displayText(value, locale);
    return amountDisplayText(value.toDouble(), drawsPersianDigits(locale));
}

void NumberDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant value = index.data(Qt::DisplayRole);
    if (isNumber(value) && isCodeColumn(index))
        option->text = codeDisplayText(value.toDouble(), drawsPersianDigits(option->locale));
    // Document line lists keep their cells as text; a column the window names as amounts is
    // drawn grouped all the same.
    if (value.typeId() == QMetaType::QString && m_amountColumns.contains(index.column())) {
        bool ok = false;
        const double amount = value.toString().trimmed().toDouble(&ok);
        if (ok) option->text = amountDisplayText(amount, drawsPersianDigits(option->locale));
    }
}

} // namespace ph
