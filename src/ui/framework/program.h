#pragma once

#include <functional>

// Start and end of a process that shows the program's windows.
namespace sorvo::ui::program {

// What every process that shows the program's windows sets up before its application object
// exists: the browser engine's needs and one OpenGL context shared by all windows.
void prepareProcess();

// What it sets up right after: the program's names and its desktop entry, what screen readers
// see of the framework's widgets, and that hiding the last window does not end the program.
void configureApplication();

// Runs the event loop until something asks the program to quit, then the one teardown: `release`
// (the program's state), the tray icons taken away, and the process ends with exit code 0.
// Nothing else of the program runs after the loop.
[[noreturn]] void runUntilQuit(const std::function<void()>& release);

// Asks the program to end: the event loop is left once the handler that asks has returned.
void quit();

} // namespace sorvo::ui::program
