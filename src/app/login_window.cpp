#include "app/login_window.h"

#include "app/startup_sequence.h"
#include "core/prompter.h"
#include "db/database.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

namespace ph {

TFmmain::TFmmain(AppContext& context, Prompter& prompter, const Clock& clock, QString workingDir,
                 QWidget* parent)
    : QWidget(parent), m_context(context), m_prompter(prompter), m_clock(clock),
      m_workingDir(std::move(workingDir)) {
    setObjectName(QStringLiteral("FMmain"));
    setWindowTitle(QStringLiteral("نرم افزار داروخانه v1400"));

    m_code = new QLineEdit(this);
    m_code->setObjectName(QStringLiteral("me_code"));
    m_code->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_code));
    m_userName = new QLabel(QStringLiteral("نام کاربر"), this);
    m_userName->setObjectName(QStringLiteral("Label5"));
    m_pass = new QLineEdit(this);
    m_pass->setObjectName(QStringLiteral("me_pass"));
    m_pass->setEchoMode(QLineEdit::Password);
    m_ok = new QPushButton(QStringLiteral("تاييد  F2"), this);
    m_ok->setObjectName(QStringLiteral("but_ok"));
    m_cancel = new QPushButton(QStringLiteral("خروج F10"), this);
    m_cancel->setObjectName(QStringLiteral("but_cancel"));
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("کد کاربر :"), m_code);
    form->addRow(QString(), m_userName);
    form->addRow(QStringLiteral("کلمه عبور :"), m_pass);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    m_code->installEventFilter(this);
    m_pass->installEventFilter(this);
}

TFmmain::~TFmmain() = default;

void TFmmain::showEvent(QShowEvent* event) {
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
    if (outcome == StartupSequence::Outcome::Quit) {
        close();
        return;
    }
    m_code->setFocus();
}

void TFmmain::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10 || event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_F2) {
        m_ok->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TFmmain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == m_code && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            m_pass->setFocus();
            return true;
        }
        if (watched == m_pass) {
            if (key == Qt::Key_Up) {
                m_code->setFocus();
                return true;
            }
            if (key == Qt::Key_Down) {
                m_ok->setFocus();
                return true;
            }
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_ok->click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ph
