#pragma once

#include "catalogue/drug_texts.h"
#include "widgets/form_mode.h"
#include "widgets/list_window.h"
#include "widgets/row_table_model.h"

class QLineEdit;

namespace ph {

// The drug texts window: usage instructions, messages or storage notes, whichever list the
// form mode it was opened with names (1, 2 or 3). `me_code` shows the next code or the code
// of the row loaded from the grid; F2 adds the text `me_name` as a new entry, F3 rewords the
// loaded one, F4 deletes it (refused while a formula names it), F9 clears for a new entry.
class Tf_payam : public ListWindow, public FormModeWindow {
    Q_OBJECT
public:
    explicit Tf_payam(const WindowContext& windows, QWidget* parent = nullptr);

    void setFormMode(int formMode) override { m_formMode = formMode; }
    DrugTextKind kind() const { return m_kind; }

    void clearForNew();
    void saveEntry();
    void editEntry();
    void deleteEntry();

protected:
    void showEvent(QShowEvent* event) override;
    void loadRow(int sourceRow) override;

private:
    DrugTextStore store() const { return DrugTextStore(m_windows.db, m_kind); }
    void reload();

    int m_formMode = 1;
    DrugTextKind m_kind = DrugTextKind::Instructions;
    RowTableModel<DrugText>* m_model;
    QLineEdit* m_code;
    QLineEdit* m_name;
};

} // namespace ph
