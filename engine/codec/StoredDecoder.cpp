#include "codec/MethodDecoders.h"

namespace vrz {

namespace {

// Stored data is its own decoding; where it ends only sizes can say.
class StoredDecoder final : public EntryDecoder {
public:
    bool HasOwnEnd() const override { return false; }

protected:
    DecodeResult Step(const std::uint8_t* in, std::size_t length, std::size_t* consumed) override {
        *consumed = length;
        return Emit(in, length) ? DecodeResult::kNeedMore : DecodeResult::kCorrupt;
    }
};

}  // namespace

std::unique_ptr<EntryDecoder> MakeStoredDecoder() { return std::make_unique<StoredDecoder>(); }

}  // namespace vrz
