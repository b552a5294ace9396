#include "app/main_window.h"

#include "app/navigation.h"
#include "app/password.h"
#include "app/window_placement.h"
#include "app/window_registry.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/jalali_date.h"
#include "core/prompter.h"
#include "widgets/form_mode.h"
#include "widgets/guarded.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ph {
namespace {

constexpr int kNumberRole = Qt::UserRole;
constexpr const char* kDestinationProperty = "destination";
constexpr const char* kFormModeProperty = "formMode";
constexpr const char* kRightProperty = "right";

QIcon stateIcon(bool allowed) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(allowed ? QColor(46, 139, 87) : QColor(178, 34, 34));
    painter.drawEllipse(2, 2, 12, 12);
    return QIcon(pixmap);
}

} // namespace

Tf_main::Tf_main(AppContext& context, Database& db, Prompter& prompter, const Clock& clock,
                 WindowRegistry& registry, QWidget* parent)
    : QDialog(parent), m_context(context), m_db(db), m_prompter(prompter), m_clock(clock), m_registry(registry) {
    setObjectName(QStringLiteral("f_main"));
    setWindowTitle(QStringLiteral("  داروخـــانه  "));
    resize(800, 600);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("TreeView1"));
    m_tree->setHeaderHidden(true);
    buildTree();
    // Right to left, the view repaints a row's branch area on the wrong side when the current row
    // moves, and the old row's selection colour stays behind in its indent: repaint all of it.
    connect(m_tree, &QTreeWidget::currentItemChanged, m_tree->viewport(), qOverload<>(&QWidget::update));
    connect(m_tree, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { activateTreeItem(item->data(0, kNumberRole).toInt()); });

    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("ToolBar1"));
    m_menuButtons.clear();
    for (const MenuDef& def : navigationMenus()) {
        auto* button = new QToolButton(toolbar);
        button->setObjectName(QStringLiteral("ToolButton%1").arg(def.functionKey));
        button->setText(def.caption);
        button->setPopupMode(QToolButton::InstantPopup);
        auto* menu = new QMenu(button);
        menu->setObjectName(QStringLiteral("menu_f%1").arg(def.functionKey));
        addMenuEntries(menu, def.entries);
        button->setMenu(menu);
        toolbar->addWidget(button);
        m_menuButtons.append(button);
    }

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    m_userPanel = new QLabel(status);
    m_userPanel->setObjectName(QStringLiteral("status_user"));
    m_timePanel = new QLabel(status);
    m_timePanel->setObjectName(QStringLiteral("status_time"));
    m_datePanel = new QLabel(status);
    m_datePanel->setObjectName(QStringLiteral("status_date"));
    for (QLabel* panel : {m_userPanel, m_timePanel, m_datePanel}) {
        panel->setAlignment(Qt::AlignCenter);
        status->addWidget(panel, 1);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toolbar);
    layout->addWidget(m_tree, 1);
    layout->addWidget(status);

    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &Tf_main::refreshClock);

    m_storeProgram = [] { return QStringLiteral("anbar"); };
    m_launchStore = [this] { return QProcess::startDetached(m_storeProgram(), {}); };
}

Tf_main::~Tf_main() = default;

void Tf_main::buildTree() {
    QList<QTreeWidgetItem*> parents; // the nearest item above at each level
    const auto& items = navigationTree();
    for (int number = 0; number < items.size(); ++number) {
        const TreeItemDef& def = items.at(number);
        QTreeWidgetItem* item;
        if (def.level == 0) {
            item = new QTreeWidgetItem(m_tree);
        } else {
            item = new QTreeWidgetItem(parents.at(def.level - 1));
        }
        item->setText(0, def.caption);
        item->setData(0, kNumberRole, number);
        parents.resize(def.level);
        parents.append(item);
    }
    m_tree->expandAll();
}

void Tf_main::addMenuEntries(QMenu* menu, const QList<MenuEntryDef>& entries) {
    for (const MenuEntryDef& entry : entries) {
        if (!entry.submenu.isEmpty()) {
            QMenu* sub = menu->addMenu(entry.caption);
            addMenuEntries(sub, entry.submenu);
            continue;
        }
        QAction* action = menu->addAction(entry.caption);
        QString destination = entry.window;
        int formMode = entry.formMode;
        if (entry.treeItem >= 0) {
            const TreeItemDef& target = navigationTree().at(entry.treeItem);
            destination = target.window;
            formMode = target.formMode;
        }
        action->setProperty(kDestinationProperty, destination);
        action->setProperty(kFormModeProperty, formMode);
        action->setProperty(kRightProperty, entry.right);
        connect(action, &QAction::triggered, this, [this, destination, formMode] {
            if (!destination.isEmpty())
                open(destination, formMode);
        });
    }
}

QMenu* Tf_main::menu(int functionKey) const {
    if (functionKey < 1 || functionKey > m_menuButtons.size())
        return nullptr;
    return m_menuButtons.at(functionKey - 1)->menu();
}

