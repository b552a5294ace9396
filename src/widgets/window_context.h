#pragma once

namespace ph {

struct AppContext;
class Clock;
class Database;
class Prompter;

// What every window is handed when it is made: the main context, the one connection,
// the shared dialogs and the clock. The application owns them all.
struct WindowContext {
    AppContext& context;
    Database& db;
    Prompter& prompter;
    const Clock& clock;
};

} // namespace ph
