#pragma once

#include "dispensing/pricing_types.h"

#include <QTableView>

#include <optional>

namespace ph {

class DrugGridModel;
class Prompter;
class QuickSearchModel;

// The drug lookup DBGrid2 of the prescription entry window: the drug list, loaded once
// when the window is shown, searched on the loaded rows as the user types. In the name
// column a text that begins with a letter shows the drugs whose name begins with it; a
// text that begins with a digit locates by the numeric search key. In the other columns
// but the form a digit-led text orders by that column and locates the row equal to it.
// The search text shows as the column's title. Enter or Tab chooses the current drug;
// the grid is tall while it has the focus and short otherwise. At every moment the current
// row is the highlighted one, it is in view, and it is the drug Enter takes.
class DrugLookup : public QTableView {
    Q_OBJECT
    Q_PROPERTY(bool expanded READ isExpanded WRITE setExpanded)
public:
    enum Column { IdentityCode = 0, Name = 1, Price = 2, Code = 3, FormName = 4 };
    static constexpr int kCollapsed = 60;
    // Tall enough for ten rows, short enough that the window stays on a 768-pixel screen.
    static constexpr int kExpanded = 250;

    DrugLookup(Prompter& prompter, QWidget* parent = nullptr);

    void setDrugs(QList<DrugItem> drugs);
    // The drugs loaded, in the order they were given.
    const QList<DrugItem>& drugs() const;
    // Column titles other than the drug ones, one per column (the goods sale names goods).
    void setCaptions(const QStringList& captions);
    // The column a digit-led text in the name column locates by (price, code or identity code).
    void setSearchKey(Column column) { m_key = column; }
    // The drug of the current row.
    std::optional<DrugItem> current() const;
    // Enter or Tab: the typed code is checked, then the current drug is chosen.
    void choose();
    // Makes the drug with this code current (the filter dropped); false when the list lacks it.
    bool locate(double code);
    // Drops the name filter and the search text; the current drug stays current.
    void clearSearch();
    // After a scan, whose keys also reached the search: the search dropped, and the first
    // drug made current when none is.
    void startAfresh();
    QString searchText() const { return m_search; }
    // The height the lookup takes while it has the focus, at most kExpanded: the window
    // lowers it so that what lies below keeps its room.
    void setExpandedHeight(int height);
    bool isExpanded() const { return m_expanded; }
    void setExpanded(bool expanded);

signals:
    // Enter or Tab on a drug.
    void chosen();
    // Right arrow: back to the delivery date.
    void backRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool focusNextPrevChild(bool next) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void search();
    void setSearch(const QString& text);
    void makeCurrent(int proxyRow);
    // In a code column, a typed code no drug has: warns and keeps the focus.
    bool acceptSearch();

    Prompter& m_prompter;
    DrugGridModel* m_model;
    QuickSearchModel* m_proxy;
    Column m_key = Code;
    QString m_search;
    int m_searchColumn = Name;
    int m_expandedHeight = kExpanded;
    bool m_expanded = false;
};

} // namespace ph
