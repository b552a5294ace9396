#pragma once

#include <QLineEdit>

namespace ph {

// Password fields show one "*" per typed character, whatever the platform's own mask is.
inline void showAsStars(QLineEdit* edit) {
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
}

} // namespace ph
