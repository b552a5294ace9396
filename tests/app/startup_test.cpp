#include "admin/password_hash.h"
#include "app/credentials_form.h"
#include "app/fmmain.h"
#include "app/main_window.h"
#include "app/startup_sequence.h"
#include "core/clock.h"
#include "core/scripted_prompter.h"
#include "db/schema.h"
#include "support/test_database.h"
#include "support/typing.h"
#include "widgets/dialog_prompter.h"
#include "widgets/dialogs/tf_error.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace ph;
using ph::test::TestDatabase;
using Kind = ScriptedPrompter::Kind;

namespace {

IdentityAnswer identity(const QString& code) {
    return {QStringLiteral("ok"), {QStringLiteral(" داروخانه شفا "), code, QStringLiteral(" 12345 ")}};
}

const QString kFirstUserTold = QStringLiteral("کاربر مدير با کد 1 ثبت شد؛ براي ورود به برنامه اين کد را به خاطر بسپاريد");

void writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// The scripted prompter, except that the first-start questions and the information
// dialog are the program's own dialogs, answered from the keyboard.
class FirstStartPrompter : public ScriptedPrompter {
public:
    IdentityAnswer askPharmacyIdentity() override { return m_dialogs.askPharmacyIdentity(); }
    std::optional<NewUserAnswer> askFirstUser() override { return m_dialogs.askFirstUser(); }
    void information(const QString& text = {}) override {
        ScriptedPrompter::information(text);
        m_dialogs.information(text);
    }

private:
    DialogPrompter m_dialogs;
};

// Keys go where a user's keys go: to the focused widget of the active window.
QString focusedName() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}
void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QVERIFY2(target, "no widget has the keyboard focus");
    QTest::keyClick(target, key, modifiers);
}
void type(const QString& text) {
    QWidget* target = QApplication::focusWidget();
    QVERIFY2(target, "no widget has the keyboard focus");
    ph::test::typeText(target, text);
}

// What the user does in each modal window as it becomes the active one, in order. A
// window not in the script (a warning, say) is noted and closed, so a wrong key fails
// the test instead of leaving it waiting.
class KeyboardWalk : public QObject {
public:
    KeyboardWalk() {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &KeyboardWalk::step);
        m_timer.start();
    }
    void in(const QString& window, std::function<void()> act) { m_steps.append({window, std::move(act)}); }
    bool done() const { return m_steps.isEmpty(); }
    const QStringList& unexpected() const { return m_unexpected; }

private:
    void step() {
        QWidget* active = QApplication::activeModalWidget();
        if (!active || active != QApplication::activeWindow())
            return;
        if (!m_steps.isEmpty() && active->objectName() == m_steps.first().window) {
            const auto act = m_steps.takeFirst().act;
            act();
            return;
        }
        const auto* warning = qobject_cast<Tf_error*>(active);
        m_unexpected.append(active->objectName() + (warning ? QStringLiteral(": ") + warning->message() : QString()));
        active->close();
    }

    struct Step {
        QString window;
        std::function<void()> act;
    };
    QList<Step> m_steps;
    QStringList m_unexpected;
    QTimer m_timer;
};

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void newDatabaseAsksIdentityAndFirstUser();
    void decliningTheIdentityEndsTheProgram();
    void pharmacyCodeMustBeAWholeNumber();
    void storedIdentityAndSocialSecurityCodes();
    void socialSecurityCodesWithoutTheirColumn();
    void badConfigurationIsReportedOnce_data();
    void badConfigurationIsReportedOnce();
    void loginWindowShowsAfterStartup();
    void firstStartWithTheKeyboardAlone();
};

