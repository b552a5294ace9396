// Scanned packs in a prescription: the drug a barcode names gets a line, or one more on its
// line, and the pack is remembered for the lot it is drawn from when the prescription is saved.
#include "core/amounts.h"
#include "core/prompter.h"
#include "catalogue/goods.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/prescription_session.h"
#include "lots/lots.h"
#include "lots/pack_scan.h"
#include "lots/scan_code.h"

#include <variant>

namespace ph {

PrescriptionSession::ScanResult PrescriptionSession::takeScan(const QString& typed) {
    const auto read = readScan(typed);
    if (const auto* refusal = std::get_if<ScanRefusal>(&read)) {
        m_prompter.warning(refusal->message);
        return {};
    }
    const ScannedCode& scan = std::get<ScannedCode>(read);
    const std::optional<double> item = GoodsCatalogue(m_db).itemOfBarcode(scan.code);
    if (!item) return {ScanStatus::Unknown, scan.code};
    const std::optional<DrugItem> drug = findDrug(*item);
    if (!drug) {
        m_prompter.warning(texts::kBarcodeNotInDrugList.arg(scan.code));
        return {ScanStatus::Refused, scan.code};
    }
    if (!acceptPack(m_db, m_prompter, drug->code, scan, lotsDay(m_moment.today)))
        return {ScanStatus::Declined, scan.code};

    // A second pack of a drug already in the list raises its line's quantity.
    int row = -1;
    for (int r = 1; r < m_lines.rowCount() && row < 0; ++r)
        if (m_lines.isLine(r) && m_lines.cell(r, PrescriptionLines::Code).toDouble() == drug->code) row = r;
    LineResult result;
    if (row > 0) {
        const double quantity = m_lines.cell(row, PrescriptionLines::Quantity).toDouble() + 1;
        result = m_pricer.raise(m_lines, row, context(),
                                {plainDecimalText(quantity), m_lines.cell(row, PrescriptionLines::Kind), priceFieldFor(row)});
    } else {
        // A compounded drug is priced at its list price, as its price field would offer.
        const QString price = drug->isCompounded() && drug->listPrice ? plainDecimalText(*drug->listPrice) : QString();
        result = addLine(*drug, {QStringLiteral("1"), kindForChosen(*drug), price});
    }
    if (!result.written()) return {ScanStatus::Refused, scan.code};
    if (namesPack(scan)) m_packs[drug->code].append(packOf(scan));
    return {ScanStatus::Added, scan.code, result.row};
}

} // namespace ph
