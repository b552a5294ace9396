#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace ph {

class Tf_error;

// Asks a new database's first user: a name and a password typed twice.
// Its answer is "ok" once all three are filled and the passwords agree, otherwise "no".
class FirstUserDialog : public QDialog {
    Q_OBJECT
public:
    // The checks report through the given warning dialog.
    explicit FirstUserDialog(Tf_error& warning, QWidget* parent = nullptr);

    QString answer() const { return m_answer; }
    QString userName() const;
    QString password() const;

public slots:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void confirm();
    void refuse(const QString& message, QLineEdit* field);

    Tf_error& m_warning;
    QString m_answer;
    QLineEdit* m_name;
    QLineEdit* m_password;
    QLineEdit* m_repeat;
    QPushButton* m_ok;
    QPushButton* m_close;
};

} // namespace ph
