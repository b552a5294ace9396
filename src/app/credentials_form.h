#pragma once

#include "admin/users.h"

#include <QObject>

#include <optional>

class QLabel;
class QLineEdit;
class QWidget;

namespace ph {

class Database;
class Prompter;

// The user code, name and password fields shared by the login and lock windows, with
// the code check and the credential check. Enter in the code moves to the password;
// Up in the password moves back to the code.
class CredentialsForm : public QObject {
    Q_OBJECT
public:
    CredentialsForm(QWidget* owner, Prompter& prompter);

    void setDatabase(Database* db) { m_db = db; }
    QLineEdit* codeField() const { return m_code; }
    QLabel* nameLabel() const { return m_name; }
    QLineEdit* passwordField() const { return m_pass; }

    // Leaving the code field: an empty or unknown code is reported and the focus stays.
    bool checkCode();
    // The sign-in check: the user when code and password match; otherwise the reason is
    // reported and the focus put on the field at fault.
    std::optional<UserRecord> checkCredentials();
    void clear();

Q_SIGNALS:
    // Enter in the password field, or Down to the confirming button.
    void confirmRequested();
    void downRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refuse(const QString& message, QWidget* focus);

    Prompter& m_prompter;
    Database* m_db = nullptr;
    QLineEdit* m_code;
    QLabel* m_name;
    QLineEdit* m_pass;
    bool m_reporting = false;
};

} // namespace ph
