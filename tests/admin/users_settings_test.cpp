#include "admin/password_hash.h"
#include "admin/rights.h"
#include "dispensing/settings_store.h"
#include "admin/ui/change_pass.h"
#include "admin/ui/tanzimat.h"
#include "admin/ui/user_new.h"
#include "widgets/command_bar.h"
#include "admin/users.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/schema.h"
#include "support/audit_entries.h"
#include "support/test_database.h"
#include "support/typing.h"
#include "support/window_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QAbstractItemModel>
#include <QTest>

using namespace ph;
using ph::test::TestDatabase;
using Kind = ScriptedPrompter::Kind;

namespace {

UserRecord user(int code, const QString& name, const QString& password, std::initializer_list<const char*> granted = {}) {
    UserRecord u{code, name, password, {}};
    for (const char* flag : granted)
        u.rights.insert(QString::fromLatin1(flag), true);
    return u;
}

using ph::test::focusIn;
using ph::test::press;

// The name of the widget the user's next key goes to (the window's own when none has the focus).
QString focusName(QWidget& window) { return focusIn(window)->objectName(); }

QStringList storedPasswords(Database& db) {
    QStringList out;
    Rows q = db.exec(QStringLiteral("select pass from u_pharmacy order by code"));
    while (q.next())
        out.append(q.value(0).toString());
    return out;
}

} // namespace

class UsersSettingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void addRefusesDuplicatesInOrder();
    void editKeepsAnEmptyPasswordAndNeverStoresClearText();
    void deleteRefusedForUsersWithSales();
    void userWindow();
    void userWindowWithTheKeyboard();
    void changePasswordWindow();
    void changePasswordWithTheKeyboard();
    void settingsWindowSavesAndKeepsTheMessage();
    void settingsWindowWithTheKeyboard();

private:
    std::unique_ptr<TestDatabase> m_t;
    FixedClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
};

void UsersSettingsTest::init() {
    m_t = std::make_unique<TestDatabase>();
    Schema(m_t->db()).ensure();
}

void UsersSettingsTest::cleanup() { m_t.reset(); }

void UsersSettingsTest::addRefusesDuplicatesInOrder() {
    UserStore users(m_t->db());
    QCOMPARE(users.nextCode(), 1);
    QCOMPARE(users.add(user(1, QStringLiteral("علي"), QStringLiteral("p1"), {"froosh_d", "save_b"})),
             UserStore::AddResult::Added);
    QCOMPARE(users.nextCode(), 2);
    const struct {
        UserRecord candidate;
        UserStore::AddResult expected;
    } cases[] = {
        {user(1, QStringLiteral("رضا"), QStringLiteral("p2")), UserStore::AddResult::DuplicateCode},
        {user(2, QStringLiteral(" علي "), QStringLiteral("p2")), UserStore::AddResult::DuplicateName},
        {user(2, QStringLiteral("رضا"), QStringLiteral("p1")), UserStore::AddResult::DuplicatePassword},
        {user(2, QStringLiteral("رضا"), QStringLiteral("p2")), UserStore::AddResult::Added},
    };
    for (const auto& c : cases)
        QCOMPARE(users.add(c.candidate), c.expected);
    const auto all = users.all();
    QCOMPARE(all.size(), 2);
    QVERIFY(all.first().rights.value(QStringLiteral("froosh_d")));
    QVERIFY(!all.first().rights.value(QStringLiteral("access")));
    QVERIFY(all.first().password.isEmpty());
}

