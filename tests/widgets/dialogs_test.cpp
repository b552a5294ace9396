#include "support/typing.h"
#include "support/window_fixture.h"
#include "widgets/dialog_prompter.h"
#include "widgets/dialogs/first_user_dialog.h"
#include "widgets/dialogs/tf_error.h"
#include "widgets/dialogs/tf_help.h"
#include "widgets/dialogs/tf_input.h"
#include "widgets/dialogs/tf_message.h"
#include "widgets/dialogs/tf_messagebox.h"
#include "widgets/persian_look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace ph;

namespace {

using ph::test::child;
using ph::test::focusName;
using ph::test::press;

QString textOf(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    return QStringLiteral("<no text>");
}

bool showActive(QWidget& dialog) {
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}

void typeInto(QWidget& dialog, const QString& field, const QString& text) {
    ph::test::typeText(child(&dialog, field), text);
}

// Runs an action that should show the warning dialog modally, answers it with Enter and
// returns the message it showed; empty when it never showed.
QString warningFrom(Tf_error& warning, const std::function<void()>& action) {
    auto shown = std::make_shared<QString>();
    QTimer::singleShot(0, &warning, [&warning, shown] {
        if (!warning.isVisible()) return;
        *shown = warning.message();
        QTest::keyClick(&warning, Qt::Key_Enter);
    });
    action();
    QCoreApplication::processEvents();
    return *shown;
}

// Schedules what the user does in the next modal dialog; a dialog the action leaves open
// is closed and counted as a failure, so a wrong key cannot hang the test.
void inNextDialog(const std::function<void(QWidget&)>& act, bool* leftOpen) {
    QTimer::singleShot(0, qApp, [act, leftOpen] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) {
            *leftOpen = true;
            return;
        }
        act(*dialog);
        if (dialog->isVisible()) {
            *leftOpen = true;
            dialog->close();
        }
    });
}

const QString kPharmacyName = QStringLiteral("داروخانه شفا");

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void fixedTexts_data();
    void fixedTexts();
    void answersOfButtonsAndKeys_data();
    void answersOfButtonsAndKeys();
    void yesNoAnswerStaysUntilAButtonSetsIt();
    void messageBoxResultKeptAfterCloseAndSearchCleared();
    void emptyPromptYieldsOkWithEmptyText();
    void promptOffersAText();
    void identityChecksInOrder_data();
    void identityChecksInOrder();
    void identityShowingClearsAndEnterMoves();
    void identityTabFollowsTheEnterOrder();
    void firstUserChecksInOrder_data();
    void firstUserChecksInOrder();
    void firstUserEnterMovesAndConfirms();
    void helpShowsBundledGuideAndClosesOnF10AndEsc();
    void prompterAsksThroughItsDialogs();
    void prompterKeepsSharedResultAfterClose();
    void prompterErrorReportShowsTheFailure();
    void persianLookCanBeAppliedTwice();
};

// Which of the dialogs a table row is about.
struct Dialogs {
    Tf_error warning;
    Tf_message message;
    Tf_messagebox messageBox;
    Tf_input input{warning};
    TF_help help;
    FirstUserDialog firstUser{warning};

    QDialog& byName(const QString& name) {
        if (name == QLatin1String("warning")) return warning;
        if (name == QLatin1String("information") || name == QLatin1String("question")) return message;
        if (name == QLatin1String("messagebox")) return messageBox;
        if (name == QLatin1String("prompt") || name == QLatin1String("identity")) return input;
        if (name == QLatin1String("help")) return help;
        return firstUser;
    }
};

