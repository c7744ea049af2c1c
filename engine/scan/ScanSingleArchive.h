#pragma once

#include "scan/EntryScanner.h"
#include "state/JobReporter.h"
#include "state/JobState.h"

namespace vrz {

// Files of this size or less are refused: they cannot hold one local header
// with a one-byte name.
constexpr std::uint64_t kSmallestRefusedSize = 30;

// Scans the archive file state.sourcePath and fills the table. False when the
// file cannot be opened ("IDS_FAILEDFILE"), is too small to hold one local
// header ("IDS_WORD9"), or the job was cancelled.
bool ScanSingleArchive(JobState& state, JobReporter& reporter, const ScanOptions& options = {});

}  // namespace vrz
