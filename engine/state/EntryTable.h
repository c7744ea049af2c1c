// The recovered entry table: rows in fixed-size chunks instead of one
// growing array. A growing array copies every row each time it doubles and
// holds the old copy and the new one at once; chunks never move, so a table
// of millions of rows peaks at its own size. Indexing and iteration work as
// on a vector of rows.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "state/RecoveredEntry.h"

namespace vrz {

class EntryTable {
public:
    // About a megabyte and a half of rows a chunk.
    static constexpr std::size_t kChunkRows = std::size_t{1} << 14;

    template <typename Table, typename Row>
    class Iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = RecoveredEntry;
        using difference_type = std::ptrdiff_t;
        using pointer = Row*;
        using reference = Row&;

        Iterator() = default;
        Iterator(Table* table, std::size_t index) : table_(table), index_(index) {}
        // A mutable iterator converts to a const one.
        template <typename OtherTable, typename OtherRow,
                  typename = std::enable_if_t<std::is_const<Row>::value && !std::is_const<OtherRow>::value>>
        Iterator(const Iterator<OtherTable, OtherRow>& other) : table_(other.table_), index_(other.index_) {}

        reference operator*() const { return (*table_)[index_]; }
        pointer operator->() const { return &(*table_)[index_]; }
        reference operator[](difference_type n) const { return (*table_)[index_ + n]; }
        Iterator& operator++() { ++index_; return *this; }
        Iterator operator++(int) { Iterator was = *this; ++index_; return was; }
        Iterator& operator--() { --index_; return *this; }
        Iterator operator--(int) { Iterator was = *this; --index_; return was; }
        Iterator& operator+=(difference_type n) { index_ += n; return *this; }
        Iterator& operator-=(difference_type n) { index_ -= n; return *this; }
        friend Iterator operator+(Iterator it, difference_type n) { return it += n; }
        friend Iterator operator+(difference_type n, Iterator it) { return it += n; }
        friend Iterator operator-(Iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const Iterator& a, const Iterator& b) {
            return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
        }
        friend bool operator==(const Iterator& a, const Iterator& b) { return a.index_ == b.index_; }
        friend bool operator!=(const Iterator& a, const Iterator& b) { return a.index_ != b.index_; }
        friend bool operator<(const Iterator& a, const Iterator& b) { return a.index_ < b.index_; }
        friend bool operator>(const Iterator& a, const Iterator& b) { return a.index_ > b.index_; }
        friend bool operator<=(const Iterator& a, const Iterator& b) { return a.index_ <= b.index_; }
        friend bool operator>=(const Iterator& a, const Iterator& b) { return a.index_ >= b.index_; }

    private:
        template <typename, typename>
        friend class Iterator;
        Table* table_ = nullptr;
        std::size_t index_ = 0;
    };
    using iterator = Iterator<EntryTable, RecoveredEntry>;
    using const_iterator = Iterator<const EntryTable, const RecoveredEntry>;
    using value_type = RecoveredEntry;

    EntryTable() = default;
    EntryTable(EntryTable&&) noexcept = default;
    EntryTable& operator=(EntryTable&&) noexcept = default;
    EntryTable(const EntryTable& other) { *this = other; }
    EntryTable& operator=(const EntryTable& other);
    EntryTable& operator=(std::initializer_list<RecoveredEntry> rows) {
        clear();
        for (const RecoveredEntry& row : rows) push_back(row);
        return *this;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    RecoveredEntry& operator[](std::size_t i) { return chunks_[i / kChunkRows].get()[i % kChunkRows]; }
    const RecoveredEntry& operator[](std::size_t i) const { return chunks_[i / kChunkRows].get()[i % kChunkRows]; }
    RecoveredEntry& front() { return (*this)[0]; }
    const RecoveredEntry& front() const { return (*this)[0]; }
    RecoveredEntry& back() { return (*this)[size_ - 1]; }
    const RecoveredEntry& back() const { return (*this)[size_ - 1]; }

    iterator begin() { return iterator(this, 0); }
    iterator end() { return iterator(this, size_); }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size_); }

    void push_back(const RecoveredEntry& row) { *Grow() = row; }
    void push_back(RecoveredEntry&& row) { *Grow() = std::move(row); }
    template <typename... Args>
    RecoveredEntry& emplace_back(Args&&... args) {
        RecoveredEntry* row = Grow();
        *row = RecoveredEntry{std::forward<Args>(args)...};
        return *row;
    }
    template <typename It>
    void assign(It first, It last) {
        clear();
        for (; first != last; ++first) push_back(*first);
    }
    void pop_back();
    // Removes rows [first, last), moving the later ones forward.
    iterator erase(const_iterator first, const_iterator last);
    iterator erase(const_iterator at) { return erase(at, at + 1); }

    // Drops rows from the end, or appends default rows.
    void resize(std::size_t rows);
    void clear();
    // Rows never move, so there is nothing to reserve or give back beyond
    // what clear and pop_back free; kept for code written against a vector.
    void reserve(std::size_t) {}
    void shrink_to_fit() {}

private:
    // A chunk's rows are made as they are added, so a small table touches
    // only the memory its rows take, not the whole chunk.
    struct ChunkRelease {
        void operator()(RecoveredEntry* rows) const { ::operator delete(rows); }
    };
    using Chunk = std::unique_ptr<RecoveredEntry, ChunkRelease>;
    static_assert(std::is_trivially_destructible<RecoveredEntry>::value, "rows are dropped without destructors");

    RecoveredEntry* Grow();

    std::vector<Chunk> chunks_;
    std::size_t size_ = 0;
};

}  // namespace vrz
