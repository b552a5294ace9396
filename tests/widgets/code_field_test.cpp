#include "core/error.h"
#include "core/scripted_prompter.h"
#include "support/typing.h"
#include "widgets/code_field.h"
#include "widgets/key_nav.h"
#include "support/window_fixture.h"

#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

using namespace ph;
using ph::test::focusName;

namespace {

const QString kUnknown = QStringLiteral("اين كد موجود نمي باشد");

// Groups by code, as a window's lookup would return them.
CodeField::Lookup groups() {
    return [](qint64 code) -> std::optional<QString> {
        static const QMap<qint64, QString> names = {{1, QStringLiteral("دارويي")},
                                                    {12, QStringLiteral("آرايشي")}};
        if (!names.contains(code)) return std::nullopt;
        return names.value(code);
    };
}

// Shows the refusal in a real modal dialog that takes the focus, as the program's dialogs do.
class FocusTakingPrompter : public ScriptedPrompter {
public:
    void warning(const QString& text) override {
        ScriptedPrompter::warning(text);
        QDialog dialog;
        QTimer::singleShot(0, &dialog, [this, &dialog] {
            dialog.activateWindow();
            if (QTest::qWaitForWindowActive(&dialog)) tookFocus = true;
            dialog.accept();
        });
        dialog.exec();
    }
    bool tookFocus = false;
};

// previous, me_code_g (with its name), next, in the Enter order.
struct Window {
    QWidget widget;
    QLineEdit* previous;
    CodeField* code;
    QLineEdit* name;
    QLineEdit* next;
    KeyNav nav;

    explicit Window(Prompter& prompter) {
        auto* layout = new QVBoxLayout(&widget);
        previous = new QLineEdit(&widget);
        previous->setObjectName(QStringLiteral("previous"));
        code = new CodeField(&widget);
        code->setObjectName(QStringLiteral("me_code_g"));
        name = new QLineEdit(&widget);
        name->setObjectName(QStringLiteral("me_name_g"));
        name->setReadOnly(true);
        name->setFocusPolicy(Qt::NoFocus);
        next = new QLineEdit(&widget);
        next->setObjectName(QStringLiteral("next"));
        for (QWidget* w : {static_cast<QWidget*>(previous), static_cast<QWidget*>(code),
                           static_cast<QWidget*>(name), static_cast<QWidget*>(next)})
            layout->addWidget(w);
        code->setLookup(groups(), name, prompter);
        nav.addField(previous);
        nav.addField(code);
        nav.addField(next);
    }
};

} // namespace

class CodeFieldTest : public QObject {
    Q_OBJECT
private slots:
    void onlyDigitsReachTheText_data();
    void onlyDigitsReachTheText();
    void pastedTextMustBeAllDigits();
    void nameShownWhileTyping();
    void leavingChecksTheCode_data();
    void leavingChecksTheCode();
    void pageDownAsksThePicker();
    void failedLookupIsReported();
};

void CodeFieldTest::onlyDigitsReachTheText_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("maxDigits");
    QTest::addColumn<QString>("text");
    QTest::newRow("digits") << QStringLiteral("0123456789") << 0 << QStringLiteral("0123456789");
    QTest::newRow("letters and signs") << QStringLiteral("1a2-B3 .") << 0 << QStringLiteral("123");
    QTest::newRow("persian letters") << QStringLiteral("كد۵ی") << 0 << QString();
    QTest::newRow("persian and arabic-indic digits") << QStringLiteral("۱۲٣4") << 0 << QStringLiteral("4");
    QTest::newRow("at most three digits") << QStringLiteral("12345") << 3 << QStringLiteral("123");
}

void CodeFieldTest::onlyDigitsReachTheText() {
    QFETCH(QString, typed);
    QFETCH(int, maxDigits);
    QFETCH(QString, text);
    CodeField field;
    field.setMaxDigits(maxDigits);
    ph::test::typeText(&field, typed);
    QCOMPARE(field.text(), text);
    QTest::keyClick(&field, Qt::Key_Backspace);
    QCOMPARE(field.text(), text.chopped(text.isEmpty() ? 0 : 1));
}

void CodeFieldTest::pastedTextMustBeAllDigits() {
    CodeField field;
    QApplication::clipboard()->setText(QStringLiteral("12a"));
    QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field.text(), QString());
    QApplication::clipboard()->setText(QStringLiteral("۱۲"));
    QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field.text(), QString());
    QApplication::clipboard()->setText(QStringLiteral("34"));
    QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field.text(), QStringLiteral("34"));
}

