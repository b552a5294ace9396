#pragma once

#include <QDialog>
#include <QHash>

#include <functional>

class QLabel;
class QMenu;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ph {

struct AppContext;
class Clock;
class Database;
class Prompter;
class TF_password;
class WindowRegistry;
struct MenuEntryDef;

// The main window: the hub every other window is opened from, through the navigation
// tree (rights tested at each use) and seven toolbar menus on F1 to F7 (enabled by
// rights when the window is shown). Its status bar shows the user, the time and the date.
class Tf_main : public QDialog {
    Q_OBJECT
public:
    static constexpr int kIconAllowed = 18;
    static constexpr int kIconRefused = 19;
    static constexpr int kIconRole = Qt::UserRole + 1;

    Tf_main(AppContext& context, Database& db, Prompter& prompter, const Clock& clock, WindowRegistry& registry,
            QWidget* parent = nullptr);
    ~Tf_main() override;

    // Opens what a tree item leads to, after testing its right against the current user record.
    void activateTreeItem(int number);
    // The toolbar menu of a function key (1..7) and its entries.
    QMenu* menu(int functionKey) const;
    QTreeWidget* tree() const { return m_tree; }

    // Starts the outside store program; replaceable for tests.
    void setStoreProgramLauncher(std::function<bool()> launcher) { m_launchStore = std::move(launcher); }
    // Where the outside store program is (read at each start; "anbar" on the search path when unset).
    void setStoreProgram(std::function<QString()> program) { m_storeProgram = std::move(program); }
    // Runs a built-in command (price correction, structure repair) that is not a window.
    void addCommand(const QString& name, std::function<void()> command) { m_commands.insert(name, std::move(command)); }

Q_SIGNALS:
    // A destination was opened: its window class or command name.
    void opened(const QString& destination);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildTree();
    void addMenuEntries(QMenu* menu, const QList<MenuEntryDef>& entries);
    void applyRights();
    void refreshClock();
    void open(const QString& destination, int formMode);
    bool exists(const QString& destination) const;
    void launchStoreProgram();

    AppContext& m_context;
    Database& m_db;
    Prompter& m_prompter;
    const Clock& m_clock;
    WindowRegistry& m_registry;
    QTreeWidget* m_tree;
    QList<QToolButton*> m_menuButtons;
    QLabel* m_userPanel;
    QLabel* m_timePanel;
    QLabel* m_datePanel;
    QTimer* m_timer;
    TF_password* m_lock = nullptr;
    std::function<bool()> m_launchStore;
    std::function<QString()> m_storeProgram;
    QHash<QString, std::function<void()>> m_commands;
};

} // namespace ph