void UsersSettingsTest::editKeepsAnEmptyPasswordAndNeverStoresClearText() {
    UserStore users(m_t->db());
    users.add(user(1, QStringLiteral("علي"), QStringLiteral("first")));
    UserRecord edited = user(1, QStringLiteral("علي رضايي"), QString(), {"access"});
    users.update(edited);
    QVERIFY(users.signIn(1, QStringLiteral("first")));
    QVERIFY(users.rightsOf(1).value(QStringLiteral("access")));
    edited.password = QStringLiteral("second");
    users.update(edited);
    QVERIFY(!users.signIn(1, QStringLiteral("first")));
    QVERIFY(users.signIn(1, QStringLiteral("second")));
    QVERIFY(users.changePassword(1, QStringLiteral("second"), QStringLiteral("third")));
    QVERIFY(!users.changePassword(1, QStringLiteral("second"), QStringLiteral("x")));
    for (const QString& stored : storedPasswords(m_t->db()))
        QVERIFY2(isPasswordHash(stored), qPrintable(stored));
    // The history: added, renamed with a right more, password changed twice (the refused change
    // left nothing); a password, clear or hashed, never reaches it.
    const QList<QJsonObject> history = test::auditChanges(m_t->db(), QStringLiteral("user"), QStringLiteral("1"));
    QCOMPARE(history.size(), 4);
    QCOMPARE(test::auditField(history[1], QStringLiteral("name"), "before").toString(), QStringLiteral("علي"));
    QCOMPARE(test::auditField(history[1], QStringLiteral("name"), "after").toString(), QStringLiteral("علي رضايي"));
    QCOMPARE(test::auditField(history[1], QStringLiteral("access"), "after").toDouble(), 1.0);
    QVERIFY(!history[1][QStringLiteral("fields")].toObject().contains(QStringLiteral("pass")));
    for (int i : {2, 3})
        QCOMPARE(history[i], (QJsonObject{{QStringLiteral("fields"),
                                           QJsonObject{{QStringLiteral("pass"),
                                                        QJsonObject{{QStringLiteral("changed"), true}}}}}}));
    for (const AuditEntry& entry : AuditLog(m_t->db()).entries({}))
        for (const char* secret : {"first", "second", "third", "$argon2"})
            QVERIFY2(!entry.changes.contains(QLatin1String(secret)), qPrintable(entry.changes));
}

void UsersSettingsTest::deleteRefusedForUsersWithSales() {
    Database& db = m_t->db();
    UserStore users(db);
    for (int code : {1, 2, 3})
        users.add(user(code, QStringLiteral("u%1").arg(code), QStringLiteral("p%1").arg(code)));
    db.exec(QStringLiteral("insert into heading_noskhe (sh_factor, code_opr) values (1, 2)"));
    db.exec(QStringLiteral("insert into heading_froosh_kala (sh_factor, code_opr) values (1, 3)"));
    QVERIFY(!users.hasRecordedSales(1));
    QVERIFY(users.hasRecordedSales(2));
    QVERIFY(users.hasRecordedSales(3));
    users.remove(1);
    QVERIFY(!users.nameOf(1));
}

