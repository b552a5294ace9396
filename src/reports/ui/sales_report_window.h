#pragma once

#include "reports/sales_report.h"
#include "reports/ui/report_outputs.h"
#include "widgets/form_mode.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTableView;

QT_BEGIN_NAMESPACE
class QChartView;
QT_END_NAMESPACE

namespace ph {

class CodeField;
class DateField;
class QuickSearch;
class QuickSearchModel;
struct GoodsItem;
template <typename Row> class RowTableModel;

namespace print {
class Report;
}

// The sales report windows: what was sold in a date range per item, in a grid with its total,
// and beside it the chart of the rows the grid shows (the items with the most Rials as bars,
// the daily totals as a line), which follows the quick search. F7 runs, F8 runs and prints
// (with the chart), Ctrl+S orders, F9 clears, F10 and Esc close; the rows can be saved as a
// spreadsheet and the print as PDF.
class SalesReportWindow : public QDialog {
    Q_OBJECT
public:
    SalesReportWindow(const WindowContext& windows, SalesReportKind kind, QWidget* parent = nullptr);
    ~SalesReportWindow() override;

    void setOutputs(ReportOutputs outputs) { m_outputs = std::move(outputs); }
    SalesReportKind kind() const { return m_kind; }
    const SalesReport& report() const { return m_report; }
    // The rows the grid shows, in its order, as indexes into report().rows.
    QList<int> shownRows() const;

    // F7: checks the fields and runs the report; false when refused or empty.
    bool runReport();
    // F8: runs and prints.
    void printReport();
    void saveSpreadsheet();
    void savePdf();
    // F9.
    void clearFields();

protected:
    void setKind(SalesReportKind kind);
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void buildGrids();
    void buildCommands();
    void layOut();
    void showParty();
    void refreshChart();
    void applySort(const QList<int>& columns);
    // Typing in the item grid: a digit-led text finds the item by the settings' search key, any
    // other text shows the items whose name begins with it.
    bool typeInItems(QKeyEvent* key);
    SalesRequest request(bool* ok);
    print::Report makePrint();

    WindowContext m_windows;
    SalesReportKind m_kind;
    SalesReport m_report;
    QList<int> m_sortColumns;
    ReportOutputs m_outputs;

    QLabel* m_title = nullptr;
    DateField* me_date11 = nullptr;
    DateField* me_date22 = nullptr;
    QRadioButton* rb_all = nullptr;
    QRadioButton* rb_one = nullptr;
    CodeField* me_code1 = nullptr;
    CodeField* me_code2 = nullptr;
    QWidget* m_insurerRow = nullptr;
    CodeField* me_code_b = nullptr;
    QLineEdit* me_name_b = nullptr;
    QWidget* m_doctorRow = nullptr;
    CodeField* me_nezam = nullptr;
    QLineEdit* me_name_pe = nullptr;
    QTableView* DBGrid2 = nullptr;
    QTableView* DBGrid1 = nullptr;
    RowTableModel<GoodsItem>* m_items = nullptr;
    RowTableModel<SalesRow>* m_rows = nullptr;
    QuickSearch* m_search = nullptr;
    QuickSearchModel* m_itemSearch = nullptr;
    QString m_itemTyped;
    int m_itemKeyColumn = 3;
    QLineEdit* me_search1 = nullptr;
    QLineEdit* me_koll = nullptr;
    QChartView* m_barsView = nullptr;
    QChartView* m_lineView = nullptr;
    QPushButton* but_search = nullptr;
    QPushButton* but_print = nullptr;
    QPushButton* but_sort = nullptr;
    QPushButton* but_excel = nullptr;
    QPushButton* but_pdf = nullptr;
    QPushButton* but_enseraf = nullptr;
    QPushButton* but_close = nullptr;
    QMenu* m_sortMenu = nullptr;
};

// The general sales report over prescriptions and goods invoices.
class TFg_masraf : public SalesReportWindow {
    Q_OBJECT
public:
    explicit TFg_masraf(const WindowContext& windows, QWidget* parent = nullptr);
};

// The consumption reports by insurer (form mode 20) and by doctor (21).
class TFg_masraf_pe : public SalesReportWindow, public FormModeWindow {
    Q_OBJECT
public:
    explicit TFg_masraf_pe(const WindowContext& windows, QWidget* parent = nullptr);
    void setFormMode(int formMode) override;
};

namespace texts {
inline const QString kNoItemChosen = QStringLiteral("دارو/كالا انتخاب نشده است");
inline const QString kSaveSpreadsheet = QStringLiteral("ذخيره اكسل");
inline const QString kSavePdf = QStringLiteral("ذخيره PDF");
} // namespace texts

} // namespace ph
