// Decodes every row of the entry table and compares its CRC-32 and size with
// the stored ones, so each entry can be reported intact, damaged or not
// checked before anything is written. Rows are verified on several threads,
// each reading the source on its own with fixed buffers; every pass stops at
// the job's cancel flag and waits at its pause gate.
#pragma once

#include <atomic>
#include <cstddef>

#include "state/JobState.h"

namespace vrz {

struct VerifyOptions {
    // false: only read each row's local header (method, flags, the name the
    // repair writes) and leave the status unverified.
    bool decode = true;
    // The share of a progress bar this pass moves through.
    int percentFrom = 0;
    int percentTo = 100;
    std::atomic<int>* percent = nullptr;  // state.progressPercent when null
    // Threads that verify; 0 is one per CPU the process may use.
    std::size_t threads = 0;
};

// Fills row.check for every row of state.entries. False only when cancelled;
// a row whose bytes cannot be read is reported as such and the pass goes on.
// The result is the same whatever the thread count.
bool VerifyEntries(JobState& state, const VerifyOptions& options);

}  // namespace vrz