void UsersSettingsTest::userWindow() {
    AppContext context;
    ScriptedPrompter prompter;
    TF_user_new window({context, m_t->db(), prompter, m_clock});
    window.setFormMode(1);
    auto* code = window.findChild<QLineEdit*>(QStringLiteral("me_code"));
    auto* name = window.findChild<QLineEdit*>(QStringLiteral("me_name"));
    auto* pass = window.findChild<QLineEdit*>(QStringLiteral("me_pass"));
    auto* grid = window.findChild<QTableView*>(QStringLiteral("DBGrid1"));
    auto* bar = window.commandBar();
    window.show();
    QCOMPARE(code->text(), QStringLiteral("1")); // the first user of an empty table

    // Without save_b nothing is added.
    name->setText(QStringLiteral("علي"));
    pass->setText(QStringLiteral("p1"));
    window.findChild<QCheckBox*>(QStringLiteral("froosh_d"))->setChecked(true);
    window.findChild<QCheckBox*>(QStringLiteral("Ch_list"))->setChecked(true);
    QTest::keyClick(name, Qt::Key_F2);
    QCOMPARE(prompter.texts(Kind::Warning), QStringList{QStringLiteral("دسترسي به کليد ثبت براي شما امکان پذير نمي باشد")});
    QCOMPARE(UserStore(m_t->db()).all().size(), 0);

    context.rights = {{QStringLiteral("save_b"), true}, {QStringLiteral("edit_b"), true}, {QStringLiteral("delete_b"), true}};
    QTest::keyClick(name, Qt::Key_F2);
    QCOMPARE(prompter.texts(Kind::Information), QStringList{QStringLiteral("ثبت اطلاعات با موفقيت انجام شد")});
    QCOMPARE(code->text(), QStringLiteral("2"));
    QVERIFY(name->text().isEmpty());
    QCOMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(grid->model()->index(0, 2).data().toString(), QStringLiteral("*****"));

    // Another user with the same password is refused.
    name->setText(QStringLiteral("رضا"));
    pass->setText(QStringLiteral("p1"));
    window.addUser();
    QCOMPARE(prompter.texts(Kind::Warning).last(), QStringLiteral("کلمه عبور کاربر تکراري است"));

    // Loading a user shows no password; editing with it empty keeps the old one.
    grid->setCurrentIndex(grid->model()->index(0, 1));
    QCOMPARE(code->text(), QStringLiteral("1"));
    QCOMPARE(name->text(), QStringLiteral("علي"));
    QVERIFY(pass->text().isEmpty());
    QVERIFY(window.findChild<QCheckBox*>(QStringLiteral("Ch_list"))->isChecked());
    QVERIFY(!bar->isEnabled(CommandBar::Save) && bar->isEnabled(CommandBar::Edit));
    window.findChild<QCheckBox*>(QStringLiteral("Ch_save"))->setChecked(true);
    QTest::keyClick(name, Qt::Key_F3);
    QCOMPARE(prompter.texts(Kind::Information).last(), QStringLiteral("ويرايش اطلاعات با موفقيت انجام شد"));
    QVERIFY(UserStore(m_t->db()).signIn(1, QStringLiteral("p1")));
    QVERIFY(UserStore(m_t->db()).rightsOf(1).value(QStringLiteral("save_b")));

    // A user who saved a prescription is never deleted.
    m_t->db().exec(QStringLiteral("insert into heading_noskhe (sh_factor, code_opr) values (1, 1)"));
    grid->setCurrentIndex(grid->model()->index(0, 0));
    prompter.answerYes();
    QTest::keyClick(name, Qt::Key_F4);
    QCOMPARE(prompter.texts(Kind::Warning).last(), QStringLiteral("حذف کاربر موردنظرامکان پذيرنمي باشد"));
    QCOMPARE(UserStore(m_t->db()).all().size(), 1);
    window.hide();

    // Opened as "تعريف کاربر": no grid.
    window.setFormMode(0);
    window.show();
    QVERIFY(!grid->isVisible());
    QCOMPARE(code->text(), QStringLiteral("2"));
    window.hide();
}

