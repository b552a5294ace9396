#include "app/credentials_form.h"

#include "core/error.h"
#include "core/prompter.h"
#include "widgets/guarded.h"
#include "widgets/keys.h"
#include "widgets/password_echo.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace ph {
namespace {
const QString kNameResting = QStringLiteral("نام کاربر");
} // namespace

CredentialsForm::CredentialsForm(QWidget* owner, Prompter& prompter) : QObject(owner), m_prompter(prompter) {
    m_code = new QLineEdit(owner);
    m_code->setObjectName(QStringLiteral("me_code"));
    m_code->setMaxLength(9);
    // Only digits reach the field; letters and other keys are dropped.
    m_code->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_code));
    m_code->setLayoutDirection(Qt::LeftToRight);
    m_name = new QLabel(kNameResting, owner);
    m_name->setObjectName(QStringLiteral("Label5"));
    m_pass = new QLineEdit(owner);
    m_pass->setObjectName(QStringLiteral("me_pass"));
    showAsStars(m_pass);
    m_code->installEventFilter(this);
    m_pass->installEventFilter(this);
}

void CredentialsForm::refuse(const QString& message, QWidget* focus) {
    m_reporting = true;
    m_prompter.warning(message);
    m_reporting = false;
    focus->setFocus();
}

bool CredentialsForm::checkCode() {
    if (m_code->text().isEmpty()) {
        refuse(QStringLiteral("کد کاربر وارد نشده است"), m_code);
        return false;
    }
    const auto name = m_db ? UserStore(*m_db).nameOf(m_code->text().toInt()) : std::nullopt;
    if (!name) {
        refuse(QStringLiteral("کد کاربر اشتباه وارد شده است"), m_code);
        return false;
    }
    m_name->setText(*name);
    return true;
}

std::optional<UserRecord> CredentialsForm::checkCredentials() {
    if (m_code->text().isEmpty()) {
        refuse(QStringLiteral("کدکاربرمشخص نشده است"), m_code);
        return std::nullopt;
    }
    if (m_pass->text().isEmpty()) {
        refuse(QStringLiteral("کلمه عبور مشخص نشده است"), m_pass);
        return std::nullopt;
    }
    if (!m_db)
        throw Error(QStringLiteral("پايگاه داده در دسترس نيست"));
    auto user = UserStore(*m_db).signIn(m_code->text().toInt(), m_pass->text());
    if (!user)
        refuse(QStringLiteral("کلمه عبور اشتباه وارد شده است"), m_pass);
    return user;
}

void CredentialsForm::clear() {
    m_code->clear();
    m_pass->clear();
    m_name->setText(kNameResting);
}

bool CredentialsForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = isEnterKey(key);
        if (watched == m_code && enter) {
            m_pass->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (watched == m_pass) {
            if (key == Qt::Key_Up) {
                m_code->setFocus(Qt::BacktabFocusReason);
                return true;
            }
            if (key == Qt::Key_Down) {
                Q_EMIT downRequested();
                return true;
            }
            if (enter) {
                Q_EMIT confirmRequested();
                return true;
            }
        }
    } else if (event->type() == QEvent::FocusOut && watched == m_code && !m_reporting) {
        // Leaving the code for another field of this window runs the code check; a dialog
        // taking the focus, or closing the window, does not.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool movedWithin = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                 reason == Qt::MouseFocusReason || reason == Qt::OtherFocusReason;
        if (movedWithin && m_db) {
            guarded(m_prompter, [this] { checkCode(); });
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ph
