#include "core/scripted_prompter.h"

#include "core/error.h"

namespace ph {

template <typename T> T ScriptedPrompter::take(Kind kind, const QString& text) {
    m_shown.append({kind, text});
    if (m_answers.isEmpty() || !std::holds_alternative<T>(m_answers.head()))
        throw Error(QStringLiteral("no scripted answer for the question: ") + text);
    return std::get<T>(m_answers.dequeue());
}

void ScriptedPrompter::warning(const QString& text) { m_shown.append({Kind::Warning, text}); }

void ScriptedPrompter::information(const QString& text) {
    m_shown.append({Kind::Information, text.isEmpty() ? QStringLiteral("اطلاعات شما ثبت شد") : text});
}

bool ScriptedPrompter::askYesNo(const QString& question) {
    if (m_yesNoFallback && (m_answers.isEmpty() || !std::holds_alternative<bool>(m_answers.head()))) {
        m_shown.append({Kind::YesNo, question});
        return m_yesNoFallback(question);
    }
    return take<bool>(Kind::YesNo, question);
}

ConfirmAnswer ScriptedPrompter::confirm(const ConfirmRequest& request) {
    const auto script = take<ConfirmScript>(Kind::Confirm, request.text);
    if (script.result >= 0)
        m_messageBoxResult = script.result;
    return {m_messageBoxResult, script.result == 0 ? QString() : script.searchText};
}

PromptAnswer ScriptedPrompter::prompt(const QString& label, const QString& text) {
    m_shown.append({Kind::Prompt, label, text});
    if (m_answers.isEmpty() || !std::holds_alternative<PromptAnswer>(m_answers.head()))
        throw Error(QStringLiteral("no scripted answer for the question: ") + label);
    return std::get<PromptAnswer>(m_answers.dequeue());
}

IdentityAnswer ScriptedPrompter::askPharmacyIdentity() {
    return take<IdentityAnswer>(Kind::Identity, QStringLiteral("pharmacy identity"));
}

std::optional<NewUserAnswer> ScriptedPrompter::askFirstUser() {
    return take<FirstUserScript>(Kind::FirstUser, QStringLiteral("first user")).answer;
}

void ScriptedPrompter::showHelp() { m_shown.append({Kind::Help, QString()}); }

void ScriptedPrompter::errorReport(const QString& text) { m_shown.append({Kind::ErrorReport, text}); }

QStringList ScriptedPrompter::texts() const {
    QStringList out;
    for (const auto& s : m_shown)
        out.append(s.text);
    return out;
}

QStringList ScriptedPrompter::texts(Kind kind) const {
    QStringList out;
    for (const auto& s : m_shown)
        if (s.kind == kind)
            out.append(s.text);
    return out;
}

void ScriptedPrompter::clear() {
    m_shown.clear();
    m_answers.clear();
}

} // namespace ph
