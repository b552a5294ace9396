#pragma once

// The texts of the prescription entry window that no rule shows.

#include <QString>

namespace ph::texts {

inline const QString kWindowTitle = QStringLiteral("فرم فروش دارو");
inline const QString kHelpHint = QStringLiteral("F1: راهنما");
// the insurance number is the patient's serial number
inline const QString kSerialMissing = QStringLiteral("شماره سريال را بايد وارد كنيد");
inline const QString kSerialTooShort = QStringLiteral("شماره سريال نمي تواند كمتراز شش كاراكترباشد");
inline const QString kTenDigits = QStringLiteral("10 رقم");
// a code typed in the drug lookup's code columns that no drug has
inline const QString kWrongDrugCode = QStringLiteral("کد دارو اشتباه است");
inline const QString kConfirmRemoveLine = QStringLiteral("آيا از حذف دارو مطمئن هستيد");
inline const QString kConfirmAbandon = QStringLiteral("آيا از انصراف مطمئن هستيد؟");
inline const QString kConfirmClose = QStringLiteral("آيا از بستن فرم مطمئن هستيد؟");
inline const QString kNoDrugListRight = QStringLiteral("دسترسي به کليدتعريف دارو براي شما امکان پذير نمي باشد");
inline const QString kNoFormAccess = QStringLiteral("امکان دسترسي به اين فرم براي شما وجودندارد");
inline const QString kUserPanel = QStringLiteral(" كاربر جاري: ");
inline const QString kTimePanel = QStringLiteral(" ساعت جاري: ");
inline const QString kDatePanel = QStringLiteral(" تاريخ جاري: ");
inline const QString kLineListHint =
    QStringLiteral("  فعال شدن مکان نما در قسمت ليست داروهاي وارد شده درنسخه:  Ctrl+F3");

// Browsing, editing and deleting stored prescriptions.
inline const QString kNoStoredPrescription = QStringLiteral("نسخه اي به ثبت نرسيده است");
inline const QString kAtLastNumber = QStringLiteral("به آخرين شماره نسخه رسيده ايد");
inline const QString kAtFirstNumber = QStringLiteral("به اولين شماره نسخه رسيده ايد");
inline const QString kInvoiceNumberPrompt = QStringLiteral("شماره فاكتور مورد نظر را واردكنيد");
inline const QString kNoEditRight = QStringLiteral("دسترسي به کليد ويرايش براي شما امکان پذير نمي باشد");
inline const QString kNoDeleteRight = QStringLiteral("دسترسي به کليدحذف براي شما امکان پذير نمي باشد");
inline const QString kConfirmDeleteInvoice = QStringLiteral("آيا از حذف فاكتور مطمئن هستيد");
inline const QString kDeleteNotFound = QStringLiteral("شماره فاكتور مورد نظر يافت نشد");
inline const QString kDeleteRefused = QStringLiteral("حذف فاكتور موردنظر امكان پذير نيست");
// the search menu: by invoice number, family name, prescription date, insurance number, code
inline const QString kSearchMenu[] = {
    QStringLiteral("براساس شماره فاكتور"),
    QStringLiteral("براساس نام خانوادگي"),
    QStringLiteral("براساس تاريخ نسخه"),
    QStringLiteral("براساس شماره دفترچه بيمه"),
    QStringLiteral("براساس كد نسخه"),
};

} // namespace ph::texts
