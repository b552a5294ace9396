#pragma once

#include <QString>

// The Persian texts of the insurance list, the claim files and their merge.
namespace ph::claims::texts {

inline const QString kNoInsurer = QStringLiteral("نام بيمه مشخص نشده است");
inline const QString kNoFani = QStringLiteral("نظام پزشکي مسئول فني مشخص نشده است");
inline const QString kNoDate = QStringLiteral("تاريخ جستجو مشخص نشده است");
inline const QString kBadDate = QStringLiteral("تاريخ اشتباه وارد شده است");
inline const QString kNothingFound = QStringLiteral("گزارشي با مشخصات وارد شده وجود ندارد");
inline const QString kNothingToPrint = QStringLiteral("گزارشي براي چاپ آماده نيست");
inline const QString kNoSheet = QStringLiteral("گزارشي آماده نيست");
inline const QString kFileWritten = QStringLiteral("ديسكت بيمه تهيه گرديد");
inline const QString kUnknownCode = QStringLiteral("اين كد موجود نمي باشد");
inline const QString kUnknownCodeDot = QStringLiteral("اين كد موجود نمي باشد.");
inline const QString kFileNameLabel = QStringLiteral("نام فايل راجهت ذخيره واردكنيد");

// A character the claim file's code page cannot hold: the character, the field, the invoice number.
inline const QString kUnencodable =
    QStringLiteral("حرف «%1» در «%2» نسخه شماره %3 در فايل بيمه (کد پيج 1256) قابل نوشتن نيست؛ آن را اصلاح کنيد");
// A claim file that could not be written: the file and the system's reason.
inline const QString kFileNotWritten = QStringLiteral("فايل %1 ساخته نشد: %2");
inline const QString kFileNotRead = QStringLiteral("فايل %1 خوانده نشد: %2");
// The merge meets a prescription whose shares are not whole Rials: its number in the file.
inline const QString kNotWholeShares =
    QStringLiteral("سهم بيمار يا سهم سازمان نسخه رديف %1 فايل، عدد صحيح نيست؛ فايل ها ادغام نشد");
inline const QString kNoMergedPrescription = QStringLiteral("در فايل اصلي نسخه اي پيدا نشد");

// The fields of a prescription named when one cannot be written.
inline const QString kFieldPatientName = QStringLiteral("نام بيمار");
inline const QString kFieldPatientFamily = QStringLiteral("نام خانوادگي بيمار");
inline const QString kFieldPrescriberName = QStringLiteral("نام پزشك");
inline const QString kFieldPrescriberFamily = QStringLiteral("نام خانوادگي پزشك");
inline const QString kFieldInsuranceNumber = QStringLiteral("شماره دفترچه");
inline const QString kFieldPrescriberCouncil = QStringLiteral("نظام پزشك");
inline const QString kFieldPrescriptionDate = QStringLiteral("تاريخ نسخه");
inline const QString kFieldDispensingDate = QStringLiteral("تاريخ ثبت");
inline const QString kFieldBookletDate = QStringLiteral("تاريخ اعتبار دفترچه");
inline const QString kFieldPharmacyCode = QStringLiteral("كد داروخانه");
inline const QString kFieldFani = QStringLiteral("نظام مسئول فني");
inline const QString kFieldPeriod = QStringLiteral("تاريخ گزارش");

} // namespace ph::claims::texts
