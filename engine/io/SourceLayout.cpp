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
    part.start = total_;
    part.continuesPrevious = continuesPrevious && !parts_.empty();
    parts_.push_back(std::move(part));
    total_ += size;
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

}  // namespace vrz
