#include "state/NameArena.h"

#include <algorithm>
#include <cstring>
#include <new>

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
    std::size_t count = count_.load(std::memory_order_relaxed);
    if (kBlockSize - used_ < need) {
        if (count == kMaxBlocks) throw std::bad_alloc();
        // Left uninitialised: the pages are touched only as slots are used.
        if (!blocks_) blocks_.reset(new char*[kMaxBlocks]);
        blocks_[count] = new char[kBlockSize];
        count_.store(++count, std::memory_order_release);
        used_ = 0;
    }
    *ref = NameRef{static_cast<std::uint32_t>(count - 1), static_cast<std::uint32_t>(used_)};
    char* at = blocks_[count - 1] + used_;
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
    if (ref.block >= count_.load(std::memory_order_acquire) || ref.offset + kLengthPrefix > kBlockSize) return {};
    const char* at = blocks_[ref.block] + ref.offset;
    return std::string_view(at + kLengthPrefix, LengthAt(at));
}

std::string_view NameArena::ViewSecond(NameRef ref) const {
    const std::string_view first = View(ref);
    if (first.data() == nullptr) return {};
    const char* at = first.data() + first.size();
    return std::string_view(at + kLengthPrefix, LengthAt(at));
}

void NameArena::Clear() {
    const std::size_t count = count_.load(std::memory_order_relaxed);
    for (std::size_t i = 0; i < count; ++i) delete[] blocks_[i];
    count_.store(0, std::memory_order_relaxed);
    used_ = kBlockSize;
}

}  // namespace vrz
