#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace ph {

// A text as the Windows Arabic code page (1256) holds it, the form insurers' claim software
// reads byte by byte. The Persian letters the code page lacks are first written in their
// Arabic forms (Persian yeh as Arabic yeh) and Persian or Arabic-Indic
// digits as ASCII digits, as the claim files have always carried them.
struct Cp1256Text {
    QByteArray bytes;
    // The first character the code page cannot hold (after the mapping above), when there is
    // one; `bytes` then holds the text up to it.
    std::optional<char32_t> unencodable;
    int unencodableAt = -1; // its index in the given text
    bool ok() const { return !unencodable; }
};

// The Persian letters and digits mapped to the forms code page 1256 holds (see Cp1256Text).
QString toCp1256Forms(const QString& text);

// Encodes the text in code page 1256, stopping at the first character it cannot hold.
Cp1256Text encodeCp1256(const QString& text);

// Decodes code page 1256 bytes.
QString decodeCp1256(const QByteArray& bytes);

} // namespace ph
