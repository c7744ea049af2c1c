// One liblzma stream driven through a fixed output buffer; shared by the
// LZMA (raw LZMA1 inside ZIP) and xz decoders.
#pragma once

#include <lzma.h>

#include <cstddef>
#include <cstdint>

#include "codec/DecodeBuffer.h"
#include "codec/EntryDecoder.h"

namespace vrz {

class LzmaStream {
public:
    LzmaStream() = default;
    ~LzmaStream() { lzma_end(&stream_); }
    LzmaStream(const LzmaStream&) = delete;
    LzmaStream& operator=(const LzmaStream&) = delete;

    lzma_stream* get() { return &stream_; }

    // Runs the decoder over in; emit receives each filled piece of output.
    template <typename EmitFn>
    DecodeResult Run(const std::uint8_t* in, std::size_t length, std::size_t* consumed, EmitFn emit,
                     const char** failure) {
        *consumed = 0;
        while (true) {
            stream_.next_in = in + *consumed;
            stream_.avail_in = length - *consumed;
            stream_.next_out = out_.data();
            stream_.avail_out = out_.size();
            const lzma_ret rc = lzma_code(&stream_, LZMA_RUN);
            *consumed = length - stream_.avail_in;
            if (!emit(out_.data(), out_.size() - stream_.avail_out)) return DecodeResult::kCorrupt;
            if (rc == LZMA_STREAM_END) return DecodeResult::kStreamEnd;
            if (rc == LZMA_BUF_ERROR) {
                if (*consumed == length) return DecodeResult::kNeedMore;
                continue;
            }
            if (rc != LZMA_OK) {
                *failure = rc == LZMA_MEMLIMIT_ERROR || rc == LZMA_MEM_ERROR ? "not enough memory to decode"
                                                                              : "invalid LZMA data";
                return DecodeResult::kCorrupt;
            }
            if (*consumed == length && stream_.avail_out != 0) return DecodeResult::kNeedMore;
        }
    }

private:
    lzma_stream stream_ = LZMA_STREAM_INIT;
    DecodeBuffer out_;
};

}  // namespace vrz
