#pragma once

class QApplication;

namespace ph {

// Makes the bundled fonts and help page reachable; the resources live in this static
// library, so they must be registered before first use. Safe to call any number of times.
void initWidgetResources();

// The program's look: the bundled Persian font as the application font, and right-to-left
// layout. Safe to call more than once.
void applyPersianLook(QApplication& app);

} // namespace ph
