// Walks a source layout for local file headers without trusting any central
// directory, and fills the recovered entry table. Shared by the single and
// the split scan. A central directory met on the way is stepped over (more
// archives or entries may follow it); what survives of its records is then
// matched to the entries found.
#pragma once

#include <cstddef>
#include <cstdint>

#include "io/SourceReader.h"
#include "state/JobReporter.h"
#include "state/JobState.h"

namespace vrz {

struct ScanOptions {
    std::size_t windowSize = SourceReader::kDefaultWindow;
    // Pause after progress moved on by more than one percent (split scans).
    bool paceProgress = false;
    // Work allowed to refused candidates besides a fixed multiple of the
    // input (see ScanWork); tests lower it to see the multiple at work.
    std::uint64_t refusedWorkFloor = std::uint64_t{64} << 20;
    // Threads that decode streamed entries ahead of the walk: 0 one per
    // usable CPU, 1 none (the walk decodes each one itself).
    std::size_t threads = 0;
};

// Scans state.scanLayout, appending rows to state.entries and what it refused
// or cut to state.findings. False when cancelled or when a part cannot be
// read (reported as "IDS_FAILEDFILE").
bool ScanLayout(JobState& state, JobReporter& reporter, const ScanOptions& options);

}  // namespace vrz
