#pragma once

#include "catalogue/lookup_list.h"
#include "widgets/form_mode.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <functional>
#include <optional>

class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;
class QStandardItemModel;
class QTableView;

namespace ph {

class CommandBar;
class KeyNav;
class QuickSearch;

// The window of the six lookup lists (goods groups, drug forms, prescription types,
// specialties, units, wards). Each showing shows the list of the form mode it was opened with
// (5, 6, 7, 8, 9 or 100; anything else shows the goods groups); wards add the "active"
// check box and the grid's state column.
//
// The code is never typed: `me_code` shows the next code, or the code of the row loaded from
// the grid (`DBGrid1`) by a click or by moving in it. F2 adds the name as a new entry, F3
// renames the loaded one after a yes/no question, F9 clears for a new entry, F10 or Esc close.
// There is no delete. `me_search` is the list's quick search; Ctrl+S opens the sort menu
// (Ctrl+A by code, Ctrl+B by name).
class TF_type : public QDialog, public FormModeWindow {
    Q_OBJECT
public:
    explicit TF_type(const WindowContext& windows, QWidget* parent = nullptr);
    ~TF_type() override;

    // The list the next showing shows.
    void setFormMode(int formMode) override { m_formMode = formMode; }
    LookupKind kind() const { return m_kind; }
    CommandBar* commandBar() const { return m_bar; }

    void clearForNew();
    void saveEntry();
    void editEntry();
    void sortByCode();
    void sortByName();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseVariant();
    void reloadRows();
    void loadGridRow(const QModelIndex& index);
    void refuse(const QString& message);

    WindowContext m_windows;
    int m_formMode = 0;
    LookupKind m_kind = LookupKind::Groups;
    QList<LookupEntry> m_entries;
    std::optional<qint64> m_loaded; // the code of the entry loaded from the grid

    QLineEdit* m_code;
    QLineEdit* m_name;
    QCheckBox* m_active;
    QTableView* m_grid;
    QStandardItemModel* m_model;
    QLineEdit* m_search;
    QuickSearch* m_quickSearch;
    QMenu* m_sortMenu;
    QAction* m_sortByCode;
    QAction* m_sortByName;
    CommandBar* m_bar;
    KeyNav* m_nav;
};

} // namespace ph
