#pragma once

#include <functional>

namespace ph {

class Prompter;

// Runs one command's work; a failure (a refused statement, a value that does not convert)
// stops the command and is shown in the general error report. False when it failed.
bool guarded(Prompter& prompter, const std::function<void()>& work);

} // namespace ph
