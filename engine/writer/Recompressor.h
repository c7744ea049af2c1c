// Raw deflate into a fixed buffer that is handed on whenever it fills: how a
// salvaged beginning goes into the output, and how the salvage plan counts
// the bytes that will take before anything is written.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace vrz {

class Recompressor {
public:
    // Receives each filled piece of compressed output; false: the output failed.
    using Output = std::function<bool(const std::uint8_t*, std::size_t)>;

    explicit Recompressor(Output output);
    ~Recompressor();
    Recompressor(const Recompressor&) = delete;
    Recompressor& operator=(const Recompressor&) = delete;

    bool Ready() const { return ready_; }
    bool OutputFailed() const { return outputFailed_; }
    // Compressed bytes handed on so far.
    std::uint64_t Written() const { return written_; }

    // flush is Z_NO_FLUSH while data comes, Z_FINISH once to end the stream.
    bool Put(const std::uint8_t* data, std::size_t length, int flush);

private:
    Output output_;
    z_stream stream_{};
    std::unique_ptr<std::uint8_t[]> buffer_;
    bool ready_ = false;
    bool outputFailed_ = false;
    std::uint64_t written_ = 0;
};

}  // namespace vrz
