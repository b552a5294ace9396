#pragma once

#include <QLatin1StringView>

namespace ph::audit_kind {

// The kinds of document the history names; the key within each is its number or code.
inline constexpr QLatin1StringView kPrescription("prescription");         // sh_factor
inline constexpr QLatin1StringView kLumpPrescription("lump_prescription"); // sh_factor
inline constexpr QLatin1StringView kGoodsInvoice("goods_invoice");         // sh_factor
inline constexpr QLatin1StringView kWardConsumption("ward_consumption");   // sh_factor
inline constexpr QLatin1StringView kCash("cash");                          // type_factor:sh_factor
inline constexpr QLatin1StringView kTillClosing("till_closing");           // the closing's number
inline constexpr QLatin1StringView kUser("user");                          // code
inline constexpr QLatin1StringView kBulkInsurerChange("bulk_insurer_change"); // from:to insurer
inline constexpr QLatin1StringView kBackup("backup");                      // the file
inline constexpr QLatin1StringView kRestore("restore");                    // the file
inline constexpr QLatin1StringView kGoods("goods");                        // code_kala
inline constexpr QLatin1StringView kTariff("tariff");                      // from-to dates
inline constexpr QLatin1StringView kContract("contract");                  // the insurer's code
inline constexpr QLatin1StringView kInsurerDrugRule("insurer_drug_rule");  // code_kala
inline constexpr QLatin1StringView kCompoundedReprice("compounded_reprice"); // "compounded"
inline constexpr QLatin1StringView kPriceCorrection("goods_price_correction"); // the workbook's rows

} // namespace ph::audit_kind
