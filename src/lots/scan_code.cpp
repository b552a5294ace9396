#include "lots/scan_code.h"

#include <QHash>

#include <optional>

namespace ph {
namespace {

const QChar kGroupSeparator(0x1D);

// The standard Persian layout: each Persian character and the Latin key that types it,
// unshifted and shifted. Where two layouts give one character (ي, ك) the standard one holds.
const QHash<QChar, QChar>& persianKeys() {
    static const QHash<QChar, QChar> keys = [] {
        QHash<QChar, QChar> map;
        const auto add = [&](const QString& persian, const char* latin) {
            for (int i = 0; i < persian.size(); ++i)
                map.insert(persian.at(i), QLatin1Char(latin[i]));
        };
        add(QStringLiteral("ضصثقفغعهخحجچ"), "qwertyuiop[]");
        add(QStringLiteral("شسیبلاتنمکگ"), "asdfghjkl;'");
        add(QStringLiteral("ظطزرذدپو"), "zxcvbnm,");
        add(QStringLiteral("۱۲۳۴۵۶۷۸۹۰"), "1234567890");
        add(QStringLiteral("١٢٣٤٥٦٧٨٩٠"), "1234567890");
        // Shifted keys.
        add(QStringLiteral("ؤئيإأآة»«ك"), "ASDFGHJKLZ");
        // The short vowels and marks, fathatan to sukun.
        const char* marks = "RWEUTYIQ";
        for (int i = 0; i < 8; ++i)
            map.insert(QChar(0x064B + i), QLatin1Char(marks[i]));
        add(QStringLiteral("ژء؟؛،٪×٬٫"), "CM?\"&%^@#");
        map.insert(QChar(0x0670), QLatin1Char('V')); // ٰ
        map.insert(QChar(0x0653), QLatin1Char('X')); // ٓ
        map.insert(QChar(0x0654), QLatin1Char('N')); // ٔ
        map.insert(QChar(0x200C), QLatin1Char('B')); // zero-width non-joiner
        map.insert(QChar(0x0640), QLatin1Char('_')); // ـ
        map.insert(QChar(0x00F7), QLatin1Char('~')); // ÷
        return map;
    }();
    return keys;
}

// Keys whose Latin character the Persian layout types on another key: only swapped back
// when the text shows the Persian layout was on.
const QHash<QChar, QChar>& persianSwappedLatin() {
    static const QHash<QChar, QChar> keys = {
        {QLatin1Char(']'), QLatin1Char('O')}, {QLatin1Char('['), QLatin1Char('P')},
        {QLatin1Char(')'), QLatin1Char('(')}, {QLatin1Char('('), QLatin1Char(')')},
        {QLatin1Char('}'), QLatin1Char('{')}, {QLatin1Char('{'), QLatin1Char('}')},
        {QLatin1Char('>'), QLatin1Char('<')}, {QLatin1Char('<'), QLatin1Char('>')},
    };
    return keys;
}

bool allDigits(QStringView text) {
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return !text.isEmpty();
}

// The characters GS1 allows in its variable fields (its character set 82).
bool isGs1Character(QChar c) {
    static const QString others = QStringLiteral("!\"%&'()*+,-./:;<=>?_");
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || others.contains(c);
}

// A GS1 date YYMMDD: years within 49 behind and 50 ahead of this century's, day 00 the
// month's last day.
std::optional<QDate> gs1Date(QStringView digits) {
    if (!allDigits(digits) || digits.size() != 6) return std::nullopt;
    const int yy = digits.first(2).toInt();
    const int month = digits.sliced(2, 2).toInt();
    const int day = digits.sliced(4, 2).toInt();
    if (month < 1 || month > 12) return std::nullopt;
    const int year = 2000 + yy;
    const QDate first(year, month, 1);
    if (day == 0) return QDate(year, month, first.daysInMonth());
    const QDate date(year, month, day);
    if (!date.isValid()) return std::nullopt;
    return date;
}

QString withGroupSeparators(QString text) {
    for (const QString& replacement : {QStringLiteral("<GS>"), QStringLiteral("{GS}"), QStringLiteral("^]"),
                                       QStringLiteral("~"), QStringLiteral("|")})
        text.replace(replacement, QString(kGroupSeparator));
    return text;
}

const QString kNotACode = QStringLiteral("كد خوانده شده معتبر نيست");

std::variant<ScannedCode, ScanRefusal> readElementString(const QString& data) {
    ScannedCode scanned;
    scanned.gs1 = true;
    int at = 0;
    const auto refuse = [](const QString& what) { return ScanRefusal{kNotACode + QStringLiteral(" (") + what + u')'}; };
    while (at < data.size()) {
        if (data.at(at) == kGroupSeparator) {
            ++at;
            continue;
        }
        const QString ai = data.mid(at, 2);
        at += 2;
        if (ai == QLatin1String("01")) {
            const QString gtin = data.mid(at, 14);
            if (gtin.size() != 14 || !allDigits(gtin) || !hasValidGtinCheckDigit(gtin))
                return refuse(QStringLiteral("GTIN"));
            scanned.code = gtin;
            at += 14;
        } else if (ai == QLatin1String("17")) {
            const std::optional<QDate> date = gs1Date(QStringView(data).sliced(at, std::min<qsizetype>(6, data.size() - at)));
            if (!date) return refuse(QStringLiteral("تاريخ انقضاء"));
            scanned.expiry = *date;
            at += 6;
        } else if (ai == QLatin1String("10") || ai == QLatin1String("21")) {
            int end = data.indexOf(kGroupSeparator, at);
            if (end < 0) end = data.size();
            QString value = data.mid(at, end - at);
            // A batch followed by an expiry without its separator: the expiry is read off the
            // end when none was read before and the date is real.
            if (ai == QLatin1String("10") && !scanned.expiry.isValid() && value.size() > 8 &&
                value.at(value.size() - 8) == u'1' && value.at(value.size() - 7) == u'7') {
                if (const std::optional<QDate> date = gs1Date(QStringView(value).last(6))) {
                    scanned.expiry = *date;
                    value.chop(8);
                }
            }
            if (value.isEmpty() || value.size() > 20) return refuse(ai == QLatin1String("10") ? QStringLiteral("سري ساخت") : QStringLiteral("سريال"));
            for (const QChar c : value)
                if (!isGs1Character(c)) return refuse(ai == QLatin1String("10") ? QStringLiteral("سري ساخت") : QStringLiteral("سريال"));
            (ai == QLatin1String("10") ? scanned.batch : scanned.serial) = value;
            at = end;
        } else if (ai == QLatin1String("11") || ai == QLatin1String("15") || ai == QLatin1String("16")) {
            // Production, best-before and sell-by dates: fixed six digits, not kept.
            if (!gs1Date(QStringView(data).sliced(at, std::min<qsizetype>(6, data.size() - at))))
                return refuse(QStringLiteral("تاريخ"));
            at += 6;
        } else if (ai.size() == 2 && allDigits(ai)) {
            // Any other field runs to its separator (prices, national codes of other schemes).
            int end = data.indexOf(kGroupSeparator, at);
            at = end < 0 ? data.size() : end;
        } else {
            return refuse(QStringLiteral("GS1"));
        }
    }
    if (scanned.code.isEmpty()) return refuse(QStringLiteral("GTIN"));
    return scanned;
}

} // namespace

bool hasValidGtinCheckDigit(const QString& digits) {
    if (!allDigits(digits) || (digits.size() != 8 && digits.size() != 12 && digits.size() != 13 && digits.size() != 14))
        return false;
    int sum = 0;
    // Weights 3 and 1 alternate from the digit before the check digit, right to left.
    for (int i = int(digits.size()) - 2, weight = 3; i >= 0; --i, weight = 4 - weight)
        sum += (digits.at(i).unicode() - u'0') * weight;
    return (10 - sum % 10) % 10 == digits.back().unicode() - u'0';
}

QString normalizedBarcode(const QString& code) {
    const QString trimmed = code.trimmed();
    if (hasValidGtinCheckDigit(trimmed)) return trimmed.rightJustified(14, u'0');
    return trimmed;
}

QString fromPersianLayout(const QString& typed) {
    const QHash<QChar, QChar>& keys = persianKeys();
    bool persian = false;
    for (const QChar c : typed)
        if (keys.contains(c)) {
            persian = true;
            break;
        }
    if (!persian) return typed;
    QString latin;
    latin.reserve(typed.size());
    for (const QChar c : typed)
        latin.append(keys.value(c, persianSwappedLatin().value(c, c)));
    return latin;
}

std::variant<ScannedCode, ScanRefusal> readScan(const QString& typed) {
    QString text = withGroupSeparators(fromPersianLayout(typed).trimmed());
    bool symbologyGs1 = false;
    for (const QString& prefix : {QStringLiteral("]d2"), QStringLiteral("]C1"), QStringLiteral("]Q3"), QStringLiteral("]e0")}) {
        if (text.startsWith(prefix)) {
            text.remove(0, prefix.size());
            symbologyGs1 = true;
            break;
        }
    }
    while (text.startsWith(kGroupSeparator)) text.remove(0, 1); // a leading FNC1 sent as GS
    if (text.isEmpty() || text.size() > 80) return ScanRefusal{kNotACode};
    // GS1 data: marked by its prefix, or a GTIN field followed by more fields.
    if (symbologyGs1 || text.contains(kGroupSeparator) ||
        (text.startsWith(QLatin1String("01")) && text.size() > 16 && allDigits(QStringView(text).sliced(2, 14)) &&
         hasValidGtinCheckDigit(text.mid(2, 14))))
        return readElementString(text);
    for (const QChar c : text)
        if (!(c >= u'0' && c <= u'9') && !(c >= u'A' && c <= u'Z') && !(c >= u'a' && c <= u'z') && c != u'-' &&
            c != u'.' && c != u'/')
            return ScanRefusal{kNotACode};
    ScannedCode plain;
    plain.code = normalizedBarcode(text);
    return plain;
}

QString gs1PackText(const QString& gtin14, const QDate& expiry, const QString& batch) {
    QString text = QStringLiteral("(01)") + gtin14;
    if (expiry.isValid()) text += QStringLiteral("(17)") + expiry.toString(QStringLiteral("yyMMdd"));
    const bool carried = !batch.isEmpty() && batch.size() <= 20 && !batch.contains(QLatin1Char('(')) &&
                         !batch.contains(QLatin1Char(')'));
    if (carried) text += QStringLiteral("(10)") + batch;
    return text;
}

} // namespace ph
