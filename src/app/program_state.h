#pragma once

namespace sorvo::app {

// Creates the program-wide state: the download component instance and its settings record.
void initProgramState();

// Releases it at the end of the program: the download component first, then the texts and the
// settings record. Runs once, whichever way the program ends.
void releaseProgramState();

} // namespace sorvo::app
