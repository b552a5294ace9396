#pragma once

#include <QString>
#include <QStringList>

namespace ph {

// The four parts of a social-security insurance number: the ten-digit base number, the
// four-digit insurance number, the two-digit booklet and the two-digit page.
struct InsNoParts {
    QString base;   // edtMeliCode
    QString insNo;  // edtInsNo
    QString bookNo; // edtBookNo
    QString pageNo; // edtPageNo

    bool operator==(const InsNoParts&) const = default;
};

// The dashed form stored in InsNoTamin: base-insNo-bookNo-pageNo, with an empty insurance
// number given as "0000" and an empty booklet or page as "00". Nothing is padded or cut
// here, and an empty base stays empty ("-0000-00-00").
QString FormatInsNo(const QString& base, const QString& insNo, const QString& bookNo, const QString& pageNo);
inline QString FormatInsNo(const InsNoParts& parts) {
    return FormatInsNo(parts.base, parts.insNo, parts.bookNo, parts.pageNo);
}

// The parts of a stored dashed form, cut at its fixed positions (characters 1-10, 12-15,
// 17-18 and 20-21, each as far as the text reaches). An empty insurance number, booklet or
// page then reads "0000", "00", "00"; an empty text gives an empty base and those three.
InsNoParts SetInsNo(const QString& text);

// The plain form stored in sh_bimeh: the four parts joined without separators.
QString plainInsNo(const InsNoParts& parts);

// A part with "0" put in front until it holds `width` characters (what leaving the
// insurance-number, booklet and page fields does).
QString padInsNoPart(const QString& part, int width);

// Whether the insurer takes the four-part number: its code is listed among the
// social-security insurer codes (Tanzimat.TaminCode). Codes compare as whole numbers, so
// "05" and "5" name the same insurer.
bool isSocialSecurityInsurer(const QStringList& taminCodes, const QString& insurerCode);

} // namespace ph
