#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ph {

class Tf_error;

// The one-line prompt and the pharmacy identity panel, two panels of one window.
// The answer it leaves behind: "ok", "close" (prompt declined) or "no" (identity declined).
class Tf_input : public QDialog {
    Q_OBJECT
public:
    // The identity checks report through the given warning dialog.
    explicit Tf_input(Tf_error& warning, QWidget* parent = nullptr);

    // Shows the prompt panel with this label and an empty text, ready for typing.
    // The prompt with its caption and the text it offers (empty by default).
    void preparePrompt(const QString& label, const QString& text = {});
    // Shows the identity panel; showing clears its three fields.
    void prepareIdentity();

    QString answer() const { return m_answer; }
    bool isIdentity() const;
    QString promptLabel() const;
    QString promptText() const;
    QString pharmacyName() const;
    QString pharmacyCode() const;
    QString directorNezam() const;

public slots:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildPromptPanel();
    void buildIdentityPanel();
    void confirmPrompt();
    void confirmIdentity();
    void refuse(const QString& message, QLineEdit* field);

    Tf_error& m_warning;
    QString m_answer;

    QFrame* m_promptPanel;
    QLabel* m_promptLabel;
    QLineEdit* m_promptText;
    QPushButton* m_promptOk;
    QPushButton* m_promptClose;

    QFrame* m_identityPanel;
    QLineEdit* m_name;
    QLineEdit* m_code;
    QLineEdit* m_nezam;
    QPushButton* m_identityOk;
    QPushButton* m_identityClose;
};

} // namespace ph
