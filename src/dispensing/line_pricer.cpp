#include "dispensing/line_pricer.h"

#include "core/amounts.h"
#include "core/error.h"
#include "core/prompter.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/insured_pricing.h"
#include "dispensing/line_kind.h"
#include "dispensing/prescription_lines.h"
#include "dispensing/pricing_data.h"

namespace ph {

using Col = PrescriptionLines::Column;

QString goodsCodeText(double code) {
    return plainDecimalText(code);
}

namespace {

// The cells every line priced here shares: name, code, form, kind, quantity, and no substitution.
QStringList lineCells(const DrugItem& drug, const QString& kind, const QString& quantity) {
    QStringList cells(PrescriptionLines::kColumns);
    cells[Col::Name] = drug.name.trimmed();
    cells[Col::Code] = goodsCodeText(drug.code);
    cells[Col::FormName] = drug.formName.trimmed();
    cells[Col::Kind] = kind;
    cells[Col::Quantity] = quantity.trimmed();
    for (int col = Col::Substitute; col <= Col::MainDrugPrice; ++col)
        cells[col] = QStringLiteral("0");
    return cells;
}

// A free, goods or OTC row: its whole total in the kind's own column.
QStringList plainCells(QStringList cells, LineKind kind, double unitPrice, double total) {
    cells[Col::UnitPrice] = plainDecimalText(unitPrice);
    cells[Col::Total] = plainDecimalText(total);
    for (int col = Col::InsurerShare; col <= Col::GoodsAmount; ++col)
        cells[col] = QStringLiteral("0");
    const int amountColumn = kind == LineKind::Goods ? Col::GoodsAmount
                             : kind == LineKind::Otc ? Col::OtcAmount
                                                     : Col::FreeAmount;
    cells[amountColumn] = plainDecimalText(total);
    if (kind == LineKind::Free) cells[Col::HotelingPrice] = QStringLiteral("0");
    return cells;
}

} // namespace

LineResult LinePricer::validate(const DrugItem& drug, const LineInput& input) {
    if (input.quantity.trimmed().isEmpty()) {
        m_prompter.warning(texts::kQuantityMissing);
        return {LineResult::Status::NotValid, -1, QStringLiteral("me_tedad")};
    }
    if (input.kind.trimmed().isEmpty()) {
        m_prompter.warning(texts::kKindMissing);
        return {LineResult::Status::NotValid, -1, QStringLiteral("cb_vaziat")};
    }
    if (!drug.listPrice || *drug.listPrice == 0) {
        m_prompter.warning(texts::kPriceMissing);
        return {LineResult::Status::NotValid, -1, QStringLiteral("DBGrid2")};
    }
    return {LineResult::Status::Written, -1, {}};
}

LineResult LinePricer::add(PrescriptionLines& lines, const PricingContext& context, const DrugItem& drug,
                           const LineInput& input) {
    const LineResult checked = validate(drug, input);
    if (checked.status != LineResult::Status::Written) return checked;
    return price(lines, {Mode::Add, lines.lastRow()}, context, drug, input, false);
}

LineResult LinePricer::replace(PrescriptionLines& lines, int row, const PricingContext& context,
                               const LineInput& input) {
    return replaceRow(lines, row, context, input, false);
}

LineResult LinePricer::raise(PrescriptionLines& lines, int row, const PricingContext& context,
                             const LineInput& input) {
    return replaceRow(lines, row, context, input, false, false);
}

LineResult LinePricer::replaceRow(PrescriptionLines& lines, int row, const PricingContext& context,
                                  const LineInput& input, bool insurerChangePass, bool confirm) {
    if (row < 1 || row >= lines.lastRow()) return {LineResult::Status::NotValid, -1, {}};
    bool isCode = false;
    const double code = lines.cell(row, Col::Code).toDouble(&isCode);
    const std::optional<DrugItem> drug = isCode ? m_data.findDrug(code, context.stockKeeping) : std::nullopt;
    if (!drug) {
        m_prompter.information(texts::kCannotEditLine);
        return {LineResult::Status::NotInDrugList, row, QStringLiteral("me_tedad")};
    }
    if (!insurerChangePass && confirm && !m_prompter.askYesNo(texts::kConfirmReplace))
        return {LineResult::Status::Declined, row, {}};
    const LineResult checked = validate(*drug, input);
    if (checked.status != LineResult::Status::Written) return checked;
    LineResult result = price(lines, {Mode::Replace, row}, context, *drug, input, insurerChangePass);
    if (result.written()) lines.compact();
    return result;
}

LineResult LinePricer::price(PrescriptionLines& lines, Target target, const PricingContext& context,
                             const DrugItem& drug, const LineInput& input, bool insurerChangePass) {
    const LineKind kind = lineKindOf(input.kind);
    const double quantity = amountFromText(input.quantity);
    LineResult result{LineResult::Status::Written, -1, {}};
    LineKind written = kind;
    if (kind != LineKind::Insured) {
        if (stockWarning(context, drug, quantity)) result.focus = QStringLiteral("me_tedad");
        result.row = writePlain(lines, target, kind, drug, input, quantity);
    } else {
        const auto insurer = context.insurer.number();
        const std::optional<QString> lastDay = insurer ? m_data.insurerTerms(*insurer).lastDay : std::nullopt;
        if (stockWarning(context, drug, quantity)) result.focus = QStringLiteral("me_tedad");
        const bool inForce = lastDay && context.currentDate <= *lastDay;
        if (context.insurer.isNone()) {
            written = LineKind::Free;
            result.row = writePlain(lines, target, LineKind::Free, drug, input, quantity);
        } else if (inForce || insurerChangePass) {
            // An ended contract does not interrupt pricing every line again for a new insurer.
            result.row = writeInsured(lines, target, context, drug, input, quantity);
            written = lineKindOf(lines.cell(result.row, Col::Kind));
        } else {
            m_prompter.warning(texts::kEndedContract);
            if (!m_prompter.askYesNo(texts::kPriceFreeQuestion))
                return {LineResult::Status::Declined, -1, {}};
            written = LineKind::Free;
            result.row = writePlain(lines, target, LineKind::Free, drug, input, quantity);
        }
    }
    if (target.mode == Mode::Add) addCompanions(lines, context, drug, input, quantity, written);
    return result;
}

bool LinePricer::stockWarning(const PricingContext& context, const DrugItem& drug, double quantity) {
    if (!context.stockKeeping || drug.isCompounded()) return false;
    const double stock = m_data.pharmacyStock(drug.code).value_or(0);
    if (!(stock < quantity)) return false;
    m_prompter.warning(texts::kStockShort + u'\'' + plainDecimalText(stock) + u'\'');
    return true;
}

int LinePricer::write(PrescriptionLines& lines, Target target, const QStringList& cells) {
    if (target.mode == Mode::Add) return lines.append(cells);
    lines.rewrite(target.row, cells);
    return target.row;
}

int LinePricer::writePlain(PrescriptionLines& lines, Target target, LineKind kind, const DrugItem& drug,
                           const LineInput& input, double quantity) {
    // A compounded drug sold free, as goods or over the counter is priced at the price
    // typed for it; other drugs at the list price, or the line's own price when replaced.
    const double unitPrice = drug.isCompounded() || target.mode == Mode::Replace ? amountFromText(input.price)
                                                                                 : drug.listPrice.value_or(0);
    const QStringList cells =
        plainCells(lineCells(drug, kindText(kind), input.quantity), kind, unitPrice, quantity * unitPrice);
    return write(lines, target, cells);
}

int LinePricer::writeInsured(PrescriptionLines& lines, Target target, const PricingContext& context,
                             const DrugItem& drug, const LineInput& input, double quantity) {
    const int insurer = context.insurer.number().value_or(-1);
    double unitPrice = 0;
    double formulaFree = 0;
    if (drug.isCompounded()) {
        // The formula's free materials are the patient's; the insurer covers the rest.
        unitPrice = amountFromText(input.price);
        const std::optional<double> free = m_data.formulaFreePart(drug.code);
        if (free && *free != 0) {
            unitPrice -= *free;
            formulaFree = *free;
        }
    } else {
        unitPrice = target.mode == Mode::Replace ? amountFromText(input.price) : drug.listPrice.value_or(0);
    }

    InsuredInput facts;
    facts.quantity = quantity;
    facts.unitPrice = unitPrice;
    facts.specialtyCode = context.specialtyCode;
    facts.admission = context.admission;
    facts.contract = m_data.insurerTerms(insurer).first;
    facts.rule = m_data.rule(insurer, drug.code);
    const InsuredPath path = InsuredPricing::choosePath(facts, m_prompter);
    if (path == InsuredPath::Free) return writePlain(lines, target, LineKind::Free, drug, input, quantity);
    InsuredShares shares = InsuredPricing::shares(path, facts);

    QStringList cells = lineCells(drug, texts::kInsured, input.quantity);
    double total = quantity * unitPrice;
    // A hoteling drug is reimbursed apart: only its hoteling price is shown.
    if (m_data.isHoteling(insurer, drug.code)) {
        cells[Col::HotelingPrice] = wholeRialText(unitPrice);
        unitPrice = 0;
        total = 0;
        shares = {};
    }
    cells[Col::UnitPrice] = wholeRialText(unitPrice);
    cells[Col::Total] = wholeRialText(total);
    cells[Col::InsurerShare] = wholeRialText(shares.insurer);
    cells[Col::PatientShare] = wholeRialText(shares.patient);
    // The free materials of every unit dispensed.
    cells[Col::FreeAmount] = wholeRialText(shares.free + quantity * formulaFree);
    cells[Col::OtcAmount] = QStringLiteral("0");
    cells[Col::GoodsAmount] = QStringLiteral("0");
    return write(lines, target, cells);
}

void LinePricer::addCompanions(PrescriptionLines& lines, const PricingContext& context, const DrugItem& drug,
                               const LineInput& input, double quantity, LineKind writtenKind) {
    const QList<CompanionItem> companions = m_data.companions(drug.code, context.stockKeeping);
    if (companions.isEmpty()) return;
    double deduct = 0;
    if (writtenKind == LineKind::Insured)
        if (const auto insurer = context.insurer.number())
            if (const auto contract = m_data.insurerTerms(*insurer).first) deduct = contract->percent;
    for (const CompanionItem& companion : companions) {
        const bool freeCondition = companion.condition.trimmed() == texts::kFree;
        LineKind kind = LineKind::Goods;
        switch (writtenKind) {
        case LineKind::Insured:
            kind = freeCondition ? LineKind::Free : LineKind::Insured;
            break;
        case LineKind::Free:
            kind = freeCondition ? LineKind::Free : LineKind::Goods;
            break;
        case LineKind::Goods:
            kind = LineKind::Goods;
            break;
        case LineKind::Otc:
            kind = LineKind::Otc;
            break;
        }
        QStringList cells(PrescriptionLines::kColumns);
        cells[Col::Name] = companion.name;
        cells[Col::Code] = goodsCodeText(companion.code);
        cells[Col::FormName] = companion.formName;
        cells[Col::Kind] = kindText(kind);
        cells[Col::Quantity] = input.quantity.trimmed();
        for (int col = Col::Substitute; col <= Col::MainDrugPrice; ++col)
            cells[col] = QStringLiteral("0");
        const double total = companion.price * quantity;
        if (kind == LineKind::Insured) {
            const double insurerShare = total * deduct / 100;
            cells[Col::UnitPrice] = plainDecimalText(companion.price);
            cells[Col::Total] = plainDecimalText(total);
            cells[Col::InsurerShare] = wholeRialText(insurerShare);
            cells[Col::PatientShare] = wholeRialText(total - insurerShare);
            for (int col = Col::FreeAmount; col <= Col::GoodsAmount; ++col)
                cells[col] = QStringLiteral("0");
        } else {
            cells = plainCells(cells, kind, companion.price, total);
        }
        lines.append(cells);
    }
}

QString LinePricer::priceFieldFor(const QStringList& row, const DrugItem& drug) {
    QString price = row.value(Col::UnitPrice);
    const QString hoteling = row.value(Col::HotelingPrice);
    if (price == QLatin1String("0") && !hoteling.isEmpty() && hoteling != QLatin1String("0"))
        price = hoteling;
    if (drug.isCompounded() && row.value(Col::Kind).trimmed() == texts::kInsured) {
        const std::optional<double> free = m_data.formulaFreePart(drug.code);
        if (free && *free != 0) price = plainDecimalText(amountFromText(price) + *free);
    }
    return price;
}

LinePricer::InsurerChange LinePricer::changeInsurer(PrescriptionLines& lines, const PricingContext& context,
                                                    const InsurerCode& previous) {
    if (context.insurer == previous || lines.lineCount() == 0)
        return InsurerChange::Unchanged;
    if (!m_prompter.askYesNo(texts::kConfirmInsurerChange)) return InsurerChange::Declined;
    const QString newKind = kindAfterInsurerChange(context.insurer);
    QStringList formerKinds;
    QList<bool> relabelled;
    for (int row = 0; row < lines.rowCount(); ++row) {
        formerKinds.append(lines.cell(row, Col::Kind));
        const bool named =
            row > 0 && !lines.cell(row, Col::Name).isEmpty() && !lines.cell(row, Col::Code).isEmpty();
        relabelled.append(named);
        if (named) lines.setCell(row, Col::Kind, newKind);
    }
    for (int row = 1; row < lines.rowCount() && lines.isLine(row); ++row) {
        if (!relabelled.value(row)) continue;
        bool isCode = false;
        const double code = lines.cell(row, Col::Code).toDouble(&isCode);
        const std::optional<DrugItem> drug =
            isCode ? m_data.findDrug(code, context.stockKeeping) : std::nullopt;
        QStringList former = lines.row(row);
        former[Col::Kind] = formerKinds.at(row);
        const LineInput input{lines.cell(row, Col::Quantity), newKind,
                              drug ? priceFieldFor(former, *drug) : lines.cell(row, Col::UnitPrice)};
        const LineResult result = replaceRow(lines, row, context, input, true);
        // A line that could not be priced again keeps its kind, so that its amounts stay
        // in the columns of that kind.
        if (!result.written() && row < lines.lastRow()) lines.setCell(row, Col::Kind, formerKinds.at(row));
    }
    return InsurerChange::Repriced;
}

} // namespace ph
