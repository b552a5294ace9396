#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace ph {

// The information dialog and the yes/no question, two panels of one window.
// The question's answer ("yes" or "no") stays until one of its two buttons sets it again.
class Tf_message : public QDialog {
    Q_OBJECT
public:
    explicit Tf_message(QWidget* parent = nullptr);

    // Shows the information panel; an empty text shows "اطلاعات شما ثبت شد".
    void prepareInformation(const QString& text = {});
    // Shows the question panel with this question.
    void prepareYesNo(const QString& question);

    QString answer() const { return m_answer; }
    bool isQuestion() const;
    QString informationText() const;
    QString question() const;

public slots:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void answerYes();
    void answerNo();

    QFrame* m_infoPanel;
    QLabel* m_infoText;
    QPushButton* m_ok;
    QFrame* m_questionPanel;
    QLabel* m_questionText;
    QPushButton* m_yes;
    QPushButton* m_no;
    QString m_answer;
};

} // namespace ph
