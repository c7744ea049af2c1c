// The run state of one rebuild: where the writer stands and what it has
// written so far. The save step resets it before a run; the writers fill it.
#pragma once

#include <cstdint>
#include <vector>

namespace vrz {

struct RebuildState {
    // Layout offset of the local header of the entry being copied.
    std::uint64_t scanPosition = 0;
    // Entries written so far; while an entry is copied, its 1-based number minus one.
    std::uint64_t entriesWritten = 0;
    // Output offset of the next entry; at the end, where the central directory starts.
    std::uint64_t centralDirOffset = 0;
    // Output offset of the entry whose central header was built last.
    std::uint64_t localHeaderOffset = 0;
    std::uint64_t centralDirSize = 0;
    // Every byte appended to the output, entries, central directory and end records.
    std::uint64_t bytesWritten = 0;
    // Length of each entry written, in output order, when RebuildOptions::keepEntryLengths asks.
    std::vector<std::uint64_t> entryLengths;
};

}  // namespace vrz
