// The records after the central directory: the ZIP64 end record and its
// locator when counts, sizes or offsets outgrow the classic fields, then the
// end of central directory record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vrz {

struct CentralDirectorySummary {
    std::uint64_t entryCount = 0;
    std::uint64_t size = 0;
    std::uint64_t offset = 0;
    // Written as version made by and version needed of the ZIP64 end record.
    std::uint16_t zip64Version = 0;
    // The archive comment, after the end record (cut to 65535 bytes).
    std::string comment;
};

bool NeedsZip64EndRecords(const CentralDirectorySummary& directory);

// Appends [ZIP64 end record, ZIP64 locator,] end record to out.
void AppendEndRecords(const CentralDirectorySummary& directory, std::vector<std::uint8_t>* out);

// A split archive's ZIP64 end record names version 4.5 where the last local
// header asked for 6.3; the host byte stays.
std::uint16_t SplitArchiveZip64Version(std::uint16_t versionNeeded);

}  // namespace vrz
