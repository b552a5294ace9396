#pragma once

namespace ph {

struct AppContext;
class Clock;
class Database;
class Picker;
class Prompter;
}

class QSettings;

namespace ph {

// What every window is handed when it is made: the main context, the one connection,
// the shared dialogs, the clock and the lookup picker. The application owns them all.
struct WindowContext {
    AppContext& context;
    Database& db;
    Prompter& prompter;
    const Clock& clock;
    Picker* picker = nullptr; // the shared lookup picker
    // This workstation's settings (a file in the working folder); none in most tests.
    QSettings* settings = nullptr;
};

} // namespace ph