void UsersSettingsTest::userWindowWithTheKeyboard() {
    AppContext context;
    context.rights = {{QStringLiteral("save_b"), true}, {QStringLiteral("edit_b"), true}};
    ScriptedPrompter prompter;
    TF_user_new window({context, m_t->db(), prompter, m_clock});
    window.setFormMode(1);
    auto* name = window.findChild<QLineEdit*>(QStringLiteral("me_name"));
    auto* grid = window.findChild<QTableView*>(QStringLiteral("DBGrid1"));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    // Name, password, then Enter through every right (Space ticks one); Enter on the last adds.
    QCOMPARE(focusName(window), QStringLiteral("me_name"));
    ph::test::typeText(focusIn(window), QStringLiteral("ali"));
    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QStringLiteral("me_pass"));
    ph::test::typeText(focusIn(window), QStringLiteral("p1"));
    press(window, Qt::Key_Return);
    QCOMPARE(focusName(window), QStringLiteral("group_k"));
    press(window, Qt::Key_Space);
    QStringList order;
    for (int i = 1; i < int(kRightFlags.size()); ++i) {
        press(window, Qt::Key_Return);
        order.append(focusName(window));
    }
    QCOMPARE(order.first(), QStringLiteral("type_k"));
    QCOMPARE(order.last(), QStringLiteral("Ch_edit"));
    press(window, Qt::Key_Return);
    QCOMPARE(prompter.texts(Kind::Information), QStringList{QStringLiteral("ثبت اطلاعات با موفقيت انجام شد")});
    QCOMPARE(focusName(window), QStringLiteral("me_name"));
    QVERIFY(UserStore(m_t->db()).rightsOf(1).value(QStringLiteral("group_k")));

    // Tab from the password reaches the grid, where moving loads a user; Tab leaves the
    // grid again and Shift+Tab goes back to the fields.
    press(window, Qt::Key_Tab);
    press(window, Qt::Key_Tab);
    QCOMPARE(focusIn(window), grid);
    QCOMPARE(name->text(), QStringLiteral("ali"));
    press(window, Qt::Key_Tab);
    QVERIFY(focusIn(window) != grid);
    press(window, Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(focusIn(window), grid);
    press(window, Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(focusName(window), QStringLiteral("me_pass"));

    // Any key in the grid loads the user it stands on, even when it does not move.
    press(window, Qt::Key_Tab);
    press(window, Qt::Key_F9);
    QCOMPARE(name->text(), QString());
    QCOMPARE(focusIn(window), grid);
    press(window, Qt::Key_Down);
    QCOMPARE(name->text(), QStringLiteral("ali"));
    QVERIFY(window.commandBar()->isEnabled(CommandBar::Edit));
    press(window, Qt::Key_F10);
    QVERIFY(!window.isVisible());
}

void UsersSettingsTest::changePasswordWindow() {
    UserStore users(m_t->db());
    users.add(user(1, QStringLiteral("علي"), QStringLiteral("old"), {"froosh_d"}));
    AppContext context;
    context.current_user_code = 9;
    ScriptedPrompter prompter;
    TF_change_pass window({context, m_t->db(), prompter, m_clock});
    auto* code = window.findChild<QLineEdit*>(QStringLiteral("me_code"));
    auto* oldPass = window.findChild<QLineEdit*>(QStringLiteral("me_pass_old"));
    auto* newPass = window.findChild<QLineEdit*>(QStringLiteral("me_pass_new"));
    QCOMPARE(window.windowTitle(), QStringLiteral(" فرم تغيير كلمه عبور  "));
    QCOMPARE(oldPass->echoMode(), QLineEdit::Password);

    QVERIFY(!window.checkCode());
    code->setText(QStringLiteral("1"));
    QVERIFY(window.checkCode());
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("علي"));

    // Declining the question does nothing; then the checks in their order.
    prompter.answerNo();
    window.changePassword();
    code->clear();
    prompter.answerYes();
    window.changePassword();
    code->setText(QStringLiteral("1"));
    prompter.answerYes();
    window.changePassword();
    oldPass->setText(QStringLiteral("wrong"));
    prompter.answerYes();
    window.changePassword();
    newPass->setText(QStringLiteral("new"));
    prompter.answerYes();
    window.changePassword();
    QCOMPARE(prompter.texts(Kind::Warning),
             (QStringList{QStringLiteral("کد کاربر وراد نشده است"), QStringLiteral("کدکاربر وارد نشده است"),
                          QStringLiteral("رمز قديم وارد نشده است"), QStringLiteral("رمز جديدواردنشده است"),
                          QStringLiteral("کد کاربر يا رمزقديم اشتباه وارد شده است")}));

    oldPass->setText(QStringLiteral("old"));
    prompter.answerYes();
    window.changePassword();
    QCOMPARE(prompter.texts(Kind::Warning).size(), 5); // no message on success
    QVERIFY(code->text().isEmpty() && oldPass->text().isEmpty() && newPass->text().isEmpty());
    QVERIFY(users.signIn(1, QStringLiteral("new")));
    QCOMPARE(context.current_user_code, 1);
    QVERIFY(context.hasRight(QStringLiteral("froosh_d")));
}

