#include "dispensing/prescription_fields.h"

#include "db/column_limits.h"
#include "dispensing/prescription_session.h"
#include "insurance/ins_no.h"

namespace ph {

std::optional<HeaderProblem> checkPrescriptionFields(const PrescriptionSession& session) {
    const PrescriptionHeader& h = session.header();
    const QString head = QStringLiteral("heading_noskhe");
    const QString doctor = QStringLiteral("doctor_s");
    // The insurance number as it is stored: the four parts joined (and in their dashed
    // form) for a social-security insurer, the serial number for any other.
    QString insNo, insNoTamin;
    if (!h.insNo.base.isEmpty()) {
        insNo = session.socialSecurity() ? plainInsNo(h.insNo) : h.insNo.base;
        insNoTamin = session.socialSecurity() ? FormatInsNo(h.insNo) : h.insNo.base;
    }
    const QList<FieldValue> fields = {
        {QStringLiteral("edtMeliCode"), QStringLiteral("شماره بيمه"), head, QStringLiteral("sh_bimeh"), insNo},
        {QStringLiteral("edtMeliCode"), QStringLiteral("شماره بيمه"), head, QStringLiteral("insnotamin"), insNoTamin},
        {QStringLiteral("me_family"), QStringLiteral("نام خانوادگي بيمار"), head, QStringLiteral("family_b"), h.family},
        {QStringLiteral("me_name_bimar"), QStringLiteral("نام بيمار"), head, QStringLiteral("name_b"), h.name},
        {QStringLiteral("sh_safhe"), QStringLiteral("شماره صفحه"), head, QStringLiteral("sh_safhe"), h.pageNumber},
        {QStringLiteral("sh_darkhast"), QStringLiteral("شماره درخواست"), head, QStringLiteral("sh_darkhast"),
         h.requestNumber},
        {QStringLiteral("me_code_bakhsh"), QStringLiteral("بخش"), head, QStringLiteral("code_bakhsh"), h.wardCode},
        {QStringLiteral("me_nezam_pe"), QStringLiteral("نظام پزشكي"), head, QStringLiteral("nezam_p"),
         h.prescriberCouncil},
        {QStringLiteral("me_nezam_pe"), QStringLiteral("نظام پزشكي"), doctor, QStringLiteral("order1"),
         h.prescriberCouncil},
        {QStringLiteral("me_family_pe"), QStringLiteral("نام خانوادگي پزشك"), doctor, QStringLiteral("family"),
         h.prescriberFamily},
        {QStringLiteral("me_name_pe"), QStringLiteral("نام پزشك"), doctor, QStringLiteral("name"), h.prescriberName},
        {QStringLiteral("me_code_takhasos"), QStringLiteral("تخصص"), doctor, QStringLiteral("typeno"),
         h.specialtyCode},
        {QStringLiteral("me_date_bime1"), QStringLiteral("تاريخ اعتبار"), head, QStringLiteral("date_bimeh"),
         h.expiryDate},
        {QStringLiteral("me_date_no1"), QStringLiteral("تاريخ نسخه"), head, QStringLiteral("date_no"),
         h.prescriptionDate},
        {QStringLiteral("me_date_ta1"), QStringLiteral("تاريخ تحويل"), head, QStringLiteral("date_sabt"),
         h.deliveryDate},
        {QStringLiteral("me_ctype_no"), QStringLiteral("نوع نسخه"), head, QStringLiteral("type_no"), h.typeCode},
    };
    if (const std::optional<FieldProblem> problem = firstRefusedField(fields))
        return HeaderProblem{problem->message, problem->focus};
    if (session.lines().lineCount() > kMaxPrescriptionLines)
        return HeaderProblem{kTooManyLines.arg(kMaxPrescriptionLines), QStringLiteral("StringGrid1")};
    return std::nullopt;
}

int headerFieldWidth(const QString& column) {
    return columnWidth(QStringLiteral("heading_noskhe"), column);
}

} // namespace ph
