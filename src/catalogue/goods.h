#pragma once

#include "audit/audit_origin.h"
#include "core/pick_row.h"

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// One goods row (mosh_kala_anbar) with the name of its form (type_kala.name).
// The most characters a goods name holds: what the name field accepts while typing.
int goodsNameWidth();

struct GoodsItem {
    double code = 0;                   // code_kala
    QString name;                      // name_kala
    QString latinName;                 // name_kala_latin
    int group = 0;                     // group_code
    int form = 0;                      // type_code
    QString formName;                  // type_kala.name
    std::optional<double> nationalCode; // code_tow; absent when the column is null
    std::optional<double> identityCode; // code_sh
    std::optional<double> price;        // price_u
    int flag = 0;                      // 1 saved by the drug entry dialog, 0 made by the goods tree
};

// What the drug entry dialog saves. Names are stored trimmed; a national or identity code
// that is not given is stored as 0.
struct GoodsEntry {
    qint64 group = 0;
    qint64 form = 0;
    std::optional<double> nationalCode;
    std::optional<double> identityCode;
    QString name;
    QString latinName;
    double price = 0;
};

// The orders a goods list can be read in (the only orders the statements know).
enum class GoodsOrder {
    NameThenForm, // name_kala, form name
    Name,         // name_kala
    Code,         // code_kala
    NationalCode, // code_tow
    LatinName,    // name_kala_latin, form name
    Price,        // price_u, name_kala, form name
    Form,         // form name, name_kala
    Unordered,    // as the database returns them, for callers that order the rows themselves
};

// Which goods a list holds. Only goods whose form has a type_kala row are listed.
struct GoodsQuery {
    std::optional<qint64> group;
    std::optional<qint64> form;
    QString namePrefix; // goods whose name_kala begins with it; empty for all
    GoodsOrder order = GoodsOrder::Name;
};

enum class GoodsOutcome {
    Done,
    UnknownGroup,  // the group has no group_kala row
    UnknownForm,   // the form has no type_kala row
    DuplicateCode, // the allocated code is taken; its number stays used up
    Referenced,    // other data names the goods (see GoodsCatalogue)
    Missing,       // the goods row to change is gone
};

struct GoodsSaveResult {
    GoodsOutcome outcome = GoodsOutcome::Done;
    double code = 0; // the goods code stored (new, re-keyed or kept)
};

// The goods master: the goods lists, the lookups of groups and forms, and adding, changing
// and deleting goods rows with the checks that protect goods other data refers to.
//
// Rows that name a goods code come in two kinds:
// - linked rows, whose meaning is tied to the code: companion and equivalent pairs,
//   prescription lines (prescribed and dispensed drug), goods-sale and ward-consumption
//   lines and compounding formulas. A goods named by any of them keeps its code.
// - the goods' own rows: stock and price per unit (moj_kala_vah), store stock
//   (moj_kala_anbar), insurer rules (bimeh_daru) and hoteling items. They move with the
//   goods when a change of group or form gives it a new code.
// A goods named by a row of either kind is never deleted.
class GoodsCatalogue {
public:
    // Goods added and changed (their prices too) go to the history of changes as `origin`'s.
    explicit GoodsCatalogue(Database& db, AuditOrigin origin = {}) : m_db(db), m_origin(std::move(origin)) {}

    // The goods list: the goods of a group and/or a form (or all), in one of the fixed orders.
    QList<GoodsItem> list(const GoodsQuery& query = {});
    // One goods row with its form name; absent when there is none (or its form has no row).
    std::optional<GoodsItem> find(double code);
    // The item a scanned or typed barcode names: one of its barcodes, else its national code.
    std::optional<double> itemOfBarcode(const QString& code);

    // The names of a group and a form; absent when there is no such code.
    std::optional<QString> groupName(qint64 code);
    std::optional<QString> formName(qint64 code);

    // Adds a goods row (flag 1) under a newly allocated code, in one transaction with the
    // allocation. A duplicate code is refused and leaves the raised counter in place.
    GoodsSaveResult add(const GoodsEntry& entry);
    // Rewrites the goods row of `code` (flag 1). A new group or form re-keys it with a newly
    // allocated code, unless linked rows name it (Referenced, nothing stored); its own rows
    // follow it to the new code, and a new code already taken is refused (DuplicateCode, its
    // number used up, nothing else stored). A group or form that has no row is refused only
    // when it is a new one. The entered price is also written to the first row of
    // moj_kala_vah (in unit order) of the stored code.
    GoodsSaveResult update(double code, const GoodsEntry& entry);
    // Deletes the goods row unless any row names it (Referenced).
    GoodsOutcome remove(double code);

private:
    bool anyRowNames(double code, bool ownRowsToo);
    bool exists(const QString& selectBody, const QVariantList& params);
    // The history's entry of the goods row, from `before` (empty for a new one) to as stored now.
    void record(double code, const QMap<QString, QVariant>& before);
    void writePrice(double code, double price);

    Database& m_db;
    AuditOrigin m_origin;
};

} // namespace ph
