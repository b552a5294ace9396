#include "catalogue/ui/wait_.h"

#include "core/app_context.h"
#include "catalogue/formulas.h"
#include "core/prompter.h"
#include "widgets/guarded.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace ph {

TF_wait::TF_wait(const WindowContext& windows, QWidget* parent) : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("F_wait"));
    setWindowTitle(QStringLiteral("محاسبه قيمت جديد داروهاي تركيبي"));
    m_question = new QLabel(QStringLiteral("آيا از محاسبه قيمت داروهاي تركيبي اطمينان داريد؟"), this);
    m_wait = new QLabel(QStringLiteral("لطفا چند لحظه منتطر بمانيد......"), this);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    but_yes = new QPushButton(QStringLiteral("بله  F2"), this);
    but_yes->setObjectName(QStringLiteral("but_yes"));
    but_no = new QPushButton(QStringLiteral("خير F10"), this);
    but_no->setObjectName(QStringLiteral("but_no"));
    connect(but_yes, &QPushButton::clicked, this, &TF_wait::run);
    connect(but_no, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(but_yes);
    buttons->addWidget(but_no);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_question);
    layout->addWidget(m_wait);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
}

void TF_wait::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_wait->hide();
    m_progress->hide();
    m_progress->setValue(0);
    but_yes->setEnabled(true);
    but_yes->setFocus();
}

void TF_wait::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) return run();
    if (event->key() == Qt::Key_F10) return reject();
    QDialog::keyPressEvent(event);
}

void TF_wait::run() {
    if (!but_yes->isEnabled()) return;
    but_yes->setEnabled(false);
    m_wait->show();
    m_progress->show();
    const bool done = guarded(m_windows.prompter, [this] {
        repriceCompounded(m_windows.db, [this](int finished, int count) {
            m_progress->setMaximum(count);
            m_progress->setValue(finished);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }, AuditOrigin::here(m_windows.context.user_code, QStringLiteral("TF_wait")));
    });
    if (done) {
        m_progress->setValue(m_progress->maximum());
        m_windows.prompter.information(QStringLiteral("محاسبه قيمت جديد داروهاي ساختني با موفقيت انجام شد"));
        accept();
        return;
    }
    // Nothing was changed: the question stands for another try.
    m_wait->hide();
    m_progress->hide();
    but_yes->setEnabled(true);
}

} // namespace ph
