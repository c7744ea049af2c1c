// The variable-size fields few rows need, kept beside the entry table rather
// than in every row: a table of millions of entries would otherwise carry a
// string and two vectors a row, nearly all of them empty.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace vrz {

// A row's extrasIndex when it has none.
constexpr std::uint32_t kNoExtras = std::numeric_limits<std::uint32_t>::max();

struct EntryExtras {
    // The surviving central record's entry comment.
    std::string comment;
    // Extra blocks only the central record carries that readers need (the
    // strong-encryption header), appended to the rebuilt central header.
    std::vector<std::uint8_t> centralOnlyExtra;
    // For an entry whose local header was damaged and is written afresh from
    // its central record: the new header (30 bytes, name, extra field), and
    // where the data it precedes lies (compressedSize bytes). Empty for
    // entries copied as found.
    std::vector<std::uint8_t> localRecordOverride;
    std::uint64_t dataOffset = 0;
};

}  // namespace vrz
