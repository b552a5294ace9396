#pragma once

#include "dispensing/invoice_search.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <optional>

class QGroupBox;
class QLineEdit;
class QTableView;

namespace ph {

class CommandBar;
class DateField;
class InvoiceFilterModel;
template <typename Row> class RowTableModel;

// The invoice search TF_search_factor: a start date loads the invoices of a context from that
// date on; the name, insurance number and code fields narrow the loaded rows as they are typed
// (no new query); a single date or a date range loads again. The caller opens it modally:
//
//     if (auto number = search.choose(SearchContext::Darou, kind)) load(*number);
//
// Search kinds: 1 family name, 2 date range, 3 insurance number, 4 prescription code
// (prescriptions); 5 family name, 6 date range (goods invoices). The kind only decides where
// the focus goes after the start date.
class TF_search_factor : public QDialog {
    Q_OBJECT
public:
    TF_search_factor(const WindowContext& windows, QWidget* parent = nullptr);
    ~TF_search_factor() override;

    // Shows the window modally; the invoice number chosen, or nothing when it was closed
    // without a choice (F10, Esc, the close button).
    std::optional<int> choose(SearchContext context, int searchKind);

    // Makes the window ready to be shown for the context: the search fields emptied, today in
    // the start date, no rows, the grid and the insurance-number group of the context shown,
    // the focus on the start date. choose() does this before it shows the window.
    void prepare(SearchContext context, int searchKind);
    // The choice of the last showing; nothing until a row has been chosen.
    std::optional<int> chosen() const { return m_chosen; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void buildGrids();
    void buildCommands();
    void layOut();

    // Enter in the date fields.
    void startDateEntered();
    void firstDateEntered();
    void lastDateEntered();
    // Checks a date field: rewrites a valid date, warns on a wrong one; absent when the field
    // is blank or wrong.
    std::optional<QString> checkedDate(DateField* field);
    void showRows(QList<FoundInvoice> rows);
    void narrow();
    void takeCurrent();
    void close(bool chosen);
    void move(int step, bool toEnd);
    QTableView* visibleGrid() const;
    QWidget* fieldOfKind() const;

    WindowContext m_windows;
    InvoiceSearchStore m_store;
    SearchContext m_context = SearchContext::Darou;
    int m_kind = 1;
    std::optional<int> m_chosen;

    DateField* me_date = nullptr;
    QGroupBox* m_groupB = nullptr;
    QLineEdit* me_search_b = nullptr;
    QLineEdit* me_search_n = nullptr;
    QLineEdit* me_search_c = nullptr;
    DateField* me_search_d1 = nullptr;
    DateField* me_search_d2 = nullptr;
    RowTableModel<FoundInvoice>* m_prescriptions = nullptr;
    RowTableModel<FoundInvoice>* m_goods = nullptr;
    InvoiceFilterModel* m_prescriptionFilter = nullptr;
    InvoiceFilterModel* m_goodsFilter = nullptr;
    QTableView* DBGrid1 = nullptr;
    QTableView* DBGrid2 = nullptr;
    CommandBar* m_commands = nullptr;
};

} // namespace ph
