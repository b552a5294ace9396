#pragma once

#include <QString>

// The texts the prescription and invoice prints show, as the pharmacy knows them.
namespace ph::print::texts {

inline const QString kInvoiceNumber = QStringLiteral("شماره فاكتور:");
inline const QString kDate = QStringLiteral("تاريخ:");
inline const QString kPatient = QStringLiteral("نام بيمار:");
inline const QString kInsurer = QStringLiteral("نام بيمه:");
inline const QString kRow = QStringLiteral("رديف");
inline const QString kDrug = QStringLiteral("نام دارو ");
inline const QString kQuantity = QStringLiteral("تعداددارو");
inline const QString kPatientShare = QStringLiteral("بيمار");
inline const QString kGoods = QStringLiteral("کالا");
inline const QString kOtc = QStringLiteral("OTC");
inline const QString kFree = QStringLiteral("آزاد");
inline const QString kTotal = QStringLiteral("جمع كل:");
inline const QString kFee = QStringLiteral("حق فني");
inline const QString kInWords = QStringLiteral("مبلغ به حروف:");
inline const QString kRial = QStringLiteral(" ريال");
inline const QString kPage = QStringLiteral("صفحه ");

// Asked and reported by the print menu.
inline const QString kAskPrescription = QStringLiteral("شماره نسخه مورد نظر را واردكنيد");
inline const QString kAskInvoice = QStringLiteral("شماره فاكتور مورد نظر را واردكنيد");
inline const QString kPrescriptionNotFound = QStringLiteral("شماره نسخه موردنظريافت نشد");
inline const QString kInvoiceNotFound = QStringLiteral("شماره فاكتورموردنظريافت نشد");

} // namespace ph::print::texts
