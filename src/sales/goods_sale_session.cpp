#include "sales/goods_sale_session.h"

#include "dispensing/settings_store.h"
#include "core/amounts.h"
#include "core/prompter.h"
#include "db/column_limits.h"
#include "dispensing/drug_list.h"
#include "insurance/tariff_store.h"
#include "sales/sales_texts.h"
#include "catalogue/goods.h"
#include "lots/lots.h"
#include "lots/scan_code.h"

#include <QSet>

#include <variant>

namespace ph {

using Col = GoodsLines::Column;
namespace t = texts::sales;

GoodsTotals goodsTotals(const LineList& lines, int kindColumn, int totalColumn, const OtcRate& rate) {
    GoodsTotals totals;
    double otcSum = 0;
    for (int row = 1; row < lines.rowCount(); ++row) {
        const QString total = lines.cell(row, totalColumn);
        if (total.trimmed().isEmpty()) continue;
        const double amount = amountFromText(total);
        totals.goods += amount;
        if (lines.cell(row, kindColumn) == t::kOtc) {
            otcSum += amount * rate.percent / 100;
            totals.otc = otcSum >= rate.cap ? rate.cap : otcSum;
        }
    }
    totals.payable = totals.goods + totals.otc;
    return totals;
}

GoodsSaleSession::GoodsSaleSession(Database& db, Prompter& prompter, SaleVariant variant)
    : m_db(db), m_prompter(prompter), m_variant(variant),
      m_store(db, SaleDocumentKind::of(variant)) {}

QStringList GoodsSaleSession::kinds() const {
    if (goods()) return {t::kGoods, t::kOtc};
    return {t::kInsured, t::kGoods, t::kOtc, t::kFree};
}

void GoodsSaleSession::start(const QString& today) {
    m_editing.reset();
    m_lines.clear();
    m_packs.clear();
    m_today = today;
    m_header = {m_store.nextNumber(), today, goods() ? t::kCustomer : QString(), {}, {}, {}};
    m_stockKeeping = DrugList(m_db).stockKeepingMode();
    // A ward's consumption pays no OTC fee.
    const QList<TariffPeriod> tariffs = goods() ? TariffStore(m_db).all() : QList<TariffPeriod>();
    m_rate = tariffs.isEmpty() ? OtcRate{} : OtcRate{tariffs.first().otcPercent, tariffs.first().otcMax};
    recompute();
}

bool GoodsSaleSession::load(int number) {
    m_editing.reset();
    m_lines.clear();
    m_packs.clear();
    m_header = {number, {}, {}, {}, {}, {}};
    m_totals = {};
    const std::optional<StoredSaleDocument> stored = m_store.load(number);
    if (!stored) return false;
    m_header = {number, stored->date, stored->family, stored->name, stored->requestNumber, stored->wardCode};
    m_totals = {stored->goods, stored->otc, stored->payable};
    for (const QStringList& cells : stored->lines)
        m_lines.append(cells);
    return true;
}

void GoodsSaleSession::startEdit() {
    m_editing = m_header.invoiceNumber;
}

std::optional<DrugItem> GoodsSaleSession::findGoods(double code) {
    return DrugList(m_db).find(code, m_stockKeeping);
}

QString GoodsSaleSession::kindFor(const DrugItem& goods) {
    return goods.groupCode == 1 ? t::kOtc : t::kGoods;
}

GoodsLineResult GoodsSaleSession::refuse(const QString& message, const QString& focus) {
    m_prompter.warning(message);
    GoodsLineResult result;
    result.focus = focus;
    return result;
}

std::optional<GoodsLineResult> GoodsSaleSession::checkHeader() {
    if (goods() && m_header.family.trimmed().isEmpty())
        return refuse(t::kNoFamilyForLine, QStringLiteral("me_family"));
    if (!goods() && m_header.requestNumber.trimmed().isEmpty())
        return refuse(t::kNoRequestForLine, QStringLiteral("sh_darkhast"));
    return std::nullopt;
}

std::optional<GoodsLineResult> GoodsSaleSession::checkLine(const std::optional<DrugItem>& item,
                                                           const QString& quantity, const QString& kind) {
    if (auto refused = checkHeader()) return refused;
    if (quantity.trimmed().isEmpty()) return refuse(t::kNoQuantity, QStringLiteral("me_tedad"));
    if (kind.trimmed().isEmpty()) return refuse(t::kNoKind, QStringLiteral("cb_vaziat"));
    if (!item || !item->listPrice || *item->listPrice == 0) return refuse(t::kNoPrice, QStringLiteral("DBGrid2"));
    return std::nullopt;
}

void GoodsSaleSession::warnBeyondStock(const DrugItem& goods, double quantity) {
    if (!m_stockKeeping) return;
    const std::optional<double> stock = m_store.pharmacyStock(goods.code);
    if (stock && *stock < quantity) m_prompter.warning(t::kBeyondStock);
}

namespace {

QStringList lineCells(const DrugItem& goods, double quantity, const QString& kind) {
    const double price = goods.listPrice.value_or(0);
    return {QString(), goods.name, plainDecimalText(goods.code), goods.formName, kind, plainDecimalText(quantity),
            plainDecimalText(price), plainDecimalText(price * quantity)};
}

} // namespace

GoodsLineResult GoodsSaleSession::addLine(const std::optional<DrugItem>& goods, const QString& quantityText,
                                          const QString& kind) {
    if (auto refused = checkLine(goods, quantityText, kind)) return *refused;
    const double quantity = quantityText.trimmed().toDouble();
    warnBeyondStock(*goods, quantity);
    GoodsLineResult result{GoodsLineResult::Status::Written, m_lines.append(lineCells(*goods, quantity, kind)), {}};
    recompute();
    return result;
}

GoodsLineResult GoodsSaleSession::replaceLine(int row, const QString& quantityText, const QString& kind) {
    if (!m_lines.isLine(row)) return {};
    const std::optional<DrugItem> goods = findGoods(m_lines.cell(row, Col::Code).toDouble());
    if (!goods) {
        m_prompter.information(t::kCannotReplace);
        return {GoodsLineResult::Status::NotInList, row, {}};
    }
    if (auto refused = checkLine(goods, quantityText, kind)) return *refused;
    const double quantity = quantityText.trimmed().toDouble();
    warnBeyondStock(*goods, quantity);
    m_lines.rewrite(row, lineCells(*goods, quantity, kind));
    m_lines.compact();
    recompute();
    return {GoodsLineResult::Status::Written, row, {}};
}

void GoodsSaleSession::removeLine(int row) {
    const double code = m_lines.cell(row, Col::Code).toDouble();
    m_lines.remove(row);
    // Packs scanned for an item no line gives any more are not given either.
    bool kept = false;
    for (int r = 1; r < m_lines.rowCount() && !kept; ++r)
        kept = m_lines.isLine(r) && m_lines.cell(r, Col::Code).toDouble() == code;
    if (!kept) m_packs.remove(code);
    recompute();
}

PackScanResult GoodsSaleSession::takeScan(const QString& typed, const QString& kind) {
    using Status = PackScanResult::Status;
    const auto read = readScan(typed);
    if (const auto* refusal = std::get_if<ScanRefusal>(&read)) {
        m_prompter.warning(refusal->message);
        return {};
    }
    const ScannedCode& scan = std::get<ScannedCode>(read);
    const std::optional<double> code = GoodsCatalogue(m_db).itemOfBarcode(scan.code);
    if (!code) return {Status::Unknown, scan.code};
    const std::optional<DrugItem> item = findGoods(*code);
    if (!item) {
        m_prompter.warning(t::kBarcodeNotInGoodsList.arg(scan.code));
        return {Status::Refused, scan.code};
    }
    if (const auto refused = checkHeader()) return {Status::Refused, scan.code, -1, refused->focus};
    if (!acceptPack(m_db, m_prompter, item->code, scan, lotsDay(m_today))) return {Status::Declined, scan.code};

    // A second pack of an item already in the list raises its line's quantity.
    int row = -1;
    for (int r = 1; r < m_lines.rowCount() && row < 0; ++r)
        if (m_lines.isLine(r) && m_lines.cell(r, Col::Code).toDouble() == item->code) row = r;
    const GoodsLineResult result =
        row > 0 ? replaceLine(row, plainDecimalText(m_lines.cell(row, Col::Quantity).toDouble() + 1),
                              m_lines.cell(row, Col::Kind))
                : addLine(item, QStringLiteral("1"), goods() ? kindFor(*item) : kind);
    if (!result.written()) return {Status::Refused, scan.code, -1, result.focus};
    if (namesPack(scan)) m_packs[item->code].append(packOf(scan));
    return {Status::Added, scan.code, result.row};
}

void GoodsSaleSession::recompute() {
    m_totals = goodsTotals(m_lines, Col::Kind, Col::Total, m_rate);
}

SaleRecord GoodsSaleSession::record(const SaveContext&) {
    SaleRecord r;
    const QString family = m_header.family.trimmed();
    const QString name = m_header.name.trimmed();
    if (goods())
        r.heading = {{QStringLiteral("date_sabt"), m_header.date},
                     {QStringLiteral("code_opr"), 0},
                     {QStringLiteral("family"), m_header.family},
                     {QStringLiteral("name"), name.isEmpty() ? QVariant() : QVariant(m_header.name)},
                     {QStringLiteral("price_koll"), m_totals.goods},
                     {QStringLiteral("price_otc"), m_totals.otc},
                     {QStringLiteral("price_koll_f"), m_totals.payable}};
    else {
        r.heading = {{QStringLiteral("date_sabt"), m_header.date},
                     {QStringLiteral("code_opr"), 0},
                     {QStringLiteral("date_no"), m_header.date},
                     {QStringLiteral("sh_darkhast"), m_header.requestNumber.trimmed()},
                     {QStringLiteral("price_koll"), m_totals.goods}};
        if (!m_header.wardCode.trimmed().isEmpty())
            r.heading.append({QStringLiteral("code_bakhsh"), m_header.wardCode.trimmed().toLongLong()});
    }
    QSet<double> packed;
    for (const QStringList& cells : m_lines.lines()) {
        if (cells.value(Col::Code).isEmpty()) continue;
        SaleLine line{amountFromText(cells.value(Col::Code)), cells.value(Col::Kind).trimmed(),
                      amountFromText(cells.value(Col::Quantity)), amountFromText(cells.value(Col::UnitPrice)),
                      amountFromText(cells.value(Col::Total)), {}};
        // An item's packs go with its first line.
        if (!packed.contains(line.code)) {
            packed.insert(line.code);
            line.packs = m_packs.value(line.code);
        }
        r.lines.append(line);
    }
    r.stockKeeping = m_stockKeeping;
    r.payable = m_totals.payable;
    r.date = m_header.date;
    r.familyName = family + QStringLiteral(" ") + name;
    r.waitsAtCashDesk = m_waitsAtCashDesk;
    return r;
}

namespace {

// The first header field that does not fit the column it is stored in (no NUL, a number
// where one is stored), with the message naming it: judged before anything is written,
// the same on every engine.
std::optional<FieldProblem> refusedField(const GoodsHeader& header, bool goodsInvoice) {
    if (goodsInvoice) {
        const QString head = QStringLiteral("heading_froosh_kala");
        return firstRefusedField({
            {QStringLiteral("me_family"), QStringLiteral("نام خانوادگي"), head, QStringLiteral("family"), header.family},
            {QStringLiteral("me_name"), QStringLiteral("نام"), head, QStringLiteral("name"), header.name},
        });
    }
    const QString head = QStringLiteral("heading_masrafi");
    return firstRefusedField({
        {QStringLiteral("sh_darkhast"), QStringLiteral("شماره درخواست"), head, QStringLiteral("sh_darkhast"),
         header.requestNumber},
        {QStringLiteral("me_code_bakhsh"), QStringLiteral("بخش"), head, QStringLiteral("code_bakhsh"),
         header.wardCode},
    });
}

} // namespace

GoodsSaveOutcome GoodsSaleSession::save(const SaveContext& context, bool maySave) {
    GoodsSaveOutcome outcome;
    if (!maySave) {
        m_prompter.warning(t::kNoSaveRight);
        return outcome;
    }
    if (m_editing && !m_prompter.askYesNo(t::kConfirmEdit)) return outcome;
    if (goods() && m_header.family.trimmed().isEmpty()) {
        m_prompter.warning(t::kNoFamily);
        outcome.focus = QStringLiteral("me_family");
        return outcome;
    }
    if (!goods() && m_header.requestNumber.trimmed().isEmpty()) {
        m_prompter.warning(t::kNoRequest);
        outcome.focus = QStringLiteral("sh_darkhast");
        return outcome;
    }
    // A correction keeps the stored ward when the field is left empty.
    if (!goods() && !m_editing && m_header.wardCode.trimmed().isEmpty()) {
        m_prompter.warning(t::kNoWard);
        outcome.focus = QStringLiteral("me_code_bakhsh");
        return outcome;
    }
    if (const std::optional<FieldProblem> problem = refusedField(m_header, goods())) {
        m_prompter.warning(problem->message);
        outcome.focus = problem->focus;
        return outcome;
    }
    if (m_editing && !m_store.exists(*m_editing)) {
        m_prompter.warning(t::kEditedNotFound);
        return outcome;
    }
    if (m_lines.lineCount() == 0) {
        m_prompter.warning(m_editing ? t::kNoLinesInEdit : t::kNoLines);
        return outcome;
    }
    const std::optional<Settings> settings = SettingsStore(m_db).read();
    m_waitsAtCashDesk = settings && settings->separateCashDesk;
    SaleRecord r = record(context);
    r.heading[1].second = context.userCode;
    if (m_editing) {
        if (!m_store.saveEdit(*m_editing, r, context)) {
            m_prompter.warning(t::kEditedNotFound);
            return outcome;
        }
        outcome.invoiceNumber = *m_editing;
    } else {
        outcome.invoiceNumber = m_store.saveNew(r, context);
    }
    outcome.saved = true;
    start(context.today);
    return outcome;
}

GoodsSaleSession::RemoveOutcome GoodsSaleSession::removeStored(bool mayDelete, const AuditOrigin& origin) {
    if (!mayDelete) {
        m_prompter.warning(t::kNoDeleteRight);
        return RemoveOutcome::Refused;
    }
    if (!m_prompter.askYesNo(t::kConfirmDelete)) return RemoveOutcome::Declined;
    switch (m_store.remove(m_header.invoiceNumber, m_stockKeeping, origin)) {
    case SaleDocumentStore::RemoveResult::NotFound: m_prompter.warning(t::kDeleteNotFound); return RemoveOutcome::Refused;
    case SaleDocumentStore::RemoveResult::ClosedByCashDesk:
        m_prompter.warning(t::kDeleteClosed);
        return RemoveOutcome::Refused;
    case SaleDocumentStore::RemoveResult::Removed: break;
    }
    return RemoveOutcome::Removed;
}

} // namespace ph
