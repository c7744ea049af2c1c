#include <zstd.h>

#include "codec/DecodeBuffer.h"
#include "codec/MethodDecoders.h"

namespace vrz {

namespace {

class ZstdDecoder final : public EntryDecoder {
public:
    ZstdDecoder() : stream_(ZSTD_createDStream()) {
        // Refuse windows over 2 GiB rather than let a crafted frame take the memory.
        if (stream_) ZSTD_DCtx_setParameter(stream_, ZSTD_d_windowLogMax, 31);
    }
    ~ZstdDecoder() override { ZSTD_freeDStream(stream_); }
    bool HasOwnEnd() const override { return true; }

protected:
    // The entry's data ends with its first complete frame.
    DecodeResult Step(const std::uint8_t* in, std::size_t length, std::size_t* consumed) override {
        *consumed = 0;
        if (!stream_) {
            Fail("zstd decoder could not start");
            return DecodeResult::kCorrupt;
        }
        ZSTD_inBuffer input{in, length, 0};
        while (true) {
            ZSTD_outBuffer output{out_.data(), out_.size(), 0};
            const std::size_t rc = ZSTD_decompressStream(stream_, &output, &input);
            *consumed = input.pos;
            if (ZSTD_isError(rc)) {
                Fail("invalid zstd data");
                return DecodeResult::kCorrupt;
            }
            if (!Emit(out_.data(), output.pos)) return DecodeResult::kCorrupt;
            if (rc == 0) return DecodeResult::kStreamEnd;
            if (input.pos == input.size && output.pos < output.size) return DecodeResult::kNeedMore;
        }
    }

private:
    ZSTD_DStream* stream_;
    DecodeBuffer out_;
};

}  // namespace

std::unique_ptr<EntryDecoder> MakeZstdDecoder() { return std::make_unique<ZstdDecoder>(); }

}  // namespace vrz
