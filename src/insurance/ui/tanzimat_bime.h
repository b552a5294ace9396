#pragma once

#include "insurance/print_setting_store.h"
#include "widgets/row_table_model.h"
#include "widgets/window_context.h"

#include <QDialog>

class QButtonGroup;
class QLineEdit;
class QRadioButton;
class QTableView;

namespace ph {

class CodeField;
class CommandBar;
class KeyNav;

// How each insurer's prescriptions are printed: fixed layout 1 or 2, or the six items at
// positions in millimetres. F2 stores the choice for the insurer typed; the grid lists the
// insurers with the custom choice, and a row of it loads into the form.
class Tf_tanzimat_bime : public QDialog {
    Q_OBJECT
public:
    explicit Tf_tanzimat_bime(const WindowContext& windows, QWidget* parent = nullptr);
    ~Tf_tanzimat_bime() override;

    void save();
    // Empties the form and lists the custom settings again, as on showing the window.
    void clearForm();

    CommandBar* commandBar() const { return m_bar; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using SettingTable = RowTableModel<InsurerPrintSetting>;

    void makeFields();
    void makeCommands();
    void makeLayout();

    void reload();
    // The insurer's stored setting into the form: its choice and its positions; with no
    // setting the positions are emptied and no choice is selected.
    void loadSettingOfCode();
    void loadGridRow();
    void showPositions(const PrintPositions& positions);
    PrintPositions positionsFromFields() const;
    PrintChoice choice() const;
    void setChoice(PrintChoice choice);
    // The first check that fails shows its message, puts the focus on its field and returns false.
    bool validate();
    void pickInsurer();

    WindowContext m_windows;
    SettingTable* m_rows;
    QTableView* DBGrid1;

    CodeField* me_code_bime;
    QLineEdit* me_name_bime;
    QRadioButton* rb_defult1;
    QRadioButton* rb_defult2;
    QRadioButton* rb_custom;
    QButtonGroup* m_choices;
    QLineEdit* me_xcode;
    QLineEdit* me_ycode;
    QLineEdit* me_xprice;
    QLineEdit* me_yprice;
    QLineEdit* me_xkoll;
    QLineEdit* me_ykoll;
    QLineEdit* me_xbimar;
    QLineEdit* me_ybimar;
    QLineEdit* me_xazad;
    QLineEdit* me_yazad;
    QLineEdit* me_xpar;
    QLineEdit* me_ypar;

    CommandBar* m_bar;
    KeyNav* m_nav;
};

} // namespace ph
