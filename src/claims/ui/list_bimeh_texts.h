#pragma once

// The insurance list window's own texts, shared by the files of the window.

#include <QString>
#include <QStringList>

namespace ph {
namespace texts {
const QString kTitle = QStringLiteral("فـــــــرم گــزارش لـيـسـت بـيمــــــــه");
const QString kExport = QStringLiteral("تهيه ديسكت بيمهF2");
const QString kCorrect = QStringLiteral(" اصلاح فاكتور F3");
const QString kShow = QStringLiteral("مشاهدهF7");
const QString kPrint = QStringLiteral("چاپ F8");
const QString kSort = QStringLiteral("مرتب سازيCtrl+S");
const QString kNew = QStringLiteral(" جديد /انصرافF9");
const QString kClose = QStringLiteral("خروجF10");
const QString kRemove = QStringLiteral("حذف");
const QString kKaf = QStringLiteral("از كف: ");
const QString kSaghf = QStringLiteral("تاسقف:");
const QString kPage1 = QStringLiteral("از صفحه:");
const QString kPage2 = QStringLiteral("تاصفحه:");
const QString kFani = QStringLiteral("نظام مسئول فني");
const QString kAll = QStringLiteral("گزارش ازهمه نسخه ها");
const QString kConfirmed = QStringLiteral("گزارش ازنسخه هاي تاييدشده");
const QString kOrdinary = QStringLiteral("گزارش ازنسخه هاي عادي");
const QString kZeroBefore = QStringLiteral("نمايش صفر قبل از کد ملي دارو در ديسکت");
const QString kPatientNames = QStringLiteral("نمايش نام و نام خانوادگي بيمار در ديسکت");
const QString kDoctorNames = QStringLiteral("نمايش نام پزشك در ديسکت");
const QString kShowSpecialty = QStringLiteral("نمايش تخصص در گزارش");
const QString kSazman = QStringLiteral("جمع كل سهم سازمان:");
const QString kBimar = QStringLiteral("جمع كل سهم بيمار:");
const QString kKoll = QStringLiteral("جمع كل: ");
const QString kCount = QStringLiteral("تعداد كل: ");
const QString kSazmanNoskhe = QStringLiteral("سهم ساز مان سرنسخه:");
const QString kSazmanAghlam = QStringLiteral(" سهم سازمان ريز اقلام:");
const QString kSearch1 = QStringLiteral("جستجوي سريع  شماره فاكتور/نام خانوادگي");
const QString kSearch2 = QStringLiteral("جستجوي سريع شماره دفترچه بيمه ");
const QString kSearch3 = QStringLiteral("جستجوي سريع كد نسخه");
const QString kOnDiskette = QStringLiteral("ايجاد فايل برروي ديسکت");
const QString kInDefault = QStringLiteral("ايجاد فايل درمحل پيش فرض");
const QString kInChosen = QStringLiteral("ايجاد فايل در محل دلخواه");
const QString kInChosenNoLines = QStringLiteral("ايجاد فايل در محل دلخواه بدون جزئيات");
const QString kImage = QStringLiteral(" فايل گزارش ليست بيمهImage");
const QString kExcel = QStringLiteral("Exelگزارش ليست بيمه تحت فايل ");
const QString kSpecialtyCaption = QStringLiteral("نوع تخصص");
const QString kListCaption = QStringLiteral("ليست بيمه ");
// Chosen here: the removable-media folder is not set, and where a spreadsheet was left.
const QString kNoRemovableFolder =
    QStringLiteral("پوشه ديسكت بيمه مشخص نشده است؛ آن را در فرم تنظيمات، بخش «اين رايانه» انتخاب كنيد");
const QString kSheetWritten = QStringLiteral("فايل اكسل ليست بيمه در اين محل ذخيره شد: ");
const QStringList kSortEntries = {
    QStringLiteral("براساس شماره فاكتور"),   QStringLiteral("براساس نام خانوادگي بيمار"),
    QStringLiteral("براساس شماره دفترچه"),   QStringLiteral("براساس تاريخ نسخه"),
    QStringLiteral("براساس كد نسخه"),        QStringLiteral("براساس نام پزشك"),
    QStringLiteral("براساس سهم سازمان"),     QStringLiteral("براساس سهم بيمار"),
    QStringLiteral("براساس جمع كل"),
};
const QStringList kSheetCaptions = {
    QStringLiteral("نام بيمار"),   QStringLiteral("نام خانوادگي بيمار"), QStringLiteral("شماره دفترچه "),
    QStringLiteral("نام پزشک"),    QStringLiteral("تاريخ نسخه"),         QStringLiteral("جمع کل"),
    QStringLiteral("سهم سازمان"),  QStringLiteral("سهم بيمار"),
};
} // namespace texts
} // namespace ph
