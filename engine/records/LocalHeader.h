// The local file header as the scans and writers see it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/ZipConstants.h"

namespace vrz {

struct LocalHeader {
    std::uint16_t versionNeeded = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t modTime = 0;
    std::uint16_t modDate = 0;
    std::uint32_t crc32 = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint16_t nameLength = 0;
    std::uint16_t extraLength = 0;
    // A ZIP64 extended information field stands among the extra fields; such
    // an entry's data descriptor, if any, normally has the 24-byte form.
    bool zip64Extra = false;

    bool HasDataDescriptor() const { return (flags & zip::kFlagDataDescriptor) != 0; }
    std::uint64_t HeaderLength() const {
        return zip::kLocalHeaderSize + std::uint64_t{nameLength} + extraLength;
    }
    // Header, name, extra field and data, without any data descriptor.
    std::uint64_t LengthWithData() const { return HeaderLength() + compressedSize; }
};

// Reads the 30 fixed bytes at p (the caller has checked the signature).
LocalHeader ReadLocalHeaderFixed(const std::uint8_t* p);

// Takes the 64-bit sizes from a ZIP64 extended information field wherever it
// stands among the extra fields. A local header's ZIP64 field carries the
// uncompressed size, then the compressed size; each replaces the 32-bit field
// only where that holds 0xFFFFFFFF.
void ApplyZip64Extra(LocalHeader& header, const std::uint8_t* extra, std::size_t extraLength);

// Finds the data of the extra block with the given id; returns false when absent.
bool FindExtraBlock(const std::uint8_t* extra, std::size_t extraLength, std::uint16_t id,
                    const std::uint8_t** data, std::size_t* dataLength);

}  // namespace vrz
