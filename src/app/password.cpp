#include "app/password.h"

#include "app/credentials_form.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "widgets/guarded.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ph {

TF_password::TF_password(AppContext& context, Database& db, Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_context(context), m_prompter(prompter) {
    setObjectName(QStringLiteral("F_password"));
    setModal(true);
    m_form = new CredentialsForm(this, prompter);
    m_form->setDatabase(&db);
    m_ok = new QPushButton(QStringLiteral("تاييد  F2"), this);
    m_ok->setObjectName(QStringLiteral("but_ok"));
    connect(m_ok, &QPushButton::clicked, this, &TF_password::unlock);
    connect(m_form, &CredentialsForm::confirmRequested, this, &TF_password::unlock);
    connect(m_form, &CredentialsForm::downRequested, m_ok, [this] { m_ok->setFocus(); });

    auto* title = new QLabel(QStringLiteral("برنامه قفل است؛ براي ادامه کد کاربر و کلمه عبور را وارد کنيد"), this);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("کد کاربر :"), m_form->codeField());
    fields->addRow(QString(), m_form->nameLabel());
    fields->addRow(QStringLiteral("کلمه عبور :"), m_form->passwordField());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(fields);
    layout->addWidget(m_ok);
}

void TF_password::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_form->clear();
    m_form->codeField()->setFocus();
}

void TF_password::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F2) {
        unlock();
        return;
    }
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void TF_password::closeEvent(QCloseEvent* event) {
    if (!m_unlocking)
        event->ignore();
}

void TF_password::unlock() {
    std::optional<UserRecord> user;
    if (!guarded(m_prompter, [&] { user = m_form->checkCredentials(); })) return;
    if (!user)
        return;
    m_context.current_user_code = user->code;
    m_context.rights = user->rights;
    m_unlocking = true;
    accept();
    m_unlocking = false;
}

} // namespace ph
