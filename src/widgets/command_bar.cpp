#include "widgets/command_bar.h"

#include "core/app_context.h"
#include "core/prompter.h"
#include "widgets/dialogs/dialog_parts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>

namespace ph {

namespace {

struct Default {
    CommandBar::Command command;
    const char16_t* objectName;
    const char16_t* caption;
    QList<QKeySequence> keys;
};

// In the order the buttons are laid out.
const QList<Default>& defaults() {
    static const QList<Default> list = {
        {CommandBar::Save, u"but_ok", u"ثبت F2", {QKeySequence(Qt::Key_F2)}},
        {CommandBar::Edit, u"but_edit", u"ويرايش F3", {QKeySequence(Qt::Key_F3)}},
        {CommandBar::Delete, u"but_delete", u"حذف  F4", {QKeySequence(Qt::Key_F4)}},
        {CommandBar::RemoveLine, u"but_delete", u"حذف دارو F4", {QKeySequence(Qt::Key_F4)}},
        {CommandBar::DeleteDocument,
         u"but_delete_f",
         u"حذف نسخهCtrl+F4",
         {QKeySequence(Qt::CTRL | Qt::Key_F4)}},
        {CommandBar::First, u"but_first", u"Ctrl+F", {QKeySequence(Qt::CTRL | Qt::Key_F)}},
        {CommandBar::Previous, u"but_prior", u"Ctrl+P", {QKeySequence(Qt::CTRL | Qt::Key_P)}},
        {CommandBar::Next, u"but_next", u"Ctrl+N", {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {CommandBar::Last, u"but_last", u"Ctrl+L", {QKeySequence(Qt::CTRL | Qt::Key_L)}},
        {CommandBar::Sort, u"but_sort", u"مرتب سازيCtrl+S", {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {CommandBar::Search, u"but_search", u"مشاهدهF7", {QKeySequence(Qt::Key_F7)}},
        {CommandBar::Print, u"but_print", u"چاپ F8", {QKeySequence(Qt::Key_F8)}},
        {CommandBar::New, u"but_enseraf", u"انصراف/جديد F9", {QKeySequence(Qt::Key_F9)}},
        {CommandBar::Close,
         u"but_close",
         u"خروجF10",
         {QKeySequence(Qt::Key_F10), QKeySequence(Qt::Key_Escape)}},
    };
    return list;
}

} // namespace

CommandBar::CommandBar(const AppContext& context, Prompter& prompter, Commands commands, QWidget* parent)
    : QWidget(parent), m_context(context), m_prompter(prompter), m_commands(commands) {
    // F4 cannot mean both.
    Q_ASSERT(!(commands.testFlag(Delete) && commands.testFlag(RemoveLine)));
    setObjectName(QStringLiteral("command_bar"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const Default& d : defaults()) {
        if (!commands.testFlag(d.command)) continue;
        Entry entry;
        entry.button =
            dialog_parts::makeButton(QString::fromUtf16(d.caption), QString::fromUtf16(d.objectName), this);
        // The fields keep the focus when a button is clicked; the keys are the way in.
        entry.button->setFocusPolicy(Qt::NoFocus);
        entry.keys = d.keys;
        const Command command = d.command;
        connect(entry.button, &QPushButton::clicked, this, [this, command] { activate(command); });
        layout->addWidget(entry.button);
        m_entries.insert(command, entry);
    }
    layout->addStretch();

    setRight(Save, QStringLiteral("save_b"));
    setRight(Edit, QStringLiteral("edit_b"));
    setRight(Delete, QStringLiteral("delete_b"));
    setRight(DeleteDocument, QStringLiteral("delete_b"));
    const QString deleteRefusal = QStringLiteral("دسترسي به کليدحذف براي شما امکان پذير نمي باشد");
    setRefusal(Save, QStringLiteral("دسترسي به کليد ثبت براي شما امکان پذير نمي باشد"));
    setRefusal(Edit, QStringLiteral("دسترسي به کليدويرايش براي شما امکان پذير نمي باشد"));
    setRefusal(Delete, deleteRefusal);
    setRefusal(DeleteDocument, deleteRefusal);

    qApp->installEventFilter(this);
}

QPushButton* CommandBar::button(Command command) const {
    const auto it = m_entries.constFind(command);
    return it == m_entries.cend() ? nullptr : it->button;
}

void CommandBar::nameButtons(std::initializer_list<ButtonName> names) {
    for (const ButtonName& name : names) {
        QPushButton* b = button(name.command);
        b->setObjectName(QString::fromLatin1(name.objectName));
        b->setText(QString::fromUtf16(name.caption));
    }
}

void CommandBar::setHandler(Command command, std::function<void()> handler) {
    if (auto it = m_entries.find(command); it != m_entries.end()) it->handler = std::move(handler);
}

void CommandBar::setRight(Command command, const QString& flag) {
    if (auto it = m_entries.find(command); it != m_entries.end()) it->right = flag;
}

QString CommandBar::right(Command command) const {
    return m_entries.value(command).right;
}

void CommandBar::setRefusal(Command command, const QString& text) {
    if (auto it = m_entries.find(command); it != m_entries.end()) it->refusal = text;
}

QString CommandBar::refusal(Command command) const {
    return m_entries.value(command).refusal;
}

void CommandBar::setKeys(Command command, const QList<QKeySequence>& keys) {
    if (auto it = m_entries.find(command); it != m_entries.end()) it->keys = keys;
}

QList<QKeySequence> CommandBar::keys(Command command) const {
    return m_entries.value(command).keys;
}

void CommandBar::setEnabled(Command command, bool enabled) {
    QPushButton* b = button(command);
    Q_ASSERT(b);
    if (b) b->setEnabled(enabled);
}

bool CommandBar::isEnabled(Command command) const {
    QPushButton* b = button(command);
    return b && b->isEnabled();
}

void CommandBar::setEnabledIfPresent(Command command, bool enabled) {
    if (QPushButton* b = button(command)) b->setEnabled(enabled);
}

void CommandBar::setNavigationEnabled(bool enabled) {
    for (Command command : {First, Previous, Next, Last})
        setEnabledIfPresent(command, enabled);
}

void CommandBar::showDocument() {
    setEnabledIfPresent(Save, false);
    setEnabledIfPresent(RemoveLine, false);
    setEnabledIfPresent(Edit, true);
    setEnabledIfPresent(Delete, true);
    setEnabledIfPresent(DeleteDocument, true);
}

void CommandBar::clearDocument() {
    setEnabledIfPresent(Save, true);
    setEnabledIfPresent(RemoveLine, true);
    setEnabledIfPresent(Edit, false);
    setEnabledIfPresent(Delete, false);
    setEnabledIfPresent(DeleteDocument, false);
}

void CommandBar::editDocument() {
    setEnabledIfPresent(Save, true);
    setEnabledIfPresent(RemoveLine, true);
    setEnabledIfPresent(Delete, true);
    setEnabledIfPresent(DeleteDocument, true);
    setEnabledIfPresent(Edit, false);
}

bool CommandBar::activate(Command command, WhenDisabled whenDisabled) {
    const auto it = m_entries.constFind(command);
    if (it == m_entries.cend()) return false;
    // Copied: the handler may change the bar.
    const Entry entry = *it;
    if (!entry.right.isEmpty() && !m_context.hasRight(entry.right)) {
        m_prompter.warning(entry.refusal);
        emit refused(command);
        return false;
    }
    if (!entry.button->isEnabled() && whenDisabled == WhenDisabled::Skip) return false;
    if (entry.handler)
        entry.handler();
    else if (command == Close)
        window()->close();
    emit triggered(command);
    return true;
}

CommandBar::Command CommandBar::commandForKey(QKeyCombination key) const {
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
        for (const QKeySequence& sequence : it->keys)
            if (sequence.count() == 1 && sequence[0] == key) return Command(it.key());
    return Command(0);
}

bool CommandBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    // Only the widgets of this bar's own window; its dialogs are windows of their own.
    if (static_cast<QWidget*>(watched)->window() != window()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const Command command =
        commandForKey(QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
    if (command == Command(0)) return false;
    const bool repeats = command == First || command == Previous || command == Next || command == Last;
    if (!key->isAutoRepeat() || repeats) activate(command);
    return true;
}

} // namespace ph