void DialogsTest::fixedTexts_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("text");
    auto row = [](const char* dialog, const char* part, const QString& text) {
        QTest::addRow("%s %s", dialog, part)
            << QString::fromLatin1(dialog) << QString::fromLatin1(part) << text;
    };
    row("warning", "Label1", QStringLiteral("!!!اخطار "));
    row("warning", "Panel1", QStringLiteral("اطلاعات شما اشتباه ميباشد"));
    row("question", "Label2", QStringLiteral("آيا  از حذف اطلاعات مطمئن هستيد"));
    row("question", "but_yes", QStringLiteral("بله  F2"));
    row("question", "but_no", QStringLiteral("خير F9"));
    row("messagebox", "Label1", QStringLiteral(" شماره درخواست مورد نظر را وارد كنيد:"));
    row("messagebox", "but_ok", QStringLiteral("تاييد"));
    row("messagebox", "but_cancel", QStringLiteral("انصراف"));
    row("prompt", "but_yes", QStringLiteral("تاييد    F2"));
    row("prompt", "but_no", QStringLiteral("خروج   F10"));
    row("identity", "but_ok", QStringLiteral("تاييد  F2"));
    row("identity", "but_close", QStringLiteral("خروج Esc"));
    row("help", "but_close", QStringLiteral("خروجF10"));
    row("help", "Label1", QStringLiteral("براي مشاهده راهنماي برنامه ، لطفا روي تصوير دابل کليک  کنيد"));
}

void DialogsTest::fixedTexts() {
    QFETCH(QString, dialog);
    QFETCH(QString, part);
    QFETCH(QString, text);
    Dialogs dialogs;
    QCOMPARE(textOf(child(&dialogs.byName(dialog), part)), text);
}

void DialogsTest::answersOfButtonsAndKeys_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("action"); // a key, or the objectName of the button clicked
    QTest::addColumn<QString>("answer");
    const struct {
        const char* dialog;
        const char* action;
        const char* answer;
    } rows[] = {
        {"warning", "Enter", ""},       {"warning", "Esc", ""},
        {"warning", "BitBtn1", ""},     {"information", "Enter", ""},
        {"information", "Esc", ""},     {"information", "but_ok", ""},
        {"question", "F2", "yes"},      {"question", "but_yes", "yes"},
        {"question", "F9", "no"},       {"question", "Esc", "no"},
        {"question", "but_no", "no"},   {"prompt", "F2", "ok"},
        {"prompt", "Enter", "ok"},      {"prompt", "but_yes", "ok"},
        {"prompt", "but_no", "close"},  {"prompt", "F10", "close"},
        {"prompt", "Esc", "close"},     {"identity", "F2", "ok"},
        {"identity", "but_ok", "ok"},   {"identity", "but_close", "no"},
        {"identity", "Esc", "no"},      {"first user", "F2", "ok"},
        {"first user", "but_ok", "ok"}, {"first user", "F10", "no"},
        {"first user", "Esc", "no"},    {"first user", "but_close", "no"},
    };
    for (const auto& r : rows)
        QTest::addRow("%s %s", r.dialog, r.action)
            << QString::fromLatin1(r.dialog) << QString::fromLatin1(r.action)
            << QString::fromLatin1(r.answer);
}

void DialogsTest::answersOfButtonsAndKeys() {
    QFETCH(QString, dialog);
    QFETCH(QString, action);
    QFETCH(QString, answer);
    Dialogs dialogs;
    dialogs.message.prepareYesNo(QStringLiteral("آيا ثبت شود؟"));
    if (dialog == QLatin1String("information")) dialogs.message.prepareInformation();
    dialogs.input.preparePrompt(QStringLiteral("شماره فاكتور مورد نظر را واردكنيد"));
    if (dialog == QLatin1String("identity")) dialogs.input.prepareIdentity();

    QDialog& shown = dialogs.byName(dialog);
    QVERIFY(showActive(shown));
    // Filled in full, so that a confirmation passes its checks.
    if (dialog == QLatin1String("identity")) {
        typeInto(shown, QStringLiteral("me_name"), kPharmacyName);
        typeInto(shown, QStringLiteral("me_code"), QStringLiteral("12"));
        typeInto(shown, QStringLiteral("fani"), QStringLiteral("3456"));
    } else if (dialog == QLatin1String("first user")) {
        typeInto(shown, QStringLiteral("me_name"), QStringLiteral("مدير"));
        typeInto(shown, QStringLiteral("me_pass"), QStringLiteral("abc"));
        typeInto(shown, QStringLiteral("me_pass2"), QStringLiteral("abc"));
    }

    static const QHash<QString, Qt::Key> keys{{QStringLiteral("Enter"), Qt::Key_Return},
                                              {QStringLiteral("Esc"), Qt::Key_Escape},
                                              {QStringLiteral("F2"), Qt::Key_F2},
                                              {QStringLiteral("F9"), Qt::Key_F9},
                                              {QStringLiteral("F10"), Qt::Key_F10}};
    if (keys.contains(action))
        press(shown, keys.value(action));
    else
        child<QAbstractButton>(&shown, action)->click();

    QVERIFY(!shown.isVisible());
    QString left;
    if (&shown == &dialogs.message)
        left = dialogs.message.answer();
    else if (&shown == &dialogs.input)
        left = dialogs.input.answer();
    else if (&shown == &dialogs.firstUser)
        left = dialogs.firstUser.answer();
    QCOMPARE(left, answer);
}

