// Writes what a salvage recovered of one cut entry as a new entry of its own,
// "#Partial Files/" + its full name: stored data as the bytes present, any
// other method as the decodable beginning, deflated again (with a data
// descriptor, since its compressed size is known only at the end).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "state/PartialEntry.h"
#include "writer/LayoutBlockReader.h"

namespace vrz {

enum class PartialWriteResult { kWritten, kSourceFailed, kOutputFailed, kCancelled };

struct PartialWriteTarget {
    // Appends to the output; false when the output failed.
    std::function<bool(const std::uint8_t*, std::size_t)> append;
    std::function<bool()> mayContinue;
    // Where the local header goes in the output.
    std::uint64_t outputOffset = 0;
    // The output may reach 4 GiB: sizes then always get ZIP64 room.
    bool largeArchive = false;
};

struct PartialWriteOutcome {
    std::uint64_t entryLength = 0;  // local header, data and descriptor
    std::uint16_t versionNeeded = 0;
    std::vector<std::uint8_t> centralHeader;
};

PartialWriteResult WritePartialEntry(LayoutBlockReader& source, const PartialEntry& partial,
                                     const PartialWriteTarget& target, PartialWriteOutcome* outcome);

}  // namespace vrz
