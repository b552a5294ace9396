#include "claims/ui/list_report.h"

#include "core/amount_words.h"
#include "core/amounts.h"

#include <cmath>

namespace ph {
namespace {

using print::Align;
using print::Band;
using print::TextField;

namespace texts {
const QString kBismillah = QStringLiteral("بسمه تعالي ");
const QString kListTitle = QStringLiteral("ليست بيمه ");
const QString kFrom = QStringLiteral("از تاريخ ");
const QString kTo = QStringLiteral("تا تاريخ");
const QString kPharmacy = QStringLiteral("داروخانه");
const QString kPharmacyCode = QStringLiteral(" کد داروخانه");
const QString kPage = QStringLiteral("صفحه");
const QString kReportDate = QStringLiteral("تاريخ گزارش ");
const QString kSum = QStringLiteral("جمع ");
const QString kInWords = QStringLiteral("جمع  سهم سازمان به حروف");
const QString kRial = QStringLiteral("ريال");
const QString kFree = QStringLiteral("رايگان");
const QStringList kSignatures = {QStringLiteral("امضاء مسئول فني داروخانه"), QStringLiteral("امضاء مسئول درآمد"),
                                 QStringLiteral("امضاء مدير واحد"), QStringLiteral("امضاء مسئول حسابداري"),
                                 QStringLiteral("امضاء تهيه كننده گزارش")};
} // namespace texts

constexpr double kWidth = 190; // A4 less 10 mm on each side

struct Column {
    QString caption;
    QString key;
    double width;
};

// From the right edge of the page, as the list reads.
const QList<Column>& columns() {
    static const QList<Column> list = {
        {QStringLiteral("رديف "), QStringLiteral("row"), 10},
        {QStringLiteral("نام خانوادگي بيمار"), QStringLiteral("family"), 30},
        {QStringLiteral("نام بيمار"), QStringLiteral("name"), 22},
        {QStringLiteral("شماره دفترچه "), QStringLiteral("booklet"), 32},
        {QStringLiteral("تاريخ نسخه"), QStringLiteral("date"), 17},
        {QStringLiteral("نام پزشك "), QStringLiteral("prescriber"), 31},
        {QStringLiteral("سهم سازمان "), QStringLiteral("bimeh"), 16},
        {QStringLiteral("سهم بيمار"), QStringLiteral("bimar"), 16},
        {QStringLiteral("جمع كل "), QStringLiteral("koll"), 16},
    };
    return list;
}

// The left edge of each column.
QList<double> columnLefts() {
    QList<double> lefts;
    double right = kWidth;
    for (const Column& c : columns()) {
        right -= c.width;
        lefts.append(right);
    }
    return lefts;
}

QString whole(double value) { return groupedAmountText(std::trunc(value)); }

Band sumsBand(bool running, double top) {
    Band band;
    const QList<double> lefts = columnLefts();
    const int bimeh = 6, bimar = 7, koll = 8;
    band.fields.append(TextField::fixed(texts::kSum, QRectF(lefts.at(5), top, columns().at(5).width, 5)).inBold());
    for (int i : {bimeh, bimar, koll}) {
        const QString key = columns().at(i).key;
        band.fields.append(TextField::value(running ? print::kRunningSum + key
                                                    : QStringLiteral("sum_") + key,
                                            QRectF(lefts.at(i), top, columns().at(i).width, 5), Align::Center)
                               .inBold());
    }
    band.linesMm.append(QLineF(0, top - 0.5, kWidth, top - 0.5));
    const double signTop = top + 7;
    const double signWidth = kWidth / texts::kSignatures.size();
    for (int i = 0; i < texts::kSignatures.size(); ++i)
        band.fields.append(TextField::fixed(texts::kSignatures.at(i),
                                            QRectF(kWidth - (i + 1) * signWidth, signTop, signWidth, 5), Align::Center,
                                            8));
    return band;
}

} // namespace

QString insurerShareInWords(double sum) {
    const qint64 rials = qint64(std::trunc(sum));
    if (rials <= 0) return texts::kFree;
    return amountInWords(QString::number(rials)) + u' ' + texts::kRial;
}

print::Report listReport(const ListPrintHeading& heading, const QList<ListPrintRow>& rows) {
    print::ReportLayout layout;
    layout.page = {QSizeF(210, 297), QMarginsF(10, 10, 10, 10)};

    Band& title = layout.title;
    title.heightMm = 30;
    title.fields = {
        TextField::fixed(texts::kBismillah, QRectF(0, 0, kWidth, 6), Align::Center, 11),
        TextField::fixed(texts::kListTitle, QRectF(0, 6, kWidth, 6), Align::Center, 12).inBold(),
        TextField::value(QStringLiteral("insurer"), QRectF(0, 12, kWidth, 6), Align::Center, 10),
        TextField::fixed(texts::kFrom, QRectF(160, 20, 30, 5)),
        TextField::value(QStringLiteral("from"), QRectF(140, 20, 20, 5)),
        TextField::fixed(texts::kTo, QRectF(120, 20, 20, 5)),
        TextField::value(QStringLiteral("to"), QRectF(100, 20, 20, 5)),
        TextField::fixed(texts::kPharmacy, QRectF(80, 20, 18, 5)),
        TextField::value(QStringLiteral("pharmacy"), QRectF(35, 20, 45, 5)),
        TextField::fixed(texts::kPharmacyCode, QRectF(15, 20, 20, 5)),
        TextField::value(QStringLiteral("pharmacy_code"), QRectF(0, 20, 15, 5)),
    };
    // The insurer label may hold several lines.
    for (TextField& f : title.fields)
        if (f.key == QLatin1String("insurer")) f.placeMm.setHeight(8);

    const QList<double> lefts = columnLefts();
    Band& captions = layout.columnHeader;
    captions.heightMm = 14;
    captions.fields = {
        TextField::fixed(texts::kPage, QRectF(180, 0, 10, 5)),
        TextField::value(print::kPageNumber, QRectF(170, 0, 10, 5)),
        TextField::fixed(texts::kReportDate, QRectF(140, 0, 25, 5)),
        TextField::value(QStringLiteral("report_date"), QRectF(120, 0, 20, 5)),
        TextField::value(QStringLiteral("header_caption"), QRectF(80, 0, 35, 5)),
        TextField::value(QStringLiteral("header_value"), QRectF(0, 0, 80, 5)),
    };
    for (int i = 0; i < columns().size(); ++i)
        captions.fields.append(
            TextField::fixed(columns().at(i).caption, QRectF(lefts.at(i), 8, columns().at(i).width, 5), Align::Center, 8)
                .inBold());
    captions.linesMm = {QLineF(0, 7.5, kWidth, 7.5), QLineF(0, 13.5, kWidth, 13.5)};

    Band& detail = layout.detail;
    detail.heightMm = 6;
    for (int i = 0; i < columns().size(); ++i) {
        const bool amount = i >= 6;
        detail.fields.append(TextField::value(columns().at(i).key, QRectF(lefts.at(i), 0.5, columns().at(i).width, 5),
                                              amount || i == 0 || i == 4 ? Align::Center : Align::Right, 8));
    }

    layout.pageFooter = sumsBand(true, 1);
    layout.pageFooter.heightMm = 14;
    layout.summary = sumsBand(false, 1);
    layout.summary.heightMm = 22;
    layout.summary.fields.append(TextField::fixed(texts::kInWords, QRectF(150, 15, 40, 5)).inBold());
    layout.summary.fields.append(TextField::value(QStringLiteral("in_words"), QRectF(0, 15, 148, 5)));

    print::ReportData data;
    data.values = {{QStringLiteral("insurer"), heading.insurerLabel},
                   {QStringLiteral("from"), heading.from},
                   {QStringLiteral("to"), heading.to},
                   {QStringLiteral("pharmacy"), heading.pharmacyName},
                   {QStringLiteral("pharmacy_code"), heading.pharmacyCode},
                   {QStringLiteral("report_date"), heading.reportDate},
                   {QStringLiteral("header_caption"), heading.headerCaption},
                   {QStringLiteral("header_value"), heading.headerValue}};
    double bimeh = 0, bimar = 0, koll = 0;
    int number = 0;
    for (const ListPrintRow& r : rows) {
        data.rows.append({{QStringLiteral("row"), QString::number(++number)},
                          {QStringLiteral("family"), r.family},
                          {QStringLiteral("name"), r.name},
                          {QStringLiteral("booklet"), r.booklet},
                          {QStringLiteral("date"), r.date},
                          {QStringLiteral("prescriber"), r.prescriber},
                          {QStringLiteral("bimeh"), groupedAmountText(r.insurerShare)},
                          {QStringLiteral("bimar"), groupedAmountText(r.patientShare)},
                          {QStringLiteral("koll"), groupedAmountText(r.total)}});
        bimeh += r.insurerShare;
        bimar += r.patientShare;
        koll += r.total;
    }
    data.values.insert(QStringLiteral("sum_bimeh"), whole(bimeh));
    data.values.insert(QStringLiteral("sum_bimar"), whole(bimar));
    data.values.insert(QStringLiteral("sum_koll"), whole(koll));
    data.values.insert(QStringLiteral("in_words"), insurerShareInWords(bimeh));
    return print::Report(layout, data);
}

} // namespace ph