void DialogsTest::yesNoAnswerStaysUntilAButtonSetsIt() {
    Tf_message message;
    QCOMPARE(message.informationText(), QStringLiteral("اطلاعات شما ثبت شد"));
    message.prepareYesNo(QStringLiteral("آيا حذف شود؟"));
    QVERIFY(showActive(message));
    QVERIFY(child(&message, QStringLiteral("Panel1"))->isVisible());
    QVERIFY(!child(&message, QStringLiteral("Panel2"))->isVisible());
    QCOMPARE(textOf(child(&message, QStringLiteral("Label2"))), QStringLiteral("آيا حذف شود؟"));
    press(message, Qt::Key_F2);
    QCOMPARE(message.answer(), QStringLiteral("yes"));

    // The information panel closes without touching the answer, and its own text resets
    // to the default when none is given.
    message.prepareInformation(QStringLiteral("کالا ثبت شد"));
    message.prepareInformation();
    QCOMPARE(message.informationText(), QStringLiteral("اطلاعات شما ثبت شد"));
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QVERIFY(showActive(message));
        QVERIFY(!child(&message, QStringLiteral("Panel1"))->isVisible());
        press(message, Qt::Key_F9); // no question shown: F9 means nothing here
        QVERIFY(message.isVisible());
        press(message, key);
        QVERIFY(!message.isVisible());
        QCOMPARE(message.answer(), QStringLiteral("yes"));
    }

    message.prepareYesNo(QStringLiteral("آيا حذف شود؟"));
    QVERIFY(showActive(message));
    QCOMPARE(message.answer(), QStringLiteral("yes"));
    press(message, Qt::Key_F9);
    QCOMPARE(message.answer(), QStringLiteral("no"));
}

void DialogsTest::messageBoxResultKeptAfterCloseAndSearchCleared() {
    Tf_messagebox box;
    ConfirmRequest request;
    request.text = QStringLiteral("درخواست ثبت شود؟");
    request.showSearch = true;
    request.showClose = true;
    box.prepareConfirm(request);
    auto* search = child<QLineEdit>(&box, QStringLiteral("me_search"));
    auto* mirror = child<QLineEdit>(&box, QStringLiteral("me_ok"));
    auto showTyping = [&](const QString& text) {
        QVERIFY(showActive(box));
        QCOMPARE(search->text(), QString());
        QCOMPARE(mirror->text(), QString());
        QVERIFY(!mirror->isVisible());
        QCOMPARE(focusName(box), QStringLiteral("me_search"));
        ph::test::typeText(search, text);
    };

    showTyping(QStringLiteral("12"));
    child<QAbstractButton>(&box, QStringLiteral("but_ok"))->click();
    QVERIFY(!box.isVisible());
    QCOMPARE(box.messageBoxResult(), 1);
    QCOMPARE(mirror->text(), QStringLiteral("1"));
    QCOMPARE(box.searchText(), QStringLiteral("12"));

    showTyping(QStringLiteral("5"));
    child<QAbstractButton>(&box, QStringLiteral("but_close"))->click();
    QVERIFY(!box.isVisible());
    QCOMPARE(box.messageBoxResult(), 1);
    QCOMPARE(mirror->text(), QString());
    QCOMPARE(box.searchText(), QStringLiteral("5"));

    showTyping(QStringLiteral("7"));
    child<QAbstractButton>(&box, QStringLiteral("but_cancel"))->click();
    QVERIFY(!box.isVisible());
    QCOMPARE(box.messageBoxResult(), 0);
    QCOMPARE(mirror->text(), QStringLiteral("0"));
    QCOMPARE(box.searchText(), QString());

    // Enter confirms and Esc cancels.
    showTyping(QStringLiteral("8"));
    press(box, Qt::Key_Return);
    QCOMPARE(box.messageBoxResult(), 1);
    QCOMPARE(box.searchText(), QStringLiteral("8"));
    showTyping(QStringLiteral("9"));
    press(box, Qt::Key_Escape);
    QCOMPARE(box.messageBoxResult(), 0);
    QVERIFY(!box.isVisible());

    // A plain question with only the close button: Esc closes and the result stays.
    box.prepareConfirm({QStringLiteral("ادامه مي دهيد؟"), false, {}, true, false, true});
    QVERIFY(showActive(box));
    QVERIFY(!child(&box, QStringLiteral("Panel3"))->isVisible());
    QVERIFY(child(&box, QStringLiteral("Panel4"))->isVisible());
    QVERIFY(!child(&box, QStringLiteral("but_cancel"))->isVisible());
    child<QAbstractButton>(&box, QStringLiteral("but_ok"))->click();
    QVERIFY(showActive(box));
    press(box, Qt::Key_Escape);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.messageBoxResult(), 1);
}

