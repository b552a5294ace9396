#include "widgets/dialogs/tf_input.h"

#include "widgets/dialogs/dialog_parts.h"
#include "widgets/dialogs/tf_error.h"

#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace ph {

namespace {
const QString kOk = QStringLiteral("ok");
const QString kPromptDeclined = QStringLiteral("close");
const QString kIdentityDeclined = QStringLiteral("no");

QLineEdit* makeEdit(const QString& objectName, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    return edit;
}

QHBoxLayout* buttonRow(QPushButton* first, QPushButton* second) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(first);
    row->addWidget(second);
    row->addStretch();
    return row;
}
} // namespace

Tf_input::Tf_input(Tf_error& warning, QWidget* parent) : QDialog(parent), m_warning(warning) {
    setObjectName(QStringLiteral("f_input"));
    setWindowTitle(QStringLiteral("ورود اطلاعات"));
    setLayoutDirection(Qt::RightToLeft);

    buildPromptPanel();
    buildIdentityPanel();
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_promptPanel);
    layout->addWidget(m_identityPanel);

    m_identityPanel->hide();
}

void Tf_input::buildPromptPanel() {
    m_promptPanel = new QFrame(this);
    m_promptPanel->setObjectName(QStringLiteral("Panel1"));
    m_promptLabel = dialog_parts::makeLabel(QString(), QStringLiteral("Label1"), m_promptPanel);
    m_promptText = makeEdit(QStringLiteral("input_text"), m_promptPanel);
    m_promptText->setMinimumWidth(260);
    m_promptOk =
        dialog_parts::makeButton(QStringLiteral("تاييد    F2"), QStringLiteral("but_yes"), m_promptPanel);
    m_promptClose =
        dialog_parts::makeButton(QStringLiteral("خروج   F10"), QStringLiteral("but_no"), m_promptPanel);
    connect(m_promptOk, &QPushButton::clicked, this, &Tf_input::confirmPrompt);
    connect(m_promptClose, &QPushButton::clicked, this, &Tf_input::reject);

    auto* layout = new QVBoxLayout(m_promptPanel);
    layout->addWidget(m_promptLabel);
    layout->addWidget(m_promptText);
    layout->addLayout(buttonRow(m_promptOk, m_promptClose));
}

void Tf_input::buildIdentityPanel() {
    m_identityPanel = new QFrame(this);
    m_identityPanel->setObjectName(QStringLiteral("Panel2"));
    m_name = makeEdit(QStringLiteral("me_name"), m_identityPanel);
    m_code = makeEdit(QStringLiteral("me_code"), m_identityPanel);
    // The code is stored as a whole number.
    m_code->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), m_code));
    m_nezam = makeEdit(QStringLiteral("fani"), m_identityPanel);
    m_nezam->setMaxLength(20);
    m_identityOk =
        dialog_parts::makeButton(QStringLiteral("تاييد  F2"), QStringLiteral("but_ok"), m_identityPanel);
    m_identityClose =
        dialog_parts::makeButton(QStringLiteral("خروج Esc"), QStringLiteral("but_close"), m_identityPanel);
    connect(m_identityOk, &QPushButton::clicked, this, &Tf_input::confirmIdentity);
    connect(m_identityClose, &QPushButton::clicked, this, &Tf_input::reject);
    // Tab follows the Enter order, the order the fields are shown in.
    setTabOrder(m_code, m_name);
    setTabOrder(m_name, m_nezam);
    setTabOrder(m_nezam, m_identityOk);
    setTabOrder(m_identityOk, m_identityClose);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("كد داروخانه"), m_code);
    fields->addRow(QStringLiteral("نام داروخانه"), m_name);
    fields->addRow(QStringLiteral("نظام پزشکي مسئول فني"), m_nezam);
    auto* layout = new QVBoxLayout(m_identityPanel);
    layout->addLayout(fields);
    layout->addLayout(buttonRow(m_identityOk, m_identityClose));
}

void Tf_input::preparePrompt(const QString& label, const QString& text) {
    m_promptLabel->setText(label);
    m_promptText->setText(text);
    m_identityPanel->hide();
    m_promptPanel->show();
}

void Tf_input::prepareIdentity() {
    m_promptPanel->hide();
    m_identityPanel->show();
}

bool Tf_input::isIdentity() const {
    return !m_identityPanel->isHidden();
}

QString Tf_input::promptLabel() const {
    return m_promptLabel->text();
}
QString Tf_input::promptText() const {
    return m_promptText->text();
}
QString Tf_input::pharmacyName() const {
    return m_name->text();
}
QString Tf_input::pharmacyCode() const {
    return m_code->text();
}
QString Tf_input::directorNezam() const {
    return m_nezam->text();
}

void Tf_input::confirmPrompt() {
    // An empty text is still "ok": the caller treats it as no answer.
    m_answer = kOk;
    accept();
}

void Tf_input::refuse(const QString& message, QLineEdit* field) {
    m_warning.prepareWarning(message);
    m_warning.exec();
    field->setFocus();
}

void Tf_input::confirmIdentity() {
    // The name is checked first, so a form left wholly empty asks for the name.
    if (m_name->text().trimmed().isEmpty())
        return refuse(QStringLiteral("نام داروخانه را وارد نكرده ايد"), m_name);
    if (m_code->text().trimmed().isEmpty())
        return refuse(QStringLiteral("كـد داروخانه را وارد نكرده ايد"), m_code);
    if (m_nezam->text().trimmed().isEmpty())
        return refuse(QStringLiteral("نظام پزشکي مسئول فني  را وارد نكرده ايد"), m_nezam);
    m_answer = kOk;
    accept();
}

// Esc, the close buttons and the window's close box all decline.
void Tf_input::reject() {
    m_answer = isIdentity() ? kIdentityDeclined : kPromptDeclined;
    QDialog::reject();
}

void Tf_input::keyPressEvent(QKeyEvent* event) {
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (dialog_parts::isEnter(event) && plain) {
        QWidget* focus = focusWidget();
        if (focus == m_promptText)
            m_promptOk->click();
        else if (focus == m_code)
            m_name->setFocus();
        else if (focus == m_name)
            m_nezam->setFocus();
        else if (focus == m_nezam)
            m_identityOk->setFocus();
        else
            dialog_parts::pressFocusedButton(this);
        return;
    }
    if (event->key() == Qt::Key_F2 && plain) {
        (isIdentity() ? m_identityOk : m_promptOk)->click();
        return;
    }
    if (event->key() == Qt::Key_F10 && plain && !isIdentity()) {
        m_promptClose->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tf_input::showEvent(QShowEvent* event) {
    m_name->clear();
    m_code->clear();
    m_nezam->clear();
    QDialog::showEvent(event);
    (isIdentity() ? m_code : m_promptText)->setFocus();
    // The offered text is selected: Enter takes it, typing replaces it.
    if (!isIdentity()) m_promptText->selectAll();
}

} // namespace ph
