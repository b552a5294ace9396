#include "core/app_context.h"
#include "core/scripted_prompter.h"
#include "widgets/command_bar.h"
#include "support/window_fixture.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

using namespace ph;
using Command = CommandBar::Command;

namespace {

const QString kSaveRefused = QStringLiteral("دسترسي به کليد ثبت براي شما امکان پذير نمي باشد");
const QString kEditRefused = QStringLiteral("دسترسي به کليدويرايش براي شما امکان پذير نمي باشد");
const QString kDeleteRefused = QStringLiteral("دسترسي به کليدحذف براي شما امکان پذير نمي باشد");

// A data window: one field and the bar, every handler recording its command.
struct Window {
    AppContext context;
    ScriptedPrompter prompter;
    QWidget widget;
    QLineEdit* field;
    CommandBar* bar;
    QList<Command> ran;

    explicit Window(CommandBar::Commands commands) {
        for (const char* right : {"save_b", "edit_b", "delete_b"})
            context.rights.insert(QString::fromLatin1(right), true);
        auto* layout = new QVBoxLayout(&widget);
        field = new QLineEdit(&widget);
        field->setObjectName(QStringLiteral("me_name"));
        bar = new CommandBar(context, prompter, commands, &widget);
        layout->addWidget(field);
        layout->addWidget(bar);
        const QMetaEnum all = QMetaEnum::fromType<Command>();
        for (int i = 0; i < all.keyCount(); ++i) {
            const auto command = Command(all.value(i));
            bar->setHandler(command, [this, command] { ran.append(command); });
        }
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(field, Qt::Key(key), modifiers);
    }
};

constexpr auto kAll = CommandBar::DataWindow | CommandBar::Navigation | CommandBar::Sort |
                      CommandBar::Search | CommandBar::Print;
constexpr auto kDocument = CommandBar::DocumentWindow | CommandBar::Navigation;

} // namespace

class CommandBarTest : public QObject {
    Q_OBJECT
private slots:
    void keysRunTheirCommandsFromAnyField_data();
    void keysRunTheirCommandsFromAnyField();
    void missingRightRefusesBeforeAnythingElse_data();
    void missingRightRefusesBeforeAnythingElse();
    void documentStatesAndDisabledKeys();
    void keysBelongToTheBarsWindow();
};