void DialogsTest::emptyPromptYieldsOkWithEmptyText() {
    Tf_error warning;
    Tf_input input(warning);
    const QString label = QStringLiteral("شماره فاكتور مورد نظر را واردكنيد");
    input.preparePrompt(label);
    QVERIFY(showActive(input));
    typeInto(input, QStringLiteral("input_text"), QStringLiteral("125"));
    press(input, Qt::Key_Escape);
    QCOMPARE(input.answer(), QStringLiteral("close"));

    input.preparePrompt(label);
    QVERIFY(showActive(input));
    QVERIFY(child(&input, QStringLiteral("Panel1"))->isVisible());
    QVERIFY(!child(&input, QStringLiteral("Panel2"))->isVisible());
    QCOMPARE(textOf(child(&input, QStringLiteral("Label1"))), label);
    QCOMPARE(focusName(input), QStringLiteral("input_text"));
    child<QAbstractButton>(&input, QStringLiteral("but_yes"))->click();
    QVERIFY(!input.isVisible());
    QCOMPARE(input.answer(), QStringLiteral("ok"));
    QCOMPARE(input.promptText(), QString());
}

// The text a prompt offers is taken with the button as it is.
void DialogsTest::promptOffersAText() {
    Tf_error warning;
    Tf_input input(warning);
    input.preparePrompt(QStringLiteral("شماره فاكتور مورد نظر را واردكنيد"), QStringLiteral("12"));
    QVERIFY(showActive(input));
    QCOMPARE(focusName(input), QStringLiteral("input_text"));
    child<QAbstractButton>(&input, QStringLiteral("but_yes"))->click();
    QCOMPARE(input.answer(), QStringLiteral("ok"));
    QCOMPARE(input.promptText(), QStringLiteral("12"));
}

void DialogsTest::identityChecksInOrder_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("nezam");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    const QString noName = QStringLiteral("نام داروخانه را وارد نكرده ايد");
    const QString noCode = QStringLiteral("كـد داروخانه را وارد نكرده ايد");
    const QString noNezam = QStringLiteral("نظام پزشکي مسئول فني  را وارد نكرده ايد");
    QTest::newRow("all empty: the name first") << ""
                                               << ""
                                               << "" << noName << "me_name";
    QTest::newRow("only the name missing") << ""
                                           << "12"
                                           << "3456" << noName << "me_name";
    QTest::newRow("blank name") << "   "
                                << "12"
                                << "3456" << noName << "me_name";
    QTest::newRow("code missing") << kPharmacyName << ""
                                  << "3456" << noCode << "me_code";
    QTest::newRow("code and council number missing") << kPharmacyName << ""
                                                     << "" << noCode << "me_code";
    QTest::newRow("council number missing") << kPharmacyName << "12"
                                            << "" << noNezam << "fani";
}

