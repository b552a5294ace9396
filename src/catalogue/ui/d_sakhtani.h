#pragma once

#include "catalogue/materials.h"
#include "widgets/list_window.h"
#include "widgets/row_table_model.h"

#include <functional>

class QLineEdit;
class QMenu;

namespace ph {

class CodeField;
class KeyNav;

// The base materials window: code (the next one, or the loaded row's), name, trade name,
// Latin name, unit (a code field with the unit's name beside it and the picker on PageDown)
// and unit price. F2 stores a new material, F3 rewrites the loaded one after a question,
// F4 deletes it unless a formula line names it, F9 clears for a new one, F6 drops down the
// appearance menu.
class Tf_d_sakhtani : public ListWindow {
    Q_OBJECT
public:
    explicit Tf_d_sakhtani(const WindowContext& windows, QWidget* parent = nullptr);

    void clearForNew();
    void saveMaterial();
    void editMaterial();
    void deleteMaterial();

    QMenu* appearanceMenu() const { return m_appearance; }
    // What the appearance menu's lock entry does (the lock window belongs to the shell).
    void setLockAction(std::function<void()> lock) { m_lock = std::move(lock); }

protected:
    void showEvent(QShowEvent* event) override;
    void loadRow(int sourceRow) override;

private:
    // The fields as a material; a missing field is refused with its warning (and focus).
    std::optional<Material> readFields();
    void reload();

    RowTableModel<Material>* m_model;
    QLineEdit* me_code;
    QLineEdit* me_name;
    QLineEdit* me_name_tejari;
    QLineEdit* me_name_latin;
    CodeField* me_code_vahed;
    QLineEdit* me_name_vahed;
    QLineEdit* me_price;
    KeyNav* m_nav;
    QMenu* m_appearance;
    std::function<void()> m_lock;
};

} // namespace ph