void StartupTest::newDatabaseAsksIdentityAndFirstUser() {
    TestDatabase t;
    AppContext context;
    ScriptedPrompter prompter;
    prompter.answerIdentity(identity(QStringLiteral(" 321 ")));
    prompter.answerFirstUser(NewUserAnswer{QStringLiteral("مدير"), QStringLiteral("p'ss")});
    StartupSequence startup(context, prompter, t.workingDir());
    QCOMPARE(startup.run(), StartupSequence::Outcome::Ready);
    QCOMPARE(prompter.texts(Kind::ErrorReport), QStringList());
    QCOMPARE(prompter.pendingAnswers(), 0);
    QCOMPARE(context.pharmacy_name, QStringLiteral("داروخانه شفا"));
    QCOMPARE(context.director_nezam, QStringLiteral("12345"));

    Database& db = *startup.database();
    Rows row = db.exec(QStringLiteral("select code_vahed, onvan_vahed, fani_nezam from onvan_darou"));
    QVERIFY(row.next());
    QCOMPARE(row.value(0).toInt(), 321);
    QCOMPARE(row.value(1).toString(), QStringLiteral("داروخانه شفا"));
    QCOMPARE(row.value(2).toString(), QStringLiteral("12345"));
    QVERIFY(!row.next());

    Rows user = db.exec(QStringLiteral("select code, name, pass, access, edit_b, phar from u_pharmacy"));
    QVERIFY(user.next());
    QCOMPARE(user.value(0).toInt(), 1);
    QCOMPARE(user.value(1).toString(), QStringLiteral("مدير"));
    QVERIFY(user.value(2).toString() != QStringLiteral("p'ss"));
    QVERIFY(verifyPassword(user.value(2).toString(), QStringLiteral("p'ss")));
    QCOMPARE(user.value(3).toInt() + user.value(4).toInt() + user.value(5).toInt(), 3);
    // The new user is told their code once, and the login window is handed it.
    QCOMPARE(prompter.texts(Kind::Information), QStringList{kFirstUserTold});
    QCOMPARE(startup.firstUserCode(), std::optional<int>(1));

    // The next start asks nothing.
    AppContext again;
    ScriptedPrompter quiet;
    StartupSequence second(again, quiet, t.workingDir());
    QCOMPARE(second.run(), StartupSequence::Outcome::Ready);
    QCOMPARE(quiet.shown().size(), 0);
    QCOMPARE(again.pharmacy_name, QStringLiteral("داروخانه شفا"));
    QCOMPARE(second.firstUserCode(), std::nullopt);
}

void StartupTest::decliningTheIdentityEndsTheProgram() {
    TestDatabase t;
    AppContext context;
    ScriptedPrompter prompter;
    prompter.answerIdentity({QStringLiteral("no"), {}});
    prompter.answerIdentity(identity(QStringLiteral("5"))); // the second showing is not kept
    StartupSequence startup(context, prompter, t.workingDir());
    QCOMPARE(startup.run(), StartupSequence::Outcome::Quit);
    QCOMPARE(prompter.texts(Kind::Identity).size(), 2);
    QCOMPARE(startup.database()->scalar(QStringLiteral("select count(*) from onvan_darou")).toInt(), 0);
}

void StartupTest::pharmacyCodeMustBeAWholeNumber() {
    TestDatabase t;
    AppContext context;
    ScriptedPrompter prompter;
    prompter.answerIdentity(identity(QStringLiteral("12a")));
    StartupSequence startup(context, prompter, t.workingDir());
    QCOMPARE(startup.run(), StartupSequence::Outcome::Failed);
    const QStringList reports = prompter.texts(Kind::ErrorReport);
    QCOMPARE(reports.size(), 1);
    QVERIFY(reports.first().contains(QLatin1String("12a")));
    QVERIFY(context.pharmacy_name.isEmpty());
    QCOMPARE(startup.database()->scalar(QStringLiteral("select count(*) from onvan_darou")).toInt(), 0);
}

