#include "io/SourceLayout.h"

#include <algorithm>

namespace vrz {

void SourceLayout::Clear() {
    parts_.clear();
    total_ = 0;
}

void SourceLayout::AddPart(std::string path, std::uint64_t size, bool continuesPrevious) {
    SourcePart part;
    part.path = std::move(path);
    part.size = size;
    part.fileSize = size;
    part.disk = static_cast<std::uint32_t>(parts_.size());
    part.continuesPrevious = continuesPrevious;
    AddSegment(std::move(part));
}

void SourceLayout::AddSegment(SourcePart part) {
    part.start = total_;
    part.continuesPrevious = part.continuesPrevious && !parts_.empty();
    total_ += part.size;
    parts_.push_back(std::move(part));
}

std::size_t SourceLayout::PartIndexAt(std::uint64_t offset) const {
    // The last part whose start is at or before offset; empty parts are passed over.
    auto it = std::upper_bound(parts_.begin(), parts_.end(), offset,
                               [](std::uint64_t value, const SourcePart& p) { return value < p.start; });
    std::size_t index = it == parts_.begin() ? 0 : static_cast<std::size_t>(it - parts_.begin()) - 1;
    while (index + 1 < parts_.size() && parts_[index].start + parts_[index].size <= offset) ++index;
    return index;
}

std::uint64_t SourceLayout::PartEndAt(std::uint64_t offset) const {
    if (parts_.empty()) return 0;
    const SourcePart& p = parts_[PartIndexAt(offset)];
    return p.start + p.size;
}

std::uint64_t SourceLayout::RunEndAt(std::uint64_t offset) const {
    if (parts_.empty()) return 0;
    std::size_t i = PartIndexAt(offset);
    while (i + 1 < parts_.size() && parts_[i + 1].continuesPrevious) ++i;
    return parts_[i].start + parts_[i].size;
}

bool SourceLayout::OffsetOnDisk(std::uint32_t disk, std::uint64_t offset, std::uint64_t* at) const {
    for (const SourcePart& p : parts_) {
        if (p.disk != disk || offset < p.diskOffset || offset - p.diskOffset >= p.size) continue;
        *at = p.start + (offset - p.diskOffset);
        return true;
    }
    return false;
}

}  // namespace vrz
