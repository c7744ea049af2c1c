#include <bzlib.h>

#include <algorithm>
#include <climits>

#include "codec/DecodeBuffer.h"
#include "codec/MethodDecoders.h"

namespace vrz {

namespace {

class Bzip2Decoder final : public EntryDecoder {
public:
    Bzip2Decoder() { ready_ = BZ2_bzDecompressInit(&stream_, 0, 0) == BZ_OK; }
    ~Bzip2Decoder() override {
        if (ready_) BZ2_bzDecompressEnd(&stream_);
    }
    bool HasOwnEnd() const override { return true; }

protected:
    DecodeResult Step(const std::uint8_t* in, std::size_t length, std::size_t* consumed) override {
        *consumed = 0;
        if (!ready_) {
            Fail("decoder could not start");
            return DecodeResult::kCorrupt;
        }
        while (true) {
            const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(length - *consumed, UINT_MAX));
            stream_.next_in = const_cast<char*>(reinterpret_cast<const char*>(in + *consumed));
            stream_.avail_in = chunk;
            stream_.next_out = reinterpret_cast<char*>(out_.data());
            stream_.avail_out = static_cast<unsigned>(out_.size());
            const int rc = BZ2_bzDecompress(&stream_);
            *consumed += chunk - stream_.avail_in;
            if (!Emit(out_.data(), out_.size() - stream_.avail_out)) return DecodeResult::kCorrupt;
            if (rc == BZ_STREAM_END) return DecodeResult::kStreamEnd;
            if (rc != BZ_OK) {
                Fail("invalid bzip2 data");
                return DecodeResult::kCorrupt;
            }
            if (*consumed == length && stream_.avail_out != 0) return DecodeResult::kNeedMore;
        }
    }

private:
    bz_stream stream_{};
    bool ready_ = false;
    DecodeBuffer out_;
};

}  // namespace

std::unique_ptr<EntryDecoder> MakeBzip2Decoder() { return std::make_unique<Bzip2Decoder>(); }

}  // namespace vrz
