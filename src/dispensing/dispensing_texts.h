#pragma once

// The texts the dispensing rules show and write, as the users know them.

#include <QString>
#include <QStringList>

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
// contract thresholds
inline const QString kAddressNeeded = QStringLiteral("اين نسخه نياز به آدرس بيمار دارد");
inline const QString kApprovalNeeded = QStringLiteral("اين نسخه نياز با تاييد دارد");
inline const QString kApprovalStampQuestion = QStringLiteral("آيا نسخه مهر تاييد دارد");
inline const QString kCannotSave = QStringLiteral("امكان ثبت نسخه وجود ندارد");

} // namespace ph::texts
