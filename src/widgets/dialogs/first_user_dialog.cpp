#include "widgets/dialogs/first_user_dialog.h"

#include "widgets/dialogs/dialog_parts.h"
#include "widgets/dialogs/tf_error.h"
#include "widgets/password_echo.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ph {

namespace {
QLineEdit* makeEdit(const QString& objectName, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setMinimumWidth(200);
    return edit;
}
} // namespace

FirstUserDialog::FirstUserDialog(Tf_error& warning, QWidget* parent) : QDialog(parent), m_warning(warning) {
    setObjectName(QStringLiteral("f_first_user"));
    setWindowTitle(QStringLiteral("تعريف اولين کاربر"));
    setLayoutDirection(Qt::RightToLeft);

    m_name = makeEdit(QStringLiteral("me_name"), this);
    m_name->setMaxLength(50);
    m_password = makeEdit(QStringLiteral("me_pass"), this);
    m_repeat = makeEdit(QStringLiteral("me_pass2"), this);
    showAsStars(m_password);
    showAsStars(m_repeat);
    m_ok = dialog_parts::makeButton(QStringLiteral("تاييد  F2"), QStringLiteral("but_ok"), this);
    m_close = dialog_parts::makeButton(QStringLiteral("خروج F10"), QStringLiteral("but_close"), this);
    connect(m_ok, &QPushButton::clicked, this, &FirstUserDialog::confirm);
    connect(m_close, &QPushButton::clicked, this, &FirstUserDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("نام کاربر"), m_name);
    fields->addRow(QStringLiteral("کلمه عبور"), m_password);
    fields->addRow(QStringLiteral("تکرار کلمه عبور"), m_repeat);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_close);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

QString FirstUserDialog::userName() const {
    return m_name->text().trimmed();
}

QString FirstUserDialog::password() const {
    return m_password->text();
}

void FirstUserDialog::refuse(const QString& message, QLineEdit* field) {
    m_warning.prepareWarning(message);
    m_warning.exec();
    field->setFocus();
}

void FirstUserDialog::confirm() {
    if (userName().isEmpty()) return refuse(QStringLiteral("نام کاربر را وارد نکرده ايد"), m_name);
    if (m_password->text().isEmpty())
        return refuse(QStringLiteral("کلمه عبور را وارد نکرده ايد"), m_password);
    if (m_repeat->text() != m_password->text())
        return refuse(QStringLiteral("تکرار کلمه عبور با کلمه عبور يکسان نيست"), m_repeat);
    m_answer = QStringLiteral("ok");
    accept();
}

void FirstUserDialog::reject() {
    m_answer = QStringLiteral("no");
    QDialog::reject();
}

void FirstUserDialog::keyPressEvent(QKeyEvent* event) {
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    QWidget* focus = focusWidget();
    if (dialog_parts::isEnter(event) && plain) {
        if (focus == m_name)
            m_password->setFocus();
        else if (focus == m_password)
            m_repeat->setFocus();
        else if (focus == m_repeat)
            m_ok->click();
        else
            dialog_parts::pressFocusedButton(this);
        return;
    }
    if (event->key() == Qt::Key_Up && plain && (focus == m_password || focus == m_repeat)) {
        (focus == m_repeat ? m_password : m_name)->setFocus();
        return;
    }
    if (event->key() == Qt::Key_F2 && plain) {
        m_ok->click();
        return;
    }
    if (event->key() == Qt::Key_F10 && plain) {
        m_close->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FirstUserDialog::showEvent(QShowEvent* event) {
    m_name->clear();
    m_password->clear();
    m_repeat->clear();
    QDialog::showEvent(event);
    m_name->setFocus();
}

} // namespace ph
