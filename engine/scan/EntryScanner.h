// Walks a source layout for local file headers without trusting any central
// directory, and fills the recovered entry table. Shared by the single and
// the split scan; they differ only in what a central directory header ends.
#pragma once

#include <cstddef>
#include <cstdint>

#include "io/SourceReader.h"
#include "state/JobReporter.h"
#include "state/JobState.h"

namespace vrz {

struct ScanOptions {
    std::size_t windowSize = SourceReader::kDefaultWindow;
    // Split archives: a central directory header ends only its own part, since
    // later parts may still hold entries. A single archive ends there.
    bool centralHeaderEndsPartOnly = false;
    // Pause after progress moved on by more than one percent (split scans).
    bool paceProgress = false;
};

// Scans state.scanLayout, appending rows to state.entries. False when
// cancelled or when a part cannot be read (reported as "IDS_FAILEDFILE").
bool ScanLayout(JobState& state, JobReporter& reporter, const ScanOptions& options);

}  // namespace vrz
