#include "lots/barcodes.h"

#include "core/error.h"
#include "db/database.h"
#include "db/key_allocator.h"
#include "lots/scan_code.h"

namespace ph {

namespace {
constexpr int kMostBarcodeCharacters = 40;
}

std::optional<QString> barcodeRefusal(const QString& barcode) {
    const QString code = barcode.trimmed();
    if (code.isEmpty()) return QStringLiteral("باركد وارد نشده است");
    if (code.size() > kMostBarcodeCharacters)
        return QStringLiteral("باركد حداكثر %1 كاراكتر است").arg(kMostBarcodeCharacters);
    for (const QChar c : code)
        if (c.unicode() < 0x21 || c.unicode() > 0x7E)
            return QStringLiteral("باركد فقط شامل حروف لاتين، ارقام و علامت ها است");
    return std::nullopt;
}

std::optional<double> BarcodeStore::itemOf(const QString& barcode) {
    const QVariant item =
        m_db.scalar(QStringLiteral("select code_kala from kala_barcode where barcode=?"), {normalizedBarcode(barcode)});
    if (item.isNull()) return std::nullopt;
    return item.toDouble();
}

QStringList BarcodeStore::barcodesOf(double item) {
    QStringList codes;
    Rows rows = m_db.exec(QStringLiteral("select barcode from kala_barcode where code_kala=? order by barcode"), {item});
    while (rows.next()) codes.append(rows.value(0).toString());
    return codes;
}

std::optional<QString> BarcodeStore::gtinOf(double item) {
    for (const QString& code : barcodesOf(item))
        if (code.size() == 14 && hasValidGtinCheckDigit(code)) return code;
    return std::nullopt;
}

void BarcodeStore::add(double item, const QString& barcode) {
    if (const std::optional<QString> refusal = barcodeRefusal(barcode)) throw Error(*refusal);
    const QString code = normalizedBarcode(barcode);
    saveInTransaction(m_db, [&]() {
        const std::optional<double> owner = itemOf(code);
        if (owner && *owner != item)
            throw Error(QStringLiteral("اين باركد متعلق به كالاي ديگري است (كد %1)").arg(qint64(*owner)));
        if (!owner)
            m_db.exec(QStringLiteral("insert into kala_barcode (barcode, code_kala) values (?, ?)"), {code, item});
    });
}

void BarcodeStore::remove(double item, const QString& barcode) {
    m_db.exec(QStringLiteral("delete from kala_barcode where barcode=? and code_kala=?"),
              {normalizedBarcode(barcode), item});
}

void BarcodeStore::removeAllOf(double item) {
    m_db.exec(QStringLiteral("delete from kala_barcode where code_kala=?"), {item});
}

} // namespace ph
