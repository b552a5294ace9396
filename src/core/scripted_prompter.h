#pragma once

#include "core/prompter.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <functional>
#include <variant>

namespace ph {

// A Prompter that records everything shown and answers from a queue, for tests and
// for command-line tools. A question with no queued answer throws ph::Error, unless a
// fallback for yes/no questions is set.
class ScriptedPrompter : public Prompter {
public:
    enum class Kind { Warning, Information, YesNo, Confirm, Prompt, Identity, FirstUser, Help, ErrorReport };
    struct Shown {
        Kind kind;
        QString text;
        QString offered = {}; // the text a prompt offers
    };

    void warning(const QString& text) override;
    void information(const QString& text = {}) override;
    bool askYesNo(const QString& question) override;
    ConfirmAnswer confirm(const ConfirmRequest& request) override;
    PromptAnswer prompt(const QString& label, const QString& text = {}) override;
    IdentityAnswer askPharmacyIdentity() override;
    std::optional<NewUserAnswer> askFirstUser() override;
    void showHelp() override;
    void errorReport(const QString& text) override;

    // Queue answers in the order the questions will come.
    void answerYes() { m_answers.enqueue(true); }
    void answerNo() { m_answers.enqueue(false); }
    // result 1 (ok), 0 (cancel) or -1 for "close", which keeps the previous result.
    void answerConfirm(int result, const QString& searchText = {}) { m_answers.enqueue(ConfirmScript{result, searchText}); }
    void answerPrompt(const QString& answer, const QString& text = {}) { m_answers.enqueue(PromptAnswer{answer, text}); }
    void answerIdentity(const IdentityAnswer& answer) { m_answers.enqueue(answer); }
    void answerFirstUser(const std::optional<NewUserAnswer>& answer) { m_answers.enqueue(FirstUserScript{answer}); }
    // Answers yes/no questions that have no queued answer.
    void setYesNoFallback(std::function<bool(const QString&)> fallback) { m_yesNoFallback = std::move(fallback); }

    const QList<Shown>& shown() const { return m_shown; }
    // The texts of everything shown, in order.
    QStringList texts() const;
    QStringList texts(Kind kind) const;
    int pendingAnswers() const { return int(m_answers.size()); }
    void clear();

private:
    struct ConfirmScript {
        int result;
        QString searchText;
    };
    struct FirstUserScript {
        std::optional<NewUserAnswer> answer;
    };
    using Answer = std::variant<bool, ConfirmScript, PromptAnswer, IdentityAnswer, FirstUserScript>;

    template <typename T> T take(Kind kind, const QString& text);

    QList<Shown> m_shown;
    QQueue<Answer> m_answers;
    std::function<bool(const QString&)> m_yesNoFallback;
};

} // namespace ph
