#pragma once

#include <QKeyEvent>

// The key tests the windows share, so that "Enter" and "a plain key" mean the same everywhere.
namespace ph {

// Return on the main keyboard or Enter on the keypad.
inline bool isEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

inline bool isEnter(const QKeyEvent* event) {
    return isEnterKey(event->key());
}

// The modifiers held with the key, the keypad's own flag left out.
inline Qt::KeyboardModifiers keyModifiers(const QKeyEvent* event) {
    return event->modifiers() & ~Qt::KeypadModifier;
}

// A key pressed with no modifier (a keypad key counts as plain).
inline bool isPlain(const QKeyEvent* event) {
    return keyModifiers(event) == Qt::NoModifier;
}

inline bool isPlainKey(const QKeyEvent* event, int key) {
    return event->key() == key && isPlain(event);
}

} // namespace ph
