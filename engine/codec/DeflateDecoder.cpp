#include <zlib.h>

#include <algorithm>
#include <climits>

#include "codec/DecodeBuffer.h"
#include "codec/MethodDecoders.h"

namespace vrz {

namespace {

class DeflateDecoder final : public EntryDecoder {
public:
    DeflateDecoder() {
        // Raw deflate: ZIP keeps no zlib header or trailer around the stream.
        ready_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK;
    }
    ~DeflateDecoder() override {
        if (ready_) inflateEnd(&stream_);
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
            const uInt chunk = static_cast<uInt>(std::min<std::size_t>(length - *consumed, UINT_MAX));
            stream_.next_in = const_cast<Bytef*>(in + *consumed);
            stream_.avail_in = chunk;
            stream_.next_out = out_.data();
            stream_.avail_out = static_cast<uInt>(out_.size());
            const int rc = inflate(&stream_, Z_NO_FLUSH);
            *consumed += chunk - stream_.avail_in;
            if (!Emit(out_.data(), out_.size() - stream_.avail_out)) return DecodeResult::kCorrupt;
            if (rc == Z_STREAM_END) return DecodeResult::kStreamEnd;
            if (rc == Z_BUF_ERROR) {
                // No progress possible: input used up (or none given).
                if (*consumed == length) return DecodeResult::kNeedMore;
                continue;
            }
            if (rc != Z_OK) {
                Fail(rc == Z_DATA_ERROR ? "invalid deflate data" : "deflate decoder failed");
                return DecodeResult::kCorrupt;
            }
            if (*consumed == length && stream_.avail_out != 0) return DecodeResult::kNeedMore;
        }
    }

private:
    z_stream stream_{};
    bool ready_ = false;
    DecodeBuffer out_;
};

}  // namespace

std::unique_ptr<EntryDecoder> MakeDeflateDecoder() { return std::make_unique<DeflateDecoder>(); }

}  // namespace vrz
