#include "audit/ui/history_outputs.h"

#include "print/column_table.h"

namespace ph {

using print::Align;
using print::TextField;

namespace {

const QString kTitle = QStringLiteral("تاريخچه تغييرات");
constexpr double kWidth = 277; // A4 across, 10 mm margins

// From the right edge of the printing area; the keys are the columns of auditTableRows().
constexpr print::TableColumn kColumns[] = {
    {"c0", u"زمان", 250, 27, Align::Right},   {"c1", u"كاربر", 228, 22, Align::Right},
    {"c2", u"ايستگاه كاري", 208, 20, Align::Right}, {"c3", u"فرم/فرمان", 183, 25, Align::Right},
    {"c4", u"نوع سند", 163, 20, Align::Right}, {"c5", u"كليد", 145, 18, Align::Center},
    {"c6", u"سطر", 129, 16, Align::Right},    {"c7", u"فيلد", 99, 30, Align::Right},
    {"c8", u"قبل", 50, 49, Align::Right},     {"c9", u"بعد", 0, 50, Align::Right},
};

QString period(const HistoryHeading& heading) {
    return QStringLiteral("از تاريخ %1 تا تاريخ %2").arg(heading.from.isEmpty() ? QStringLiteral("-") : heading.from,
                                                       heading.to.isEmpty() ? QStringLiteral("-") : heading.to);
}

} // namespace

print::Report historyReport(const QList<AuditListedEntry>& entries, const HistoryHeading& heading) {
    print::ReportLayout layout;
    layout.page = {QSizeF(297, 210), QMarginsF(10, 10, 10, 10)};
    layout.pageHeader.heightMm = 22;
    layout.pageHeader.fields = {
        TextField::value(QStringLiteral("pharmacy"), QRectF(0, 0, kWidth, 7), Align::Center, 12).inBold(),
        TextField::fixed(kTitle, QRectF(0, 7, kWidth, 7), Align::Center, 12).inBold(),
        TextField::value(QStringLiteral("period"), QRectF(120, 15, 157, 6), Align::Right, 9),
        TextField::value(QStringLiteral("today"), QRectF(40, 15, 60, 6), Align::Right, 9),
        TextField::value(print::kPageNumber, QRectF(0, 15, 30, 6), Align::Left, 9),
    };
    layout.pageHeader.fields[3].prefix = QStringLiteral("تاريخ چاپ: ");
    layout.pageHeader.fields[4].prefix = QStringLiteral("صفحه ");
    layout.detail.heightMm = 6;
    print::addColumnTable(layout, kColumns, kWidth, 8);

    print::ReportData data;
    data.values = {{QStringLiteral("pharmacy"), heading.pharmacyName.trimmed()},
                   {QStringLiteral("period"), period(heading)},
                   {QStringLiteral("today"), heading.today}};
    for (const QStringList& row : auditTableRows(entries)) {
        print::Values values;
        for (qsizetype i = 0; i < row.size(); ++i) values.insert(u'c' + QString::number(i), row.at(i));
        data.rows.append(values);
    }
    return print::Report(std::move(layout), std::move(data));
}

print::XlsxSheet historySheet(const QList<AuditListedEntry>& entries, const HistoryHeading& heading) {
    print::XlsxSheet sheet;
    sheet.name = kTitle;
    sheet.titleLines = {heading.pharmacyName.trimmed(), kTitle, period(heading)};
    for (const QString& caption : auditTableCaptions()) sheet.columns.append({caption});
    for (const QStringList& row : auditTableRows(entries)) {
        QVariantList values;
        for (const QString& text : row) values.append(text);
        sheet.rows.append(values);
    }
    return sheet;
}

} // namespace ph
