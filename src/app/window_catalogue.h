#pragma once

class QString;

namespace ph {

class WindowRegistry;
class Tf_main;
struct WindowContext;

// Registers every window of the program with the main window's registry, and the
// main window's own commands that need more than the main window knows.
void registerWindows(WindowRegistry& registry, const WindowContext& windows, const QString& workingDir,
                     Tf_main& main);

} // namespace ph
