#include "admin/ui/change_pass.h"

#include "admin/users.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "widgets/guarded.h"
#include "widgets/keys.h"
#include "widgets/password_echo.h"

#include <QFocusEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace ph {
namespace {
const QString kNameResting = QStringLiteral("نام کاربر");
} // namespace

TF_change_pass::TF_change_pass(const WindowContext& windows, QWidget* parent) : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("F_change_pass"));
    setWindowTitle(QStringLiteral(" فرم تغيير كلمه عبور  "));

    m_code = new QLineEdit(this);
    m_code->setObjectName(QStringLiteral("me_code"));
    m_code->setMaxLength(9);
    m_code->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_code));
    m_name = new QLabel(kNameResting, this);
    m_name->setObjectName(QStringLiteral("Label2"));
    m_old = new QLineEdit(this);
    m_old->setObjectName(QStringLiteral("me_pass_old"));
    showAsStars(m_old);
    m_new = new QLineEdit(this);
    m_new->setObjectName(QStringLiteral("me_pass_new"));
    showAsStars(m_new);
    for (QLineEdit* field : {m_code, m_old, m_new})
        field->installEventFilter(this);

    auto* ok = new QPushButton(QStringLiteral(" ثبت  F2"), this);
    ok->setObjectName(QStringLiteral("but_ok"));
    auto* close = new QPushButton(QStringLiteral("خروجF10"), this);
    close->setObjectName(QStringLiteral("but_close"));
    connect(ok, &QPushButton::clicked, this, &TF_change_pass::changePassword);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("كـــد كاربــر: "), m_code);
    form->addRow(QString(), m_name);
    form->addRow(QStringLiteral("رمــز قديم: "), m_old);
    form->addRow(QStringLiteral("رمــز جديد: "), m_new);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void TF_change_pass::refuse(const QString& message, QWidget* focus) {
    m_reporting = true;
    m_windows.prompter.warning(message);
    m_reporting = false;
    focus->setFocus();
}

bool TF_change_pass::checkCode() {
    if (m_code->text().isEmpty()) {
        refuse(QStringLiteral("کد کاربر وراد نشده است"), m_code);
        return false;
    }
    const auto name = UserStore(m_windows.db).nameOf(m_code->text().toInt());
    if (!name) {
        refuse(QStringLiteral("کد کاربر اشتباه وارد شده است"), m_code);
        return false;
    }
    m_name->setText(*name);
    return true;
}

void TF_change_pass::clearFields() {
    m_code->clear();
    m_old->clear();
    m_new->clear();
    m_name->setText(kNameResting);
}

void TF_change_pass::changePassword() {
    if (!m_windows.prompter.askYesNo(QStringLiteral("آيا از تغيير کلمه عبور مطمئن هستيد")))
        return;
    if (m_code->text().isEmpty())
        return refuse(QStringLiteral("کدکاربر وارد نشده است"), m_code);
    if (m_old->text().isEmpty())
        return refuse(QStringLiteral("رمز قديم وارد نشده است"), m_old);
    if (m_new->text().isEmpty())
        return refuse(QStringLiteral("رمز جديدواردنشده است"), m_new);
    bool changed = false;
    guarded(m_windows.prompter, [&] {
        UserStore users(m_windows.db, AuditOrigin::here(m_windows.context.user_code, QStringLiteral("TF_change_pass")));
        const int code = m_code->text().toInt();
        if (!users.changePassword(code, m_old->text(), m_new->text()))
            return refuse(QStringLiteral("کد کاربر يا رمزقديم اشتباه وارد شده است"), m_code);
        // The current user record moves to the user whose password was changed.
        m_windows.context.current_user_code = code;
        m_windows.context.rights = users.rightsOf(code);
        changed = true;
    });
    if (!changed) return;
    clearFields();
    m_code->setFocus();
}

void TF_change_pass::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Leaving the window signs everyone out; passwords typed before must not wait here
    // for the next user.
    m_old->clear();
    m_new->clear();
}

void TF_change_pass::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F2) {
        changePassword();
        return;
    }
    if (event->key() == Qt::Key_F10) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TF_change_pass::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = isEnterKey(key);
        if (enter && watched == m_code) {
            m_old->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (enter && watched == m_old) {
            m_new->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (key == Qt::Key_Up && watched == m_old) {
            m_code->setFocus(Qt::BacktabFocusReason);
            return true;
        }
        if (key == Qt::Key_Up && watched == m_new) {
            m_old->setFocus(Qt::BacktabFocusReason);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && watched == m_code && !m_reporting) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason) {
            guarded(m_windows.prompter, [this] { checkCode(); });
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ph
