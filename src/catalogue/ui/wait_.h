#pragma once

#include "widgets/window_context.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace ph {

// The compounded-drug price update: asks first, then has the catalogue carry the materials'
// prices into every formula and every compounded drug's goods price, all or nothing, with a
// progress bar. A failure leaves every price as it was and is reported.
class TF_wait : public QDialog {
    Q_OBJECT
public:
    explicit TF_wait(const WindowContext& windows, QWidget* parent = nullptr);

    // "بله  F2": runs the update; the window closes when it is done.
    void run();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    WindowContext m_windows;
    QLabel* m_question;
    QLabel* m_wait;
    QProgressBar* m_progress;
    QPushButton* but_yes;
    QPushButton* but_no;
};

} // namespace ph
