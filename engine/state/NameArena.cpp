#include "state/NameArena.h"

#include <algorithm>
#include <cstring>

namespace vrz {

namespace {

constexpr std::size_t kLengthPrefix = 2;
constexpr std::size_t kLongestName = 0xFFFF;

// Longer names cannot come from a local header; cut rather than overflow the prefix.
std::string_view Bounded(std::string_view name) { return name.substr(0, std::min(name.size(), kLongestName)); }

char* Put(char* at, std::string_view name) {
    at[0] = static_cast<char>(name.size() & 0xFF);
    at[1] = static_cast<char>(name.size() >> 8);
    if (!name.empty()) std::memcpy(at + kLengthPrefix, name.data(), name.size());
    return at + kLengthPrefix + name.size();
}

std::size_t LengthAt(const char* at) {
    return static_cast<unsigned char>(at[0]) | std::size_t{static_cast<unsigned char>(at[1])} << 8;
}

}  // namespace

char* NameArena::Reserve(std::size_t need, NameRef* ref) {
    if (kBlockSize - used_ < need) {
        blocks_.emplace_back(new char[kBlockSize]);
        used_ = 0;
    }
    *ref = NameRef{static_cast<std::uint32_t>(blocks_.size() - 1), static_cast<std::uint32_t>(used_)};
    char* at = blocks_.back().get() + used_;
    used_ += need;
    return at;
}

NameRef NameArena::Add(std::string_view name) {
    name = Bounded(name);
    NameRef ref;
    Put(Reserve(kLengthPrefix + name.size(), &ref), name);
    return ref;
}

NameRef NameArena::AddPair(std::string_view first, std::string_view second) {
    first = Bounded(first);
    second = Bounded(second);
    NameRef ref;
    Put(Put(Reserve(2 * kLengthPrefix + first.size() + second.size(), &ref), first), second);
    return ref;
}

std::string_view NameArena::View(NameRef ref) const {
    if (ref.block >= blocks_.size() || ref.offset + kLengthPrefix > kBlockSize) return {};
    const char* at = blocks_[ref.block].get() + ref.offset;
    return std::string_view(at + kLengthPrefix, LengthAt(at));
}

std::string_view NameArena::ViewSecond(NameRef ref) const {
    const std::string_view first = View(ref);
    if (first.data() == nullptr) return {};
    const char* at = first.data() + first.size();
    return std::string_view(at + kLengthPrefix, LengthAt(at));
}

void NameArena::Clear() {
    blocks_.clear();
    used_ = kBlockSize;
}

}  // namespace vrz
