#pragma once

#include "widgets/window_context.h"

#include <QDialog>

class QLabel;
class QLineEdit;

namespace ph {

// The password change window: whoever knows a user's code and old password may set a new one.
class TF_change_pass : public QDialog {
    Q_OBJECT
public:
    explicit TF_change_pass(const WindowContext& windows, QWidget* parent = nullptr);

    bool checkCode();
    void changePassword();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refuse(const QString& message, QWidget* focus);
    void clearFields();

    WindowContext m_windows;
    QLineEdit* m_code;
    QLabel* m_name;
    QLineEdit* m_old;
    QLineEdit* m_new;
    bool m_reporting = false;
};

} // namespace ph
