#pragma once

#include <QList>
#include <QString>

namespace ph {

// Where a tree item or menu entry leads. `window` is the class name of the window to open
// (the registry makes it), or one of the commands below; empty for parents and items that
// open nothing.
namespace command {
inline constexpr const char* kClose = "close";
inline constexpr const char* kLock = "TF_password";
inline constexpr const char* kStoreProgram = "anbar";
inline constexpr const char* kPriceCorrection = "price_correction";
inline constexpr const char* kStructureRepair = "TfrmTarmim";
inline constexpr const char* kHelp = "TF_help";
} // namespace command

struct TreeItemDef {
    int level;
    QString caption;
    QString right;     // the flag tested at each use; empty: open to all
    QString window;
    int formMode;      // set just before opening; -1 leaves it as it is
    QString iconRight; // the flag whose state picks the icon; empty: no icon
    bool alwaysAllowedIcon = false;
};

struct MenuEntryDef {
    QString caption;
    QString right;    // enables the entry when the window is shown; empty: always enabled
    int treeItem;     // the tree item whose destination it opens, or -1
    QString window;   // otherwise this destination
    int formMode = -1;
    QList<MenuEntryDef> submenu;
};

struct MenuDef {
    int functionKey; // 1 for F1 ... 7 for F7
    QString caption;
    QList<MenuEntryDef> entries;
};

// The 50 items of the navigation tree in order; an item's number is its index.
const QList<TreeItemDef>& navigationTree();
// The seven toolbar menus, F1 to F7.
const QList<MenuDef>& navigationMenus();

} // namespace ph
