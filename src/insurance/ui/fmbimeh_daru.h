#pragma once

#include "insurance/drug_rule_store.h"
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
class QStandardItemModel;
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
    void loadLists();
    void reloadGrid();
    void loadRow(int sourceRow);
    void chooseInsurer(int index);
    void chooseDrug(const QString& code);
    void setLimit(QRadioButton* chosen);
    void notCoveredChosen();
    void clearSpecialty();
    // Clears the drug, form, limit and specialty; `all` also the two boxes and the percentage.
    void resetRuleFields(bool all);
    QList<int> checkedInsurers() const;
    DrugRuleEntry ruleFromFields(int limitKind) const;

    WindowContext m_windows;
    std::optional<int> m_insurer; // the insurer chosen in `bimeh`
    QString m_drugCode;           // the chosen drug's code; "-1" for a name that is not listed
    int m_specialty = 0;          // the chosen specialty's code; 0 none
    bool m_loading = false;
    QList<DrugChoice> m_drugs;
    QList<DrugRuleRow> m_rules;

    QComboBox* bimeh;
    QTableView* DBGrid1;
    QStandardItemModel* m_model;
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
    QStandardItemModel* m_drugModel;
    QLineEdit* me_search;

    CommandBar* m_bar;
    KeyNav* m_nav;
};

} // namespace ph
