#pragma once

#include "scan/EntryScanner.h"
#include "state/JobReporter.h"
#include "state/JobState.h"

namespace vrz {

// Scans the parts of the split archive in the folder state.sourcePath, of the
// family state.splitIsZipx, as one stream: entries may cross from one part
// into the next, but not across a missing part. Where a part's size disagrees
// with the set's, a first scan shows where its bytes join (SplitJoins.h) and
// the set is scanned again with those joins. Files that took a part's name
// are set aside and noted as findings. False when a part cannot be opened
// ("IDS_FAILEDFILE") or the job was cancelled.
bool ScanSplitArchive(JobState& state, JobReporter& reporter, const ScanOptions& options = {});

}  // namespace vrz
