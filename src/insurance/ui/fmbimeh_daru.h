#pragma once

#include "insurance/drug_rule_store.h"
#include "widgets/row_table_model.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableView;

namespace ph {

class CommandBar;
class KeyNav;
class QuickSearch;

// The insurer-drug rules: for a drug, the insurers checked in the list get a rule (F2),
// lose it (F4), or the insurer chosen above has its rule rewritten (F3). The grid shows
// the rules of the insurer chosen in `bimeh`.
class Tfmbimeh_daru : public QDialog {
    Q_OBJECT
public:
    explicit Tfmbimeh_daru(const WindowContext& windows, QWidget* parent = nullptr);
    ~Tfmbimeh_daru() override;

    void addRules();
    void editRule();
    void deleteRules();
    // PageDown in the drug field: the drug panel; "تاييد" takes its current row.
    void openDrugPanel();
    void takeDrugFromPanel();
    void closeDrugPanel();
    // The sort menu's orders, by source column of the grid.
    void sortGrid(const QList<int>& columns);

    CommandBar* commandBar() const { return m_bar; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using RuleTable = RowTableModel<DrugRuleRow>;
    using DrugTable = RowTableModel<DrugChoice>;

    // The constructor's parts: the fields with their own reactions, the drug panel, the
    // commands (toolbar, sort menu, keys) and the layout.
    void makeFields();
    void makeDrugPanel();
    void makeCommands();
    void makeLayout();

    void loadLists();
    void reloadGrid();
    void loadRow(int sourceRow);
    void chooseInsurer(int index);
    // Makes the drug current and shows its form; nullopt for none (an empty name, or a name
    // that is not in the drug list).
    void chooseDrug(std::optional<double> code);
    // The drug the typed name stands for.
    std::optional<double> drugNamed(const QString& name) const;
    void setLimit(QRadioButton* chosen);
    void notCoveredChosen();
    void clearSpecialty();
    // Clears the drug, form, limit and specialty; `all` also the two boxes and the percentage.
    void resetRuleFields(bool all);
    QList<int> checkedInsurers() const;
    DrugRuleEntry ruleFromFields(int limitKind) const;

    WindowContext m_windows;
    std::optional<int> m_insurer; // the insurer chosen in `bimeh`
    std::optional<double> m_drug; // the chosen drug's code
    int m_specialty = 0;          // the chosen specialty's code; 0 none
    RuleTable* m_rules;           // the rules of the insurer chosen, shown in DBGrid1
    DrugTable* m_drugs;           // the drugs rules can be written for, shown in DBGrid2 and me_name

    QComboBox* bimeh;
    QTableView* DBGrid1;
    QuickSearch* m_gridSearch;
    QLineEdit* me_search2;
    QComboBox* me_name;
    QLineEdit* me_type;
    QRadioButton* rb_tedad;
    QLineEdit* tedad;
    QRadioButton* rb_mab;
    QLineEdit* mab;
    QComboBox* takh;
    QCheckBox* bimarestani;
    QCheckBox* non_bimeh;
    QLineEdit* edtDeduct;
    QListWidget* CheckListBox1;

    QFrame* Panel1;
    QTableView* DBGrid2;
    QLineEdit* me_search;

    CommandBar* m_bar;
    KeyNav* m_nav;
};

} // namespace ph
