// The goods sale window's prints: the goods invoice and the ward consumption sheet.

#include "sales/ui/froosh_kala.h"

#include "core/amounts.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "catalogue/lookup_list.h"
#include "print/report_output.h"
#include "sales/sales_texts.h"

#include <QLineEdit>

namespace ph {

namespace t = texts::sales;
using Col = GoodsLines::Column;

void Tf_froosh_kala::printSaved(int number) {
    std::optional<print::Report> report;
    if (goods()) {
        if (const std::optional<GoodsInvoicePrint> data = printOf(number))
            report.emplace(goodsInvoiceReport(*data, {m_windows.context.pharmacy_name, m_windows.context.payam}));
    } else if (const std::optional<WardConsumptionPrint> data = consumptionPrintOf(number)) {
        report.emplace(wardConsumptionReport(*data, m_windows.context.pharmacy_name));
    }
    if (!report) return;
    const print::OutputResult result = m_printStep(*report);
    if (result.status == print::OutputResult::Status::Failed) m_windows.prompter.warning(result.message);
}

std::optional<WardConsumptionPrint> Tf_froosh_kala::consumptionPrintOf(int number) {
    GoodsSaleSession stored(m_windows.db, m_windows.prompter, SaleVariant::WardConsumption);
    if (!stored.load(number)) return std::nullopt;
    WardConsumptionPrint data;
    data.number = number;
    data.date = stored.header().date;
    data.requestNumber = stored.header().requestNumber;
    data.wardCode = stored.header().wardCode;
    if (!data.wardCode.trimmed().isEmpty())
        data.wardName = activeWardName(m_windows.db, data.wardCode.trimmed().toLongLong()).value_or(QString());
    data.total = stored.totals().goods;
    const GoodsLines& lines = stored.lines();
    for (int row = 1; row < lines.lastRow(); ++row)
        data.lines.append({lines.cell(row, Col::Name), lines.cell(row, Col::Code), lines.cell(row, Col::FormName),
                           lines.cell(row, Col::Kind), amountFromText(lines.cell(row, Col::Quantity)),
                           amountFromText(lines.cell(row, Col::UnitPrice)), amountFromText(lines.cell(row, Col::Total))});
    return data;
}

std::optional<GoodsInvoicePrint> Tf_froosh_kala::printOf(int number) {
    GoodsSaleSession stored(m_windows.db, m_windows.prompter);
    if (!stored.load(number)) return std::nullopt;
    GoodsInvoicePrint data;
    data.invoice = number;
    data.date = stored.header().date;
    data.customer = stored.header().family + QStringLiteral(" ") + stored.header().name;
    data.total = stored.totals().payable;
    data.otc = stored.totals().otc;
    const GoodsLines& lines = stored.lines();
    for (int row = 1; row < lines.lastRow(); ++row)
        data.lines.append({lines.cell(row, Col::Name), amountFromText(lines.cell(row, Col::Quantity)),
                           amountFromText(lines.cell(row, Col::UnitPrice)), amountFromText(lines.cell(row, Col::Total))});
    return data;
}

void Tf_froosh_kala::printShown() {
    const QString number = me_sh_factor->text().trimmed();
    if (number.isEmpty()) {
        m_windows.prompter.warning(t::kNothingToPrint);
        return;
    }
    m_current = wholeNumberFromText(number);
    const std::optional<GoodsInvoicePrint> data = printOf(m_current);
    if (!data) {
        m_windows.prompter.warning(t::kPrintNotFound);
        return;
    }
    const print::OutputResult result =
        print::preview(goodsInvoiceReport(*data, {m_windows.context.pharmacy_name, m_windows.context.payam}), this);
    if (result.status == print::OutputResult::Status::Failed) m_windows.prompter.warning(result.message);
}

} // namespace ph
