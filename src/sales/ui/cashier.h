#pragma once

#include "sales/cash_desk.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QMenu;
class QTableView;

namespace ph {

class CommandBar;
template <typename Row> class RowTableModel;

// The cashier unit: the sales waiting for the cashier, paid one by one with F2, and the
// sum received since the till's last closing. Two cashiers may collect at once: an invoice
// the other has collected first is refused with a message and the list is read again.
class Tf_cashier : public QDialog {
    Q_OBJECT
public:
    explicit Tf_cashier(const WindowContext& windows, QWidget* parent = nullptr);

    // Reads the waiting rows and the till's sum (on showing and on F9).
    void load();
    // Pays the selected invoice (F2).
    void pay();
    // Orders the loaded rows (the sort menu, Ctrl+A to Ctrl+E).
    enum class Order { Invoice, Family, Time, Total, Kind };
    void sortBy(Order order);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Loads and makes current the row `wanted` when it is still waiting, else the row at `row`.
    void loadAt(int row, const std::optional<WaitingPayment>& wanted = std::nullopt);

    WindowContext m_windows;
    CashDesk m_desk;
    RowTableModel<WaitingPayment>* m_rows;
    QTableView* DBGrid1;
    QLineEdit* me_koll;
    CommandBar* m_bar;
    QMenu* m_sortMenu;
};

} // namespace ph
