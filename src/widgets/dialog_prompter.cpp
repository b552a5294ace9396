#include "widgets/dialog_prompter.h"

#include "widgets/dialogs/first_user_dialog.h"
#include "widgets/dialogs/tf_error.h"
#include "widgets/dialogs/tf_help.h"
#include "widgets/dialogs/tf_input.h"
#include "widgets/dialogs/tf_message.h"
#include "widgets/dialogs/tf_messagebox.h"
#include "widgets/persian_look.h"

#include <QMessageBox>
#include <QPushButton>

namespace ph {

DialogPrompter::DialogPrompter(QWidget* parent) : m_parent(parent) {
    initWidgetResources();
}

DialogPrompter::~DialogPrompter() {
    // The dialogs that use the warning dialog go first.
    delete m_firstUser.data();
    delete m_input.data();
    delete m_help.data();
    delete m_messageBox.data();
    delete m_message.data();
    delete m_error.data();
}

template <typename Dialog, typename... Args>
Dialog& DialogPrompter::lazy(QPointer<Dialog>& slot, Args&... args) {
    if (!slot) slot = new Dialog(args..., m_parent.data());
    return *slot;
}

Tf_error& DialogPrompter::errorDialog() {
    return lazy(m_error);
}
Tf_message& DialogPrompter::messageDialog() {
    return lazy(m_message);
}
Tf_messagebox& DialogPrompter::messageBox() {
    return lazy(m_messageBox);
}
Tf_input& DialogPrompter::inputDialog() {
    return lazy(m_input, errorDialog());
}
TF_help& DialogPrompter::helpWindow() {
    return lazy(m_help);
}
FirstUserDialog& DialogPrompter::firstUserDialog() {
    return lazy(m_firstUser, errorDialog());
}

void DialogPrompter::warning(const QString& text) {
    Tf_error& dialog = errorDialog();
    dialog.prepareWarning(text);
    dialog.exec();
}

void DialogPrompter::information(const QString& text) {
    Tf_message& dialog = messageDialog();
    dialog.prepareInformation(text);
    dialog.exec();
}

bool DialogPrompter::askYesNo(const QString& question) {
    Tf_message& dialog = messageDialog();
    dialog.prepareYesNo(question);
    dialog.exec();
    return dialog.answer() == QLatin1String("yes");
}

ConfirmAnswer DialogPrompter::confirm(const ConfirmRequest& request) {
    Tf_messagebox& dialog = messageBox();
    dialog.prepareConfirm(request);
    dialog.exec();
    // The dialog keeps its result through a close, so the shared value follows it.
    m_messageBoxResult = dialog.messageBoxResult();
    return {m_messageBoxResult, dialog.searchText()};
}

PromptAnswer DialogPrompter::prompt(const QString& label, const QString& text) {
    Tf_input& dialog = inputDialog();
    dialog.preparePrompt(label, text);
    dialog.exec();
    return {dialog.answer(), dialog.promptText()};
}

IdentityAnswer DialogPrompter::askPharmacyIdentity() {
    Tf_input& dialog = inputDialog();
    dialog.prepareIdentity();
    dialog.exec();
    return {
        dialog.answer(),
        {dialog.pharmacyName().trimmed(), dialog.pharmacyCode().trimmed(), dialog.directorNezam().trimmed()}};
}

std::optional<NewUserAnswer> DialogPrompter::askFirstUser() {
    FirstUserDialog& dialog = firstUserDialog();
    dialog.exec();
    if (dialog.answer() != QLatin1String("ok")) return std::nullopt;
    return NewUserAnswer{dialog.userName(), dialog.password()};
}

void DialogPrompter::showHelp() {
    helpWindow().exec();
}

void DialogPrompter::errorReport(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("خطا"), text, QMessageBox::Ok, m_parent.data());
    box.setLayoutDirection(Qt::RightToLeft);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("تاييد"));
    box.exec();
}

} // namespace ph
