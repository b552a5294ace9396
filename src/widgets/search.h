#pragma once

#include "widgets/picker.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QPushButton;
class QTableView;

namespace ph {

class PickRowsModel;
class QuickSearch;
class QuickSearchModel;

// The lookup picker: one modal window shared by every code field of the program. The caller
// loads the rows (its own statement, through loadPickRows or a rule library's function),
// names the mode and opens it; the chosen row comes back and the caller fills its fields:
//
//     me_code_g->setPicker([this] {
//         if (const auto row = m_windows.picker->pick({QStringLiteral("group1"),
//         groupPickRows(m_windows.db)}))
//             me_code_g->setCodeFromPicker(row->code.toLongLong(), row->name1);
//         me_code_g->setFocus();
//     });
//
// The grid (`DBGrid1`) shows `code` and `name1` in the order given. Every character typed
// in the grid is appended to the read-only search text (`me_search`) under it, Backspace
// removes the last one:
// - a text that begins with a digit shows every row, ordered by code, and moves to the row
//   whose code equals the text (the current row stays when there is none);
// - any other text orders by name and shows only the rows whose name begins with it;
// - an empty text shows every row.
// Enter, a double-click or OK (`but_ok`) take the current row; cancel (`but_cancel`) or Esc
// take nothing, and so does Enter when no row is shown. Each opening starts with an empty
// search text, the rows in the caller's order and the focus in the grid. The mode is the
// caller's business; the picker shows every mode alike.
class Tf_search : public QDialog, public Picker {
    Q_OBJECT
public:
    explicit Tf_search(QWidget* parent = nullptr);
    ~Tf_search() override;

    // Shows the rows modally; the chosen row, or nothing when cancelled.
    std::optional<PickRow> pick(const PickRequest& request) override;

    // The steps of pick() for callers that show the window themselves (and for tests):
    // load the rows and clear the search, then read what was chosen once it has closed.
    void prepare(const PickRequest& request);
    std::optional<PickRow> chosen() const { return m_chosen; }
    QString mode() const { return m_mode; }

    // The row the grid stands on; nothing when no row is shown.
    std::optional<PickRow> currentRow() const;
    QString searchText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void takeCurrent();
    void setSearchText(const QString& text);

    QTableView* m_grid;
    QLineEdit* m_search;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    PickRowsModel* m_rows;
    QuickSearch* m_quickSearch;
    QuickSearchModel* m_proxy;
    QString m_mode;
    std::optional<PickRow> m_chosen;
};

} // namespace ph
