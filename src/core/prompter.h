#pragma once

#include <QString>

#include <optional>

namespace ph {

// What the confirmation dialog shows: its message, and optionally a search field.
struct ConfirmRequest {
    QString text;
    bool showSearch = false;
    QString searchLabel = QStringLiteral(" شماره درخواست مورد نظر را وارد كنيد:");
    bool showOk = true;
    bool showCancel = true;
    bool showClose = false;
};

struct ConfirmAnswer {
    int result = 0;     // the message-box result: 1 confirmed, 0 cancelled (kept by "close")
    QString searchText; // what was typed in the search field
};

// The one-line prompt's answer: "ok" or "close", and the typed text.
struct PromptAnswer {
    QString answer;
    QString text;
    // Callers use the text only when confirmed and not empty.
    bool accepted() const { return answer == QLatin1String("ok") && !text.isEmpty(); }
};

struct PharmacyIdentity {
    QString name;
    QString code;
    QString directorNezam;
};

// The identity dialog's answer: "ok" with the three texts, or "no".
struct IdentityAnswer {
    QString answer;
    PharmacyIdentity identity;
    bool ok() const { return answer == QLatin1String("ok"); }
};

struct NewUserAnswer {
    QString name;
    QString password;
};

// The shared dialogs every window reports and asks through. Windows never show a
// message box of their own; tests and command-line tools answer with a scripted Prompter.
class Prompter {
public:
    virtual ~Prompter() = default;

    // The warning dialog: every validation failure; the caller then focuses the field at fault.
    virtual void warning(const QString& text) = 0;
    // The information dialog; an empty text shows its default "اطلاعات شما ثبت شد".
    virtual void information(const QString& text = {}) = 0;
    // The yes/no question; true when answered "yes".
    virtual bool askYesNo(const QString& question) = 0;
    // The confirmation box. Its result is shared by the whole program and kept until the next answer.
    virtual ConfirmAnswer confirm(const ConfirmRequest& request) = 0;
    // The one-line prompt, offering a text the user may take with Enter or type over.
    virtual PromptAnswer prompt(const QString& label, const QString& text = {}) = 0;
    // The pharmacy identity panel: name, code and the technical director's council number.
    virtual IdentityAnswer askPharmacyIdentity() = 0;
    // The first user of a new database: name and password (typed twice). Empty when declined.
    virtual std::optional<NewUserAnswer> askFirstUser() = 0;
    // The help window.
    virtual void showHelp() = 0;
    // The general error report: a failed step's own text.
    virtual void errorReport(const QString& text) = 0;

    int messageBoxResult() const { return m_messageBoxResult; }

protected:
    int m_messageBoxResult = 0;
};

// The confirmation box as a notice: its text with only the close button.
inline void confirmNotice(Prompter& prompter, const QString& text) {
    ConfirmRequest request;
    request.text = text;
    request.showOk = false;
    request.showCancel = false;
    request.showClose = true;
    prompter.confirm(request);
}

// The confirmation box as a question with its OK and Cancel buttons; true when confirmed.
inline bool confirmQuestion(Prompter& prompter, const QString& question) {
    ConfirmRequest request;
    request.text = question;
    return prompter.confirm(request).result == 1;
}

} // namespace ph
