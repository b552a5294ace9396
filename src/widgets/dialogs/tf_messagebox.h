#pragma once

#include "core/prompter.h"

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ph {

// The confirmation box, optionally with a search field. Its result is 1 after "تاييد" and
// 0 after "انصراف"; the close button leaves the previous result as it was.
class Tf_messagebox : public QDialog {
    Q_OBJECT
public:
    explicit Tf_messagebox(QWidget* parent = nullptr);

    // Sets the message, the search panel's visibility and label, and which buttons show.
    void prepareConfirm(const ConfirmRequest& request);

    int messageBoxResult() const { return m_result; }
    QString searchText() const;
    QString message() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void confirmed();
    void cancelled();

    QFrame* m_messagePanel;
    QLabel* m_messageText;
    QFrame* m_searchPanel;
    QLabel* m_searchLabel;
    QLineEdit* m_search;
    QLineEdit* m_resultMirror;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_close;
    int m_result = 0;
};

} // namespace ph
