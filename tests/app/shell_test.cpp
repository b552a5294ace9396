#include "admin/password_hash.h"
#include "admin/rights.h"
#include "admin/users.h"
#include "app/credentials_form.h"
#include "app/fmmain.h"
#include "app/main_window.h"
#include "app/password.h"
#include "app/window_catalogue.h"
#include "app/window_registry.h"
#include "audit/audit_log.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/schema.h"
#include "support/test_database.h"
#include "support/typing.h"
#include "support/window_fixture.h"
#include "widgets/form_mode.h"
#include "widgets/window_context.h"

#include <QAction>
#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace ph;
using ph::test::TestDatabase;
using Kind = ScriptedPrompter::Kind;

namespace {

QHash<QString, bool> rightsWith(std::initializer_list<const char*> granted) {
    QHash<QString, bool> rights;
    for (std::string_view flag : kRightFlags)
        rights.insert(QString::fromLatin1(flag.data(), qsizetype(flag.size())), false);
    for (const char* flag : granted)
        rights.insert(QString::fromLatin1(flag), true);
    return rights;
}

// A window that closes itself as soon as it is shown, standing in for a real one.
class StandInWindow : public QDialog, public FormModeWindow {
public:
    // `formModeGiven` (optional) receives the form mode each opening hands the window.
    explicit StandInWindow(QWidget* parent = nullptr, int* formModeGiven = nullptr)
        : QDialog(parent), m_formModeGiven(formModeGiven) {}
    void setFormMode(int formMode) override {
        if (m_formModeGiven) *m_formModeGiven = formMode;
    }

protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        QTimer::singleShot(0, this, &QDialog::accept);
    }

private:
    int* m_formModeGiven;
};

QAction* findAction(QMenu* menu, const QString& caption) {
    for (QAction* action : menu->actions()) {
        if (action->text() == caption)
            return action;
        if (action->menu())
            if (QAction* found = findAction(action->menu(), caption))
                return found;
    }
    return nullptr;
}

using ph::test::focusIn;
using ph::test::press;

QTreeWidgetItem* treeItem(QTreeWidget* tree, int number) {
    QTreeWidgetItemIterator it(tree);
    for (; *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toInt() == number)
            return *it;
    return nullptr;
}

} // namespace

class ShellTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void codeCheckMessages();
    void loginFillsTheContextAndOpensTheMainWindow();
    void wrongPasswordChangesNothing();
    void olderClearPasswordSignsInOnceAndIsRehashed();
    void unlockByAnotherUserMovesOnlyTheRights();
    void treeAndMenusFollowTheRights();
    void statusBarAndShowStep();
    void outsideStoreProgramFailureIsReported();
    void signInAndOutWithTheKeyboard();
    void mainWindowWithTheKeyboard();
    void loginAndMainWindowsOpenCentred();
    void saleWindowsOpenTheStockList_data();
    void saleWindowsOpenTheStockList();

private:
    std::unique_ptr<TestDatabase> m_t;
    FixedClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(21, 5, 30))};
    int m_admin = 0;
    int m_clerk = 0;
};

void ShellTest::initTestCase() {
    m_t = std::make_unique<TestDatabase>();
    Database& db = m_t->db();
    Schema(db).ensure();
    db.exec(QStringLiteral("insert into onvan_darou (code_vahed, onvan_vahed) values (1, 'داروخانه')"));
    UserStore users(db);
    m_admin = users.addUserWithAllRights(QStringLiteral("مدير"), QStringLiteral("a'1"));
    m_clerk = users.nextCode();
    QCOMPARE(users.add({m_clerk, QStringLiteral("نسخه پيچ"), QStringLiteral("c"), rightsWith({"froosh_d", "list_b"})}),
             UserStore::AddResult::Added);
}

void ShellTest::cleanupTestCase() { m_t.reset(); }

void ShellTest::codeCheckMessages() {
    ScriptedPrompter prompter;
    QWidget owner;
    CredentialsForm form(&owner, prompter);
    form.setDatabase(&m_t->db());
    QVERIFY(!form.checkCode());
    form.codeField()->setText(QStringLiteral("99"));
    QVERIFY(!form.checkCode());
    QCOMPARE(form.nameLabel()->text(), QStringLiteral("نام کاربر"));
    form.codeField()->setText(QString::number(m_clerk));
    QVERIFY(form.checkCode());
    QCOMPARE(form.nameLabel()->text(), QStringLiteral("نسخه پيچ"));
    QCOMPARE(prompter.texts(Kind::Warning),
             (QStringList{QStringLiteral("کد کاربر وارد نشده است"), QStringLiteral("کد کاربر اشتباه وارد شده است")}));
}

