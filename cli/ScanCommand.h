#pragma once

#include <string>

#include "state/JobState.h"

namespace vrz::cli {

struct ScanRequest {
    std::string path;
    bool json = false;
};

// Fills state by scanning the file or split folder at path; prints failures.
// Returns 0 on success, 1 on failure, 130 when interrupted.
int RunScan(const std::string& path, JobState& state);

int ScanCommand(const ScanRequest& request);

}  // namespace vrz::cli
