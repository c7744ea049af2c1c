#include "writer/LayoutBlockReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vrz {

LayoutBlockReader::LayoutBlockReader(const SourceLayout& layout, std::size_t windowSize)
    : layout_(layout),
      window_(new std::uint8_t[std::max<std::size_t>(windowSize, 1)]),
      windowSize_(std::max<std::size_t>(windowSize, 1)),
      files_(layout) {}

bool LayoutBlockReader::PartsUnchanged() {
    for (const SourcePart& part : layout_.Parts()) {
        std::uint64_t size = 0;
        if (!FileSize(part.path, &size)) {
            failedPath_ = part.path;
            failedReason_ = std::strerror(ENOENT);
            return false;
        }
        if (size != part.fileSize) {
            failedPath_ = part.path;
            failedReason_ = "the file changed size since it was scanned";
            return false;
        }
    }
    return true;
}

bool LayoutBlockReader::Load(std::uint64_t offset) {
    windowStart_ = offset;
    windowLength_ = 0;
    const std::size_t length =
        static_cast<std::size_t>(std::min<std::uint64_t>(windowSize_, layout_.TotalSize() - offset));
    if (!files_.Read(offset, window_.get(), length, LayoutFiles::ShortRead::kFail)) return false;
    windowLength_ = length;
    return true;
}

const std::uint8_t* LayoutBlockReader::View(std::uint64_t offset, std::size_t want, std::size_t* available) {
    *available = 0;
    if (offset >= layout_.TotalSize() || want == 0) return nullptr;
    if (offset < windowStart_ || offset >= windowStart_ + windowLength_) {
        if (!Load(offset)) return nullptr;
    }
    const std::size_t inWindow = static_cast<std::size_t>(offset - windowStart_);
    *available = std::min(want, windowLength_ - inWindow);
    return window_.get() + inWindow;
}

const std::uint8_t* LayoutBlockReader::ViewWhole(std::uint64_t offset, std::size_t length) {
    const std::uint64_t total = layout_.TotalSize();
    if (length == 0 || length > windowSize_ || offset > total || length > total - offset) return nullptr;
    if (offset < windowStart_ || offset + length > windowStart_ + windowLength_) {
        if (!Load(offset)) return nullptr;
    }
    return window_.get() + (offset - windowStart_);
}

bool LayoutBlockReader::ReadDirect(std::uint64_t offset, std::size_t length, std::uint8_t* out) {
    const std::uint64_t total = layout_.TotalSize();
    if (offset > total || length > total - offset) return false;
    return files_.Read(offset, out, length, LayoutFiles::ShortRead::kFail);
}

bool LayoutBlockReader::Read(std::uint64_t offset, std::size_t length, std::uint8_t* out) {
    const std::uint64_t total = layout_.TotalSize();
    if (offset > total || length > total - offset) return false;
    while (length > 0) {
        std::size_t got = 0;
        const std::uint8_t* p = View(offset, length, &got);
        if (!p) return false;
        std::memcpy(out, p, got);
        out += got;
        offset += got;
        length -= got;
    }
    return true;
}

}  // namespace vrz
