#pragma once

#include "widgets/window_context.h"

#include <QDialog>
#include <QList>

#include <functional>

class QLineEdit;
class QMenu;
class QTableView;

namespace ph {

class CodeField;
class CommandBar;
class DrugListSet;
class KeyNav;
class QuickSearch;
class Tf_sabt_darou;

// The drug list: every goods row with its form, filtered by group and form, searched by
// name or code, Latin name or national code, and price, sorted from the sort menu; new
// (F2), edit (F3, double-click) and delete (F4) of goods rows. The list is the drug list
// set, shared with the entry dialog, which moves its current row.
class Tf_darou : public QDialog {
    Q_OBJECT
public:
    explicit Tf_darou(const WindowContext& windows, QWidget* parent = nullptr);
    ~Tf_darou() override;

    DrugListSet& drugs() const { return *m_set; }
    CommandBar* commandBar() const { return m_bar; }
    // The entry dialog, made when first opened.
    Tf_sabt_darou* entryDialog() const { return m_entry; }
    QMenu* sortMenu() const { return m_sortMenu; }
    QMenu* appearanceMenu() const { return m_appearance; }
    // What the appearance menu's lock entry does (the lock window belongs to the shell).
    void setLockAction(std::function<void()> lock) { m_lock = std::move(lock); }

    // The commands, as their keys run them (after the right checks of the command bar).
    void newDrug();
    void editDrug();
    void deleteDrug();
    // The sort menu's orders (columns of the drug list set); the search filter goes off.
    void sortBy(const QList<int>& columns);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The constructor's parts: the filters, searches and grid; the commands (toolbar, sort
    // and appearance menus, Enter in the filters); the layout.
    void makeFields();
    void makeCommands();
    void makeLayout();
    void buildSortMenu();
    void popUpAppearanceMenu();
    bool handleKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers);
    void openEntry(bool editing);
    // Reads the list for the filters: the group alone (Enter in the group field) or both.
    void filterByGroup();
    void filterByGroupAndForm();

    WindowContext m_windows;
    DrugListSet* m_set;
    CodeField* me_code_g;
    QLineEdit* me_name_g;
    CodeField* me_code_t;
    QLineEdit* me_name_t;
    QLineEdit* me_search_d;
    QLineEdit* me_search_l;
    QLineEdit* me_search_p;
    QTableView* m_grid;
    QList<QuickSearch*> m_searches;
    CommandBar* m_bar;
    KeyNav* m_nav;
    QMenu* m_sortMenu = nullptr;
    QMenu* m_appearance = nullptr;
    Tf_sabt_darou* m_entry = nullptr;
    std::function<void()> m_lock;
};

} // namespace ph
