#include "state/NameArena.h"

#include <algorithm>
#include <cstring>

namespace vrz {

namespace {

constexpr std::size_t kLengthPrefix = 2;
constexpr std::size_t kLongestName = 0xFFFF;

}  // namespace

NameRef NameArena::Add(std::string_view name) {
    // Longer names cannot come from a local header; cut rather than overflow the prefix.
    name = name.substr(0, std::min(name.size(), kLongestName));
    const std::size_t need = kLengthPrefix + name.size();
    if (kBlockSize - used_ < need) {
        blocks_.emplace_back(new char[kBlockSize]);
        used_ = 0;
    }
    char* at = blocks_.back().get() + used_;
    at[0] = static_cast<char>(name.size() & 0xFF);
    at[1] = static_cast<char>(name.size() >> 8);
    if (!name.empty()) std::memcpy(at + kLengthPrefix, name.data(), name.size());
    const NameRef ref{static_cast<std::uint32_t>(blocks_.size() - 1), static_cast<std::uint32_t>(used_)};
    used_ += need;
    return ref;
}

std::string_view NameArena::View(NameRef ref) const {
    if (ref.block >= blocks_.size() || ref.offset + kLengthPrefix > kBlockSize) return {};
    const char* at = blocks_[ref.block].get() + ref.offset;
    const std::size_t length = static_cast<unsigned char>(at[0]) | std::size_t{static_cast<unsigned char>(at[1])} << 8;
    return std::string_view(at + kLengthPrefix, length);
}

void NameArena::Clear() {
    blocks_.clear();
    used_ = kBlockSize;
}

}  // namespace vrz
