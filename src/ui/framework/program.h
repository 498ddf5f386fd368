#pragma once

// Start and end of a process that shows the program's windows.
namespace sorvo::ui::program {

// What every process that shows the program's windows sets up before its application object
// exists: the browser engine's needs and one OpenGL context shared by all windows.
void prepareProcess();

// What it sets up right after: the program's names and its desktop entry, what screen readers
// see of the framework's widgets, and that hiding the last window does not end the program.
void configureApplication();

// Runs the event loop until something asks the program to quit, and returns its exit code once
// the windows already on their way out have gone. What the program still holds, its owner then
// takes down before the application object: the browser engine must outlive no page of it.
int run();

// Asks the program to end: the event loop is left once the handler that asks has returned.
void quit();

} // namespace sorvo::ui::program
