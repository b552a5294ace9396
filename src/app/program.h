#pragma once

namespace ph {

// How the program ends: when the user closes the login window, or as soon as the login
// window is ready for the user's code (to time the start).
enum class ProgramEnd { WhenClosed, WhenReady };

// The pharmacy program from launch: the application, its look and translations, the
// workstation's settings, the login window and, behind it, every other window.
// Returns the process's exit status.
int runProgram(int argc, char** argv, ProgramEnd end = ProgramEnd::WhenClosed);

} // namespace ph
