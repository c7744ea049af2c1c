#pragma once

#include <string>

namespace vrz::cli {

struct RepairRequest {
    std::string path;
    // Where the repaired archive goes; empty: beside the archive, or for a
    // split archive into the folder of its parts.
    std::string outputFolder;
};

// Scans, then writes the repaired archive. Prints its path and a summary.
// Returns 0 on success, 1 on failure, 130 when interrupted.
int RepairCommand(const RepairRequest& request);

}  // namespace vrz::cli