void CodeFieldTest::nameShownWhileTyping() {
    ScriptedPrompter prompter;
    CodeField field;
    QLabel name;
    field.setLookup(groups(), &name, prompter);
    const QList<std::pair<QString, QString>> steps = {
        {QStringLiteral("1"), QStringLiteral("دارويي")},
        {QStringLiteral("2"), QStringLiteral("آرايشي")},
        {QStringLiteral("3"), QString()},
    };
    for (const auto& [key, shown] : steps) {
        ph::test::typeText(&field, key);
        QCOMPARE(name.text(), shown);
    }
    QTest::keyClick(&field, Qt::Key_Backspace);
    QCOMPARE(name.text(), QStringLiteral("آرايشي"));
    field.clear();
    QCOMPARE(name.text(), QString());
    QVERIFY(prompter.texts().isEmpty());
}

void CodeFieldTest::leavingChecksTheCode_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("focus");
    QTest::newRow("unknown, Enter") << QStringLiteral("99") << int(Qt::Key_Return) << true
                                    << QStringLiteral("me_code_g");
    QTest::newRow("unknown, Tab") << QStringLiteral("99") << int(Qt::Key_Tab) << true
                                  << QStringLiteral("me_code_g");
    QTest::newRow("unknown, Up goes back unchecked")
        << QStringLiteral("99") << int(Qt::Key_Up) << false << QStringLiteral("previous");
    QTest::newRow("known, Enter") << QStringLiteral("12") << int(Qt::Key_Return) << false
                                  << QStringLiteral("next");
    QTest::newRow("empty, Enter") << QString() << int(Qt::Key_Return) << false << QStringLiteral("next");
}

void CodeFieldTest::leavingChecksTheCode() {
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(bool, refused);
    QFETCH(QString, focus);
    FocusTakingPrompter prompter;
    Window window(prompter);
    QVERIFY(ph::test::showActive(window.widget));
    window.code->setFocus();
    ph::test::typeText(window.code, typed);

    QTest::keyClick(window.code, Qt::Key(key));

    QCOMPARE(focusName(window.widget), focus);
    if (refused) {
        QVERIFY(prompter.tookFocus); // the dialog really took the focus away, and gave no second refusal
        QCOMPARE(prompter.texts(), QStringList{kUnknown});
        QCOMPARE(window.code->text(), QString());
        QCOMPARE(window.name->text(), QString());
    } else {
        QVERIFY(prompter.texts().isEmpty());
        QCOMPARE(window.code->text(), typed);
    }
}

void CodeFieldTest::pageDownAsksThePicker() {
    ScriptedPrompter prompter;
    CodeField field;
    QLineEdit name;
    field.setLookup(groups(), &name, prompter);
    int picks = 0;
    field.setPicker([&] { ++picks; });
    QSignalSpy requested(&field, &CodeField::pickRequested);

    QTest::keyClick(&field, Qt::Key_PageDown);
    QCOMPARE(picks, 1);
    QCOMPARE(requested.count(), 1);
    QCOMPARE(field.text(), QString());

    // The chosen row fills both, its name winning over the lookup's.
    field.setCodeFromPicker(12, QStringLiteral("گروه آرايشي"));
    QCOMPARE(field.text(), QStringLiteral("12"));
    QCOMPARE(name.text(), QStringLiteral("گروه آرايشي"));
    QVERIFY(field.acceptCode());
}

// A look-up whose query fails while typing and leaving: the failure is reported, never thrown
// through the signal dispatch, and the field keeps the code and the focus until it succeeds.
void CodeFieldTest::failedLookupIsReported() {
    const QString failure = QStringLiteral("ارتباط با پايگاه داده قطع شده است");
    ScriptedPrompter prompter;
    Window window(prompter);
    bool serverDown = true;
    window.code->setLookup(
        [&](qint64 code) -> std::optional<QString> {
            if (serverDown) throw Error(failure);
            return groups()(code);
        },
        window.name, prompter);
    QVERIFY(ph::test::showActive(window.widget));
    window.code->setFocus();

    ph::test::typeText(window.code, QStringLiteral("1"));
    QCOMPARE(prompter.texts(ScriptedPrompter::Kind::ErrorReport), QStringList{failure});
    QCOMPARE(window.name->text(), QString());

    QTest::keyClick(window.code, Qt::Key_Return);
    QCOMPARE(focusName(window.widget), QStringLiteral("me_code_g"));
    QCOMPARE(window.code->text(), QStringLiteral("1"));
    QVERIFY(prompter.texts(ScriptedPrompter::Kind::Warning).isEmpty()); // not refused as unknown
    QCOMPARE(prompter.texts(ScriptedPrompter::Kind::ErrorReport).size(), 2);

    serverDown = false;
    QTest::keyClick(window.code, Qt::Key_Return);
    QCOMPARE(focusName(window.widget), QStringLiteral("next"));
    QCOMPARE(prompter.texts().size(), 2);
}

QTEST_MAIN(CodeFieldTest)
#include "code_field_test.moc"
