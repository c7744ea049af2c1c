// Turns SIGINT, SIGTERM and SIGHUP into a request to stop that the running
// job polls, so every way of stopping the program ends through the same
// clean cancel; and ignores SIGXFSZ, so that a file-size limit makes a write
// fail with EFBIG instead of killing the program with its output half done.
#pragma once

#include <atomic>

namespace vrz::cli {

// Installs the handlers for the rest of the process; call once, early.
void InstallInterruptHandlers();

// True once one of the signals has arrived.
bool InterruptRequested();

// While set, the handler itself also stores false into *running, so the
// job stops at its very next poll, whichever thread took the signal.
// Pass nullptr to clear it before *running goes away.
void SetInterruptTarget(std::atomic<bool>* running);

}  // namespace vrz::cli
