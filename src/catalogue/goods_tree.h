#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// The goods catalogue as a tree of three levels: goods groups, the forms that belong to
// each group (type_kala's membership columns g1 to g5) and the goods of each group and form.
// Every node carries one whole number, its key:
//   group:  the group code (10 or less)
//   form:   group × 1,000,000 + form × 10,000 (1,000,001 to 9,999,999)
//   goods:  the goods code × 100 (above 10,000,000)
enum class GoodsNodeKind { Group, Form, Goods, None };

GoodsNodeKind goodsNodeKind(qint64 key);
qint64 formNodeKey(qint64 group, qint64 form);
qint64 goodsNodeKey(double goodsCode);
double goodsCodeOfNode(qint64 key);
qint64 groupOfFormNode(qint64 key); // the first decimal digit
qint64 formOfFormNode(qint64 key);

struct GoodsTreeNode {
    qint64 key = 0;
    QString text;
    QList<GoodsTreeNode> children;
};

// One goods row as the tree editor shows and edits it.
struct GoodsTreeItem {
    double code = 0;
    QString name;      // name_kala
    QString latinName; // name_kala_latin
    std::optional<double> secondaryCode; // code_tow
    std::optional<double> identityCode;  // code_sh
    std::optional<double> price;         // price_u
    QString formName;
};

// The goods tree editor's rules: the tree, the goods names for the search list, adding a
// goods item under a form node, editing one (its names only while nothing refers to it) and
// deleting one that has no store stock.
class GoodsTree {
public:
    enum class Result {
        Saved,
        Missing,      // no goods row with the code
        NamesLocked,  // stock or prescription lines name the goods: its names stay
        HasStock,     // store stock rows name the goods: not deleted
        UnknownForm,  // the form node's form has no row
        EmptyName,    // a new goods item needs its name
    };

    explicit GoodsTree(Database& db) : m_db(db) {}

    // The groups in table order, each with its member forms, each with its goods.
    QList<GoodsTreeNode> build() const;
    // Every goods item (code and display name), ordered by name: the search panel's list.
    QList<std::pair<double, QString>> names() const;
    std::optional<GoodsTreeItem> find(double code) const;
    // Whether the goods' names are read-only: store stock, unit stock or prescription lines
    // name it.
    bool namesLocked(double code) const;
    // Whether the pharmacy profile's stock flag (onvan_darou.mojodi) is set: the search
    // panel then offers no price.
    bool stockFlagSet() const;
    // Whether store stock rows (moj_kala_anbar) name the goods: it is then never deleted.
    bool hasStoreStock(double code) const;

    // Adds a goods item under the form node `formKey`: a new code from the form's counter,
    // flag 0, no price. `code` receives the code.
    Result add(qint64 formKey, const GoodsTreeItem& item, double* code = nullptr);
    // Rewrites the goods row: the names (refused with NamesLocked when they change on a
    // locked goods), the secondary and identity codes, and the price when `withPrice`.
    Result edit(const GoodsTreeItem& item, bool withPrice);
    Result remove(double code);

private:
    Database& m_db;
};

} // namespace ph
