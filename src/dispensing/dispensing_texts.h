#pragma once

// The texts the dispensing rules show and write, as the users know them.

#include <QString>
#include <QStringList>

#include "lots/lots_texts.h"

namespace ph::texts {

// Line kinds (column 4 of the line list, details_noskhe.vaziat).
inline const QString kInsured = QStringLiteral("تعرفه");
inline const QString kFree = QStringLiteral("آزاد");
inline const QString kOtc = QStringLiteral("OTC");
inline const QString kGoods = QStringLiteral("كالا");

// Admission types, item 0 and item 1.
inline const QString kInpatient = QStringLiteral("بستري");
inline const QString kOutpatient = QStringLiteral("سرپايي");

// Captions of the line list's 18 columns (row 0).
inline const QStringList kLineCaptions = {
    QStringLiteral("رديف"),          QStringLiteral("                  نــام دارو  "),
    QStringLiteral(" كــددارو "),    QStringLiteral("شكل دارو"),
    QStringLiteral("وضعيت"),         QStringLiteral("تعداد"),
    QStringLiteral("قيمت واحد"),     QStringLiteral("قيمت كل"),
    QStringLiteral("   بيمه"),       QStringLiteral("  بيمار"),
    QStringLiteral("  آزاد"),        QStringLiteral("  OTC"),
    QStringLiteral("  كالا"),        QStringLiteral("معادل"),
    QStringLiteral("كددارواصلي"),    QStringLiteral("تعداددارواصلي"),
    QStringLiteral("قيمت دارواصلي"), QStringLiteral("قيمت هتلينگ"),
};

// column 13 of a line whose drug replaced the prescribed one
inline const QString kSubstitute = QStringLiteral("معادل");

// the insurer's contract has ended
inline const QString kEndedContract = QStringLiteral("قرارداد داروخانه با بيمه شما تمام شده است");
// then: price the line free?
inline const QString kPriceFreeQuestion = QStringLiteral("آيا حاضريدنسخه شما با قيمت آزاد حساب شود");
// the selected line's drug is not in the drug list
inline const QString kCannotEditLine = QStringLiteral("امکان ويرايش اين نسخه وجود ندارد");
// confirms replacing the selected line
inline const QString kConfirmReplace = QStringLiteral("آيا از اصلاح دارو اطمينان داريد؟");
// a hospital-only drug: does it bear the hospital stamp?
inline const QString kHospitalStampQuestion = QStringLiteral("آيا داروي وارد شده مهر بيمارستاني دارد؟");
// confirms pricing every line again for a new insurer
inline const QString kConfirmInsurerChange = QStringLiteral("آيا از اصلاح بيمه اطمينان داريد؟");
// line checks
inline const QString kQuantityMissing = QStringLiteral("تعداد دارو مشخص نشده است");
inline const QString kKindMissing = QStringLiteral("وضعيت دارو مشخص نشده است");
inline const QString kPriceMissing = QStringLiteral("قيمت داروي موردنظر مشخص نيست");
// a kind that is none of the four
inline const QString kKindInvalid = QStringLiteral("وضعيت دارو اشتباه وارد شده است");
// followed by the stock in single quotes
inline const QString kStockShort =
    QStringLiteral("تعداد خواسته شده از موجودي داروخانه بيشتر ميباشد.موجودي= ");
// a scanned pack whose item the drug list lacks (the code follows where %1 stands)
inline const QString kBarcodeNotInDrugList = QStringLiteral("كالاي باركد %1 در فهرست داروها نيست");
// contract thresholds
inline const QString kAddressNeeded = QStringLiteral("اين نسخه نياز به آدرس بيمار دارد");
inline const QString kApprovalNeeded = QStringLiteral("اين نسخه نياز با تاييد دارد");
inline const QString kApprovalStampQuestion = QStringLiteral("آيا نسخه مهر تاييد دارد");
inline const QString kCannotSave = QStringLiteral("امكان ثبت نسخه وجود ندارد");

// header checks when a line is added, and before saving
inline const QString kSocialBaseDigits = QStringLiteral("آيتم كد ملي مربوط به شماره بيمه بايد 10 رقم باشد");
inline const QString kSocialPageMissing = QStringLiteral("ايتم شماره صفحه مربوط به شماره بيمه را وارد نماييد");
inline const QString kSocialIncomplete = QStringLiteral("اطلاعات شماره بيمه را كامل وارد نماييد");
inline const QString kSocialInsNoDigits = QStringLiteral("آيتم دوم مربوط به شماره بيمه بايد 4 رقم باشد");
inline const QString kSocialBookDigits = QStringLiteral("آيتم سوم مربوط به شماره دفترچه بايد دو رقم باشد");
inline const QString kSocialPageDigits = QStringLiteral("آيتم چهارم مربوط به شماره صفحه بايد دورقم باشد");
inline const QString kInsuranceNumberMissing = QStringLiteral(" شماره بيمه حتمآ بايد وارد شود");
inline const QString kDeliveryDateMissing = QStringLiteral("تاريخ تحويل مشخص نشده است");
inline const QString kInsurerMissing = QStringLiteral("نوع بيمه مشخص نشده است");
inline const QString kPrescriptionDateMissing = QStringLiteral("تاريخ نسخه مشخص نشده است");
inline const QString kExpiryMissing = QStringLiteral("تاريخ اعتباردفترچه بيمه مشخص نشده است");
inline const QString kExpired = QStringLiteral("تاريخ اعتباردفترچه بيمه تمام شده است");
inline const QString kFileNumberMissing = QStringLiteral("شماره پرونده مشخص نشده است");
inline const QString kDeliveryBeforePrescription = QStringLiteral("تاريخ تحويل زودتراز تاريخ نسخه مي باشد");
inline const QString kFamilyMissing = QStringLiteral("نام خانوادگي بيمار وارد نشده است");
inline const QString kNameMissing = QStringLiteral("نام بيمار واردنشده است");
inline const QString kPageMissing = QStringLiteral("شماره صفحه دفترچه واردنشده است");
inline const QString kCouncilMissing = QStringLiteral("نظام پزشكي مشخص نشده است");
inline const QString kPrescriberNameMissing = QStringLiteral("نام پزشك مشخص نشده است");
inline const QString kPrescriberFamilyMissing = QStringLiteral("نام خانوادگي پزشك مشخص نشده است");
inline const QString kSpecialtyMissing = QStringLiteral("نوع تخصص مشخص نشده است");
inline const QString kTypeMissing = QStringLiteral("نوع نسخه مشخص نشده است");
inline const QString kWardMissing = QStringLiteral("نام بخش مشخص نشده است");

// saving
inline const QString kNoSaveRight = QStringLiteral("دسترسي به کليد ثبت براي شما امکان پذير نمي باشد");
inline const QString kNoLines = QStringLiteral("دارويي براي ثبت نسخه وجود ندارد");
inline const QString kConfirmEditSave = QStringLiteral("آيا از ويرايش فاكتور مطمئن هستيد");
inline const QString kInvoiceNotFound = QStringLiteral("شماره فاكتورمورد نظر يافت نشد");
inline const QString kPageMissingOnSave = QStringLiteral("َشماره صفحه دفترچه واردنشده است");
inline const QString kExpiryInvalid = QStringLiteral("تاريخ اعتياراشتباه وارد شده است");
inline const QString kDeliveryDateInvalid = QStringLiteral("تاريخ تحويل اشتباه وارد شده است");
inline const QString kPrescriptionDateInvalid = QStringLiteral("تاريخ نسخه اشتباه وارد شده است");
inline const QString kDuplicate = QStringLiteral("نسخه موردنظر با اين پزشك و دراين تاريخ قبلا ثبت شده است");
inline const QString kSaveDuplicateQuestion = QStringLiteral("آيا نسخه ثبت شود؟");

// equivalent substitution
inline const QString kNoEquivalentRight = QStringLiteral("دسترسي به کليد داروي معادل براي شما امکان پذير نمي باشد");
inline const QString kNoEquivalents = QStringLiteral("داروي معادل براي كالاي موردنظر شما تعريف نشده است");
inline const QString kPrescribedQuantityMissing = QStringLiteral("تعداد داروي اصلي مشخص نشده است");
inline const QString kEquivalentQuantityMissing = QStringLiteral("تعداد داروي معادل مشخص نشده است");
inline const QString kPrescribedQuantityNotNumber = QStringLiteral("تعداد داروي اصلي بايد عدد باشد");
inline const QString kEquivalentQuantityNotNumber = QStringLiteral("تعداد داروي معادل بايد عدد باشد");

} // namespace ph::texts
