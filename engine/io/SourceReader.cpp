#include "io/SourceReader.h"

#include <algorithm>
#include <cstring>

namespace vrz {

namespace {

constexpr std::size_t kCopyBlock = std::size_t{64} << 10;

}  // namespace

SourceReader::SourceReader(const SourceLayout& layout, std::size_t windowSize)
    : layout_(layout), window_(std::max<std::size_t>(windowSize, 4)), files_(layout) {}

bool SourceReader::ReadSpan(std::uint64_t offset, std::uint8_t* out, std::size_t length) {
    if (files_.Read(offset, out, length, LayoutFiles::ShortRead::kZeroFill)) return true;
    failed_ = true;
    return false;
}

bool SourceReader::Load(std::uint64_t offset) {
    const std::uint64_t total = layout_.TotalSize();
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(window_.size(), total - offset));
    windowStart_ = offset;
    windowLength_ = 0;
    if (!ReadSpan(offset, window_.data(), length)) return false;
    windowLength_ = length;
    return true;
}

const std::uint8_t* SourceReader::Bytes(std::uint64_t offset, std::size_t length) {
    const std::uint64_t total = layout_.TotalSize();
    if (offset > total || length > total - offset || length > window_.size()) return nullptr;
    if (offset < windowStart_ || offset + length > windowStart_ + windowLength_) {
        if (!Load(offset)) return nullptr;
    }
    return window_.data() + (offset - windowStart_);
}

bool SourceReader::Copy(std::uint64_t offset, std::size_t length, std::uint8_t* out) {
    const std::uint64_t total = layout_.TotalSize();
    if (offset > total || length > total - offset) return false;
    if (Holds(windowStart_, windowLength_, offset, length)) {
        std::memcpy(out, window_.data() + (offset - windowStart_), length);
        return true;
    }
    if (length > kCopyBlock / 4) return ReadSpan(offset, out, length);
    if (!Holds(copyStart_, copyLength_, offset, length)) {
        copyBlock_.resize(kCopyBlock);
        const std::size_t fill = static_cast<std::size_t>(std::min<std::uint64_t>(kCopyBlock, total - offset));
        copyStart_ = offset;
        copyLength_ = 0;
        if (!ReadSpan(offset, copyBlock_.data(), fill)) return false;
        copyLength_ = fill;
    }
    std::memcpy(out, copyBlock_.data() + (offset - copyStart_), length);
    return true;
}

bool SourceReader::FindSignature(std::uint64_t from, std::uint64_t limit,
                                 const std::uint8_t* const* signatures, std::size_t count,
                                 std::uint64_t* position) {
    const std::uint64_t total = layout_.TotalSize();
    limit = total < 4 ? 0 : std::min(limit, total - 3);  // a signature needs its four bytes
    if (from >= limit) {
        *position = limit;
        return false;
    }
    // Work on the window that holds from with at least four bytes after it; a
    // candidate in a window's last three bytes is met again after the reload.
    if (from < windowStart_ || from + 4 > windowStart_ + windowLength_) {
        if (!Load(from)) {
            *position = limit;
            return false;
        }
    }
    const std::uint64_t stop = std::min(limit, windowStart_ + windowLength_ - 3);
    const std::uint8_t* base = window_.data();
    std::uint64_t pos = from;
    while (pos < stop) {
        const auto* hit = static_cast<const std::uint8_t*>(
            std::memchr(base + (pos - windowStart_), 0x50, static_cast<std::size_t>(stop - pos)));
        if (!hit) break;
        const std::uint64_t at = windowStart_ + static_cast<std::uint64_t>(hit - base);
        for (std::size_t i = 0; i < count; ++i) {
            if (std::memcmp(hit, signatures[i], 4) == 0) {
                *position = at;
                return true;
            }
        }
        pos = at + 1;
    }
    *position = stop;
    return false;
}

}  // namespace vrz
