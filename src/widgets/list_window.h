#pragma once

#include "widgets/command_bar.h"
#include "widgets/window_context.h"

#include <QDialog>
#include <QKeySequence>

class QLayout;
class QLineEdit;
class QMenu;
class QTableView;
class QAbstractItemModel;

namespace ph {

class QuickSearch;

// The frame of the small list editors: input fields above a grid of the list, the quick
// search under it and the command bar (save, edit, delete, new, close, first/previous/next/
// last and the sort menu). A click in the grid, moving in it with the keys, or the navigation
// commands load the current row into the fields (loadRow); the window fills the grid's model,
// the fields and the commands' handlers.
//
//     auto* w = new MyList(windows);          // derives from ListWindow
//     w->addSortEntry(QStringLiteral("براساس كد"), {0}, Qt::CTRL | Qt::Key_A);
class ListWindow : public QDialog {
    Q_OBJECT
public:
    ListWindow(const WindowContext& windows, QAbstractItemModel* source, int codeColumn, int nameColumn,
               QWidget* parent = nullptr);

    CommandBar* commandBar() const { return m_bar; }
    QTableView* grid() const { return m_grid; }
    QuickSearch* quickSearch() const { return m_quickSearch; }
    QMenu* sortMenu() const { return m_sortMenu; }
    // A sort menu entry ordering the grid by the columns; its key works anywhere in the window.
    void addSortEntry(const QString& text, const QList<int>& columns, QKeySequence key = {});

protected:
    // The fields above the grid.
    void setFields(QLayout* fields);
    // The source row of the grid's current row; -1 when none.
    int currentRow() const;
    // Makes the row with this code current in the grid (no load).
    void showCode(double code);
    // Loads a source row into the fields (a click, moving in the grid, navigation).
    virtual void loadRow(int sourceRow) = 0;
    bool eventFilter(QObject* watched, QEvent* event) override;

    WindowContext m_windows;

private:
    void step(CommandBar::Command command);

    int m_codeColumn;
    QTableView* m_grid;
    QLineEdit* m_search;
    QuickSearch* m_quickSearch;
    QMenu* m_sortMenu;
    CommandBar* m_bar;
    QList<std::pair<QKeySequence, QList<int>>> m_sortKeys;
};

} // namespace ph
