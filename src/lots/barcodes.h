#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace ph {

class Database;

// The barcodes of goods items (kala_barcode): GTINs kept as 14 digits, other codes as typed.
// A barcode belongs to one item.
class BarcodeStore {
public:
    explicit BarcodeStore(Database& db) : m_db(db) {}

    // The item a barcode (in any of its printed forms) belongs to.
    std::optional<double> itemOf(const QString& barcode);
    QStringList barcodesOf(double item);
    // The item's first GTIN (as 14 digits), for the DataMatrix of its packs' labels.
    std::optional<QString> gtinOf(double item);

    // Adds a barcode to an item; nothing when the item has it already. Throws Error with
    // a Persian message when the text cannot be a barcode or another item has it.
    void add(double item, const QString& barcode);
    // Removes a barcode from an item (nothing when it has no such barcode).
    void remove(double item, const QString& barcode);
    // Removes every barcode of an item (the item itself is being removed).
    void removeAllOf(double item);

private:
    Database& m_db;
};

// Why a text cannot be stored as a barcode, or nothing when it can.
std::optional<QString> barcodeRefusal(const QString& barcode);

} // namespace ph
