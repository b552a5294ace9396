#pragma once

#include "catalogue/formulas.h"
#include "widgets/list_window.h"
#include "widgets/row_table_model.h"

class QLineEdit;

namespace ph {

class KeyNav;

// The formula types window: code (the next one, read-only), name, technical fee, service fee
// and national code. F2 stores a new type, F3 rewrites the shown one after a question, F4
// deletes it (formulas keep the fees they copied), F9 clears for a new one.
class TF_type_formul : public ListWindow {
    Q_OBJECT
public:
    explicit TF_type_formul(const WindowContext& windows, QWidget* parent = nullptr);

    void clearForNew();
    void saveType();
    void editType();
    void deleteType();

protected:
    void showEvent(QShowEvent* event) override;
    void loadRow(int sourceRow) override;

private:
    std::optional<FormulaType> readFields();
    void reload();

    RowTableModel<FormulaType>* m_model;
    QLineEdit* me_code;
    QLineEdit* me_name;
    QLineEdit* me_fani;
    QLineEdit* me_khadamat;
    QLineEdit* me_code_meli;
    KeyNav* m_nav;
};

} // namespace ph