void ShellTest::loginFillsTheContextAndOpensTheMainWindow() {
    AppContext context;
    ScriptedPrompter prompter;
    TFmmain login(context, prompter, m_clock, m_t->workingDir());
    login.runStartup();
    QCOMPARE(prompter.texts(), QStringList());

    // Two sign-ins in a row: the second overwrites the context; the cashier follows the user.
    const struct {
        int code;
        QString password;
        QString name;
    } signIns[] = {{m_admin, QStringLiteral("a'1"), QStringLiteral("مدير")},
                   {m_clerk, QStringLiteral("c"), QStringLiteral("نسخه پيچ")}};
    for (const auto& s : signIns) {
        login.form().codeField()->setText(QString::number(s.code));
        login.form().passwordField()->setText(s.password);
        bool shown = false;
        QTimer::singleShot(0, &login, [&] {
            shown = login.mainWindow() && login.mainWindow()->isVisible();
            login.mainWindow()->close();
        });
        login.login();
        QVERIFY(shown);
        QCOMPARE(context.user_code, s.code);
        QCOMPARE(context.cashier_code, s.code);
        QCOMPARE(context.user_name, s.name);
        QCOMPARE(context.cashier_name, s.name);
        QCOMPARE(context.current_date, QStringLiteral("05/09/19"));
        // The fields keep what was typed.
        QCOMPARE(login.form().codeField()->text(), QString::number(s.code));
    }
    QCOMPARE(prompter.texts(), QStringList());
}

void ShellTest::wrongPasswordChangesNothing() {
    AppContext context;
    context.user_name = QStringLiteral("before");
    ScriptedPrompter prompter;
    TFmmain login(context, prompter, m_clock, m_t->workingDir());
    login.runStartup();
    login.form().codeField()->setText(QString::number(m_admin));
    for (const QString& wrong : {QStringLiteral("a"), QStringLiteral("a'1' or '1'='1"), QStringLiteral("c")}) {
        login.form().passwordField()->setText(wrong);
        login.login();
    }
    QCOMPARE(prompter.texts(Kind::Warning), QStringList(3, QStringLiteral("کلمه عبور اشتباه وارد شده است")));
    QCOMPARE(context.user_name, QStringLiteral("before"));
    QVERIFY(!login.mainWindow());
    login.form().passwordField()->clear();
    login.login();
    QCOMPARE(prompter.texts(Kind::Warning).last(), QStringLiteral("کلمه عبور مشخص نشده است"));
    login.form().codeField()->clear();
    login.login();
    QCOMPARE(prompter.texts(Kind::Warning).last(), QStringLiteral("کدکاربرمشخص نشده است"));
}

void ShellTest::olderClearPasswordSignsInOnceAndIsRehashed() {
    Database& db = m_t->db();
    db.exec(QStringLiteral("insert into u_pharmacy (code, name, pass, froosh_d) values (?, ?, ?, 1)"),
            {90, QStringLiteral("قديمي"), QStringLiteral("old pass")});
    UserStore users(db);
    QVERIFY(!users.signIn(90, QStringLiteral("old")));
    QCOMPARE(db.scalar(QStringLiteral("select pass from u_pharmacy where code=90")).toString(), QStringLiteral("old pass"));
    const auto user = users.signIn(90, QStringLiteral("old pass"));
    QVERIFY(user);
    QVERIFY(user->rights.value(QStringLiteral("froosh_d")));
    const QString stored = db.scalar(QStringLiteral("select pass from u_pharmacy where code=90")).toString();
    QVERIFY(isPasswordHash(stored));
    QVERIFY(users.signIn(90, QStringLiteral("old pass")));
    // The history has the rehash once, by that user, with neither form of the password.
    AuditFilter filter;
    filter.kind = QStringLiteral("user");
    filter.key = QStringLiteral("90");
    const QList<AuditEntry> entries = AuditLog(db).entries(filter);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().userCode, 90);
    const QJsonObject changes = QJsonDocument::fromJson(entries.first().changes.toUtf8()).object();
    QCOMPARE(changes[QStringLiteral("password_rehashed")], QJsonValue(true));
    QCOMPARE(changes[QStringLiteral("fields")][QStringLiteral("pass")][QStringLiteral("changed")], QJsonValue(true));
    for (const QString& secret : {QStringLiteral("old pass"), stored, QStringLiteral("$argon2")})
        QVERIFY2(!entries.first().changes.contains(secret), qPrintable(entries.first().changes));
    db.exec(QStringLiteral("delete from u_pharmacy where code=90"));
}