void DialogsTest::identityChecksInOrder() {
    QFETCH(QString, name);
    QFETCH(QString, code);
    QFETCH(QString, nezam);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Tf_error warning;
    Tf_input input(warning);
    input.prepareIdentity();
    QVERIFY(showActive(input));
    typeInto(input, QStringLiteral("me_name"), name);
    typeInto(input, QStringLiteral("me_code"), code);
    typeInto(input, QStringLiteral("fani"), nezam);
    for (const QString& button : {QStringLiteral("F2"), QStringLiteral("but_ok")}) {
        // Away from every field, so the focus seen afterwards is the one the check set.
        child(&input, QStringLiteral("but_close"))->setFocus();
        const QString shown = warningFrom(warning, [&] {
            if (button == QLatin1String("F2"))
                press(input, Qt::Key_F2);
            else
                child<QAbstractButton>(&input, button)->click();
        });
        QCOMPARE(shown, message);
        QVERIFY(input.isVisible());
        QCOMPARE(focusName(input), focus);
        QCOMPARE(input.answer(), QString());
    }
}

void DialogsTest::identityShowingClearsAndEnterMoves() {
    Tf_error warning;
    Tf_input input(warning);
    input.prepareIdentity();
    QVERIFY(showActive(input));
    QCOMPARE(focusName(input), QStringLiteral("me_code"));
    typeInto(input, QStringLiteral("me_code"), QStringLiteral("1a2"));
    QCOMPARE(input.pharmacyCode(), QStringLiteral("12"));
    press(input, Qt::Key_Return);
    QCOMPARE(focusName(input), QStringLiteral("me_name"));
    typeInto(input, QStringLiteral("me_name"), kPharmacyName);
    press(input, Qt::Key_Return);
    QCOMPARE(focusName(input), QStringLiteral("fani"));
    ph::test::typeText(input.focusWidget(), QStringLiteral("3456"));
    press(input, Qt::Key_Return);
    QCOMPARE(focusName(input), QStringLiteral("but_ok"));
    press(input, Qt::Key_Return); // Enter on the focused confirm button
    QVERIFY(!input.isVisible());
    QCOMPARE(input.answer(), QStringLiteral("ok"));
    QCOMPARE(input.pharmacyName(), kPharmacyName);
    QCOMPARE(input.directorNezam(), QStringLiteral("3456"));

    QVERIFY(showActive(input));
    QCOMPARE(input.pharmacyName(), QString());
    QCOMPARE(input.pharmacyCode(), QString());
    QCOMPARE(input.directorNezam(), QString());
    QCOMPARE(focusName(input), QStringLiteral("me_code"));
}

void DialogsTest::identityTabFollowsTheEnterOrder() {
    Tf_error warning;
    Tf_input input(warning);
    input.prepareIdentity();
    QVERIFY(showActive(input));
    const QStringList order{QStringLiteral("me_code"), QStringLiteral("me_name"), QStringLiteral("fani"),
                            QStringLiteral("but_ok")};
    for (qsizetype i = 1; i < order.size(); ++i) {
        press(input, Qt::Key_Tab);
        QCOMPARE(focusName(input), order.at(i));
    }
    for (qsizetype i = order.size() - 2; i >= 0; --i) {
        press(input, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focusName(input), order.at(i));
    }
}

void DialogsTest::firstUserChecksInOrder_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("repeat");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    const QString noName = QStringLiteral("نام کاربر را وارد نکرده ايد");
    const QString noPassword = QStringLiteral("کلمه عبور را وارد نکرده ايد");
    const QString differ = QStringLiteral("تکرار کلمه عبور با کلمه عبور يکسان نيست");
    QTest::newRow("all empty: the name first") << ""
                                               << ""
                                               << "" << noName << "me_name";
    QTest::newRow("name missing") << ""
                                  << "abc"
                                  << "abc" << noName << "me_name";
    QTest::newRow("password missing") << "مدير"
                                      << ""
                                      << "" << noPassword << "me_pass";
    QTest::newRow("only the repeat typed") << "مدير"
                                           << ""
                                           << "abc" << noPassword << "me_pass";
    QTest::newRow("repeat differs") << "مدير"
                                    << "abc"
                                    << "abd" << differ << "me_pass2";
    QTest::newRow("repeat empty") << "مدير"
                                  << "abc"
                                  << "" << differ << "me_pass2";
}

