#pragma once

#include "widgets/keys.h"

#include <QLabel>
#include <QPushButton>

// Small pieces every shared dialog is built from, so their buttons and keys behave alike.
namespace ph::dialog_parts {

using ph::isEnter;

// Buttons never become the dialog's default: Enter is handled by each dialog's own key
// routine, which presses the button that has the focus.
inline QPushButton* makeButton(const QString& text, const QString& objectName, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

inline QLabel* makeLabel(const QString& text, const QString& objectName, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

// A framed text area, the way the dialogs show their message.
inline QLabel* makeMessagePanel(const QString& text, const QString& objectName, QWidget* parent) {
    auto* panel = makeLabel(text, objectName, parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    panel->setWordWrap(true);
    panel->setMinimumSize(320, 60);
    panel->setMargin(8);
    return panel;
}

// Presses the button that has the focus, if any; true when one was pressed.
inline bool pressFocusedButton(QWidget* dialog) {
    auto* button = qobject_cast<QPushButton*>(dialog->focusWidget());
    if (!button || !button->isVisible() || !button->isEnabled()) return false;
    button->click();
    return true;
}

} // namespace ph::dialog_parts
