#include "writer/Recompressor.h"

#include <algorithm>
#include <climits>

namespace vrz {

namespace {

constexpr std::size_t kCompressBuffer = std::size_t{256} << 10;

}  // namespace

Recompressor::Recompressor(Output output) : output_(std::move(output)), buffer_(new std::uint8_t[kCompressBuffer]) {
    ready_ = deflateInit2(&stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
}

Recompressor::~Recompressor() {
    if (ready_) deflateEnd(&stream_);
}

bool Recompressor::Put(const std::uint8_t* data, std::size_t length, int flush) {
    while (true) {
        const uInt chunk = static_cast<uInt>(std::min<std::size_t>(length, UINT_MAX));
        stream_.next_in = const_cast<Bytef*>(data);
        stream_.avail_in = chunk;
        stream_.next_out = buffer_.get();
        stream_.avail_out = static_cast<uInt>(kCompressBuffer);
        const int rc = deflate(&stream_, length == chunk ? flush : Z_NO_FLUSH);
        const std::size_t taken = chunk - stream_.avail_in;
        data += taken;
        length -= taken;
        const std::size_t produced = kCompressBuffer - stream_.avail_out;
        if (produced > 0) {
            if (!output_(buffer_.get(), produced)) {
                outputFailed_ = true;
                return false;
            }
            written_ += produced;
        }
        if (rc == Z_STREAM_ERROR) return false;
        if (flush == Z_FINISH && rc == Z_STREAM_END) return true;
        if (flush != Z_FINISH && length == 0 && stream_.avail_out != 0) return true;
    }
}

}  // namespace vrz
