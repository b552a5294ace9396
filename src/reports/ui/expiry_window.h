#pragma once

#include "reports/expiry_report.h"
#include "reports/print/report_prints.h"
#include "reports/ui/report_outputs.h"
#include "widgets/window_context.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTableView;

namespace ph {

class ExpiryTableModel;

// The near-expiry list: the pharmacy's lots expiring within the days typed (90 at first) and
// those already expired (marked and tinted), valued at the current unit price, with the total.
// Enter in the days field or F7 shows the list, F8 prints it, the rows can be saved as a
// spreadsheet; F10 and Esc close.
class Tf_engheza : public QDialog {
    Q_OBJECT
public:
    explicit Tf_engheza(const WindowContext& windows, QWidget* parent = nullptr);
    ~Tf_engheza() override;

    void setOutputs(ReportOutputs outputs) { m_outputs = std::move(outputs); }
    const ExpiryReport& report() const { return m_report; }
    // F7: reads the days and shows the list; false when the days are refused.
    bool showList();
    // F8.
    void printList();
    void saveSpreadsheet();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ExpiryPrintHeading heading() const;

    WindowContext m_windows;
    ReportOutputs m_outputs;
    ExpiryReport m_report;
    int m_days = kDefaultExpiryDays;
    ExpiryTableModel* m_rows = nullptr;
    QLineEdit* me_days = nullptr;
    QTableView* DBGrid1 = nullptr;
    QLineEdit* me_koll = nullptr;
    QPushButton* but_ok = nullptr;
    QPushButton* but_print = nullptr;
    QPushButton* but_excel = nullptr;
    QPushButton* but_close = nullptr;
};

} // namespace ph
