#pragma once

#include "scan/EntryScanner.h"
#include "state/JobReporter.h"
#include "state/JobState.h"

namespace vrz {

// Files of this size or less are refused as too small to hold an archive.
constexpr std::uint64_t kSmallestRefusedSize = 100;

// Scans the archive file state.sourcePath and fills the table. False when the
// file cannot be opened ("IDS_FAILEDFILE"), holds 100 bytes or less
// ("IDS_WORD9"), or the job was cancelled.
bool ScanSingleArchive(JobState& state, JobReporter& reporter, const ScanOptions& options = {});

}  // namespace vrz
