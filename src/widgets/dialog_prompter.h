#pragma once

#include "core/prompter.h"

#include <QPointer>

class QWidget;

namespace ph {

class Tf_error;
class Tf_message;
class Tf_messagebox;
class Tf_input;
class TF_help;
class FirstUserDialog;

// The Prompter of the running program: each question is shown in its Persian dialog,
// modally. Each dialog is made the first time it is needed and then kept, so it keeps
// what the next showing does not reset.
class DialogPrompter : public Prompter {
public:
    explicit DialogPrompter(QWidget* parent = nullptr);
    ~DialogPrompter() override;
    DialogPrompter(const DialogPrompter&) = delete;
    DialogPrompter& operator=(const DialogPrompter&) = delete;

    void warning(const QString& text) override;
    void information(const QString& text = {}) override;
    bool askYesNo(const QString& question) override;
    ConfirmAnswer confirm(const ConfirmRequest& request) override;
    PromptAnswer prompt(const QString& label, const QString& text = {}) override;
    IdentityAnswer askPharmacyIdentity() override;
    std::optional<NewUserAnswer> askFirstUser() override;
    void showHelp() override;
    void errorReport(const QString& text) override;

    // The dialogs themselves, made on first use.
    Tf_error& errorDialog();
    Tf_message& messageDialog();
    Tf_messagebox& messageBox();
    Tf_input& inputDialog();
    TF_help& helpWindow();
    FirstUserDialog& firstUserDialog();

private:
    template <typename Dialog, typename... Args> Dialog& lazy(QPointer<Dialog>& slot, Args&... args);

    // The parent may be destroyed before the prompter, taking the dialogs with it: the guarded
    // pointers tell which are left for the prompter to delete.
    QPointer<QWidget> m_parent;
    QPointer<Tf_error> m_error;
    QPointer<Tf_message> m_message;
    QPointer<Tf_messagebox> m_messageBox;
    QPointer<Tf_input> m_input;
    QPointer<TF_help> m_help;
    QPointer<FirstUserDialog> m_firstUser;
};

} // namespace ph
