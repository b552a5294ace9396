#pragma once

#include "catalogue/drug_links.h"
#include "widgets/row_table_model.h"
#include "widgets/window_context.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QTableView;

namespace ph {

class CommandBar;
class DrugNameBox;

// The companion drugs: for a main drug, the goods dispensed with it and the status each
// companion line takes ("تعرفه" or "آزاد").
class Tf_hamrah : public QDialog {
    Q_OBJECT
public:
    explicit Tf_hamrah(const WindowContext& windows, QWidget* parent = nullptr);

    void clearAll();      // F1
    void addCompanion();  // the add button, or Enter in the status
    void editCondition(); // F3
    void removeAll();     // F4: every companion of the main drug
    void removeOne();     // Ctrl+F4: the grid's companion

    CommandBar* commandBar() const { return m_bar; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reloadGrid();
    void showMain();
    void showCompanion();
    void clearCompanion();
    void loadSelected();
    // The checks before adding or changing a companion; false after the warning.
    bool checkEntry();
    void notice(const QString& text);
    bool ask(const QString& question);

    WindowContext m_windows;
    RowTableModel<CompanionRow>* m_companions;
    DrugNameBox* cb_name_d;
    QLineEdit* cb_code_d;
    QLineEdit* me_type_d;
    DrugNameBox* cb_name_h;
    QLineEdit* cb_code_h;
    QLineEdit* me_type_h;
    QComboBox* cb_vaziat;
    QTableView* DBGrid1;
    CommandBar* m_bar;
};

} // namespace ph
