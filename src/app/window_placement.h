#pragma once

#include <QRect>
#include <QtGlobal>
#include <QScreen>
#include <QWidget>

namespace ph {

// Puts a top-level window in the middle of the screen it opens on, unless it has been
// placed already (WA_Moved). With no window manager (a kiosk, a remote session) nothing
// else places it, and it would sit in the top-left corner. Called from the showing step,
// before the window reaches the screen; the move marks it placed, so later showings
// leave it where it is.
inline void centreOnScreenOnce(QWidget& window) {
    if (window.testAttribute(Qt::WA_Moved))
        return;
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    frame.moveCenter(available.center());
    // A window larger than the screen keeps its title bar and first column on it.
    window.move(qMax(frame.left(), available.left()), qMax(frame.top(), available.top()));
}

} // namespace ph
