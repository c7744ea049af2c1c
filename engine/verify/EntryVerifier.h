// Decodes every row of the entry table and compares its CRC-32 and size with
// the stored ones, so each entry can be reported intact, damaged or not
// checked before anything is written. Runs on the worker, streams with fixed
// buffers and stops at the job's cancel flag.
#pragma once

#include <atomic>

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
};

// Fills row.check for every row of state.entries. False only when cancelled;
// a row whose bytes cannot be read is reported as such and the pass goes on.
bool VerifyEntries(JobState& state, const VerifyOptions& options);

}  // namespace vrz
