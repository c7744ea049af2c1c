// Runs one engine job on a worker thread while the main thread shows progress
// on a terminal and turns Ctrl-C into a clean cancel.
#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace vrz::cli {

// Runs job on a worker; while it runs, prints "label NN%" to stderr when that
// is a terminal, reading *percent. An interrupt (see InterruptSignals.h)
// stores false into *running. Returns the job's result and sets
// *interrupted when an interrupt arrived.
bool RunWithProgress(const std::function<bool()>& job, const std::atomic<int>& percent,
                     std::atomic<bool>& running, const std::string& label, bool* interrupted);
// The same, for a job whose percentage is computed from several counters.
bool RunWithProgress(const std::function<bool()>& job, const std::function<int()>& percent,
                     std::atomic<bool>& running, const std::string& label, bool* interrupted);

}  // namespace vrz::cli
