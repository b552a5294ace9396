#pragma once

#include "core/app_context.h"
#include "db/database.h"

#include <QString>

#include <memory>
#include <optional>

namespace ph {

class Prompter;

// Brings the program from launch to a login window that stands on an open connection:
// connect from ci.txt (or the embedded database), create or upgrade the schema, make
// sure the pharmacy's identity and a first user exist, and load the social-security
// insurer codes. The first failing step stops the sequence with the general error
// report; what the earlier steps prepared stays.
class StartupSequence {
public:
    enum class Outcome {
        Ready,  // the login window waits for a user
        Quit,   // the user declined a required first-start question: the program ends
        Failed, // a step failed and was reported; the login window still shows
    };

    StartupSequence(AppContext& context, Prompter& prompter, QString workingDir)
        : m_context(context), m_prompter(prompter), m_workingDir(std::move(workingDir)) {}

    Outcome run();

    // The connection opened by run(); null when connecting failed.
    Database* database() const { return m_db.get(); }
    std::unique_ptr<Database> takeDatabase() { return std::move(m_db); }
    // The code given to the first user when run() created one: the login window offers it.
    std::optional<int> firstUserCode() const { return m_firstUserCode; }

private:
    Outcome runSteps();
    Outcome ensureIdentity();
    Outcome ensureFirstUser();

    AppContext& m_context;
    Prompter& m_prompter;
    QString m_workingDir;
    std::unique_ptr<Database> m_db;
    std::optional<int> m_firstUserCode;
};

} // namespace ph
