#include "reports/report_files.h"

#include "core/amounts.h"
#include "core/atomic_file.h"
#include "lots/lots.h"

namespace ph {
namespace {

QString code(double value) { return QString::number(qint64(value)); }

// A text field of a comma file: quoted when it holds a comma, a quote or a line break.
QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

void writeCsv(const QString& path, const QStringList& lines) {
    writeFileWhole(path, lines.join(QLatin1Char('\n')).toUtf8() + '\n');
}

} // namespace

QList<int> allRows(const SalesReport& report) {
    QList<int> rows;
    rows.reserve(report.rows.size());
    for (int i = 0; i < report.rows.size(); ++i) rows.append(i);
    return rows;
}

void writeSalesCsv(SalesReportKind kind, const SalesReport& report, const QList<int>& shownRows, const QString& path) {
    const bool byInsurer = kind == SalesReportKind::ByInsurer;
    QStringList lines{byInsurer ? QStringLiteral("code_darou,name_kala,name,sum_tedad,sum_price,sum_sazman,sum_bimar")
                                : QStringLiteral("code_darou,name_kala,name,sum_tedad,sum_price")};
    lines.reserve(report.rows.size() + 1);
    for (int index : shownRows.isEmpty() ? allRows(report) : shownRows) {
        const SalesRow& row = report.rows.at(index);
        QStringList cells{code(row.code), csvField(row.name), csvField(row.form), plainDecimalText(row.quantity),
                          plainDecimalText(row.amount)};
        if (byInsurer) cells << plainDecimalText(row.insurerShare) << plainDecimalText(row.patientShare);
        lines.append(cells.join(QLatin1Char(',')));
    }
    writeCsv(path, lines);
}

void writeStockCsv(const QList<StockRow>& rows, const QString& path) {
    QStringList lines{QStringLiteral("code_kala,name_kala,moj_vah")};
    for (const StockRow& row : rows)
        lines.append(QStringList{code(row.code), csvField(row.name), plainDecimalText(row.quantity)}.join(QLatin1Char(',')));
    writeCsv(path, lines);
}

void writeExpiryCsv(const ExpiryReport& report, const QString& path) {
    QStringList lines{QStringLiteral("code_kala,name_kala,batch,date_exps,date_exps_solar,expired,qu,price_u,value")};
    for (const ExpiryRow& row : report.rows)
        lines.append(QStringList{code(row.item), csvField(row.name), csvField(row.batch), lotExpiryText(row.expiry),
                                 row.expiryText, row.expired ? QStringLiteral("1") : QStringLiteral("0"),
                                 plainDecimalText(row.quantity), plainDecimalText(row.unitPrice),
                                 plainDecimalText(row.value)}
                         .join(QLatin1Char(',')));
    writeCsv(path, lines);
}

} // namespace ph
