#include "core/cp1256_text.h"

#include "core/error.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <algorithm>
#include <memory>

namespace ph {
namespace {

using Converter = std::unique_ptr<UConverter, decltype(&ucnv_close)>;

Converter openConverter() {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open("windows-1256", &status), &ucnv_close);
    if (U_FAILURE(status))
        throw Error(QStringLiteral("code page 1256 is not available: ") + QString::fromLatin1(u_errorName(status)));
    return converter;
}

} // namespace

QString toCp1256Forms(const QString& text) {
    QString mapped = text;
    for (QChar& c : mapped) {
        const char16_t u = c.unicode();
        if (u == 0x06CC) // Persian yeh
            c = QChar(0x064A);
        else if (u >= 0x06F0 && u <= 0x06F9) // Persian digits
            c = QChar(u'0' + (u - 0x06F0));
        else if (u >= 0x0660 && u <= 0x0669) // Arabic-Indic digits
            c = QChar(u'0' + (u - 0x0660));
    }
    return mapped;
}

Cp1256Text encodeCp1256(const QString& text) {
    Cp1256Text result;
    const QString mapped = toCp1256Forms(text);
    if (mapped.isEmpty()) return result;
    // Numbers, dates and codes are plain ASCII, which the code page holds byte for byte:
    // no converter is opened for them.
    if (std::all_of(mapped.cbegin(), mapped.cend(), [](QChar c) { return c.unicode() < 0x80; })) {
        result.bytes = mapped.toLatin1();
        return result;
    }
    Converter converter = openConverter();
    UErrorCode status = U_ZERO_ERROR;
    // Stop at the first character the code page lacks instead of writing a substitute.
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status)) throw Error(QStringLiteral("code page 1256: ") + QString::fromLatin1(u_errorName(status)));

    // One byte per character at most; a surrogate pair is one unencodable character.
    QByteArray bytes(mapped.size() + 1, '\0');
    const UChar* source = reinterpret_cast<const UChar*>(mapped.utf16());
    const UChar* const sourceStart = source;
    const UChar* const sourceEnd = source + mapped.size();
    char* target = bytes.data();
    char* const targetStart = target;
    ucnv_fromUnicode(converter.get(), &target, target + bytes.size(), &source, sourceEnd, nullptr, true, &status);
    bytes.truncate(int(target - targetStart));
    if (status == U_INVALID_CHAR_FOUND || status == U_ILLEGAL_CHAR_FOUND) {
        UChar invalid[4];
        int8_t length = 4;
        UErrorCode ignored = U_ZERO_ERROR;
        ucnv_getInvalidUChars(converter.get(), invalid, &length, &ignored);
        const int index = int(source - sourceStart) - length;
        result.unencodableAt = index < 0 ? 0 : index;
        result.unencodable = length == 2 && QChar::isHighSurrogate(invalid[0])
                                 ? char32_t(QChar::surrogateToUcs4(invalid[0], invalid[1]))
                                 : char32_t(invalid[0]);
    } else if (U_FAILURE(status)) {
        throw Error(QStringLiteral("code page 1256: ") + QString::fromLatin1(u_errorName(status)));
    }
    result.bytes = bytes;
    return result;
}

QString decodeCp1256(const QByteArray& bytes) {
    if (bytes.isEmpty()) return {};
    Converter converter = openConverter();
    UErrorCode status = U_ZERO_ERROR;
    QString text(bytes.size(), Qt::Uninitialized);
    const int32_t length = ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()), int32_t(text.size()),
                                         bytes.constData(), int32_t(bytes.size()), &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING)
        throw Error(QStringLiteral("code page 1256: ") + QString::fromLatin1(u_errorName(status)));
    text.truncate(length);
    return text;
}

} // namespace ph