void StartupTest::storedIdentityAndSocialSecurityCodes() {
    TestDatabase t;
    Schema(t.db()).ensure();
    t.db().exec(QStringLiteral("insert into onvan_darou (code_vahed, onvan_vahed) values (1, 'داروخانه')"));
    t.db().exec(QStringLiteral("insert into u_pharmacy (code, name) values (1, 'x')"));
    t.db().exec(QStringLiteral("insert into tanzimat (mode, tamincode) values ('Single', ?)"), {QStringLiteral("3, 14,\"2 0\"")});
    AppContext context;
    context.director_nezam = QStringLiteral("kept");
    ScriptedPrompter prompter;
    StartupSequence startup(context, prompter, t.workingDir());
    QCOMPARE(startup.run(), StartupSequence::Outcome::Ready);
    QCOMPARE(prompter.shown().size(), 0);
    QCOMPARE(context.pharmacy_name, QStringLiteral("داروخانه"));
    QCOMPARE(context.director_nezam, QStringLiteral("kept")); // a null council number sets nothing
    QCOMPARE(context.tamin_codes, (QStringList{"3", "14", "2 0"}));
}

void StartupTest::socialSecurityCodesWithoutTheirColumn() {
    TestDatabase t;
    Database& db = t.db();
    db.exec(QStringLiteral("create table tanzimat (p_noskhe smallint, p_factor smallint, message_taeed smallint, "
                           "message_address smallint, payam text, price smallint, code_kala smallint, code_sh smallint, "
                           "cash smallint, flag_cash smallint, code_cash text, mode varchar(50))"));
    db.exec(QStringLiteral("insert into tanzimat (mode) values ('Single')"));
    Schema(db).ensure();
    db.exec(QStringLiteral("insert into onvan_darou (code_vahed, onvan_vahed) values (1, 'داروخانه')"));
    db.exec(QStringLiteral("insert into u_pharmacy (code, name) values (1, 'x')"));
    AppContext context;
    context.tamin_codes = {QStringLiteral("stale")};
    ScriptedPrompter prompter;
    StartupSequence startup(context, prompter, t.workingDir());
    QCOMPARE(startup.run(), StartupSequence::Outcome::Ready);
    QCOMPARE(prompter.shown().size(), 0);
    QVERIFY(context.tamin_codes.isEmpty());
}

void StartupTest::badConfigurationIsReportedOnce_data() {
    QTest::addColumn<QByteArray>("ci");
    QTest::addColumn<QStringList>("mentions");
    QTest::newRow("no terminator") << QByteArray("1-SRV-sa--pharmacy-postgres") << QStringList{"ci.txt", "*"};
    QTest::newRow("unreachable server") << QByteArray("1-/nonexistent/socket:5999-sa--pharmacy-postgres*")
                                        << QStringList{"PostgreSQL", "/nonexistent/socket"};
    QTest::newRow("unwritable folder") << QByteArray("0----/nonexistent/folder/pharmacy.db-sqlite*")
                                       << QStringList{"SQLite", "/nonexistent/folder/pharmacy.db"};
}

void StartupTest::badConfigurationIsReportedOnce() {
    QFETCH(QByteArray, ci);
    QFETCH(QStringList, mentions);
    QTemporaryDir dir;
    writeFile(QDir(dir.path()).absoluteFilePath(QStringLiteral("ci.txt")), ci);
    AppContext context;
    ScriptedPrompter prompter;
    StartupSequence startup(context, prompter, dir.path());
    QCOMPARE(startup.run(), StartupSequence::Outcome::Failed);
    const QStringList reports = prompter.texts(Kind::ErrorReport);
    QCOMPARE(reports.size(), 1);
    for (const QString& mention : mentions)
        QVERIFY2(reports.first().contains(mention), qPrintable(reports.first()));
    QVERIFY(!QFile::exists(QStringLiteral("/nonexistent/folder/pharmacy.db")));
}

