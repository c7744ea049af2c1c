#include "verify/RangeDecode.h"

#include <algorithm>

namespace vrz {

namespace {

// Big enough that a block's decode outweighs the call overhead, small
// enough that a cancel is seen quickly.
constexpr std::size_t kBlock = std::size_t{1} << 20;

}  // namespace

RangeDecodeEnd DecodeRange(LayoutBlockReader& reader, std::uint64_t from, std::uint64_t length,
                           EntryDecoder& decoder, const RangeDecodeHooks& hooks) {
    std::uint64_t position = from;
    const std::uint64_t end = from + length;
    // Asked by the decoder too, every few MiB of output, for data that
    // decodes to far more than it takes.
    if (hooks.mayContinue) decoder.SetMayContinue(hooks.mayContinue);
    // A zero-length range still tells the decoder that nothing comes.
    if (length == 0) {
        std::size_t consumed = 0;
        const DecodeResult result = decoder.Feed(nullptr, 0, &consumed);
        if (result == DecodeResult::kCorrupt) return RangeDecodeEnd::kCorrupt;
        if (result == DecodeResult::kCancelled) return RangeDecodeEnd::kCancelled;
        return result == DecodeResult::kStreamEnd ? RangeDecodeEnd::kStreamEnded : RangeDecodeEnd::kRanOut;
    }
    while (position < end) {
        if (hooks.mayContinue && !hooks.mayContinue()) return RangeDecodeEnd::kCancelled;
        std::size_t available = 0;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(end - position, kBlock));
        const std::uint8_t* block = reader.View(position, want, &available);
        if (!block || available == 0) return RangeDecodeEnd::kUnreadable;
        available = std::min(available, want);
        std::size_t consumed = 0;
        const DecodeResult result = decoder.Feed(block, available, &consumed);
        position += available;
        if (hooks.advanced) hooks.advanced(available);
        if (result == DecodeResult::kCancelled) return RangeDecodeEnd::kCancelled;
        if (result == DecodeResult::kCorrupt) return RangeDecodeEnd::kCorrupt;
        if (result == DecodeResult::kStreamEnd) return RangeDecodeEnd::kStreamEnded;
    }
    return RangeDecodeEnd::kRanOut;
}

}  // namespace vrz
