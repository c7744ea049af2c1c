#pragma once

#include <string>

#include "state/JobState.h"

namespace vrz::cli {

struct ScanRequest {
    std::string path;
    bool json = false;
    bool verify = false;
};

// Fills state by scanning the file or split folder at path; prints failures.
// cancelText is what a Ctrl-C prints. Returns 0, 1 on failure, 130 when interrupted.
int RunScan(const std::string& path, JobState& state, const std::string& cancelText);

// Reads every row's local header and, when decode is set, decodes the row's
// data; with salvage, also plans what cut entries still hold. Same returns.
int RunVerification(JobState& state, bool decode, bool salvage, const std::string& cancelText);

int ScanCommand(const ScanRequest& request);

}  // namespace vrz::cli
