#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace ph {

// The warning dialog: every validation failure is shown here, one sentence at a time.
class Tf_error : public QDialog {
    Q_OBJECT
public:
    explicit Tf_error(QWidget* parent = nullptr);

    // Sets the message shown on the next showing; an empty text shows the general one.
    void prepareWarning(const QString& text);
    QString message() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_heading;
    QLabel* m_panel;
    QPushButton* m_close;
};

} // namespace ph
