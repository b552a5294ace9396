// Scanned packs in a prescription: the drug a barcode names gets a line, or one more on its
// line, and the pack is remembered for the lot it is drawn from when the prescription is saved.
#include "core/amounts.h"
#include "core/jalali_date.h"
#include "core/prompter.h"
#include "catalogue/goods.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/prescription_session.h"
#include "lots/lots.h"
#include "lots/scan_code.h"

#include <variant>

namespace ph {

namespace {

QString documentName(const SerialSeen& seen) {
    const QString kind = seen.document == LotDocument::Prescription   ? QStringLiteral("نسخه")
                         : seen.document == LotDocument::GoodsInvoice ? QStringLiteral("فاكتور كالا")
                                                                      : QStringLiteral("مصرف بخش");
    return kind + u' ' + QString::number(seen.number);
}

} // namespace

PrescriptionSession::ScanResult PrescriptionSession::takeScan(const QString& typed) {
    const auto read = readScan(typed);
    if (const auto* refusal = std::get_if<ScanRefusal>(&read)) {
        m_prompter.warning(refusal->message);
        return {};
    }
    const ScannedCode& scan = std::get<ScannedCode>(read);
    const std::optional<double> item = GoodsCatalogue(m_db).itemOfBarcode(scan.code);
    if (!item) {
        m_prompter.warning(texts::kUnknownBarcode.arg(scan.code));
        return {ScanStatus::Refused, scan.code};
    }
    const std::optional<DrugItem> drug = findDrug(*item);
    if (!drug) {
        m_prompter.warning(texts::kBarcodeNotInDrugList.arg(scan.code));
        return {ScanStatus::Refused, scan.code};
    }
    const ScannedPack pack{{scan.batch, scan.expiry}, scan.serial};
    if (scan.expiry.isValid() && scan.expiry < lotsDay(m_moment.today) &&
        !m_prompter.askYesNo(texts::kExpiredPack.arg(toJalali(scan.expiry).longText())))
        return {ScanStatus::Declined, scan.code};
    if (const std::optional<SerialSeen> seen = LotStore(m_db).serialSeen(drug->code, scan.batch, scan.serial))
        m_prompter.warning(texts::kSerialSeen.arg(documentName(*seen)));

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
    if (!scan.batch.isEmpty() || scan.expiry.isValid() || !scan.serial.isEmpty()) m_packs[drug->code].append(pack);
    return {ScanStatus::Added, scan.code, result.row};
}

} // namespace ph
