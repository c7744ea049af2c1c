// The fixed output buffer every decoder decodes into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vrz {

constexpr std::size_t kDecodeBufferSize = std::size_t{256} << 10;

// Not zero-filled: pages are touched only as the decoder writes them.
struct DecodeBuffer {
    DecodeBuffer() : bytes(new std::uint8_t[kDecodeBufferSize]) {}
    std::unique_ptr<std::uint8_t[]> bytes;
    std::uint8_t* data() { return bytes.get(); }
    static constexpr std::size_t size() { return kDecodeBufferSize; }
};

}  // namespace vrz
