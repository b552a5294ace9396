#pragma once

#include "widgets/window_context.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

namespace ph {

enum class GoodsOutcome;

class BarcodeBox;
class CodeField;
class CommandBar;
class DrugListSet;
class KeyNav;
struct GoodsItem;

// The drug entry dialog: adds a goods row (new mode) or changes the current row of the drug
// list set (edit mode). Its navigation keys move the drug list set and show the row reached,
// without changing the mode. On close the list is read again and placed on the shown code.
class Tf_sabt_darou : public QDialog {
    Q_OBJECT
public:
    Tf_sabt_darou(const WindowContext& windows, DrugListSet& drugs, QWidget* parent = nullptr);
    ~Tf_sabt_darou() override;

    // The mode of the next showing: edit (the current row) or new.
    void setEditing(bool editing) { m_editing = editing; }
    bool isEditing() const { return m_editing; }
    CommandBar* commandBar() const { return m_bar; }

    // F2, after the command bar's right check.
    void save();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void clearFields();
    void showRow(const GoodsItem& item);
    void showCurrent();
    // Shows why a save was refused and puts the focus on the field at fault; false when it was stored.
    bool refused(GoodsOutcome outcome);
    void saveNew();
    void saveEdit();

    WindowContext m_windows;
    DrugListSet& m_drugs;
    bool m_editing = false;
    CodeField* me_code_g;
    QLineEdit* me_name_g;
    CodeField* me_code_t;
    QLineEdit* me_name_t;
    QLineEdit* me_code_kala;
    CodeField* me_code_two;
    CodeField* me_code_sh;
    QLineEdit* me_name_kala;
    QLineEdit* me_name_latin;
    CodeField* me_price;
    BarcodeBox* m_barcodes;
    QLabel* lb_saved;
    CommandBar* m_bar;
    KeyNav* m_nav;
};

} // namespace ph
