#pragma once

#include "catalogue/ui/barcode_box.h"
#include "core/scripted_prompter.h"
#include "lots/barcodes.h"
#include "print/report.h"
#include "support/window_fixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

// The barcode box of a catalogue window, driven by keys alone: Ctrl+B, typing (as a scanner
// types) and Enter adds; another item's barcode is refused with its message; Down and Delete
// remove after the question, which "no" declines; F5 prints the selected one's label. `item` is
// the item the window shows.
namespace ph::test {

inline void keepBarcodesByKeyboard(QWidget& window, Database& db, ScriptedPrompter& prompter, double item,
                                   double otherItem) {
    BarcodeStore(db).add(otherItem, QStringLiteral("4006381333931"));
    prompter.clear();
    press(window, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(focusName(window), QStringLiteral("me_barcode"));
    auto* entry = child<QLineEdit>(window, QStringLiteral("me_barcode"));
    auto* list = child<QListWidget>(window, QStringLiteral("lst_barcode"));
    for (const QString& code : {QStringLiteral("5901234123457"), QStringLiteral("ABC-1")}) {
        typeIn(window, code);
        press(window, Qt::Key_Return);
    }
    QCOMPARE(entry->text(), QString());
    QCOMPARE(BarcodeStore(db).barcodesOf(item), (QStringList{QStringLiteral("05901234123457"), QStringLiteral("ABC-1")}));
    QCOMPARE(list->count(), 2);

    typeIn(window, QStringLiteral("4006381333931"));
    press(window, Qt::Key_Return);
    QCOMPARE(prompter.texts(ScriptedPrompter::Kind::Warning),
             QStringList{QStringLiteral("اين باركد متعلق به كالاي ديگري است (كد %1)").arg(qint64(otherItem))});
    QCOMPARE(BarcodeStore(db).barcodesOf(item).size(), 2);

    entry->clear();
    press(window, Qt::Key_Down);
    QCOMPARE(focusName(window), QStringLiteral("lst_barcode"));
    prompter.answerNo();
    press(window, Qt::Key_Delete);
    QCOMPARE(list->count(), 2);
    prompter.answerYes();
    press(window, Qt::Key_Delete);
    QCOMPARE(prompter.texts(ScriptedPrompter::Kind::YesNo).size(), 2);
    QCOMPARE(BarcodeStore(db).barcodesOf(item), QStringList{QStringLiteral("ABC-1")});
    QCOMPARE(list->count(), 1);

    std::optional<print::Report> label;
    child<BarcodeBox>(window, QStringLiteral("box_barcode"))
        ->setLabelOutput([&label](QWidget*, const print::Report& report) { label.emplace(report); });
    press(window, Qt::Key_F5);
    QVERIFY(label);
    QCOMPARE(label->data().values.value(QStringLiteral("digits")), QStringLiteral("ABC-1"));
    QVERIFY(!label->data().pictures.value(QStringLiteral("barcode")).isNull());
}

} // namespace ph::test
