// What the end record in the last part of a split archive says about the
// parts before it: its own disk number (the count of parts before it), and,
// when the central directory lies in that part, where each entry's local
// header starts (disk and offset). Read before the scan, to tell a part from
// a stray file that took its number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vrz {

struct SplitEndRecord {
    bool found = false;
    std::uint32_t disk = 0;  // the part that holds the record, counted from 0
    std::uint32_t directoryDisk = 0;
    std::uint64_t directoryOffset = 0;
    std::uint64_t directorySize = 0;
};

// The last end record in the final bytes of the file; found false without one.
SplitEndRecord ReadSplitEndRecord(const std::string& path);

// False when the end record puts the central directory in this file (whose
// first byte is byte fileStart of the directory's disk) but no central header
// starts there: bytes before it were lost or put in. True where it cannot tell.
bool DirectoryWhereStated(const std::string& path, const SplitEndRecord& end, std::uint64_t fileStart);

struct HeaderSpot {
    std::uint32_t disk = 0;
    std::uint64_t offset = 0;  // from the start of that disk
    // What the record says of the entry's data, to check it against.
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t crc32 = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
};

// The local header places the central records name, read from the file at
// path, whose first byte is byte fileStart of the directory's disk. Empty
// when the directory does not lie wholly in that file or is implausibly large.
std::vector<HeaderSpot> ReadHeaderSpots(const std::string& path, const SplitEndRecord& end, std::uint64_t fileStart);

}  // namespace vrz
