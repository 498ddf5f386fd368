#pragma once

namespace sorvo::browser {

class BrowserModule;

// The browser engine's module, loaded on the first call. It is looked for only where it is
// installed, in the program's library folder relative to the program, or beside the program,
// where a build tree puts it. When it cannot be loaded, the reason goes to the error output
// and the result is null.
BrowserModule* browserModule();

} // namespace sorvo::browser
