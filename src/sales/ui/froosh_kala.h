#pragma once

#include "sales/print/consumption_print.h"
#include "dispensing/print/prescription_prints.h"
#include "print/report_output.h"
#include "sales/goods_sale_session.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;

namespace ph {

class CodeField;
class CommandBar;
class DrugLookup;
class LineListModel;
class ScanCatcher;
class TF_search_factor;

// The goods sale window: a customer, goods picked from the dispensing window's drug lookup
// with a quantity and a kind, the line list and the totals, saved with F2 as a goods
// invoice; stored invoices browsed, searched, corrected (F3) and deleted (Ctrl+F4). The
// rules are the goods sale session's; the window maps fields and outcomes.
class Tf_froosh_kala : public QDialog {
    Q_OBJECT
public:
    explicit Tf_froosh_kala(const WindowContext& windows, QWidget* parent = nullptr);
    ~Tf_froosh_kala() override;

protected:
    // The window of a variant: the ward consumption window names a request and a ward in
    // place of the customer, has no OTC fee, no cash row and no print button; its print after
    // a save is the consumption sheet.
    Tf_froosh_kala(const WindowContext& windows, SaleVariant variant, QWidget* parent);

public:

    GoodsSaleSession& session() { return m_session; }
    CommandBar* commandBar() const { return m_bar; }
    // Opens another window of the program by its class name (Ctrl+M: the stock list); the
    // application gives the window this, without it such keys do nothing.
    void setWindowOpener(std::function<void(const QString&)> open) { m_openWindow = std::move(open); }

    void save();
    void addLine();
    void replaceLine();
    void removeLine();
    void abandon();
    void beginEdit();
    void deleteStored();
    // Who changes a document from this window, for the history of changes.
    AuditOrigin auditOrigin() const;
    // The print button: the shown invoice in the print preview.
    void printShown();
    // Where the print after a new save goes (the invoice, or a ward's consumption sheet):
    // straight to the default printer unless replaced.
    using PrintStep = std::function<print::OutputResult(const print::Report&)>;
    void setPrintStep(PrintStep step) { m_printStep = std::move(step); }

    int currentInvoice() const { return m_current; }
    // Shows the stored invoice read-only; a number without one shows an empty screen.
    void showInvoice(int number);
    void showFirst();
    void showPrevious();
    void showNext();
    void showLast();
    void searchByNumber();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeFields();
    void makeCommands();
    void makeLayout();
    void searchInvoices(int kind);
    // The stored invoice's print; absent when no invoice has the number.
    std::optional<GoodsInvoicePrint> printOf(int number);
    // The stored consumption's sheet; absent when no consumption has the number.
    std::optional<WardConsumptionPrint> consumptionPrintOf(int number);
    // The print of the document just saved under `number`, sent through the print step.
    void printSaved(int number);

    bool goods() const { return m_session.variant() == SaleVariant::GoodsInvoice; }
    // The header's first field: the customer's family name, or the request number.
    QWidget* firstField() const;
    void startNew();
    void setInputsEnabled(bool enabled);
    void setEditLook(bool editing);
    void showHeader();
    void showLines();
    void chooseGoods();
    void selectLine();
    void setLineMode(bool replacing);
    void applyHeader();
    void focusField(const QString& objectName);
    int selectedLine() const;
    bool handleKey(QWidget* widget, QKeyEvent* event);
    // A pack scanned into the line entry.
    void takeScan(const QString& text);
    void showScanResult(const PackScanResult& result);
    // The goods lookup, the line fields and buttons, and the line list: where a scan is taken.
    QList<QWidget*> lineEntry() const;
    bool inLineEntry(const QWidget* widget) const;

    WindowContext m_windows;
    GoodsSaleSession m_session;
    int m_current = 0;
    PrintStep m_printStep = [](const print::Report& report) { return print::printDirect(report); };

    QLineEdit* me_sh_factor;
    QLineEdit* me_date_ta;
    QLineEdit* me_family = nullptr;
    QLineEdit* me_name = nullptr;
    QLineEdit* sh_darkhast = nullptr;
    CodeField* me_code_bakhsh = nullptr;
    QLineEdit* me_name_bakhsh = nullptr;
    DrugLookup* DBGrid2;
    QLineEdit* me_tedad;
    QComboBox* cb_vaziat;
    QPushButton* but_sabt1;
    QPushButton* BitBtn1;
    QTableView* StringGrid1;
    LineListModel* m_linesModel;
    QLineEdit* me_koll_kala;
    QLineEdit* me_otc;
    QLineEdit* me_koll;
    QGroupBox* Panel1;
    CommandBar* m_bar;
    QMenu* m_searchMenu;
    TF_search_factor* m_invoiceSearch = nullptr; // made when first used, then kept
    std::function<void(const QString&)> m_openWindow;
    ScanCatcher* m_scans;
};

// The ward consumption window: the goods sale window's variant for a ward's draw against a
// written request.
class Tmasrafi_bakhsh : public Tf_froosh_kala {
    Q_OBJECT
public:
    explicit Tmasrafi_bakhsh(const WindowContext& windows, QWidget* parent = nullptr)
        : Tf_froosh_kala(windows, SaleVariant::WardConsumption, parent) {}
};

} // namespace ph
