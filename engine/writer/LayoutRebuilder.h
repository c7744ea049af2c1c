// The one rebuild behind both writers: copies exactly the rows of the entry
// table, in table order, from the scan's source layout into a new archive,
// then writes a fresh central directory and the end records.
#pragma once

#include <cstddef>
#include <functional>

#include "state/JobReporter.h"
#include "state/JobState.h"
#include "writer/RebuildState.h"

namespace vrz {

struct RebuildOptions {
    // Size of the read window, the output buffer and the central directory
    // buffer. Large blocks keep a rebuild close to the speed of a file copy.
    std::size_t blockSize = std::size_t{4} << 20;
    // Split archives write version 6.3 as 4.5 in the ZIP64 end record.
    bool splitArchive = false;
    // Fill RebuildState::entryLengths, for checks of the output; a repair
    // does not need them and saves 8 bytes an entry.
    bool keepEntryLengths = false;
    // Set when the rows are still being verified while the rebuild copies
    // them: waitForRow(index) returns once that row is verified (false when
    // the verification stopped first); waitForAll once every row is. Rows
    // are copied without waiting unless state.skipDamaged needs a row's
    // status; the output is named only after the whole table is verified.
    std::function<bool(std::size_t)> waitForRow;
    std::function<bool()> waitForAll;
};

// Writes state.outputPath (see RebuildArchive.h for the contract). run, when
// given, receives the run state as it stood at the end. Rows a verification
// found damaged are left out when state.skipDamaged is set; when that leaves
// nothing to write, the rebuild returns false without a report and leaves
// nothing behind.
bool RebuildLayout(JobState& state, JobReporter& reporter, const RebuildOptions& options, RebuildState* run);

}  // namespace vrz
