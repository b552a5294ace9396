#pragma once

#include <QFlags>
#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QWidget>

#include <functional>
#include <initializer_list>

class QPushButton;

namespace ph {

struct AppContext;
class Prompter;

// The command layout shared by the data windows: one button per command, and its keys working
// anywhere in the window the bar is placed in.
//
//     auto* bar = new CommandBar(context, prompter, CommandBar::DataWindow | CommandBar::Navigation, this);
//     bar->setHandler(CommandBar::Save, [this] { save(); });
//
// Commands, keys and default buttons (object name, caption; windows rename and recaption them
// through button()):
//   Save F2 `but_ok`; Edit F3 `but_edit`; Delete F4 `but_delete`;
//   document windows: RemoveLine F4 `but_delete` (one line of the list) and DeleteDocument
//   Ctrl+F4 `but_delete_f` (the whole stored document) instead of Delete;
//   New F9 `but_enseraf` (clear for a new entry, or cancel); Close F10 and Esc `but_close`;
//   First/Previous/Next/Last Ctrl+F/P/N/L `but_first` `but_prior` `but_next` `but_last`;
//   Sort Ctrl+S `but_sort`; Search F7 `but_search`; Print F8 `but_print`.
// Only the commands given to the constructor exist; the keys of the others are left to the
// window. setKeys() changes or removes a command's keys.
//
// A command's key, a click on its button and activate() do the same:
//   1. a command with a right (Save `save_b`, Edit `edit_b`, Delete and DeleteDocument
//      `delete_b`) is refused when the current user lacks it: the refusal is shown through the
//      Prompter, refused() is emitted and nothing else happens, whether the button is enabled
//      or not;
//   2. a disabled button's command does nothing (unless activate() is told to run it);
//   3. otherwise the handler runs and triggered() is emitted. Close without a handler closes
//      the window.
// The keys are caught by an application event filter for the widgets of this bar's window, so
// they work whichever field has the focus and need no active-window shortcut; keys typed in
// other windows, the window's own dialogs included, are not touched. Holding a key repeats only
// the navigation commands.
class CommandBar : public QWidget {
    Q_OBJECT
public:
    enum Command : unsigned {
        Save = 1u << 0,
        Edit = 1u << 1,
        Delete = 1u << 2,
        RemoveLine = 1u << 3,
        DeleteDocument = 1u << 4,
        First = 1u << 5,
        Previous = 1u << 6,
        Next = 1u << 7,
        Last = 1u << 8,
        Sort = 1u << 9,
        Search = 1u << 10,
        Print = 1u << 11,
        New = 1u << 12,
        Close = 1u << 13,
    };
    Q_ENUM(Command)
    Q_DECLARE_FLAGS(Commands, Command)

    static constexpr Commands Navigation{First, Previous, Next, Last};
    // The data windows' layout: F4 deletes the shown entry.
    static constexpr Commands DataWindow{Save, Edit, Delete, New, Close};
    // The document windows' layout: F4 removes a line, Ctrl+F4 deletes the stored document.
    static constexpr Commands DocumentWindow{Save, Edit, RemoveLine, DeleteDocument, New, Close};

    // The context and the prompter must outlive the bar; rights are read at each use, so a
    // change of user is seen at once.
    CommandBar(const AppContext& context, Prompter& prompter, Commands commands, QWidget* parent = nullptr);

    Commands commands() const { return m_commands; }
    bool has(Command command) const { return m_commands.testFlag(command); }
    // The command's button; null when the bar has no such command.
    QPushButton* button(Command command) const;
    // Gives buttons the window's own object names and captions.
    struct ButtonName {
        Command command;
        const char* objectName;
        const char16_t* caption;
    };
    void nameButtons(std::initializer_list<ButtonName> names);

    void setHandler(Command command, std::function<void()> handler);
    // The right tested before the command; an empty flag tests none.
    void setRight(Command command, const QString& flag);
    QString right(Command command) const;
    // The refusal shown when the right is missing.
    void setRefusal(Command command, const QString& text);
    QString refusal(Command command) const;
    // The keys of the command; an empty list leaves it to its button only.
    void setKeys(Command command, const QList<QKeySequence>& keys);
    QList<QKeySequence> keys(Command command) const;

    void setEnabled(Command command, bool enabled);
    bool isEnabled(Command command) const;
    void setNavigationEnabled(bool enabled);

    // A stored document or entry is shown: save off; edit and delete on (line removal off).
    void showDocument();
    // The cleared, new-entry state: save and line removal on; edit and delete off.
    void clearDocument();
    // Editing a shown document: save, line removal and delete on; edit off.
    void editDocument();

    // What activate() does with a command whose button is disabled: nothing (as its key and
    // its button do), or run it all the same, for windows whose keys act while the toolbar
    // shows the command off. The right is tested either way.
    enum class WhenDisabled { Skip, Run };
    // Runs the command as its key would; true when its handler ran.
    bool activate(Command command, WhenDisabled whenDisabled = WhenDisabled::Skip);

signals:
    void triggered(ph::CommandBar::Command command);
    void refused(ph::CommandBar::Command command);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPushButton* button = nullptr;
        std::function<void()> handler;
        QString right;
        QString refusal;
        QList<QKeySequence> keys;
    };

    void setEnabledIfPresent(Command command, bool enabled);
    Command commandForKey(QKeyCombination key) const;

    const AppContext& m_context;
    Prompter& m_prompter;
    Commands m_commands;
    QHash<unsigned, Entry> m_entries;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(CommandBar::Commands)

} // namespace ph
