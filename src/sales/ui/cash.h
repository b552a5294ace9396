#pragma once

#include "sales/cash_desk.h"
#include "widgets/window_context.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace ph {

class CommandBar;

// The till closing: while the till is open, a summary of what was paid since the last
// closing, closed with F2 in one transaction; then (or when no keeper is named) the panel
// that names the next keeper of the till.
class Tf_cash : public QDialog {
    Q_OBJECT
public:
    explicit Tf_cash(const WindowContext& windows, QWidget* parent = nullptr);

    // F2 on the summary: asks, closes the till, then asks for the next keeper.
    void closeTill();
    // The confirm button of the new-keeper panel.
    void confirmKeeper();
    bool showsSummary() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeSummary();
    void makeKeeperPanel();
    void fillSummary();
    void showKeeperPanel();
    // The name of the user the code field holds; false for a code no user has.
    bool lookUpKeeper();
    QString now() const;

    WindowContext m_windows;
    CashDesk m_desk;
    CommandBar* m_bar;
    QStackedWidget* m_panels;
    QWidget* Panel_summary;
    QWidget* Panel_new;
    QLineEdit *me_name_opr, *me_code_opr, *me_date_first, *me_time_first, *me_date_end, *me_time_end;
    QLineEdit *me_daryaft, *me_bargasht, *me_mojoodi, *me_pardakht;
    QLineEdit *me_code_new, *me_name_new, *me_date_new, *me_time_new;
    QPushButton* but_back;
};

} // namespace ph
