#pragma once

#include "insurance/hoteling_store.h"
#include "widgets/row_table_model.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTableView;

namespace ph {

class CommandBar;
class DrugNameBox;

// The hoteling drugs: per insurer, the drugs it pays apart as hoteling items.
class Tf_hoteling : public QDialog {
    Q_OBJECT
public:
    explicit Tf_hoteling(const WindowContext& windows, QWidget* parent = nullptr);

    void clearFields();    // F1
    void addDrug();        // F2, or Enter in the drug name
    void removeDrug();     // F4: the list's selected drug
    void removeAll();      // Ctrl+F4: every drug of the insurer
    void findInsurer();    // F5
    CommandBar* commandBar() const { return m_bar; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeFields();
    void makeCommands();
    void makeLayout();
    // The insurer the code names, its name shown and its list loaded; nothing for an unknown code.
    void followInsurer();
    void reloadList();
    void searchList(const QString& text);
    std::optional<int> insurerCode() const;
    void notice(const QString& text);
    bool ask(const QString& question);

    WindowContext m_windows;
    std::optional<int> m_listed; // the insurer whose list is shown
    RowTableModel<HotelingRow>* m_drugs;
    QComboBox* cb_code_b;
    QLineEdit* me_name_b;
    DrugNameBox* cb_name_d;
    QLineEdit* cb_code_d;
    QLineEdit* me_type;
    QTableView* DBGrid1;
    QLineEdit* me_search_d;
    QRadioButton* rb_name_d;
    QRadioButton* rb_code_d;
    QLabel* m_status;
    CommandBar* m_bar;
};

} // namespace ph
