#include "admin/price_correction.h"

#include "audit/audit_log.h"
#include "db/database.h"
#include "db/transaction.h"
#include "lots/barcodes.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <cmath>
#include <optional>

namespace ph {
namespace {

// Rows are applied in batches, each in one transaction: one commit per row would make
// a workbook of 30,000 rows wait on 30,000 disk flushes on a server. A batch ends early
// when the user cancels (the rows done so far are committed) or when a statement fails;
// then the batch is rolled back and the rows before the failing one are applied again
// in a transaction of their own, so every row before the failure stays updated.
constexpr int kBatchRows = 500;

// Doubles hold every whole number up to 2^53 exactly; a larger code cannot be matched
// reliably against the stored national codes.
constexpr double kLargestCode = 9007199254740992.0;

// A price is a whole number of Rials, above zero and below a million million: a larger
// figure, or a fraction, is a mistake in the workbook rather than a price.
constexpr double kPriceCeiling = 1e12;

// The final message lists this many unreadable rows and counts the rest.
constexpr int kListedUnreadableRows = 50;

enum class RowKind { NoCode, Unreadable, NoPrice, Apply };

struct RowPlan {
    RowKind kind = RowKind::NoCode;
    qint64 code = 0;
    double price = 0;
    QString reason;
};

// A cell's text as shown in a message: short enough for one line.
QString shownCell(const QString& text) {
    constexpr int kLongest = 40;
    return text.size() <= kLongest ? text : text.left(kLongest) + QStringLiteral("…");
}

RowPlan planRow(const PriceSheetRow& row) {
    RowPlan plan;
    const QString codeText = visibleCellText(row.code);
    if (codeText.isEmpty())
        return plan;
    plan.kind = RowKind::Unreadable;
    const std::optional<double> code = readSheetNumber(codeText);
    if (!code) {
        plan.reason = QStringLiteral("كد «%1» عدد نيست").arg(shownCell(codeText));
        return plan;
    }
    if (*code < 1 || *code > kLargestCode || *code != std::floor(*code)) {
        plan.reason = QStringLiteral("كد «%1» يك عدد صحيح مثبت نيست").arg(shownCell(codeText));
        return plan;
    }
    plan.code = static_cast<qint64>(*code);
    const QString priceText = visibleCellText(row.price);
    if (priceText.isEmpty()) {
        plan.kind = RowKind::NoPrice;
        return plan;
    }
    const std::optional<double> price = readSheetNumber(priceText);
    if (!price) {
        plan.reason = QStringLiteral("قيمت «%1» عدد نيست").arg(shownCell(priceText));
        return plan;
    }
    if (*price < 0) {
        plan.reason = QStringLiteral("قيمت «%1» منفي است").arg(shownCell(priceText));
        return plan;
    }
    if (*price == 0) {
        plan.reason = QStringLiteral("قيمت «%1» صفر است").arg(shownCell(priceText));
        return plan;
    }
    if (*price != std::floor(*price)) {
        plan.reason =
            QStringLiteral("قيمت «%1» عدد صحيح نيست؛ قيمت به ريال و بدون اعشار است").arg(shownCell(priceText));
        return plan;
    }
    if (*price >= kPriceCeiling) {
        plan.reason = QStringLiteral("قيمت «%1» بيش از اندازه بزرگ است؛ قيمت بايد كمتر از 1000000000000 ريال باشد")
                          .arg(shownCell(priceText));
        return plan;
    }
    plan.kind = RowKind::Apply;
    plan.price = *price;
    return plan;
}

} // namespace

std::optional<double> readSheetNumber(const QString& text) {
    QString latin;
    for (QChar c : visibleCellText(text)) {
        const char16_t u = c.unicode();
        if (u >= 0x06F0 && u <= 0x06F9)
            latin.append(QChar(u'0' + (u - 0x06F0)));
        else if (u >= 0x0660 && u <= 0x0669)
            latin.append(QChar(u'0' + (u - 0x0660)));
        else if (u == 0x066B) // Arabic decimal separator
            latin.append(u'.');
        else if (u == 0x066C) // Arabic thousands separator
            latin.append(u',');
        else if (u == 0x2212) // minus sign
            latin.append(u'-');
        else
            latin.append(c);
    }
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(?:(?:[0-9]+|[0-9]{1,3}(?:,[0-9]{3})+)(?:\\.[0-9]*)?|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?$"));
    if (!number.match(latin).hasMatch())
        return std::nullopt;
    latin.remove(u',');
    bool ok = false;
    const double value = latin.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

struct PriceCorrection::Batch {
    int processed = 0;
    int updated = 0;
    int notFound = 0;
    int withoutCode = 0;
    int withoutPrice = 0;
    QList<UnreadablePriceRow> unreadable;
    bool cancelled = false;
    // The barcodes of the batch's rows, to be added to their goods once the batch is stored.
    struct Barcode {
        int sheetRow = 0;
        double goods = 0;
        QString barcode;
    };
    QList<Barcode> barcodes;
    std::optional<int> failedAt; // index of the row (or batch start) where a statement failed
    QString failure;
};

// Applies rows [begin, end) in one transaction. On a failed statement nothing of the
// batch is kept and the result tells where it failed.
PriceCorrection::Batch PriceCorrection::applyBatch(const QList<PriceSheetRow>& rows, int begin, int end,
                                                   const Progress* progress) {
    Batch batch;
    QList<RowPlan> plans;
    plans.reserve(end - begin);
    QSet<qint64> codes;
    for (int i = begin; i < end; ++i) {
        plans.append(planRow(rows[i]));
        const RowKind kind = plans.last().kind;
        if (kind == RowKind::Apply || (kind == RowKind::NoPrice && !visibleCellText(rows[i].barcode).isEmpty()))
            codes.insert(plans.last().code);
    }

    std::optional<Transaction> transaction;
    QHash<qint64, double> goodsByCode; // national code -> goods code of its first goods row
    QHash<qint64, QVariant> priceBefore; // national code -> that row's price before the batch
    QJsonArray changedPrices;          // for the history: each goods row's price before and after
    try {
        transaction.emplace(m_db);
        if (!codes.isEmpty()) {
            // One look-up for the whole batch: code_tow has no index of its own, and a
            // scan per row would dominate the run.
            QVariantList params;
            params.reserve(codes.size());
            for (qint64 code : codes)
                params.append(double(code));
            QStringList marks;
            marks.fill(QStringLiteral("?"), params.size());
            Rows goods = m_db.exec(
                QStringLiteral("select code_kala, code_tow, price_u from mosh_kala_anbar where code_kala is not null and "
                               "code_tow in (%1) order by code_kala")
                    .arg(marks.join(u',')),
                params);
            while (goods.next()) {
                const qint64 code = static_cast<qint64>(goods.value(1).toDouble());
                if (!goodsByCode.contains(code)) {
                    goodsByCode.insert(code, goods.value(0).toDouble());
                    priceBefore.insert(code, goods.value(2));
                }
            }
        }
    } catch (const DbError& error) {
        batch.failedAt = begin;
        batch.failure = error.message();
        return batch;
    }

    const int total = int(rows.size());
    for (int i = begin; i < end; ++i) {
        const RowPlan& plan = plans[i - begin];
        if (const QString barcode = visibleCellText(rows[i].barcode); !barcode.isEmpty()) {
            const auto goods = goodsByCode.constFind(plan.code);
            if ((plan.kind == RowKind::Apply || plan.kind == RowKind::NoPrice) && goods != goodsByCode.cend())
                batch.barcodes.append({rows[i].sheetRow, goods.value(), barcode});
        }
        switch (plan.kind) {
        case RowKind::NoCode:
            ++batch.withoutCode;
            break;
        case RowKind::Unreadable:
            batch.unreadable.append({rows[i].sheetRow, plan.reason});
            break;
        case RowKind::NoPrice:
            ++batch.withoutPrice;
            break;
        case RowKind::Apply: {
            const auto goods = goodsByCode.constFind(plan.code);
            if (goods == goodsByCode.cend()) {
                ++batch.notFound;
                break;
            }
            try {
                m_db.exec(QStringLiteral("update mosh_kala_anbar set price_u=? where code_kala=?"),
                          {plan.price, goods.value()});
            } catch (const DbError& error) {
                Batch failed;
                failed.failedAt = i;
                failed.failure = error.message();
                return failed; // the transaction rolls back on leaving
            }
            ++batch.updated;
            changedPrices.append(QJsonObject{{QStringLiteral("code_kala"), goods.value()},
                                             {QStringLiteral("before"), QJsonValue::fromVariant(priceBefore.value(plan.code))},
                                             {QStringLiteral("after"), plan.price}});
            priceBefore.insert(plan.code, plan.price); // a later row of the sheet changes this price
            break;
        }
        }
        ++batch.processed;
        if (progress && *progress && !(*progress)(i + 1, total)) {
            batch.cancelled = true;
            break;
        }
    }

    try {
        if (!changedPrices.isEmpty())
            appendAudit(m_db, m_origin,
                        {QStringLiteral("goods_price_correction"),
                         QStringLiteral("%1-%2").arg(rows[begin].sheetRow).arg(rows[begin + batch.processed - 1].sheetRow),
                         QJsonObject{{QStringLiteral("prices"), changedPrices}}});
        transaction->commit();
    } catch (const DbError& error) {
        Batch failed;
        failed.failedAt = begin;
        failed.failure = error.message();
        return failed;
    }
    return batch;
}

PriceCorrectionReport PriceCorrection::run(const QList<PriceSheetRow>& rows, const Progress& progress) {
    PriceCorrectionReport report;
    report.totalRows = int(rows.size());
    auto keep = [this, &report](const Batch& batch) {
        report.processedRows += batch.processed;
        report.updated += batch.updated;
        report.notFound += batch.notFound;
        report.withoutCode += batch.withoutCode;
        report.withoutPrice += batch.withoutPrice;
        report.unreadable += batch.unreadable;
        // Each barcode in a transaction of its own: one held by another item is left out
        // and reported, and never undoes the prices.
        BarcodeStore barcodes(m_db);
        for (const Batch::Barcode& row : batch.barcodes) {
            try {
                const bool had = barcodes.itemOf(row.barcode) == row.goods;
                barcodes.add(row.goods, row.barcode);
                if (!had) ++report.barcodesAdded;
            } catch (const Error& refusal) {
                report.refusedBarcodes.append({row.sheetRow, refusal.message()});
            }
        }
    };

    for (int begin = 0; begin < report.totalRows; begin += kBatchRows) {
        const int end = std::min(begin + kBatchRows, report.totalRows);
        const Batch batch = applyBatch(rows, begin, end, &progress);
        if (batch.failedAt) {
            report.failure = batch.failure;
            int firstUnchanged = *batch.failedAt;
            if (firstUnchanged > begin) {
                const Batch before = applyBatch(rows, begin, firstUnchanged, nullptr);
                if (before.failedAt)
                    firstUnchanged = begin;
                else
                    keep(before);
            }
            report.stoppedAtRow = rows[firstUnchanged].sheetRow;
            break;
        }
        keep(batch);
        if (batch.cancelled) {
            report.cancelled = true;
            break;
        }
    }
    return report;
}

namespace {

// The first rows of a list, one line each with its sheet row number and the reason, under
// their heading, and the count of the others.
void appendListedRows(QString& text, const QString& heading, const QList<UnreadablePriceRow>& rows) {
    if (rows.isEmpty())
        return;
    text += QStringLiteral("\n\n") + heading;
    for (const UnreadablePriceRow& row : rows.first(std::min<qsizetype>(rows.size(), kListedUnreadableRows)))
        text += QStringLiteral("\nرديف %1: %2").arg(QString::number(row.sheetRow), row.reason);
    if (rows.size() > kListedUnreadableRows)
        text += QStringLiteral("\nو %1 رديف ديگر.").arg(QString::number(rows.size() - kListedUnreadableRows));
}

} // namespace

QString priceCorrectionMessage(const PriceCorrectionReport& report) {
    QString text;
    if (!report.failure.isEmpty())
        text = QStringLiteral("اصلاح قيمت ها در رديف %1 متوقف شد؛ رديف هاي پيش از آن اصلاح شده است و از اين رديف به "
                              "بعد چيزي تغيير نكرد.\n%2")
                   .arg(QString::number(report.stoppedAtRow), report.failure);
    else if (report.cancelled)
        text = QStringLiteral("اصلاح قيمت ها نيمه كاره متوقف شد؛ %1 رديف از %2 رديف بررسي و ثبت شد.")
                   .arg(QString::number(report.processedRows), QString::number(report.totalRows));
    else
        text = QStringLiteral("اصلاح قيمت ها انجام شد.");
    appendListedRows(text, QStringLiteral("اين رديف ها خوانده نشد و كنار گذاشته شد:"), report.unreadable);
    appendListedRows(text, QStringLiteral("باركد اين رديف ها ثبت نشد:"), report.refusedBarcodes);
    return text;
}

} // namespace ph
