#include "core/amount_words.h"

#include "core/error.h"

namespace ph {
namespace {

const char16_t* const kHundreds[] = {u"", u"يكصد و", u"دويست و", u"سيصد و", u"چهارصد و",
                                     u"پانصد و", u"ششصد و", u"هفتصد و", u"هشتصد و", u"نهصد و"};
const char16_t* const kTens[] = {u"", u"", u"بيست و", u"سي و", u"چهل و",
                                 u"پنجاه و", u"شصت و", u"هفتاد و", u"هشتاد و", u"نود و"};
const char16_t* const kUnits[] = {u"", u"يك", u"دو", u"سه", u"چهار", u"پنج", u"شش", u"هفت", u"هشت", u"نه"};
const char16_t* const kTeens[] = {u"ده",     u"يازده",  u"دوازده", u"سيزده", u"چهارده",
                                  u"پانزده", u"شانزده", u"هفده",   u"هجده",  u"نوزده"};
// Scale words from the most significant group; the last group's is a blank.
const char16_t* const kScales[] = {u"ميليارد و", u"ميليون و", u"هزار و", u" "};

int digitAt(const QString& text, int i) { return text.at(i).unicode() - u'0'; }

// Trims and drops one final conjunction "و" (the word, not the last letter of "دو"),
// then trims again so no double blank is left behind.
QString withoutTrailingAnd(QString text) {
    text = text.trimmed();
    if (text == u"و" || text.endsWith(u" و"))
        text.chop(1);
    return text.trimmed();
}

QString groupInWords(const QString& group) {
    QString text = QString::fromUtf16(kHundreds[digitAt(group, 0)]) + u' ';
    if (digitAt(group, 1) == 1) {
        text += QString::fromUtf16(kTeens[digitAt(group, 2)]) + u' ';
    } else {
        text += QString::fromUtf16(kTens[digitAt(group, 1)]) + u' ';
        text += QString::fromUtf16(kUnits[digitAt(group, 2)]) + u' ';
    }
    return withoutTrailingAnd(text) + u' ';
}

} // namespace

QString amountInWords(const QString& digits) {
    if (digits.isEmpty() || digits.size() > 12)
        throw Error(QStringLiteral("amount in words needs 1 to 12 digits: \"%1\"").arg(digits));
    for (QChar c : digits)
        if (c < u'0' || c > u'9')
            throw Error(QStringLiteral("amount in words needs 1 to 12 digits: \"%1\"").arg(digits));

    QString padded = digits;
    while (padded.size() % 3 != 0)
        padded.prepend(u'0');
    const int groups = int(padded.size() / 3);
    if (groups == 1)
        return groupInWords(padded);

    QString text;
    for (int g = 0; g < groups; ++g) {
        const QString words = groupInWords(padded.mid(g * 3, 3));
        if (!words.trimmed().isEmpty())
            text += words + QString::fromUtf16(kScales[4 - groups + g]) + u' ';
    }
    return withoutTrailingAnd(text);
}

} // namespace ph
