#pragma once

#include <QDialog>

class QPushButton;

namespace ph {

struct AppContext;
class CredentialsForm;
class Database;
class Prompter;

// The lock window: it stays until a user signs in again. Unlocking moves the current
// user record (the rights the main window tests) to the user who unlocked, while the
// signed-in user, the cashier and the date of the main context stay as they were.
class TF_password : public QDialog {
    Q_OBJECT
public:
    TF_password(AppContext& context, Database& db, Prompter& prompter, QWidget* parent = nullptr);

    CredentialsForm& form() const { return *m_form; }
    void unlock();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override {} // no way out but signing in
    void closeEvent(QCloseEvent* event) override;

private:
    AppContext& m_context;
    Prompter& m_prompter;
    CredentialsForm* m_form;
    QPushButton* m_ok;
    bool m_unlocking = false;
};

} // namespace ph
