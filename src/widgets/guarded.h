#pragma once

#include <QString>

#include <exception>
#include <functional>

namespace ph {

class Prompter;

// The message shown for a failure the program did not foresee (running out of memory,
// a library's own exception), so that it ends the command and not the program.
QString unexpectedFailureMessage(const std::exception& error);

// Runs one command's work; a failure (a refused statement, a value that does not convert,
// any other exception) stops the command and is shown in the general error report.
// False when it failed.
bool guarded(Prompter& prompter, const std::function<void()>& work);

} // namespace ph