void ShellTest::unlockByAnotherUserMovesOnlyTheRights() {
    AppContext context;
    context.user_code = m_admin;
    context.user_name = QStringLiteral("مدير");
    context.current_user_code = m_admin;
    context.rights = rightsWith({"moadel", "access"});
    ScriptedPrompter prompter;
    TF_password lock(context, m_t->db(), prompter);
    lock.show();
    QCOMPARE(lock.form().codeField()->text(), QString());

    lock.form().codeField()->setText(QString::number(m_clerk));
    lock.form().passwordField()->setText(QStringLiteral("wrong"));
    lock.unlock();
    QVERIFY(lock.isVisible());
    QCOMPARE(prompter.texts(Kind::Warning), QStringList{QStringLiteral("کلمه عبور اشتباه وارد شده است")});
    QTest::keyClick(&lock, Qt::Key_Escape);
    QVERIFY(lock.isVisible());

    lock.form().passwordField()->setText(QStringLiteral("c"));
    QTest::keyClick(&lock, Qt::Key_F2);
    QVERIFY(!lock.isVisible());
    QCOMPARE(context.user_name, QStringLiteral("مدير"));
    QCOMPARE(context.user_code, m_admin);
    QCOMPARE(context.current_user_code, m_clerk);
    QVERIFY(!context.hasRight(QStringLiteral("moadel")));
    QVERIFY(context.hasRight(QStringLiteral("froosh_d")));

    // Shown again, it starts empty.
    lock.show();
    QCOMPARE(lock.form().codeField()->text(), QString());
    lock.hide();
}

void ShellTest::treeAndMenusFollowTheRights() {
    AppContext context;
    context.rights = rightsWith({"mat", "list_b", "group_k"});
    ScriptedPrompter prompter;
    WindowRegistry registry;
    QStringList made;
    int formMode = -1; // as the opened window was told
    const QStringList names = {"Tfmmoadel", "Tf_d_sakhtani", "Tf_list_bimeh", "TF_type"};
    for (const QString& name : names)
        registry.add(name, [&made, &formMode, name](QWidget* parent) {
            made.append(name);
            return new StandInWindow(parent, &formMode);
        });
    Tf_main main(context, m_t->db(), prompter, m_clock, registry);
    QStringList opened;
    connect(&main, &Tf_main::opened, [&](const QString& d) { opened.append(d); });
    main.show();

    // Refused: a right the user lacks.
    main.activateTreeItem(6);
    QCOMPARE(prompter.texts(Kind::Warning), QStringList{QStringLiteral("امکان دسترسي به اين فرم براي شما وجودندارد")});
    QVERIFY(opened.isEmpty());
    QVERIFY(!findAction(main.menu(1), QStringLiteral("تعريف داروي معادل"))->isEnabled());
    QVERIFY(findAction(main.menu(1), QStringLiteral("تعريف مواد پايه"))->isEnabled());
    QCOMPARE(treeItem(main.tree(), 6)->data(0, Tf_main::kIconRole).toInt(), Tf_main::kIconRefused);
    QCOMPARE(treeItem(main.tree(), 9)->data(0, Tf_main::kIconRole).toInt(), Tf_main::kIconAllowed);

    // Item 28 opens by list_b while its icon follows disk_b; it sets the diskette variant.
    main.activateTreeItem(28);
    QCOMPARE(opened, QStringList{QStringLiteral("Tf_list_bimeh")});
    QCOMPARE(formMode, 22);
    QCOMPARE(treeItem(main.tree(), 28)->data(0, Tf_main::kIconRole).toInt(), Tf_main::kIconRefused);
    QCOMPARE(treeItem(main.tree(), 27)->data(0, Tf_main::kIconRole).toInt(), Tf_main::kIconAllowed);
    // The reports menu entry is decided by disk_b.
    QVERIFY(!findAction(main.menu(4), QStringLiteral("گزارش ليست بيمه و ديسکت بيمه"))->isEnabled());
    // Windows are made once and kept.
    main.activateTreeItem(27);
    QCOMPARE(made.count(QStringLiteral("Tf_list_bimeh")), 1);

    // The form mode by tree item and by menu entry.
    main.activateTreeItem(1);
    QCOMPARE(formMode, 5);
    findAction(main.menu(2), QStringLiteral("تعريف بخش"))->trigger();
    QCOMPARE(formMode, 100);

    // A window not built yet: shown, but cannot be chosen.
    QVERIFY(treeItem(main.tree(), 24)->isDisabled());
    QVERIFY(!findAction(main.menu(3), QStringLiteral("مصرفي بخش"))->isEnabled());

    // Rights change under the tree at once (as after an unlock); the menus keep their state.
    context.rights = rightsWith({"moadel"});
    opened.clear();
    main.activateTreeItem(6);
    QCOMPARE(opened, QStringList{QStringLiteral("Tfmmoadel")});
    QVERIFY(!findAction(main.menu(1), QStringLiteral("تعريف داروي معادل"))->isEnabled());
    main.activateTreeItem(9);
    QCOMPARE(prompter.texts(Kind::Warning).size(), 2);
    main.close();
}