void DialogsTest::firstUserChecksInOrder() {
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(QString, repeat);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Tf_error warning;
    FirstUserDialog dialog(warning);
    QVERIFY(showActive(dialog));
    typeInto(dialog, QStringLiteral("me_name"), name);
    typeInto(dialog, QStringLiteral("me_pass"), password);
    typeInto(dialog, QStringLiteral("me_pass2"), repeat);
    child(&dialog, QStringLiteral("but_close"))->setFocus();
    QCOMPARE(warningFrom(warning, [&] { press(dialog, Qt::Key_F2); }), message);
    QVERIFY(dialog.isVisible());
    QCOMPARE(focusName(dialog), focus);
    QCOMPARE(dialog.answer(), QString());
}

void DialogsTest::firstUserEnterMovesAndConfirms() {
    Tf_error warning;
    FirstUserDialog dialog(warning);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("تعريف اولين کاربر"));
    QVERIFY(showActive(dialog));
    QCOMPARE(focusName(dialog), QStringLiteral("me_name"));
    ph::test::typeText(dialog.focusWidget(), QStringLiteral("مدير"));
    press(dialog, Qt::Key_Return);
    QCOMPARE(focusName(dialog), QStringLiteral("me_pass"));
    ph::test::typeText(dialog.focusWidget(), QStringLiteral("s3cr"));
    QCOMPARE(child<QLineEdit>(&dialog, QStringLiteral("me_pass"))->displayText(), QStringLiteral("****"));
    press(dialog, Qt::Key_Return);
    QCOMPARE(focusName(dialog), QStringLiteral("me_pass2"));
    press(dialog, Qt::Key_Up);
    QCOMPARE(focusName(dialog), QStringLiteral("me_pass"));
    press(dialog, Qt::Key_Return);
    ph::test::typeText(dialog.focusWidget(), QStringLiteral("s3cr"));
    QCOMPARE(child<QLineEdit>(&dialog, QStringLiteral("me_pass2"))->displayText(), QStringLiteral("****"));
    press(dialog, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.answer(), QStringLiteral("ok"));
    QCOMPARE(dialog.userName(), QStringLiteral("مدير"));
    QCOMPARE(dialog.password(), QStringLiteral("s3cr"));

    QVERIFY(showActive(dialog));
    QCOMPARE(dialog.userName(), QString());
    QCOMPARE(dialog.password(), QString());
}

void DialogsTest::helpShowsBundledGuideAndClosesOnF10AndEsc() {
    for (Qt::Key key : {Qt::Key_F10, Qt::Key_Escape}) {
        TF_help help;
        QVERIFY(showActive(help));
        auto* view = child<QTextBrowser>(&help, QStringLiteral("help_view"));
        QVERIFY(!view->document()->isEmpty());
        QVERIFY(view->toPlainText().contains(QStringLiteral("Ctrl+F4")));
        // Headings, paragraphs and bullets start at the right edge, as the table does.
        for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next())
            if (!block.text().trimmed().isEmpty() && !QTextCursor(block).currentTable())
                QVERIFY2(QStyle::visualAlignment(block.textDirection(), block.blockFormat().alignment()) & Qt::AlignRight,
                     qPrintable(block.text()));
        QVERIFY(child(&help, QStringLiteral("Label1"))->isVisible());
        press(help, key);
        QVERIFY(!help.isVisible());
    }
}

