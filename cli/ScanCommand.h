#pragma once

#include <cstddef>
#include <string>

#include "state/JobState.h"

namespace vrz::cli {

struct ScanRequest {
    std::string path;
    bool json = false;
    bool verify = false;
    // Threads that decode and verify; 0: one per CPU the process may use.
    std::size_t threads = 0;
};

// Fills state by scanning the file or split folder at path; prints failures.
// cancelText is what a Ctrl-C prints. Returns 0, 1 on failure, 130 when interrupted.
int RunScan(const std::string& path, JobState& state, std::size_t threads, const std::string& cancelText);

// Reads every row's local header and, when decode is set, decodes the row's
// data on threads threads (0: one per CPU); with salvage, also plans what cut
// entries still hold. Same returns.
int RunVerification(JobState& state, bool decode, bool salvage, std::size_t threads, const std::string& cancelText);

int ScanCommand(const ScanRequest& request);

}  // namespace vrz::cli
