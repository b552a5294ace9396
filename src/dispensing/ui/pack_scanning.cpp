#include "dispensing/ui/pack_scanning.h"

#include "core/prompter.h"
#include "lots/lots_texts.h"
#include "lots/pack_scan.h"
#include "lots/scan_code.h"
#include "widgets/picker.h"
#include "widgets/window_context.h"

#include <QRegularExpression>

#include <variant>

namespace ph {

bool isPackScan(const QString& text) {
    const auto read = readScan(text);
    const auto* scan = std::get_if<ScannedCode>(&read);
    static const QRegularExpression digits(QStringLiteral("^\\d{8,14}$"));
    return scan && (scan->gs1 || digits.match(scan->code).hasMatch());
}

bool offerBarcodeLink(const WindowContext& windows, const QString& code, const QList<DrugItem>& items) {
    if (!windows.picker) {
        windows.prompter.warning(texts::kUnknownBarcode.arg(code));
        return false;
    }
    if (!windows.prompter.askYesNo(texts::kLinkBarcode.arg(code))) return false;
    PickRows rows;
    rows.reserve(items.size());
    for (const DrugItem& item : items)
        rows.append({QVariant(qint64(item.code)), item.name, {}});
    const std::optional<PickRow> chosen = windows.picker->pick({QStringLiteral("barcode"), rows});
    if (!chosen) return false;
    return linkBarcode(windows.db, windows.prompter, chosen->code.toDouble(), code);
}

} // namespace ph
