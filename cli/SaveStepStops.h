// Lets the interruption tests stop the program at a named step at the end of
// a save (ZIPREPAIR_TEST_STOP_AT=sync, name or named): the process stops
// itself there with SIGSTOP; the test sends its signal to the stopped
// writer thread and then SIGCONT. The handler runs on that thread before it
// goes on, so each step is hit exactly rather than by timing.
#pragma once

namespace vrz::cli {

void StopAtSaveStepIfAsked(const char* step);

}  // namespace vrz::cli