void UsersSettingsTest::changePasswordWithTheKeyboard() {
    UserStore users(m_t->db());
    users.add(user(1, QStringLiteral("علي"), QStringLiteral("old")));
    AppContext context;
    ScriptedPrompter prompter;
    TF_change_pass window({context, m_t->db(), prompter, m_clock});
    auto* code = window.findChild<QLineEdit*>(QStringLiteral("me_code"));
    auto* oldPass = window.findChild<QLineEdit*>(QStringLiteral("me_pass_old"));
    auto* newPass = window.findChild<QLineEdit*>(QStringLiteral("me_pass_new"));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QCOMPARE(focusIn(window), code);
    ph::test::typeText(code, QStringLiteral("1a"));
    QCOMPARE(code->text(), QStringLiteral("1"));
    press(window, Qt::Key_Return);
    QCOMPARE(focusIn(window), oldPass);
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("علي"));
    ph::test::typeText(oldPass, QStringLiteral("old"));
    QCOMPARE(oldPass->displayText(), QStringLiteral("***"));
    press(window, Qt::Key_Up);
    QCOMPARE(focusIn(window), code);
    press(window, Qt::Key_Return);
    press(window, Qt::Key_Return);
    QCOMPARE(focusIn(window), newPass);
    ph::test::typeText(newPass, QStringLiteral("new"));
    QCOMPARE(newPass->displayText(), QStringLiteral("***"));
    press(window, Qt::Key_Up);
    QCOMPARE(focusIn(window), oldPass);
    prompter.answerYes();
    press(window, Qt::Key_F2);
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("آيا از تغيير کلمه عبور مطمئن هستيد")});
    QVERIFY(users.signIn(1, QStringLiteral("new")));
    QCOMPARE(focusIn(window), code);

    // Left half-typed: the next showing (after the next sign-in) holds no password of it.
    ph::test::typeText(code, QStringLiteral("1"));
    press(window, Qt::Key_Return);
    ph::test::typeText(oldPass, QStringLiteral("new"));
    press(window, Qt::Key_Return);
    ph::test::typeText(newPass, QStringLiteral("x"));
    press(window, Qt::Key_F10);
    QVERIFY(!window.isVisible());
    window.show();
    QCOMPARE(oldPass->text(), QString());
    QCOMPARE(newPass->text(), QString());
    window.hide();
}

