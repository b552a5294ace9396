#include "dispensing/insurer_code.h"

#include <algorithm>

namespace ph {

InsurerCode InsurerCode::fromText(const QString& text) {
    InsurerCode code;
    code.m_text = text.trimmed();
    const bool digitsOnly = !code.m_text.isEmpty() && code.m_text.size() <= 9 &&
                            std::all_of(code.m_text.cbegin(), code.m_text.cend(),
                                        [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digitsOnly) return code;
    if (code.m_text.size() == 2 && code.m_text.at(0) == u'0') code.m_text = code.m_text.mid(1);
    code.m_number = code.m_text.toInt();
    return code;
}

} // namespace ph
