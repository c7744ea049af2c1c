// Steps over a central directory met by a scan: its file headers, then the
// ZIP64 end record, its locator and the end record where they follow. The
// records read on the way are kept, since what survives of them tells what
// local headers cannot.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "records/CentralRecord.h"

namespace vrz {

struct WalkedDirectory {
    std::uint64_t start = 0;  // layout offset of the first file header
    std::uint64_t end = 0;    // first byte after the last record stepped over
    std::vector<CentralRecord> records;
    bool hasEndRecord = false;
    // From the end record: where the archive said its directory starts, and its comment.
    std::uint64_t statedOffset = 0;
    std::string archiveComment;
    // A record's comment ran over the next record or past the bytes: its
    // length was cut, and the directory is known to be damaged.
    bool lengthsCut = false;
};

// Reads [offset, offset + length) of the layout; nullptr when out of range.
using ByteFetch = std::function<const std::uint8_t*(std::uint64_t offset, std::size_t length)>;

// Walks the records from start (which holds a central header signature) up
// to limit. Records that run past limit end the walk.
WalkedDirectory WalkCentralDirectory(const ByteFetch& fetch, std::uint64_t start, std::uint64_t limit);

}  // namespace vrz
