#include "widgets/date_field.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace ph {

namespace {
// Shown as "dd/ mm/ yy" or "dd/ mm/ yyyy": the day at 0, the month at 4, the year at 8.
constexpr int kDayAt = 0;
constexpr int kMonthAt = 4;
constexpr int kYearAt = 8;

// A whole number written with the ASCII digits only; -1 otherwise.
int digitsValue(const QString& text) {
    if (text.isEmpty()) return -1;
    int value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9') return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}
} // namespace

DateField::DateField(Year year, QWidget* parent) : QLineEdit(parent), m_year(year) {
    setInputMask(year == Year::TwoDigits ? QStringLiteral("99/ 99/ 99;_") : QStringLiteral("99/ 99/ 9999;_"));
    setLayoutDirection(Qt::LeftToRight);
    setInputMethodHints(Qt::ImhDigitsOnly);
}

DateField* DateField::yearFirst(QWidget* parent) {
    auto* field = new DateField(Year::TwoDigits, parent);
    field->m_yearFirst = true;
    field->setInputMask(QStringLiteral("99/99/99"));
    return field;
}

QString DateField::part(int start, int length) const {
    return displayText().mid(start, length);
}

QString DateField::storedText() const {
    if (!isComplete()) return {};
    if (m_yearFirst) return displayText();
    const int yearLength = m_year == Year::TwoDigits ? 2 : 4;
    return part(kYearAt, yearLength) + u'/' + part(kMonthAt, 2) + u'/' + part(kDayAt, 2);
}

void DateField::setStoredText(const QString& stored) {
    const QStringList parts = stored.split(u'/');
    if (m_yearFirst) {
        if (parts.size() == 3 && parts[0].size() == 2 && parts[1].size() == 2 && parts[2].size() == 2)
            setText(stored);
        else
            clear();
        return;
    }
    const int yearLength = m_year == Year::TwoDigits ? 2 : 4;
    if (parts.size() != 3 || parts[0].size() != yearLength || parts[1].size() != 2 || parts[2].size() != 2) {
        clear();
        return;
    }
    setText(parts[2] + QStringLiteral("/ ") + parts[1] + QStringLiteral("/ ") + parts[0]);
}

bool DateField::isComplete() const {
    if (!hasAcceptableInput()) return false;
    const QString shown = displayText();
    if (m_yearFirst) {
        for (int at : {0, 1, 3, 4, 6, 7})
            if (shown[at] < u'0' || shown[at] > u'9') return false;
        return true;
    }
    for (int at : {kDayAt, kDayAt + 1, kMonthAt, kMonthAt + 1})
        if (shown[at] < u'0' || shown[at] > u'9') return false;
    for (qsizetype at = kYearAt; at < shown.size(); ++at)
        if (shown[at] < u'0' || shown[at] > u'9') return false;
    return true;
}

void DateField::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.size() == 1 && text[0].isDigit() && (text[0] < u'0' || text[0] > u'9')) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

QSize DateField::minimumSizeHint() const {
    QSize hint = QLineEdit::minimumSizeHint();
    ensurePolished();
    const QFontMetrics metrics(font());
    // Every place of the mask measured as its widest possible character (a digit or the blank).
    int widest = metrics.horizontalAdvance(u'_');
    for (char16_t digit = u'0'; digit <= u'9'; ++digit) widest = std::max(widest, metrics.horizontalAdvance(QChar(digit)));
    const QString shape = m_yearFirst ? QStringLiteral("99/99/99")
                          : m_year == Year::TwoDigits ? QStringLiteral("99/ 99/ 99")
                                                      : QStringLiteral("99/ 99/ 9999");
    int textWidth = 0;
    for (QChar c : shape) textWidth += c == u'9' ? widest : metrics.horizontalAdvance(c);
    // The line edit's own inner margin (2 px a side) and the cursor, then the frame the style adds.
    const QMargins margins = textMargins();
    const int inner = textWidth + 2 * 2 + 1 + margins.left() + margins.right();
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QSize framed = style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, hint.height()), this);
    hint.setWidth(std::max(hint.width(), framed.width()));
    return hint;
}

QSize DateField::sizeHint() const {
    return QLineEdit::sizeHint().expandedTo(minimumSizeHint());
}

bool DateField::isValidDate() const {
    return isValidStored(storedText());
}

bool DateField::isValidStored(const QString& stored) {
    const QStringList parts = stored.split(u'/');
    if (parts.size() != 3 || (parts[0].size() != 2 && parts[0].size() != 4) || parts[1].size() != 2 ||
        parts[2].size() != 2)
        return false;
    const int month = digitsValue(parts[1]);
    const int day = digitsValue(parts[2]);
    return digitsValue(parts[0]) >= 0 && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

} // namespace ph