void UsersSettingsTest::settingsWindowSavesAndKeepsTheMessage() {
    AppContext context;
    ScriptedPrompter prompter;
    Tf_tanzimat window({context, m_t->db(), prompter, m_clock});
    window.show();
    window.findChild<QCheckBox*>(QStringLiteral("ch_p_noskhe"))->setChecked(true);
    window.findChild<QCheckBox*>(QStringLiteral("ch_message_taeed"))->setChecked(true);
    window.findChild<QLineEdit*>(QStringLiteral("me_payam"))->setText(QStringLiteral("  با آرزوي سلامتي "));
    window.findChild<QRadioButton*>(QStringLiteral("rb_code_sh"))->setChecked(true);
    window.findChild<QRadioButton*>(QStringLiteral("rb_network"))->setChecked(true);
    QTest::keyClick(&window, Qt::Key_F2);
    QCOMPARE(prompter.texts(Kind::Information), QStringList{QStringLiteral("ثبت اطلاعات شما با موفقيت انجام شد")});

    Rows row = m_t->db().exec(QStringLiteral("select p_noskhe, p_factor, message_taeed, payam, price, code_kala, "
                                                  "code_sh, cash, mode from tanzimat"));
    QVERIFY(row.next());
    QCOMPARE(row.value(0).toInt(), 1);
    QCOMPARE(row.value(1).toInt(), 0);
    QCOMPARE(row.value(2).toInt(), 1);
    QCOMPARE(row.value(3).toString(), QStringLiteral("با آرزوي سلامتي"));
    QCOMPARE(row.value(4).toInt() * 100 + row.value(5).toInt() * 10 + row.value(6).toInt(), 1);
    QCOMPARE(row.value(7).toInt(), 1);
    QCOMPARE(row.value(8).toString(), QStringLiteral("Single"));
    QVERIFY(!row.next());

    // An emptied message keeps the stored one; the window shows the stored state again.
    window.findChild<QLineEdit*>(QStringLiteral("me_payam"))->clear();
    window.findChild<QRadioButton*>(QStringLiteral("rb_single"))->setChecked(true);
    window.save();
    QCOMPARE(m_t->db().scalar(QStringLiteral("select payam from tanzimat")).toString(), QStringLiteral("با آرزوي سلامتي"));
    QCOMPARE(m_t->db().scalar(QStringLiteral("select cash from tanzimat")).toInt(), 0);
    QCOMPARE(m_t->db().scalar(QStringLiteral("select count(*) from tanzimat")).toInt(), 1);
    window.hide();
    window.show();
    QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("me_payam"))->text(), QStringLiteral("با آرزوي سلامتي"));
    QVERIFY(window.findChild<QRadioButton*>(QStringLiteral("rb_code_sh"))->isChecked());
    QVERIFY(window.findChild<QRadioButton*>(QStringLiteral("rb_single"))->isChecked());

    // A field of blanks is not empty: its trimmed text, nothing, replaces the message.
    window.findChild<QLineEdit*>(QStringLiteral("me_payam"))->setText(QStringLiteral("   "));
    window.save();
    QCOMPARE(m_t->db().scalar(QStringLiteral("select payam from tanzimat")).toString(), QString());
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
}

void UsersSettingsTest::settingsWindowWithTheKeyboard() {
    AppContext context;
    ScriptedPrompter prompter;
    Tf_tanzimat window({context, m_t->db(), prompter, m_clock});
    window.setLayoutDirection(Qt::RightToLeft);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    // Tab from control to control; Space ticks, arrows choose within a group, F2 saves.
    QStringList order = {focusName(window)};
    for (int i = 0; i < 6; ++i) {
        press(window, Qt::Key_Tab);
        order.append(focusName(window));
    }
    QCOMPARE(order, (QStringList{"ch_p_noskhe", "ch_p_factor", "ch_message_taeed", "ch_message_address", "me_payam",
                                 "rb_price", "rb_single"}));
    press(window, Qt::Key_Left); // right to left, as the program lays it out
    QCOMPARE(focusName(window), QStringLiteral("rb_network"));
    QVERIFY(window.findChild<QRadioButton*>(QStringLiteral("rb_network"))->isChecked());
    press(window, Qt::Key_Tab, Qt::ShiftModifier);
    press(window, Qt::Key_Down); // with no choice stored, Space makes one
    press(window, Qt::Key_Space);
    QVERIFY(window.findChild<QRadioButton*>(QStringLiteral("rb_code_kala"))->isChecked());
    press(window, Qt::Key_Tab, Qt::ShiftModifier);
    ph::test::typeText(focusIn(window), QStringLiteral("salam"));
    for (int i = 0; i < 4; ++i)
        press(window, Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(focusName(window), QStringLiteral("ch_p_noskhe"));
    press(window, Qt::Key_Space);
    press(window, Qt::Key_F2);
    QCOMPARE(prompter.texts(Kind::Information), QStringList{QStringLiteral("ثبت اطلاعات شما با موفقيت انجام شد")});
    Rows row = m_t->db().exec(QStringLiteral("select p_noskhe, payam, code_kala, cash from tanzimat"));
    QVERIFY(row.next());
    QCOMPARE(row.value(0).toInt(), 1);
    QCOMPARE(row.value(1).toString(), QStringLiteral("salam"));
    QCOMPARE(row.value(2).toInt(), 1);
    QCOMPARE(row.value(3).toInt(), 1);
    press(window, Qt::Key_F10);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(UsersSettingsTest)
#include "users_settings_test.moc"