void ShellTest::statusBarAndShowStep() {
    AppContext context;
    context.user_name = QStringLiteral("مدير");
    context.insurer_pharmacy_code = QStringLiteral("777");
    ScriptedPrompter prompter;
    WindowRegistry registry;
    Tf_main main(context, m_t->db(), prompter, m_clock, registry);
    QCOMPARE(main.windowTitle(), QStringLiteral("  داروخـــانه  "));
    main.show();
    QCOMPARE(context.insurer_pharmacy_code, QStringLiteral("0"));
    QCOMPARE(context.current_date, QStringLiteral("05/09/19"));
    QCOMPARE(main.findChild<QLabel*>(QStringLiteral("status_user"))->text(), QStringLiteral(" كاربر جاري: مدير"));
    QCOMPARE(main.findChild<QLabel*>(QStringLiteral("status_time"))->text(), QStringLiteral(" ساعت جاري: 21:05"));
    QCOMPARE(main.findChild<QLabel*>(QStringLiteral("status_date"))->text(), QStringLiteral(" تاريخ جاري: 05/09/19"));
    QCOMPARE(main.tree()->topLevelItemCount(), 14); // the near-expiry list (50) last
    QCOMPARE(treeItem(main.tree(), 8)->parent(), treeItem(main.tree(), 7));
    QCOMPARE(treeItem(main.tree(), 7)->parent(), treeItem(main.tree(), 0));
    QCOMPARE(treeItem(main.tree(), 49)->text(0), QStringLiteral("خــــــــــروج F10"));
    QCOMPARE(treeItem(main.tree(), 48)->data(0, Tf_main::kIconRole).toInt(), Tf_main::kIconAllowed);
    QTest::keyClick(&main, Qt::Key_Escape);
    QVERIFY(main.isVisible());
    QTest::keyClick(&main, Qt::Key_F10);
    QVERIFY(!main.isVisible());
}

void ShellTest::outsideStoreProgramFailureIsReported() {
    AppContext context;
    context.rights = rightsWith({"anbar"});
    ScriptedPrompter prompter;
    WindowRegistry registry;
    Tf_main main(context, m_t->db(), prompter, m_clock, registry);
    int launches = 0;
    bool succeeds = true;
    main.setStoreProgramLauncher([&] {
        ++launches;
        return succeeds;
    });
    main.show();
    main.activateTreeItem(45);
    QCOMPARE(launches, 1);
    QVERIFY(prompter.texts().isEmpty());
    succeeds = false;
    findAction(main.menu(7), QStringLiteral("انبار"))->trigger();
    QCOMPARE(launches, 2);
    QCOMPARE(prompter.texts(Kind::Warning).size(), 1);
    QVERIFY(prompter.texts(Kind::Warning).first().contains(QLatin1String("anbar")));
    main.close();
}

