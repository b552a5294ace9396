#include "app/fmmain.h"

#include "app/credentials_form.h"
#include "app/main_window.h"
#include "app/startup_sequence.h"
#include "app/window_placement.h"
#include "core/error.h"
#include "core/jalali_date.h"
#include "core/prompter.h"
#include "db/database.h"
#include "widgets/guarded.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ph {

TFmmain::TFmmain(AppContext& context, Prompter& prompter, const Clock& clock, QString workingDir, QWidget* parent)
    : QWidget(parent), m_context(context), m_prompter(prompter), m_clock(clock),
      m_workingDir(std::move(workingDir)) {
    setObjectName(QStringLiteral("FMmain"));
    setWindowTitle(QStringLiteral("نرم افزار داروخانه v1400"));
    setMinimumWidth(360);

    m_form = new CredentialsForm(this, prompter);
    m_ok = new QPushButton(QStringLiteral("تاييد  F2"), this);
    m_ok->setObjectName(QStringLiteral("but_ok"));
    m_cancel = new QPushButton(QStringLiteral("خروج F10"), this);
    m_cancel->setObjectName(QStringLiteral("but_cancel"));
    // Enter presses the focused button, as Space does (Down in the password leads to the
    // confirm button for that).
    for (QPushButton* button : {m_ok, m_cancel})
        button->setAutoDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &TFmmain::login);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(m_form, &CredentialsForm::confirmRequested, this, &TFmmain::login);
    connect(m_form, &CredentialsForm::downRequested, m_ok, [this] { m_ok->setFocus(); });

    auto* title = new QLabel(QStringLiteral("داروخانه"), this);
    title->setAlignment(Qt::AlignCenter);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    title->setFont(big);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("کد کاربر :"), m_form->codeField());
    form->addRow(QString(), m_form->nameLabel());
    form->addRow(QStringLiteral("کلمه عبور :"), m_form->passwordField());
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

TFmmain::~TFmmain() = default;

void TFmmain::showEvent(QShowEvent* event) {
    centreOnScreenOnce(*this);
    QWidget::showEvent(event);
    if (!m_started) {
        m_started = true;
        // After the window is on screen, so the first-start dialogs stand in front of it.
        QTimer::singleShot(0, this, &TFmmain::runStartup);
    }
}

void TFmmain::runStartup() {
    m_started = true;
    StartupSequence startup(m_context, m_prompter, m_workingDir);
    const auto outcome = startup.run();
    m_db = startup.takeDatabase();
    if (m_db && !m_db->isOpen())
        m_db.reset();
    m_form->setDatabase(m_db.get());
    if (outcome == StartupSequence::Outcome::Quit) {
        close();
        return;
    }
    // A user made just now is offered their code, which they have not seen before.
    if (const auto code = startup.firstUserCode())
        m_form->codeField()->setText(QString::number(*code));
    // Take the keyboard back from the first-start dialogs: with no window manager nothing
    // else gives it to this window.
    activateWindow();
    m_form->codeField()->setFocus();
}

void TFmmain::login() {
    bool signedIn = false;
    guarded(m_prompter, [&] {
        if (!m_db)
            throw Error(QStringLiteral("اتصال به پايگاه داده برقرار نيست؛ فايل ci.txt و سرور را بررسي کنيد"));
        const auto user = m_form->checkCredentials();
        if (!user)
            return;
        m_context.user_code = user->code;
        m_context.cashier_code = user->code;
        m_context.user_name = user->name;
        m_context.cashier_name = user->name;
        m_context.current_date = todayJalaliText(m_clock);
        m_context.current_user_code = user->code;
        m_context.rights = user->rights;
        if (!m_main) {
            m_main = new Tf_main(m_context, *m_db, m_prompter, m_clock, m_registry, this);
            m_main->setWindowFlag(Qt::Window);
            if (m_windowSetup)
                m_windowSetup(m_registry, *m_db, *m_main);
        }
        signedIn = true;
    });
    if (!signedIn)
        return;
    m_main->exec();
    // Signed out: the code stays for the next sign-in, the password does not, so whoever
    // comes next to this computer cannot sign in as the user who left.
    m_form->passwordField()->clear();
    activateWindow();
}

void TFmmain::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10 || event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_F2) {
        login();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace ph
