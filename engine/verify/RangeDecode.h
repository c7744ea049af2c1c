// Feeds one range of the source layout through an entry decoder, a block at
// a time, so memory stays flat whatever the entry's size.
#pragma once

#include <cstdint>
#include <functional>

#include "codec/EntryDecoder.h"
#include "writer/LayoutBlockReader.h"

namespace vrz {

enum class RangeDecodeEnd {
    kStreamEnded,  // the compressed stream ended inside the range
    kRanOut,       // the range was used up first (the normal end of stored data)
    kCorrupt,      // the decoder refused the data (or passed its declared size)
    kCancelled,    // mayContinue said stop
    kUnreadable,   // the source could not be read
};

struct RangeDecodeHooks {
    // Asked before every block, and by the decoder every few MiB of output.
    std::function<bool()> mayContinue;
    // Told how many source bytes each block took.
    std::function<void(std::uint64_t)> advanced;
};

RangeDecodeEnd DecodeRange(LayoutBlockReader& reader, std::uint64_t from, std::uint64_t length,
                           EntryDecoder& decoder, const RangeDecodeHooks& hooks);

}  // namespace vrz
