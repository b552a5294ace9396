#include "insurance/ins_no.h"

namespace ph {

QString FormatInsNo(const QString& base, const QString& insNo, const QString& bookNo, const QString& pageNo) {
    const QString dash = QStringLiteral("-");
    return base + dash + (insNo.isEmpty() ? QStringLiteral("0000") : insNo) + dash +
           (bookNo.isEmpty() ? QStringLiteral("00") : bookNo) + dash +
           (pageNo.isEmpty() ? QStringLiteral("00") : pageNo);
}

InsNoParts SetInsNo(const QString& text) {
    InsNoParts parts; // an empty text leaves every part empty before the defaults below
    parts.base = text.mid(0, 10);
    parts.insNo = text.mid(11, 4);
    parts.bookNo = text.mid(16, 2);
    parts.pageNo = text.mid(19, 2);
    if (parts.insNo.isEmpty()) parts.insNo = QStringLiteral("0000");
    if (parts.bookNo.isEmpty()) parts.bookNo = QStringLiteral("00");
    if (parts.pageNo.isEmpty()) parts.pageNo = QStringLiteral("00");
    return parts;
}

QString plainInsNo(const InsNoParts& parts) {
    return parts.base + parts.insNo + parts.bookNo + parts.pageNo;
}

QString padInsNoPart(const QString& part, int width) {
    return part.size() >= width ? part : QString(width - part.size(), u'0') + part;
}

bool isSocialSecurityInsurer(const QStringList& taminCodes, const QString& insurerCode) {
    bool ok = false;
    const qlonglong insurer = insurerCode.trimmed().toLongLong(&ok);
    if (!ok) return false;
    for (const QString& listed : taminCodes) {
        bool listedOk = false;
        if (listed.trimmed().toLongLong(&listedOk) == insurer && listedOk) return true;
    }
    return false;
}

} // namespace ph
