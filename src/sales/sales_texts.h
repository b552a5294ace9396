#pragma once

#include <QString>
#include <QStringList>

// The goods sale's and the cash desk's own texts, as the windows and messages show them.
namespace ph::texts::sales {

inline const QString kGoods = QStringLiteral("كالا");
inline const QString kOtc = QStringLiteral("OTC");
inline const QString kCustomer = QStringLiteral("مشتري");

inline const QStringList kGoodsLineCaptions = {
    QStringLiteral("رديف"),    QStringLiteral("نــام كالا"), QStringLiteral("كــدكالا"),   QStringLiteral("شكل كالا"),
    QStringLiteral("وضعيت"), QStringLiteral("تعداد"),     QStringLiteral("قيمت واحد"), QStringLiteral("قيمت كل"),
};

// The goods lookup's column titles.
inline const QStringList kGoodsLookupCaptions = {
    QStringLiteral("كـدشناسه"), QStringLiteral("نـام كــالا"), QStringLiteral("قيمت"),
    QStringLiteral("كــد كــالا"), QStringLiteral("شكل كــالا"),
};

// Adding or replacing a line.
inline const QString kNoFamilyForLine = QStringLiteral("نام خانوادگي مشخص نشده است");
inline const QString kNoQuantity = QStringLiteral("تعداد كالا مشخص نشده است");
inline const QString kNoKind = QStringLiteral("وضعيت كالا مشخص نشده است");
inline const QString kNoPrice = QStringLiteral("قيمت كالاي موردنظر مشخص نيست");
inline const QString kBeyondStock = QStringLiteral("تعداد خواسته شده از موجودي داروخانه كمتر ميباشد");
inline const QString kCannotReplace = QStringLiteral("امکان ويرايش اين نسخه وجود ندارد");
// A scanned pack whose item the goods list lacks (the code follows where %1 stands).
inline const QString kBarcodeNotInGoodsList = QStringLiteral("كالاي باركد %1 در فهرست كالاها نيست");
inline const QString kConfirmRemoveLine = QStringLiteral("آيا از حذف دارو مطمئن هستيد");

// Saving, editing, deleting.
inline const QString kNoSaveRight = QStringLiteral("دسترسي به کليد ثبت براي شما امکان پذير نمي باشد");
inline const QString kNoEditRight = QStringLiteral("دسترسي به کليدويرايش براي شما امکان پذير نمي باشد");
inline const QString kNoDeleteRight = QStringLiteral("دسترسي به کليدحذف براي شما امکان پذير نمي باشد");
inline const QString kNoFamily = QStringLiteral("نام خانوداگي وارد نشده است");
inline const QString kNoLines = QStringLiteral("كالايي براي ثبت وجود ندارد");
inline const QString kConfirmEdit = QStringLiteral("آيا از ويرايش فاكتور مطمئن هستيد");
inline const QString kEditedNotFound = QStringLiteral("شماره فاكتورمورد نظر يافت نشد");
inline const QString kNoLinesInEdit = QStringLiteral("دارويي براي ثبت نسخه وجود ندارد");
inline const QString kConfirmDelete = QStringLiteral("آيا از حذف فاكتور مطمئن هستيد");
inline const QString kDeleteNotFound = QStringLiteral("شماره فاكتور مورد نظر يافت نشد");
inline const QString kDeleteClosed = QStringLiteral("حذف فاكتور موردنظر امكان پذير نيست");
inline const QString kConfirmAbandon = QStringLiteral(" آيا از انصراف مطمئن هستيد؟");
inline const QString kConfirmClose = QStringLiteral("اطلاعات خودراذخيره نكرده ايد. آياخارج مي شويد؟");

// Browsing and printing.
inline const QString kNoneStored = QStringLiteral("فاکتوري به ثبت نرسيده است");
inline const QString kAtFirst = QStringLiteral("به اولين شماره فاكتور رسيده ايد");
inline const QString kAtLast = QStringLiteral("به آخرين شماره فاكتور رسيده ايد");
inline const QString kAskNumber = QStringLiteral("شماره فاكتور مورد نظر را واردكنيد");
inline const QString kNothingToPrint = QStringLiteral("فاکتوري براي چاپ وجود ندارد");
inline const QString kPrintNotFound = QStringLiteral("شماره فاكتورموردنظريافت نشد");

// Ward consumption.
inline const QString kInsured = QStringLiteral("تعرفه");
inline const QString kFree = QStringLiteral("آزاد");
inline const QString kNoRequestForLine = QStringLiteral("شماره درخواست مشخص نشده است");
inline const QString kNoRequest = QStringLiteral("شماره درخواست وجود ندارد");
inline const QString kNoWard = QStringLiteral("نام بخش وارد نشده است");

// The cash desk.
inline const QString kNothingSold = QStringLiteral("دارو يا كالايي به فروش نرفته است");
// A second cashier collecting an invoice another has just collected.
inline const QString kAlreadyPaid = QStringLiteral("اين فاكتور قبلا پرداخت شده است");
// F2 with no invoice chosen in the list.
inline const QString kNoInvoiceChosen = QStringLiteral("فاكتوري براي پرداخت انتخاب نشده است");
inline const QString kConfirmClosing = QStringLiteral("اختتام صندوق انجام شود؟");
inline const QString kConfirmKeeper = QStringLiteral("صندوق دارجــديد تعريف شود؟");
inline const QString kUnknownUser = QStringLiteral("کد کاربر اشتباه وارد شده است");
inline const QString kTemporaryKeeper = QStringLiteral("موقت");

} // namespace ph::texts::sales
