#pragma once

#include "admin/users.h"
#include "widgets/form_mode.h"
#include "widgets/window_context.h"

#include <QDialog>
#include <QHash>

class QCheckBox;
class QLayout;
class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace ph {

class CommandBar;
class KeyNav;

// The user and rights window: users with their name, password and right flags. Opened
// with the users grid (form mode 1) or without it (form mode 0, additions only).
// Passwords are never shown: the grid masks them and a loaded user's password field is
// empty; editing with an empty password keeps the stored one.
class TF_user_new : public QDialog, public FormModeWindow {
    Q_OBJECT
public:
    explicit TF_user_new(const WindowContext& windows, QWidget* parent = nullptr);
    ~TF_user_new() override;

    // With the users grid (1) or without it (0), from the next showing.
    void setFormMode(int formMode) override { m_formMode = formMode; }

    void clearForNew();
    void loadUser(int row);
    void addUser();
    void editUser();
    void deleteUser();
    // Who changes users from this window, for the history of changes.
    AuditOrigin auditOrigin() const;

    CommandBar* commandBar() const { return m_bar; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildRightsPanel(QLayout* fields);
    void reloadGrid();
    UserRecord fromFields() const;

    WindowContext m_windows;
    int m_formMode = 0;
    QLineEdit* m_code;
    QLineEdit* m_name;
    QLineEdit* m_pass;
    QHash<QString, QCheckBox*> m_flags;
    QTableView* m_grid;
    QStandardItemModel* m_model;
    QList<UserRecord> m_users;
    CommandBar* m_bar;
    KeyNav* m_nav;
    bool m_gridKeyDown = false; // a key was pressed in the grid and not yet released
};

} // namespace ph
