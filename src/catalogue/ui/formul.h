#pragma once

#include "catalogue/formulas.h"
#include "catalogue/materials.h"
#include "widgets/row_table_model.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace ph {

class CodeField;
class CommandBar;
class KeyNav;
class QuickSearch;

// The compounding formulas window. A formula is typed as its type (bringing both fees), its
// names, its instruction, storage note and message codes, and its material lines (a material
// chosen in the material list, a quantity and a status); the totals follow every change of
// the lines. F2 saves a new formula (or the edit), F3 makes the shown formula editable, F4
// removes the line under the cursor, Ctrl+F4 deletes the shown formula, F5 opens the base
// materials, F7 finds a compounded drug in the drug search and shows its formula, Ctrl+F/P/N/L show the first, previous, next and last formula, F9 clears for a
// new formula.
class TF_formul : public QDialog {
    Q_OBJECT
public:
    enum class State { New, Viewing, Editing };

    explicit TF_formul(const WindowContext& windows, QWidget* parent = nullptr);
    ~TF_formul() override;

    // Opens another window of the program by its class name (the base materials).
    void setWindowOpener(std::function<void(const QString&)> open) { m_openWindow = std::move(open); }
    // Opens the compounded drug search and returns the drug chosen there, or nothing.
    void setDrugSearch(std::function<std::optional<double>()> search) { m_searchDrug = std::move(search); }
    State state() const { return m_state; }
    CommandBar* commandBar() const { return m_bar; }
    const QList<FormulaLine>& lines() const { return m_lineList; }

    void clearForNew();
    // Adds the line of the current material (or replaces the clicked line).
    void addLine();
    void removeLine();
    void saveFormula();
    void startEdit();
    void deleteFormula();
    void showFormula(double code);
    // F7: the drug chosen in the drug search, its formula shown; nothing chosen changes nothing.
    void searchDrug();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void makeFields();
    void makeMaterialFields();
    void makeLayout();
    void makeCommands();
    void step(int direction); // -2 first, -1 previous, 1 next, 2 last
    void reloadMaterials();
    void recomputeTotals();
    void showLines();
    void setEditable(bool editable);
    void loadLine(int row);
    void refuse(const QString& text, QWidget* field);
    std::optional<Material> currentMaterial() const;
    Formula formulaFromFields() const;

    WindowContext m_windows;
    std::function<void(const QString&)> m_openWindow;
    std::function<std::optional<double>()> m_searchDrug;
    State m_state = State::New;
    double m_shownCode = 0;
    std::optional<int> m_changingLine;

    QLineEdit* me_code;
    CodeField* me_code_type;
    QLineEdit* me_name_type;
    QLineEdit* me_name;
    QLineEdit* me_latin;
    CodeField* me_code_dastoor;
    QLineEdit* me_name_dastoor;
    CodeField* me_code_negahdari;
    QLineEdit* me_name_negahdari;
    CodeField* me_code_payam;
    QLineEdit* me_name_payam;
    QTableView* DBGrid1; // the material list
    QLineEdit* me_search;
    QuickSearch* m_materialSearch;
    RowTableModel<Material>* m_materials;
    QLineEdit* me_meghdar;
    QComboBox* Cb_vaziat;
    QPushButton* but_add;
    QTableView* StringGrid1; // the lines
    QStandardItemModel* m_lines;
    QList<FormulaLine> m_lineList;
    QLineEdit* me_koll_bimeh;
    QLineEdit* me_koll_azad;
    QLineEdit* me_fani;
    QLineEdit* me_khadamat;
    QLineEdit* me_koll;
    CommandBar* m_bar;
    KeyNav* m_nav;
};

} // namespace ph
