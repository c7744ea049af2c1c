#pragma once

#include "scan/EntryScanner.h"
#include "state/JobReporter.h"
#include "state/JobState.h"

namespace vrz {

// Scans the parts of the split archive in the folder state.sourcePath, of the
// family state.splitIsZipx, as one stream: entries may cross from one part
// into the next, but not across a missing part. False when a part cannot be
// opened ("IDS_FAILEDFILE") or the job was cancelled.
bool ScanSplitArchive(JobState& state, JobReporter& reporter, const ScanOptions& options = {});

}  // namespace vrz
