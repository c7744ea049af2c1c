// A central directory file header as read back from a damaged archive. The
// scans never trust the central directory to find entries; what survives of
// it only adds what local headers cannot say (host, attributes, comments).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vrz {

struct CentralRecord {
    std::uint16_t versionMadeBy = 0;
    std::uint16_t versionNeeded = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t modTime = 0;
    std::uint16_t modDate = 0;
    std::uint32_t crc32 = 0;
    // With the ZIP64 values applied where the 32-bit fields are marked.
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint64_t localHeaderOffset = 0;
    std::uint32_t diskStart = 0;
    std::uint16_t internalAttributes = 0;
    std::uint32_t externalAttributes = 0;
    std::string name;
    std::vector<std::uint8_t> extra;
    std::string comment;

    // Where the record stood in the scan's source layout.
    std::uint64_t recordOffset = 0;
};

// Length of the variable part (name, extra field, comment) that follows the
// 46 fixed bytes at fixed (the caller has checked the signature).
std::size_t CentralRecordVariableLength(const std::uint8_t* fixed);

// Reads the record from its 46 fixed bytes and the variable part.
CentralRecord ReadCentralRecord(const std::uint8_t* fixed, const std::uint8_t* variable);

}  // namespace vrz
