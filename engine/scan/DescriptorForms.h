// Reads a data descriptor at a position in any of its four forms (with or
// without signature, 32- or 64-bit sizes) and picks the form that agrees with
// what is known of the entry's data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "io/SourceReader.h"

namespace vrz {

struct DescriptorValues {
    std::uint64_t at = 0;
    std::size_t length = 0;  // 12, 16, 20 or 24
    std::uint32_t crc32 = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
};

struct DescriptorExpectation {
    // Bytes of data between the end of the local header and the descriptor.
    std::uint64_t dataLength = 0;
    // Set when the data was decoded: the descriptor must state what came out.
    bool decoded = false;
    std::uint32_t decodedCrc = 0;
    std::uint64_t decodedSize = 0;
    // Stored and not encrypted: both sizes are the data's length.
    bool storedPlain = false;
    // The local header carried a ZIP64 field: try the 64-bit forms first.
    bool zip64First = false;
    // Forms without signature are taken only where decoding vouches for them.
    bool allowBare = false;
};

// True when a descriptor at `at` (ending by runEnd) agrees with expect. Where
// several forms agree, the one after which the next record begins (or the
// bytes end) wins.
bool ReadAgreeingDescriptor(SourceReader& reader, std::uint64_t at, std::uint64_t runEnd,
                            const DescriptorExpectation& expect, DescriptorValues* out);

}  // namespace vrz
