#pragma once

#include <cstddef>
#include <string>

namespace vrz::cli {

struct RepairRequest {
    std::string path;
    // Where the repaired archive goes; empty: beside the archive, or for a
    // split archive into the folder of its parts.
    std::string outputFolder;
    bool json = false;
    bool skipDamaged = false;
    bool salvage = false;
    // Threads that verify; 0: one per CPU the process may use.
    std::size_t threads = 0;
};

// Exit statuses of a repair.
constexpr int kExitWritten = 0;
constexpr int kExitFailure = 1;
constexpr int kExitWrittenWithDamage = 3;
constexpr int kExitNothingRecoverable = 4;
constexpr int kExitInterrupted = 130;

// Scans, verifies every entry, then writes the repaired archive and reports
// each entry's status.
int RepairCommand(const RepairRequest& request);

}  // namespace vrz::cli
