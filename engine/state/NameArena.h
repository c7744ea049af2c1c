// Entry names kept back to back in large blocks instead of one heap string
// each: a table of millions of entries then costs the name bytes plus eight
// bytes a row, not a string object and an allocation a row. Blocks never
// move, so a name's view stays valid until Clear. One thread may add names
// (under its caller's lock) while others view names added before: the block
// directory never reallocates and its count is published after the block.
#pragma once

#include <cstddef>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>

namespace vrz {

// Where a name lies in its arena: 8 bytes a row.
struct NameRef {
    // A ref never set views as the empty name, not as another row's.
    std::uint32_t block = 0xFFFFFFFFu;
    std::uint32_t offset = 0;  // in the block; the length is stored in front of the bytes
};

// What a row's NameRef holds. Most rows need one name: their table name is
// the header's name, or "#Lost Files/" and its last component, made again
// when asked for. Only the rare row whose names differ otherwise stores both.
enum class RowNameForm : std::uint8_t {
    kOne,        // the table name, which is also the header's once it was read
    kLostFiles,  // the header's name; the table name is its "#Lost Files/" form
    kTwo,        // the table name, then the header's name
};

class NameArena {
public:
    // Names up to 65535 bytes (the name-length field's limit) plus their prefix fit one block.
    static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
    // 64 GiB of names; the directory's untouched slots cost no memory.
    static constexpr std::size_t kMaxBlocks = std::size_t{1} << 16;

    NameArena() = default;
    ~NameArena() { Clear(); }
    NameArena(const NameArena&) = delete;
    NameArena& operator=(const NameArena&) = delete;

    NameRef Add(std::string_view name);
    // Two names back to back under one ref: View gives the first, ViewSecond the second.
    NameRef AddPair(std::string_view first, std::string_view second);
    std::string_view View(NameRef ref) const;
    std::string_view ViewSecond(NameRef ref) const;
    void Clear();

    // Bytes held by the blocks, for the memory figures.
    std::size_t BytesReserved() const { return count_.load(std::memory_order_acquire) * kBlockSize; }

private:
    char* Reserve(std::size_t need, NameRef* ref);

    std::unique_ptr<char*[]> blocks_;  // kMaxBlocks slots, the first count_ filled
    std::atomic<std::size_t> count_{0};
    std::size_t used_ = kBlockSize;  // in the last block; full before the first Add
};

}  // namespace vrz
