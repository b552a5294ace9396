#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTextBrowser;

namespace ph {

// The help window: the program's bundled guide, reloaded at every showing.
class TF_help : public QDialog {
    Q_OBJECT
public:
    explicit TF_help(QWidget* parent = nullptr);

    QTextBrowser* view() const { return m_view; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void loadGuide();

    QPushButton* m_close;
    QLabel* m_hint;
    QTextBrowser* m_view;
};

} // namespace ph