void ShellTest::signInAndOutWithTheKeyboard() {
    AppContext context;
    ScriptedPrompter prompter;
    TFmmain login(context, prompter, m_clock, m_t->workingDir());
    login.show();
    QVERIFY(QTest::qWaitForWindowActive(&login));
    QTRY_VERIFY(login.database()); // the first showing runs the start-up sequence
    QLineEdit* code = login.form().codeField();
    QLineEdit* pass = login.form().passwordField();
    QCOMPARE(login.focusWidget(), code);

    // Leaving the code checks it: an unknown code keeps the focus there.
    press(login, Qt::Key_Return);
    ph::test::typeText(code, QStringLiteral("99"));
    press(login, Qt::Key_Return);
    QCOMPARE(prompter.texts(Kind::Warning),
             (QStringList{QStringLiteral("کد کاربر وارد نشده است"), QStringLiteral("کد کاربر اشتباه وارد شده است")}));
    QCOMPARE(login.focusWidget(), code);
    prompter.clear();
    code->clear();

    // Letters never reach the code; Enter runs the code check and moves to the password.
    ph::test::typeText(code, QStringLiteral("x%1y").arg(m_clerk));
    QCOMPARE(code->text(), QString::number(m_clerk));
    press(login, Qt::Key_Return);
    QCOMPARE(login.focusWidget(), pass);
    QCOMPARE(login.form().nameLabel()->text(), QStringLiteral("نسخه پيچ"));
    ph::test::typeText(pass, QStringLiteral("c"));
    QCOMPARE(pass->displayText(), QStringLiteral("*"));
    press(login, Qt::Key_Up);
    QCOMPARE(login.focusWidget(), code);
    press(login, Qt::Key_Return);
    press(login, Qt::Key_Down);
    QCOMPARE(login.focusWidget()->objectName(), QStringLiteral("but_ok"));

    // Enter on the confirm button signs in; F10 in the main window signs out.
    bool opened = false;
    QTimer::singleShot(0, &login, [&] {
        Tf_main* main = login.mainWindow();
        opened = main && main->isVisible();
        if (main)
            QTest::keyClick(main, Qt::Key_F10);
    });
    press(login, Qt::Key_Return);
    QVERIFY(opened);
    QVERIFY(!login.mainWindow()->isVisible());
    QCOMPARE(context.user_code, m_clerk);

    // Back at the login window the code stays, but the password is gone: the next person
    // at the counter cannot sign in as the one who left.
    QCOMPARE(code->text(), QString::number(m_clerk));
    QCOMPARE(pass->text(), QString());
    opened = false;
    QTimer::singleShot(0, &login, [&] {
        opened = login.mainWindow()->isVisible();
        login.mainWindow()->close();
    });
    press(login, Qt::Key_F2);
    QVERIFY(!opened);
    QCOMPARE(prompter.texts(Kind::Warning), QStringList{QStringLiteral("کلمه عبور مشخص نشده است")});
    QCOMPARE(login.focusWidget(), pass);
    press(login, Qt::Key_Escape);
    QVERIFY(!login.isVisible());
}

void ShellTest::mainWindowWithTheKeyboard() {
    AppContext context;
    context.rights = rightsWith({"mat"});
    ScriptedPrompter prompter;
    WindowRegistry registry;
    for (const QString& name : {QStringLiteral("Tfmmoadel"), QStringLiteral("Tf_d_sakhtani"), QStringLiteral("Tf_tarikhche"),
                                QStringLiteral("Tf_engheza")})
        registry.add(name, [](QWidget* parent) { return new StandInWindow(parent); });
    Tf_main main(context, m_t->db(), prompter, m_clock, registry);
    QStringList opened;
    connect(&main, &Tf_main::opened, [&](const QString& d) { opened.append(d); });
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QCOMPARE(main.focusWidget(), main.tree());

    // Enter on a tree item tests its right and opens it.
    const struct {
        int item;
        QStringList warnings;
        QStringList opened;
    } enters[] = {
        {6, {QStringLiteral("امکان دسترسي به اين فرم براي شما وجودندارد")}, {}},
        {9, {}, {QStringLiteral("Tf_d_sakhtani")}},
        {7, {}, {}}, // a parent opens nothing
        {50, {QStringLiteral("امکان دسترسي به اين فرم براي شما وجودندارد")}, {}}, // the near-expiry list: engheza
        {43, {QStringLiteral("امکان دسترسي به اين فرم براي شما وجودندارد")}, {}}, // the history needs tarikhche
    };
    for (const auto& e : enters) {
        prompter.clear();
        opened.clear();
        main.tree()->setCurrentItem(treeItem(main.tree(), e.item));
        press(main, Qt::Key_Return);
        QCOMPARE(prompter.texts(Kind::Warning), e.warnings);
        QCOMPARE(opened, e.opened);
    }
    // With its right the near-expiry list opens.
    context.rights[QStringLiteral("engheza")] = true;
    opened.clear();
    main.tree()->setCurrentItem(treeItem(main.tree(), 50));
    press(main, Qt::Key_Return);
    QCOMPARE(opened, QStringList{QStringLiteral("Tf_engheza")});
    context.rights[QStringLiteral("engheza")] = false;

    // F1 to F7 drop their menus down; arrows and Enter choose an entry. In F7 the first
    // entries are refused or not built, so Down lands on the help.
    for (int key = 1; key <= 7; ++key) {
        QString shown;
        QTimer::singleShot(0, &main, [&shown] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                shown = popup->objectName();
                popup->close();
            }
        });
        press(main, Qt::Key(Qt::Key_F1 + key - 1));
        QCOMPARE(shown, QStringLiteral("menu_f%1").arg(key));
    }
    opened.clear();
    QTimer::singleShot(0, &main, [] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            QTest::keyClick(popup, Qt::Key_Down);
            QTest::keyClick(popup, Qt::Key_Return);
        }
    });
    press(main, Qt::Key_F7);
    QCOMPARE(opened, QStringList{QStringLiteral("TF_help")});
    QCOMPARE(prompter.texts(Kind::Help).size(), 1);

    // Tree item 49 closes the window.
    main.tree()->setCurrentItem(treeItem(main.tree(), 49));
    press(main, Qt::Key_Return);
    QVERIFY(!main.isVisible());
}

