#include "widgets/dialogs/tf_message.h"

#include "widgets/dialogs/dialog_parts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace ph {

namespace {
const QString kSaved = QStringLiteral("اطلاعات شما ثبت شد");
const QString kDefaultQuestion = QStringLiteral("آيا  از حذف اطلاعات مطمئن هستيد");
const QString kYes = QStringLiteral("yes");
const QString kNo = QStringLiteral("no");
} // namespace

Tf_message::Tf_message(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("f_message"));
    setWindowTitle(QStringLiteral("پيام"));
    setLayoutDirection(Qt::RightToLeft);

    m_infoPanel = new QFrame(this);
    m_infoPanel->setObjectName(QStringLiteral("Panel2"));
    m_infoText = dialog_parts::makeMessagePanel(kSaved, QString(), m_infoPanel);
    m_ok = dialog_parts::makeButton(QStringLiteral("تاييد"), QStringLiteral("but_ok"), m_infoPanel);
    auto* infoLayout = new QVBoxLayout(m_infoPanel);
    infoLayout->addWidget(m_infoText);
    infoLayout->addWidget(m_ok, 0, Qt::AlignHCenter);

    m_questionPanel = new QFrame(this);
    m_questionPanel->setObjectName(QStringLiteral("Panel1"));
    m_questionText =
        dialog_parts::makeMessagePanel(kDefaultQuestion, QStringLiteral("Label2"), m_questionPanel);
    m_yes = dialog_parts::makeButton(QStringLiteral("بله  F2"), QStringLiteral("but_yes"), m_questionPanel);
    m_no = dialog_parts::makeButton(QStringLiteral("خير F9"), QStringLiteral("but_no"), m_questionPanel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_yes);
    buttons->addWidget(m_no);
    buttons->addStretch();
    auto* questionLayout = new QVBoxLayout(m_questionPanel);
    questionLayout->addWidget(m_questionText);
    questionLayout->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_infoPanel);
    layout->addWidget(m_questionPanel);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_yes, &QPushButton::clicked, this, &Tf_message::answerYes);
    connect(m_no, &QPushButton::clicked, this, &Tf_message::answerNo);

    prepareInformation();
}

void Tf_message::prepareInformation(const QString& text) {
    m_infoText->setText(text.isEmpty() ? kSaved : text);
    m_questionPanel->hide();
    m_infoPanel->show();
}

void Tf_message::prepareYesNo(const QString& question) {
    m_questionText->setText(question);
    m_infoPanel->hide();
    m_questionPanel->show();
}

bool Tf_message::isQuestion() const {
    return !m_questionPanel->isHidden();
}

QString Tf_message::informationText() const {
    return m_infoText->text();
}

QString Tf_message::question() const {
    return m_questionText->text();
}

void Tf_message::answerYes() {
    m_answer = kYes;
    accept();
}

void Tf_message::answerNo() {
    m_answer = kNo;
    QDialog::reject();
}

// Esc and the window's close box answer a question "no"; they only close the information.
void Tf_message::reject() {
    if (isQuestion())
        answerNo();
    else
        QDialog::reject();
}

void Tf_message::keyPressEvent(QKeyEvent* event) {
    if (isQuestion() && event->modifiers() == Qt::NoModifier) {
        if (event->key() == Qt::Key_F2) {
            m_yes->click();
            return;
        }
        if (event->key() == Qt::Key_F9) {
            m_no->click();
            return;
        }
    }
    if (dialog_parts::isEnter(event)) {
        if (!dialog_parts::pressFocusedButton(this) && !isQuestion()) m_ok->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tf_message::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    (isQuestion() ? m_yes : m_ok)->setFocus();
}

} // namespace ph