void CommandBarTest::keysRunTheirCommandsFromAnyField_data() {
    QTest::addColumn<bool>("document");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("button");
    const int ctrl = Qt::ControlModifier;
    const struct {
        const char* name;
        bool document;
        int key;
        int modifiers;
        Command command;
        const char* button;
    } rows[] = {
        {"F2 save", false, Qt::Key_F2, 0, Command::Save, "but_ok"},
        {"F3 edit", false, Qt::Key_F3, 0, Command::Edit, "but_edit"},
        {"F4 delete", false, Qt::Key_F4, 0, Command::Delete, "but_delete"},
        {"F9 new", false, Qt::Key_F9, 0, Command::New, "but_enseraf"},
        {"F10 close", false, Qt::Key_F10, 0, Command::Close, "but_close"},
        {"Esc close", false, Qt::Key_Escape, 0, Command::Close, "but_close"},
        {"Ctrl+F first", false, Qt::Key_F, ctrl, Command::First, "but_first"},
        {"Ctrl+P previous", false, Qt::Key_P, ctrl, Command::Previous, "but_prior"},
        {"Ctrl+N next", false, Qt::Key_N, ctrl, Command::Next, "but_next"},
        {"Ctrl+L last", false, Qt::Key_L, ctrl, Command::Last, "but_last"},
        {"Ctrl+S sort", false, Qt::Key_S, ctrl, Command::Sort, "but_sort"},
        {"F7 search", false, Qt::Key_F7, 0, Command::Search, "but_search"},
        {"F8 print", false, Qt::Key_F8, 0, Command::Print, "but_print"},
        {"document F4 removes a line", true, Qt::Key_F4, 0, Command::RemoveLine, "but_delete"},
        {"document Ctrl+F4 deletes", true, Qt::Key_F4, ctrl, Command::DeleteDocument, "but_delete_f"},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << r.document << r.key << r.modifiers << r.command
                              << QString::fromLatin1(r.button);
}

void CommandBarTest::keysRunTheirCommandsFromAnyField() {
    QFETCH(bool, document);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(Command, command);
    QFETCH(QString, button);
    Window window(document ? kDocument : kAll);
    QVERIFY(ph::test::showActive(window.widget));
    window.field->setFocus();

    window.press(key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(window.ran, QList<Command>{command});
    QCOMPARE(window.field->text(), QString());
    QVERIFY(window.prompter.texts().isEmpty());

    // The button of the command does the same, and carries the command's name.
    QCOMPARE(window.bar->button(command)->objectName(), button);
    window.bar->button(command)->click();
    QCOMPARE(window.ran, (QList<Command>{command, command}));
}

void CommandBarTest::missingRightRefusesBeforeAnythingElse_data() {
    QTest::addColumn<bool>("document");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("right");
    QTest::addColumn<bool>("buttonEnabled");
    QTest::addColumn<QString>("ownWording");
    QTest::addColumn<QString>("message");
    const QString ownEdit = QStringLiteral("دسترسي به کليد ويرايش براي شما امکان پذير نمي باشد");
    QTest::newRow("save") << false << int(Qt::Key_F2) << 0 << QStringLiteral("save_b") << true << QString()
                          << kSaveRefused;
    QTest::newRow("edit") << false << int(Qt::Key_F3) << 0 << QStringLiteral("edit_b") << true << QString()
                          << kEditRefused;
    QTest::newRow("delete") << false << int(Qt::Key_F4) << 0 << QStringLiteral("delete_b") << true
                            << QString() << kDeleteRefused;
    QTest::newRow("document delete") << true << int(Qt::Key_F4) << int(Qt::ControlModifier)
                                     << QStringLiteral("delete_b") << true << QString() << kDeleteRefused;
    QTest::newRow("disabled edit is refused all the same")
        << false << int(Qt::Key_F3) << 0 << QStringLiteral("edit_b") << false << QString() << kEditRefused;
    QTest::newRow("window's own wording")
        << false << int(Qt::Key_F3) << 0 << QStringLiteral("edit_b") << true << ownEdit << ownEdit;
}

void CommandBarTest::missingRightRefusesBeforeAnythingElse() {
    QFETCH(bool, document);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, right);
    QFETCH(bool, buttonEnabled);
    QFETCH(QString, ownWording);
    QFETCH(QString, message);
    Window window(document ? kDocument : kAll);
    window.context.rights[right] = false;
    if (!ownWording.isEmpty()) window.bar->setRefusal(Command::Edit, ownWording);
    QSignalSpy refused(window.bar, &CommandBar::refused);
    QSignalSpy triggered(window.bar, &CommandBar::triggered);
    for (QPushButton* button : window.bar->findChildren<QPushButton*>())
        button->setEnabled(buttonEnabled);

    window.press(key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(window.prompter.texts(), QStringList{message});
    QVERIFY(window.ran.isEmpty());
    QCOMPARE(refused.count(), 1);
    QCOMPARE(triggered.count(), 0);
}

void CommandBarTest::documentStatesAndDisabledKeys() {
    Window data(kAll);
    data.bar->clearDocument();
    QVERIFY(data.bar->isEnabled(Command::Save));
    QVERIFY(!data.bar->isEnabled(Command::Edit));
    QVERIFY(!data.bar->isEnabled(Command::Delete));
    data.press(Qt::Key_F3);
    data.press(Qt::Key_F4);
    data.press(Qt::Key_F2);
    QCOMPARE(data.ran, QList<Command>{Command::Save});

    data.ran.clear();
    data.bar->showDocument();
    QVERIFY(!data.bar->isEnabled(Command::Save));
    QVERIFY(data.bar->isEnabled(Command::Edit));
    QVERIFY(data.bar->isEnabled(Command::Delete));
    data.press(Qt::Key_F2);
    data.press(Qt::Key_F3);
    data.press(Qt::Key_F4);
    QCOMPARE(data.ran, (QList<Command>{Command::Edit, Command::Delete}));
    QVERIFY(data.prompter.texts().isEmpty());

    // Told to run a disabled command, the bar runs it and leaves the button as it was; the
    // right is still tested first.
    data.ran.clear();
    QVERIFY(!data.bar->activate(Command::Save));
    QVERIFY(data.bar->activate(Command::Save, CommandBar::WhenDisabled::Run));
    QCOMPARE(data.ran, QList<Command>{Command::Save});
    QVERIFY(!data.bar->isEnabled(Command::Save));
    data.context.rights[QStringLiteral("save_b")] = false;
    QVERIFY(!data.bar->activate(Command::Save, CommandBar::WhenDisabled::Run));
    QCOMPARE(data.prompter.texts(), QStringList{kSaveRefused});

    // Document windows: a shown document keeps its lines; editing it opens everything but edit.
    Window document(kDocument);
    document.bar->showDocument();
    QVERIFY(!document.bar->isEnabled(Command::RemoveLine));
    QVERIFY(document.bar->isEnabled(Command::DeleteDocument));
    document.press(Qt::Key_F4);
    QVERIFY(document.ran.isEmpty());
    document.bar->editDocument();
    QVERIFY(document.bar->isEnabled(Command::Save));
    QVERIFY(document.bar->isEnabled(Command::RemoveLine));
    QVERIFY(document.bar->isEnabled(Command::DeleteDocument));
    QVERIFY(!document.bar->isEnabled(Command::Edit));
    document.bar->clearDocument();
    QVERIFY(!document.bar->isEnabled(Command::DeleteDocument));
    QVERIFY(document.bar->isEnabled(Command::RemoveLine));
}

void CommandBarTest::keysBelongToTheBarsWindow() {
    Window window(CommandBar::DataWindow);
    window.bar->setHandler(Command::Close, nullptr);
    QVERIFY(ph::test::showActive(window.widget));

    // A dialog of the window is a window of its own: its keys are its own.
    QDialog dialog(&window.widget);
    auto* dialogField = new QLineEdit(&dialog);
    QTest::keyClick(dialogField, Qt::Key_F2);
    QVERIFY(window.ran.isEmpty());

    // Keys of commands the bar does not have are left to the field.
    window.press(Qt::Key_F8);
    window.press(Qt::Key_N, Qt::ControlModifier);
    QVERIFY(window.ran.isEmpty());

    // Esc closes the window when the window sets no close handler of its own.
    window.press(Qt::Key_Escape);
    QVERIFY(!window.widget.isVisible());
}

QTEST_MAIN(CommandBarTest)
#include "command_bar_test.moc"
