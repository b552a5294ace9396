#pragma once

#include "catalogue/goods.h"
#include "widgets/row_table_model.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;

namespace ph {

// The compounded drug search: the drugs of form 70, found by name, code or price; the one
// chosen is handed back to the caller (the formulas window).
class Tf_search_darou : public QDialog {
    Q_OBJECT
public:
    explicit Tf_search_darou(const WindowContext& windows, QWidget* parent = nullptr);

    // Shows the window modally; the chosen drug's code, or nothing.
    std::optional<double> choose();
    std::optional<double> chosen() const { return m_chosen; }

    // The sort menu's orders (each drops the name filter).
    enum class Order { IdentityCode, Code, Name, LatinName, Price, Form };
    void sortBy(Order order);
    // Takes the current drug and closes; nothing without one.
    void takeCurrent();
    QMenu* sortMenu() const { return m_sortMenu; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeFields();
    void makeCommands();
    void makeSortMenu();
    void makeLayout();
    void searchByNameOrCode(const QString& text);
    void searchByPrice(const QString& text);
    // Scans for the first row whose key text begins with the typed digits: onward from the
    // current row when one character was added since the last scan, else from the top; the
    // last row when none does.
    void scan(const QString& text, bool byPrice);
    // Shows the rows, filtered by the name prefix when there is one.
    void showRows(const QString& namePrefix = {});
    int currentRow() const;
    void setCurrentRow(int row);

    WindowContext m_windows;
    QList<GoodsItem> m_all; // in the current order
    RowTableModel<GoodsItem>* m_rows;
    std::optional<double> m_chosen;
    int m_scannedLength = 0; // of the last code or price text scanned, shared by both fields

    QTableView* DBGrid1;
    QLineEdit* me_search_d;
    QLineEdit* me_search_p;
    QPushButton* but_ok;
    QPushButton* but_close;
    QPushButton* ToolButton1;
    QMenu* m_sortMenu;
};

} // namespace ph
