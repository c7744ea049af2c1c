// Turns a path from the command line into a job: a file is one archive, a
// folder holds the parts of a split archive.
#pragma once

#include <cstddef>
#include <string>

#include "state/JobReporter.h"
#include "state/JobState.h"

namespace vrz::cli {

// Sets up state for path. False (after printing why) when it cannot be used.
bool PrepareSource(const std::string& path, JobState& state, JobReporter& reporter);

// Runs the scan that fits the prepared source; threads decode streamed
// entries ahead of it (0: one per CPU).
bool RunSourceScan(JobState& state, JobReporter& reporter, std::size_t threads);

}  // namespace vrz::cli
