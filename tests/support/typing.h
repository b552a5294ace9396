#pragma once

#include <QString>

class QWidget;

namespace ph::test {

// Types text one key event per character, so Persian text and field key filters are
// exercised as a user's typing would (QTest::keyClicks cannot type Persian).
void typeText(QWidget* widget, const QString& text);

// As typeText, with "\b" standing for Backspace.
void typeKeys(QWidget* widget, const QString& keys);

} // namespace ph::test