void DialogsTest::prompterAsksThroughItsDialogs() {
    DialogPrompter prompter;
    bool leftOpen = false;

    inNextDialog([](QWidget& d) { press(d, Qt::Key_F2); }, &leftOpen);
    QVERIFY(prompter.askYesNo(QStringLiteral("آيا حذف شود؟")));
    inNextDialog([](QWidget& d) { press(d, Qt::Key_Escape); }, &leftOpen);
    QVERIFY(!prompter.askYesNo(QStringLiteral("آيا حذف شود؟")));

    QString shownWarning;
    inNextDialog(
        [&](QWidget& d) {
            shownWarning = textOf(child(&d, QStringLiteral("Panel1")));
            press(d, Qt::Key_Return);
        },
        &leftOpen);
    prompter.warning(QStringLiteral("كد بيمه وارد نشده است"));
    QCOMPARE(shownWarning, QStringLiteral("كد بيمه وارد نشده است"));

    inNextDialog(
        [](QWidget& d) {
            ph::test::typeText(d.focusWidget(), QStringLiteral("42"));
            press(d, Qt::Key_Return);
        },
        &leftOpen);
    const PromptAnswer typed = prompter.prompt(QStringLiteral("شماره فاكتور مورد نظر را واردكنيد"));
    QCOMPARE(typed.answer, QStringLiteral("ok"));
    QCOMPARE(typed.text, QStringLiteral("42"));

    inNextDialog(
        [](QWidget& d) {
            typeInto(d, QStringLiteral("me_code"), QStringLiteral("12"));
            typeInto(d, QStringLiteral("me_name"), QStringLiteral(" ") + kPharmacyName + QStringLiteral(" "));
            typeInto(d, QStringLiteral("fani"), QStringLiteral("3456 "));
            press(d, Qt::Key_F2);
        },
        &leftOpen);
    const IdentityAnswer identity = prompter.askPharmacyIdentity();
    QVERIFY(identity.ok());
    QCOMPARE(identity.identity.name, kPharmacyName);
    QCOMPARE(identity.identity.code, QStringLiteral("12"));
    QCOMPARE(identity.identity.directorNezam, QStringLiteral("3456"));

    inNextDialog([](QWidget& d) { press(d, Qt::Key_Escape); }, &leftOpen);
    QVERIFY(!prompter.askFirstUser().has_value());

    QVERIFY(!leftOpen);
}

void DialogsTest::prompterKeepsSharedResultAfterClose() {
    DialogPrompter prompter;
    bool leftOpen = false;
    ConfirmRequest request{QStringLiteral("درخواست ثبت شود؟"), true};
    request.showClose = true;
    auto answerWith = [&](const QString& button, const QString& search) {
        inNextDialog(
            [=](QWidget& d) {
                typeInto(d, QStringLiteral("me_search"), search);
                child<QAbstractButton>(&d, button)->click();
            },
            &leftOpen);
        return prompter.confirm(request);
    };

    ConfirmAnswer answer = answerWith(QStringLiteral("but_ok"), QStringLiteral("31"));
    QCOMPARE(answer.result, 1);
    QCOMPARE(answer.searchText, QStringLiteral("31"));
    QCOMPARE(prompter.messageBoxResult(), 1);

    answer = answerWith(QStringLiteral("but_close"), QStringLiteral("32"));
    QCOMPARE(answer.result, 1);
    QCOMPARE(prompter.messageBoxResult(), 1);

    answer = answerWith(QStringLiteral("but_cancel"), QStringLiteral("33"));
    QCOMPARE(answer.result, 0);
    QCOMPARE(answer.searchText, QString());
    QCOMPARE(prompter.messageBoxResult(), 0);

    answer = answerWith(QStringLiteral("but_close"), QStringLiteral("34"));
    QCOMPARE(prompter.messageBoxResult(), 0);
    QVERIFY(!leftOpen);
}

void DialogsTest::prompterErrorReportShowsTheFailure() {
    DialogPrompter prompter;
    bool leftOpen = false;
    QString title, text;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    inNextDialog(
        [&](QWidget& d) {
            auto* box = qobject_cast<QMessageBox*>(&d);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            direction = box->layoutDirection();
            box->accept();
        },
        &leftOpen);
    prompter.errorReport(QStringLiteral("database is locked"));
    QVERIFY(!leftOpen);
    QCOMPARE(title, QStringLiteral("خطا"));
    QCOMPARE(text, QStringLiteral("database is locked"));
    QCOMPARE(direction, Qt::RightToLeft);
}

void DialogsTest::persianLookCanBeAppliedTwice() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QVERIFY(app);
    applyPersianLook(*app);
    applyPersianLook(*app);
    QCOMPARE(QApplication::font().family(), QStringLiteral("Vazirmatn"));
    QCOMPARE(QApplication::layoutDirection(), Qt::RightToLeft);
    QVERIFY(QFile::exists(QStringLiteral(":/fonts/Vazirmatn-Bold.ttf")));
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