void ShellTest::loginAndMainWindowsOpenCentred() {
    AppContext context;
    ScriptedPrompter prompter;
    TFmmain login(context, prompter, m_clock, m_t->workingDir());
    login.show();
    QVERIFY(QTest::qWaitForWindowExposed(&login));
    QTRY_VERIFY(login.database());
    // Smaller than the screen, so the top-left corner is told from the middle.
    const QRect screen = login.screen()->availableGeometry();
    QVERIFY(login.frameGeometry().width() < screen.width() && login.frameGeometry().height() < screen.height());
    // Within the width of a frame: the main window is a little wider than this screen,
    // and its left edge stays on it.
    const auto centredOnScreen = [&screen](QWidget* window) {
        const QPoint offset = window->frameGeometry().center() - screen.center();
        return qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 2 && screen.contains(window->frameGeometry().topLeft());
    };
    QVERIFY(centredOnScreen(&login));

    // The main window is centred on the screen, not over a login window moved aside;
    // once placed, the login window stays where it was put.
    login.move(screen.topLeft());
    login.form().codeField()->setText(QString::number(m_admin));
    login.form().passwordField()->setText(QStringLiteral("a'1"));
    bool centred = false;
    QTimer::singleShot(0, &login, [&] {
        centred = centredOnScreen(login.mainWindow());
        login.mainWindow()->close();
    });
    login.login();
    QVERIFY(centred);
    login.hide();
    login.show();
    QCOMPARE(login.frameGeometry().topLeft(), screen.topLeft());
    login.close();
}

void ShellTest::saleWindowsOpenTheStockList_data() {
    QTest::addColumn<QString>("windowClass");
    QTest::newRow("goods sale") << QStringLiteral("Tf_froosh_kala");
    QTest::newRow("ward consumption") << QStringLiteral("Tmasrafi_bakhsh");
}

// Ctrl+M in a sale window opens the program's kept stock list over it, modally.
void ShellTest::saleWindowsOpenTheStockList() {
    QFETCH(QString, windowClass);
    AppContext context;
    context.rights = rightsWith({});
    ScriptedPrompter prompter;
    WindowRegistry registry;
    Tf_main main(context, m_t->db(), prompter, m_clock, registry);
    registerWindows(registry, WindowContext{context, m_t->db(), prompter, m_clock, nullptr}, m_t->workingDir(), main);
    QWidget* sale = registry.window(windowClass, &main);
    QVERIFY(test::showActive(*sale));
    QWidget* shown = nullptr;
    QTimer::singleShot(0, sale, [&shown] {
        shown = QApplication::activeModalWidget();
        if (shown) shown->close();
    });
    test::press(*sale, Qt::Key_M, Qt::ControlModifier);
    QVERIFY(shown);
    QCOMPARE(shown->objectName(), QStringLiteral("Tmojoodi"));
    QCOMPARE(shown, registry.window(QStringLiteral("Tmojoodi"), &main));
    sale->hide();
}

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
