#include "widgets/dialogs/tf_messagebox.h"

#include "widgets/dialogs/dialog_parts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ph {

Tf_messagebox::Tf_messagebox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("f_messagebox"));
    setWindowTitle(QStringLiteral("تاييد"));
    setLayoutDirection(Qt::RightToLeft);

    m_messagePanel = new QFrame(this);
    m_messagePanel->setObjectName(QStringLiteral("Panel4"));
    m_messageText = dialog_parts::makeMessagePanel(QString(), QStringLiteral("Label2"), m_messagePanel);
    auto* messageLayout = new QVBoxLayout(m_messagePanel);
    messageLayout->addWidget(m_messageText);

    m_searchPanel = new QFrame(this);
    m_searchPanel->setObjectName(QStringLiteral("Panel3"));
    m_searchLabel =
        dialog_parts::makeLabel(ConfirmRequest().searchLabel, QStringLiteral("Label1"), m_searchPanel);
    m_search = new QLineEdit(m_searchPanel);
    m_search->setObjectName(QStringLiteral("me_search"));
    auto* searchLayout = new QHBoxLayout(m_searchPanel);
    searchLayout->addWidget(m_searchLabel);
    searchLayout->addWidget(m_search);

    // Kept for callers that read the answer as text; never shown.
    m_resultMirror = new QLineEdit(this);
    m_resultMirror->setObjectName(QStringLiteral("me_ok"));
    m_resultMirror->hide();

    m_ok = dialog_parts::makeButton(QStringLiteral("تاييد"), QStringLiteral("but_ok"), this);
    m_cancel = dialog_parts::makeButton(QStringLiteral("انصراف"), QStringLiteral("but_cancel"), this);
    m_close = dialog_parts::makeButton(QStringLiteral("خروج"), QStringLiteral("but_close"), this);
    connect(m_ok, &QPushButton::clicked, this, &Tf_messagebox::confirmed);
    connect(m_cancel, &QPushButton::clicked, this, &Tf_messagebox::cancelled);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_close);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_messagePanel);
    layout->addWidget(m_searchPanel);
    layout->addLayout(buttons);

    prepareConfirm(ConfirmRequest());
}

void Tf_messagebox::prepareConfirm(const ConfirmRequest& request) {
    m_messageText->setText(request.text);
    m_searchLabel->setText(request.searchLabel);
    m_searchPanel->setVisible(request.showSearch);
    m_messagePanel->setVisible(!request.showSearch || !request.text.isEmpty());
    m_ok->setVisible(request.showOk);
    m_cancel->setVisible(request.showCancel);
    m_close->setVisible(request.showClose);
}

QString Tf_messagebox::searchText() const {
    return m_search->text();
}

QString Tf_messagebox::message() const {
    return m_messageText->text();
}

void Tf_messagebox::confirmed() {
    m_result = 1;
    m_resultMirror->setText(QStringLiteral("1"));
    accept();
}

void Tf_messagebox::cancelled() {
    m_result = 0;
    m_search->clear();
    m_resultMirror->setText(QStringLiteral("0"));
    done(Rejected);
}

void Tf_messagebox::keyPressEvent(QKeyEvent* event) {
    // Enter confirms and Esc cancels, as the two buttons' kinds promise; without a
    // cancel button Esc only closes.
    if (dialog_parts::isEnter(event)) {
        if (!dialog_parts::pressFocusedButton(this) && !m_ok->isHidden()) m_ok->click();
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (!m_cancel->isHidden())
            m_cancel->click();
        else
            reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tf_messagebox::showEvent(QShowEvent* event) {
    m_search->clear();
    m_resultMirror->clear();
    QDialog::showEvent(event);
    if (!m_searchPanel->isHidden())
        m_search->setFocus();
    else if (!m_ok->isHidden())
        m_ok->setFocus();
    else if (!m_cancel->isHidden())
        m_cancel->setFocus();
    else
        m_close->setFocus();
}

} // namespace ph