bool Tf_main::exists(const QString& destination) const {
    using namespace command;
    if (destination.isEmpty())
        return true; // entries that open nothing stay as they are
    return destination == QLatin1String(kClose) || destination == QLatin1String(kLock) ||
           destination == QLatin1String(kHelp) || destination == QLatin1String(kStoreProgram) ||
           m_commands.contains(destination) || m_registry.has(destination);
}

void Tf_main::applyRights() {
    const QIcon allowed = stateIcon(true);
    const QIcon refused = stateIcon(false);
    const auto& items = navigationTree();
    QList<QTreeWidgetItem*> stack;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        stack.append(m_tree->topLevelItem(i));
    while (!stack.isEmpty()) {
        QTreeWidgetItem* item = stack.takeFirst();
        for (int i = 0; i < item->childCount(); ++i)
            stack.append(item->child(i));
        const TreeItemDef& def = items.at(item->data(0, kNumberRole).toInt());
        // Items whose window is not part of the program yet are shown but cannot be chosen.
        item->setDisabled(!exists(def.window));
        if (def.alwaysAllowedIcon || !def.iconRight.isEmpty()) {
            const bool on = def.alwaysAllowedIcon || m_context.hasRight(def.iconRight);
            item->setIcon(0, on ? allowed : refused);
            item->setData(0, kIconRole, on ? kIconAllowed : kIconRefused);
        }
    }
    for (QToolButton* button : m_menuButtons) {
        QList<QMenu*> menus = {button->menu()};
        while (!menus.isEmpty()) {
            QMenu* menu = menus.takeFirst();
            for (QAction* action : menu->actions()) {
                if (action->menu()) {
                    menus.append(action->menu());
                    continue;
                }
                const QString right = action->property(kRightProperty).toString();
                const QString destination = action->property(kDestinationProperty).toString();
                action->setEnabled((right.isEmpty() || m_context.hasRight(right)) && exists(destination) &&
                                   !destination.isEmpty());
            }
        }
    }
}

void Tf_main::refreshClock() {
    m_timePanel->setText(QStringLiteral(" ساعت جاري: ") + m_clock.now().toString(QStringLiteral("HH:mm")));
}

void Tf_main::showEvent(QShowEvent* event) {
    centreOnScreenOnce(*this);
    QDialog::showEvent(event);
    m_context.insurer_pharmacy_code = QStringLiteral("0");
    m_context.current_date = todayJalaliText(m_clock);
    m_userPanel->setText(QStringLiteral(" كاربر جاري: ") + m_context.user_name);
    refreshClock();
    m_datePanel->setText(QStringLiteral(" تاريخ جاري: ") + m_context.current_date);
    applyRights();
    m_timer->start();
    m_tree->setFocus();
}

void Tf_main::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F7 && event->modifiers() == Qt::NoModifier) {
        m_menuButtons.at(key - Qt::Key_F1)->showMenu();
        return;
    }
    if (key == Qt::Key_F10) {
        close();
        return;
    }
    // Esc is not a way out of the hub: leaving it signs the user out, so only F10,
    // the exit item and the exit menu entry do that.
    if (key == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void Tf_main::activateTreeItem(int number) {
    const auto& items = navigationTree();
    if (number < 0 || number >= items.size())
        return;
    const TreeItemDef& def = items.at(number);
    if (def.window.isEmpty() || !exists(def.window))
        return;
    if (!def.right.isEmpty() && !m_context.hasRight(def.right)) {
        m_prompter.warning(QStringLiteral("امکان دسترسي به اين فرم براي شما وجودندارد"));
        return;
    }
    open(def.window, def.formMode);
}

void Tf_main::launchStoreProgram() {
    if (!m_launchStore())
        m_prompter.warning(QStringLiteral("برنامه انبار (%1) باز نشد.\nجاي اين برنامه را در فرم تنظيمات، در بخش "
                                          "«اين رايانه»، وارد كنيد.")
                               .arg(m_storeProgram()));
}

void Tf_main::open(const QString& destination, int formMode) {
    using namespace command;
    Q_EMIT opened(destination);
    guarded(m_prompter, [&] {
        if (destination == QLatin1String(kClose)) {
            close();
        } else if (destination == QLatin1String(kLock)) {
            if (!m_lock)
                m_lock = new TF_password(m_context, m_db, m_prompter, this);
            m_lock->exec();
        } else if (destination == QLatin1String(kHelp)) {
            m_prompter.showHelp();
        } else if (destination == QLatin1String(kStoreProgram)) {
            launchStoreProgram();
        } else if (m_commands.contains(destination)) {
            m_commands.value(destination)();
        } else if (QWidget* window = m_registry.window(destination, this)) {
            // The variant goes to the window it is for; an entry that names none leaves the last.
            if (auto* variants = dynamic_cast<FormModeWindow*>(window); variants && formMode >= 0)
                variants->setFormMode(formMode);
            if (auto* dialog = qobject_cast<QDialog*>(window))
                dialog->exec();
            else {
                window->setWindowModality(Qt::ApplicationModal);
                window->show();
            }
            if (m_registry.closesMainWindow(destination))
                close();
        }
    });
}

} // namespace ph
