#pragma once

#include "insurance/tariff_store.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <optional>

class QFrame;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace ph {

class CommandBar;
class DateField;
class KeyNav;

// The tariff periods: the technical fee by day and night below and above its ceiling,
// the emergency amounts and the over-the-counter rule. F2 opens the entry panel for a new
// period, F3 for the current one, "تاييد" stores it; F4 deletes the current period.
class Tfmtarefeh : public QDialog {
    Q_OBJECT
public:
    explicit Tfmtarefeh(const WindowContext& windows, QWidget* parent = nullptr);
    ~Tfmtarefeh() override;

    void newPeriod();
    void editPeriod();
    void deletePeriod();
    // "تاييد": stores the panel's period and hides the panel.
    void confirmPanel();

    CommandBar* commandBar() const { return m_bar; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void reload();
    void showPanel();
    TariffPeriod fromPanel() const;

    WindowContext m_windows;
    QTableView* m_grid;
    QStandardItemModel* m_model;
    QList<TariffPeriod> m_periods;
    QFrame* m_panel;
    DateField* m_from;
    DateField* m_to;
    QList<QLineEdit*> m_amounts;
    QPushButton* m_ok;
    std::optional<TariffPeriod> m_editing; // the period the panel was loaded from; none for a new one
    CommandBar* m_bar;
    KeyNav* m_nav;
};

} // namespace ph
