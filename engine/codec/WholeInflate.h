// Inflates a deflate stream that lies whole in memory in one call. For the
// many small and middling entries of ordinary archives this is faster than
// streaming (libdeflate decodes a whole buffer without keeping state between
// calls), but it has nothing to say about a stream it cannot finish: every
// failure is handed back to the streaming decoder, which finds where and why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct libdeflate_decompressor;

namespace vrz {

class WholeInflater {
public:
    // Output larger than this is left to the streaming decoder; each holder
    // keeps one buffer of this size, allocated on first use.
    static constexpr std::size_t kMaxOutput = std::size_t{8} << 20;

    struct Result {
        std::size_t consumed = 0;  // compressed bytes up to the stream's end
        std::size_t produced = 0;
        std::uint32_t crc32 = 0;
    };

    WholeInflater();
    ~WholeInflater();
    WholeInflater(const WholeInflater&) = delete;
    WholeInflater& operator=(const WholeInflater&) = delete;

    // True when the stream starting at in ends within length bytes and
    // decodes to at most outputLimit (<= kMaxOutput) bytes.
    bool Inflate(const std::uint8_t* in, std::size_t length, std::size_t outputLimit, Result* result);

private:
    libdeflate_decompressor* decompressor_ = nullptr;
    std::unique_ptr<std::uint8_t[]> out_;
};

}  // namespace vrz
