// Little-endian field access. Values are assembled from single bytes through
// unsigned temporaries, so alignment and host byte order never matter.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vrz {

inline std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(unsigned{p[0]} | (unsigned{p[1]} << 8));
}

inline std::uint32_t ReadU32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

inline std::uint64_t ReadU64(const std::uint8_t* p) {
    return std::uint64_t{ReadU32(p)} | (std::uint64_t{ReadU32(p + 4)} << 32);
}

inline void WriteU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void WriteU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void WriteU64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A reader over a byte span that remembers running past the end: callers read
// a whole record and test ok() once instead of checking every field.
class ByteCursor {
public:
    ByteCursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint16_t U16() { return Take(2) ? ReadU16(data_ + pos_ - 2) : 0; }
    std::uint32_t U32() { return Take(4) ? ReadU32(data_ + pos_ - 4) : 0; }
    std::uint64_t U64() { return Take(8) ? ReadU64(data_ + pos_ - 8) : 0; }
    void Skip(std::size_t n) { Take(n); }

    bool ok() const { return ok_; }
    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return ok_ ? size_ - pos_ : 0; }

private:
    bool Take(std::size_t n) {
        if (!ok_ || n > size_ - pos_) {
            ok_ = false;
            return false;
        }
        pos_ += n;
        return true;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

// Appends little-endian fields to a growing byte buffer.
template <typename Buffer>
class ByteWriter {
public:
    explicit ByteWriter(Buffer& out) : out_(out) {}

    void U16(std::uint16_t v) { Put(v, 2); }
    void U32(std::uint32_t v) { Put(v, 4); }
    void U64(std::uint64_t v) { Put(v, 8); }
    void Bytes(const std::uint8_t* p, std::size_t n) { out_.insert(out_.end(), p, p + n); }

private:
    void Put(std::uint64_t v, int width) {
        for (int i = 0; i < width; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }

    Buffer& out_;
};

}  // namespace vrz
