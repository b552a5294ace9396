#include "dispensing/header_checks.h"

#include "core/jalali_date.h"
#include "dispensing/dispensing_texts.h"

#include <QRegularExpression>

namespace ph {

bool isBlankDate(const QString& date) {
    for (QChar c : date)
        if (c.isDigit()) return false;
    return true;
}

namespace {

using Problem = std::optional<HeaderProblem>;

Problem problem(const QString& message, const char* focus) {
    return HeaderProblem{message, QString::fromLatin1(focus)};
}

bool empty(const QString& text) {
    return text.trimmed().isEmpty();
}

// The prescriber's fields, in the order they are asked for.
Problem prescriberProblem(const PrescriptionHeader& h) {
    if (empty(h.prescriberCouncil)) return problem(texts::kCouncilMissing, "me_nezam_pe");
    if (empty(h.prescriberName)) return problem(texts::kPrescriberNameMissing, "me_name_pe");
    if (empty(h.prescriberFamily)) return problem(texts::kPrescriberFamilyMissing, "me_family_pe");
    if (empty(h.specialtyCode)) return problem(texts::kSpecialtyMissing, "me_code_takhasos");
    if (empty(h.typeCode)) return problem(texts::kTypeMissing, "me_ctype_no");
    return std::nullopt;
}

// The booklet's expiry compared, as text, with the prescription date in the same form:
// a booklet expiring on the prescription's own day is still valid.
bool expired(const PrescriptionHeader& h) {
    return h.expiryDate < QStringLiteral("14") + h.prescriptionDate;
}

Problem socialSecurityProblem(const InsNoParts& n) {
    const bool complete = !n.base.isEmpty() && !n.insNo.isEmpty() && !n.bookNo.isEmpty() && !n.pageNo.isEmpty() &&
                          n.pageNo != QLatin1String("00") && n.base.size() == 10;
    if (!complete) {
        if (n.base.size() != 10) return problem(texts::kSocialBaseDigits, "edtInsNo");
        if (n.pageNo.isEmpty() || n.pageNo == QLatin1String("00"))
            return problem(texts::kSocialPageMissing, "edtPageNo");
        return problem(texts::kSocialIncomplete, "edtInsNo");
    }
    if (n.insNo.size() != 4) return problem(texts::kSocialInsNoDigits, "edtInsNo");
    if (n.bookNo.size() != 2) return problem(texts::kSocialBookDigits, "edtBookNo");
    if (n.pageNo.size() != 2) return problem(texts::kSocialPageDigits, "edtPageNo");
    return std::nullopt;
}

} // namespace

bool isSaveableDate(const QString& date, bool longYear) {
    static const QRegularExpression shortForm(QStringLiteral("^\\s*(\\d{1,2})/\\s*(\\d{1,2})/\\s*(\\d{1,2})\\s*$"));
    static const QRegularExpression longForm(QStringLiteral("^\\s*(\\d{1,4})/\\s*(\\d{1,2})/\\s*(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch match = (longYear ? longForm : shortForm).match(date);
    if (!match.hasMatch()) return false;
    const int year = match.captured(1).toInt();
    const int month = match.captured(2).toInt();
    const int day = match.captured(3).toInt();
    return isFieldMonthDay(month, day) && (!longYear || year < 1500);
}

std::optional<HeaderProblem> checkHeaderForLine(const PrescriptionHeader& h, const InsurerCode& insurer,
                                                bool socialSecurity) {
    if (socialSecurity)
        if (Problem p = socialSecurityProblem(h.insNo)) return p;
    if (insurer.text() != QLatin1String("0") && h.insNo.base.isEmpty())
        return problem(texts::kInsuranceNumberMissing, "edtMeliCode");
    if (h.outpatient() && isBlankDate(h.deliveryDate)) return problem(texts::kDeliveryDateMissing, "me_date_ta1");
    if (insurer.isEmpty()) return problem(texts::kInsurerMissing, "me_code_bime");
    if (!insurer.isInsurer()) return std::nullopt;
    if (h.outpatient()) {
        if (isBlankDate(h.prescriptionDate)) return problem(texts::kPrescriptionDateMissing, "me_date_no1");
        if (isBlankDate(h.expiryDate)) return problem(texts::kExpiryMissing, "me_date_bime1");
        if (expired(h)) return problem(texts::kExpired, "me_date_bime1");
    } else if (h.insNo.base.isEmpty()) {
        return problem(texts::kFileNumberMissing, "edtMeliCode");
    }
    if (h.outpatient() && h.deliveryDate < h.prescriptionDate)
        return problem(texts::kDeliveryBeforePrescription, "me_date_ta1");
    if (empty(h.family)) return problem(texts::kFamilyMissing, "me_family");
    if (empty(h.name)) return problem(texts::kNameMissing, "me_name_bimar");
    if (h.outpatient()) {
        if (!socialSecurity && empty(h.pageNumber)) return problem(texts::kPageMissing, "sh_safhe");
        return prescriberProblem(h);
    }
    if (empty(h.wardCode)) return problem(texts::kWardMissing, "me_code_bakhsh");
    return std::nullopt;
}

std::optional<HeaderProblem> checkHeaderForSave(const PrescriptionHeader& h, const InsurerCode& insurer,
                                                bool socialSecurity) {
    if (h.outpatient()) {
        if (isBlankDate(h.prescriptionDate)) return problem(texts::kPrescriptionDateMissing, "me_date_no1");
        if (isBlankDate(h.deliveryDate)) return problem(texts::kDeliveryDateMissing, "me_date_ta1");
    }
    if (insurer.isEmpty()) return problem(texts::kInsurerMissing, "me_code_bime");
    if (empty(h.family)) return problem(texts::kFamilyMissing, "me_family");
    if (empty(h.name)) return problem(texts::kNameMissing, "me_name_bimar");
    if (h.outpatient() && !socialSecurity && empty(h.pageNumber))
        return problem(texts::kPageMissingOnSave, "sh_safhe");
    if (insurer.isInsurer() && h.outpatient()) {
        if (isBlankDate(h.prescriptionDate)) return problem(texts::kPrescriptionDateMissing, "me_date_no1");
        if (isBlankDate(h.expiryDate)) return problem(texts::kExpiryMissing, "me_date_bime1");
        if (expired(h)) return problem(texts::kExpired, "me_date_bime1");
        if (h.deliveryDate < h.prescriptionDate) return problem(texts::kDeliveryBeforePrescription, "me_date_ta1");
        if (Problem p = prescriberProblem(h)) return p;
    }
    if (!isSaveableDate(h.expiryDate, true)) return problem(texts::kExpiryInvalid, "me_date_bime1");
    if (!isSaveableDate(h.deliveryDate, false)) return problem(texts::kDeliveryDateInvalid, "me_date_ta1");
    if (!isSaveableDate(h.prescriptionDate, false))
        return problem(texts::kPrescriptionDateInvalid, "me_date_no1");
    return std::nullopt;
}

} // namespace ph
