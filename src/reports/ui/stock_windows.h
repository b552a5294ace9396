#pragma once

#include "lots/lots.h"
#include "reports/goods_sheet.h"
#include "reports/print/report_prints.h"
#include "reports/stock_store.h"
#include "reports/store_documents.h"
#include "reports/ui/report_outputs.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QTableView;

namespace ph {

class CodeField;
class DateField;
class QuickSearch;
template <typename Row> class RowTableModel;

namespace print {
class Report;
}

// A pack label's DataMatrix carries the item's GTIN, which the item lacks.
inline const QString kNoGtinForLabel =
    QStringLiteral("اين كالا باركد GTIN ندارد و برچسب بسته بدون آن چاپ نمي شود؛ باركد را در فرم تعريف كالا اضافه كنيد");

// The stock list: the pharmacy's stock per item with the quick search; Ctrl+P prints,
// Ctrl+F9 closes; the rows can be saved as a spreadsheet. Beneath the list, the lots of the
// current item (batch, solar expiry, quantity) and what no lot accounts for; F6 goes to them
// and back, F5 prints the chosen lot's pack label (a GS1 DataMatrix of the item's GTIN, the
// lot's expiry and batch).
class Tmojoodi : public QDialog {
    Q_OBJECT
public:
    explicit Tmojoodi(const WindowContext& windows, QWidget* parent = nullptr);
    ~Tmojoodi() override;
    void setOutputs(ReportOutputs outputs) { m_outputs = std::move(outputs); }
    void reload();
    void printList();
    void saveSpreadsheet();
    void printPackLabel();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showLots();
    void switchGrids();

    WindowContext m_windows;
    ReportOutputs m_outputs;
    RowTableModel<StockRow>* m_rows = nullptr;
    RowTableModel<Lot>* m_lots = nullptr;
    QTableView* DBGrid_lot = nullptr;
    QuickSearch* m_search = nullptr;
    QLineEdit* me_search = nullptr;
    QTableView* DBGrid1 = nullptr;
    QPushButton* but_print = nullptr;
    QPushButton* but_label = nullptr;
    QPushButton* but_excel = nullptr;
    QPushButton* but_close = nullptr;
};

// The store's documents for the pharmacy: the incoming documents and the returns not yet
// taken into stock, each with its lines; F2 takes the selected document of the tab in.
class Tfmanbar_darookaneh : public QDialog {
    Q_OBJECT
public:
    explicit Tfmanbar_darookaneh(const WindowContext& windows, QWidget* parent = nullptr);
    ~Tfmanbar_darookaneh() override;
    void reload();
    // F2.
    void takeIn();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    StoreDocumentKind activeKind() const;
    QTableView* headerGrid(StoreDocumentKind kind) const;
    void showLines(StoreDocumentKind kind);

    WindowContext m_windows;
    QTabWidget* m_tabs = nullptr;
    RowTableModel<StoreDocument>* m_incoming = nullptr;
    RowTableModel<StoreDocument>* m_returns = nullptr;
    RowTableModel<StoreDocumentLine>* m_incomingLines = nullptr;
    RowTableModel<StoreDocumentLine>* m_returnLines = nullptr;
    QTableView* DBGrid3 = nullptr;
    QTableView* DBGrid1 = nullptr;
    QTableView* DBGrid2 = nullptr;
    QTableView* DBGrid4 = nullptr;
    QPushButton* but_new = nullptr;
    QPushButton* but_close = nullptr;
};

// The goods sheet: what the wards received in a range. Detailed (the default): the inpatient
// prescriptions with the lines of the current one and every line of the range. Summary: per
// form, item and unit price, from inpatient prescriptions or ward consumption documents (ward
// consumption always shows the summary). F2 shows the sheet, F8 prints it.
class Tm_kala_b : public QDialog {
    Q_OBJECT
public:
    explicit Tm_kala_b(const WindowContext& windows, QWidget* parent = nullptr);
    ~Tm_kala_b() override;
    void setOutputs(ReportOutputs outputs) { m_outputs = std::move(outputs); }
    // F2: checks the range and shows the sheet; false when refused.
    bool showSheet();
    void printSheet();
    void saveSpreadsheet();
    double total() const;
    bool detailedShown() const;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    GoodsSheetHeading heading() const;
    void showPrescriptionLines();
    void makeFields();
    void makeGrids();
    void makeCommands();
    void makeLayout();

    WindowContext m_windows;
    ReportOutputs m_outputs;
    QList<GoodsSheetRow> m_sheet;
    GoodsSheetDetail m_detail;
    QComboBox* cb_type = nullptr;
    CodeField* me_code_bakhsh = nullptr;
    QLineEdit* me_name_bakhsh = nullptr;
    DateField* me_date1 = nullptr;
    DateField* me_date2 = nullptr;
    CodeField* sh_darkhast = nullptr;
    QCheckBox* cb_masrafi = nullptr;
    QStackedWidget* m_pages = nullptr;
    RowTableModel<GoodsSheetRow>* m_rows = nullptr;
    QTableView* DBGrid1 = nullptr;
    QLineEdit* me_koll = nullptr;
    // The detailed page (Tkala_b_mash): prescriptions, the current one's lines, every line.
    QWidget* m_detailPage = nullptr;
    RowTableModel<GoodsSheetPrescription>* m_prescriptions = nullptr;
    RowTableModel<GoodsSheetLine>* m_currentLines = nullptr;
    RowTableModel<GoodsSheetLine>* m_allLines = nullptr;
    QTableView* DBGrid2 = nullptr;
    QTableView* DBGrid3 = nullptr;
    QTableView* DBGrid4 = nullptr;
    QPushButton* but_ok = nullptr;
    QPushButton* but_print = nullptr;
    QPushButton* but_excel = nullptr;
    QPushButton* but_cancel = nullptr;
};

} // namespace ph