void StartupTest::loginWindowShowsAfterStartup() {
    TestDatabase t;
    AppContext context;
    ScriptedPrompter prompter;
    prompter.answerIdentity(identity(QStringLiteral("7")));
    prompter.answerFirstUser(NewUserAnswer{QStringLiteral("a"), QStringLiteral("b")});
    FixedClock clock(QDateTime(QDate(2026, 12, 10), QTime(10, 0)));
    TFmmain login(context, prompter, clock, t.workingDir());
    QCOMPARE(login.windowTitle(), QStringLiteral("نرم افزار داروخانه v1400"));
    login.runStartup();
    QVERIFY(login.database() && login.database()->isOpen());
    QCOMPARE(login.findChild<QLabel*>(QStringLiteral("Label5"))->text(), QStringLiteral("نام کاربر"));
    auto* code = login.findChild<QLineEdit*>(QStringLiteral("me_code"));
    QCOMPARE(code->text(), QStringLiteral("1")); // the first user's code, just made
    code->clear();
    ph::test::typeText(code, QStringLiteral("1a2ب3"));
    QCOMPARE(code->text(), QStringLiteral("123"));
    QCOMPARE(login.findChild<QLineEdit*>(QStringLiteral("me_pass"))->echoMode(), QLineEdit::Password);
}

void StartupTest::firstStartWithTheKeyboardAlone() {
    TestDatabase t;
    AppContext context;
    FirstStartPrompter prompter;
    FixedClock clock(QDateTime(QDate(2026, 12, 10), QTime(10, 0)));
    TFmmain login(context, prompter, clock, t.workingDir());

    KeyboardWalk walk;
    walk.in(QStringLiteral("f_input"), [] {
        QCOMPARE(focusedName(), QStringLiteral("me_code"));
        type(QStringLiteral("321"));
        key(Qt::Key_Return);
        QCOMPARE(focusedName(), QStringLiteral("me_name"));
        type(QStringLiteral("داروخانه شفا"));
        key(Qt::Key_Return);
        QCOMPARE(focusedName(), QStringLiteral("fani"));
        type(QStringLiteral("12345"));
        key(Qt::Key_Return);
        QCOMPARE(focusedName(), QStringLiteral("but_ok"));
        key(Qt::Key_Return);
    });
    walk.in(QStringLiteral("f_first_user"), [] {
        type(QStringLiteral("مدير"));
        key(Qt::Key_Return);
        type(QStringLiteral("s3cr"));
        key(Qt::Key_Return);
        type(QStringLiteral("s3cr"));
        key(Qt::Key_Return);
    });
    walk.in(QStringLiteral("f_message"), [] { key(Qt::Key_Return); });

    login.show();
    QTRY_VERIFY(walk.done() && login.database());
    QCOMPARE(walk.unexpected(), QStringList());
    QCOMPARE(prompter.texts(), QStringList{kFirstUserTold});
    QCOMPARE(context.pharmacy_name, QStringLiteral("داروخانه شفا"));
    QCOMPARE(context.director_nezam, QStringLiteral("12345"));
    QCOMPARE(login.database()->scalar(QStringLiteral("select code_vahed from onvan_darou")).toInt(), 321);

    // Back at the login window, the code just told stands in the code field.
    QTRY_COMPARE(QApplication::activeWindow(), &login);
    QCOMPARE(focusedName(), QStringLiteral("me_code"));
    QCOMPARE(login.form().codeField()->text(), QStringLiteral("1"));
    key(Qt::Key_Return);
    QCOMPARE(focusedName(), QStringLiteral("me_pass"));
    QCOMPARE(login.form().nameLabel()->text(), QStringLiteral("مدير"));
    type(QStringLiteral("s3cr"));

    // Enter signs in; the main window opens with the keyboard, and F10 signs out.
    bool opened = false;
    walk.in(QStringLiteral("f_main"), [&] {
        opened = true;
        QCOMPARE(focusedName(), QStringLiteral("TreeView1"));
        key(Qt::Key_F10);
    });
    key(Qt::Key_Return);
    QVERIFY(opened);
    QVERIFY(walk.done());
    QCOMPARE(context.user_code, 1);
    QCOMPARE(context.user_name, QStringLiteral("مدير"));
    QCOMPARE(walk.unexpected(), QStringList());
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
