#pragma once

#include <QString>

#include <optional>

namespace ph {

// The insurer code of a prescription as its insurer field holds it: empty for an
// over-the-counter sale, "0" for no insurer, or an insurer's code (organs_m.code).
// Parsed once where the text comes in; the rules ask it, not the text.
class InsurerCode {
public:
    InsurerCode() = default;
    // The field's text, trimmed; a two-digit code below 10 ("05") is cut to its second digit.
    static InsurerCode fromText(const QString& text);

    // The code as the field shows it and the prescription stores it.
    const QString& text() const { return m_text; }
    // No code typed: the lines are sold over the counter.
    bool isEmpty() const { return m_text.isEmpty(); }
    // "0": no insurer, the lines are free.
    bool isNone() const { return m_number && *m_number == 0; }
    // The code as a number when it is made of digits only.
    std::optional<int> number() const { return m_number; }
    // An insurer's code: a number above 0.
    bool isInsurer() const { return m_number && *m_number > 0; }

    bool operator==(const InsurerCode& other) const { return m_text == other.m_text; }

private:
    QString m_text;
    std::optional<int> m_number;
};

} // namespace ph
