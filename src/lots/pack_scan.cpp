#include "lots/pack_scan.h"

#include "core/error.h"
#include "core/jalali_date.h"
#include "core/prompter.h"
#include "db/database.h"
#include "lots/barcodes.h"
#include "lots/lots_texts.h"

namespace ph {

ScannedPack packOf(const ScannedCode& scan) {
    return {{scan.batch, scan.expiry}, scan.serial};
}

bool namesPack(const ScannedCode& scan) {
    return !scan.batch.isEmpty() || scan.expiry.isValid() || !scan.serial.isEmpty();
}

QString documentName(const SerialSeen& seen) {
    const QString kind = seen.document == LotDocument::Prescription   ? QStringLiteral("نسخه")
                         : seen.document == LotDocument::GoodsInvoice ? QStringLiteral("فاكتور كالا")
                                                                      : QStringLiteral("مصرف بخش");
    return kind + u' ' + QString::number(seen.number);
}

bool acceptPack(Database& db, Prompter& prompter, double item, const ScannedCode& scan, const QDate& day) {
    if (scan.expiry.isValid() && scan.expiry < day &&
        !prompter.askYesNo(texts::kExpiredPack.arg(toJalali(scan.expiry).longText())))
        return false;
    if (const std::optional<SerialSeen> seen = LotStore(db).serialSeen(item, scan.batch, scan.serial))
        prompter.warning(texts::kSerialSeen.arg(documentName(*seen)));
    return true;
}

bool linkBarcode(Database& db, Prompter& prompter, double item, const QString& code) {
    try {
        BarcodeStore(db).add(item, code);
    } catch (const DbError&) {
        throw; // a failed statement is no refusal: the general error report shows it
    } catch (const Error& refusal) {
        prompter.warning(refusal.message());
        return false;
    }
    return true;
}

} // namespace ph
