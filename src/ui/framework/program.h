#pragma once

#include <functional>

// Start, waits and end of the program. Every way out runs the end routine exactly once and
// leaves with the given exit code.
namespace sorvo::ui::program {

// What every process that shows the program's windows sets up before its application object
// exists: the browser engine's needs and one OpenGL context shared by all windows.
void prepareProcess();

// What it sets up right after: the program's names and its desktop entry, and that hiding the
// last window does not end the program.
void configureApplication();

// The routine to run when the program ends, whichever way it ends.
void setEndRoutine(std::function<void()> routine);

// Runs the window message loop until the application quits, then the end routine; returns the
// exit code for main.
int runMessageLoop();

// Ends the program from anywhere, a handler or a nested loop included: runs the end routine,
// takes the tray icons away and exits. No handler runs after it.
[[noreturn]] void end(int exitCode);

// Waits `ms` milliseconds while window messages keep being processed.
void waitProcessingMessages(int ms);

// Processes the window messages that are pending now.
void processPendingMessages();

// Waits `ms` milliseconds without processing anything.
void plainWait(int ms);

} // namespace sorvo::ui::program
