#include "state/EntryTable.h"

#include <algorithm>
#include <new>

namespace vrz {

EntryTable& EntryTable::operator=(const EntryTable& other) {
    if (this == &other) return *this;
    clear();
    for (const RecoveredEntry& row : other) push_back(row);
    return *this;
}

RecoveredEntry* EntryTable::Grow() {
    if (size_ == chunks_.size() * kChunkRows)
        chunks_.emplace_back(static_cast<RecoveredEntry*>(::operator new(kChunkRows * sizeof(RecoveredEntry))));
    RecoveredEntry* row = new (chunks_.back().get() + size_ % kChunkRows) RecoveredEntry();
    ++size_;
    return row;
}

void EntryTable::pop_back() {
    --size_;
    // The chunk left empty goes at once, as a vector's popped slot would be reused.
    if (size_ % kChunkRows == 0) chunks_.pop_back();
}

EntryTable::iterator EntryTable::erase(const_iterator first, const_iterator last) {
    const std::size_t from = static_cast<std::size_t>(first - begin());
    const std::size_t to = static_cast<std::size_t>(last - begin());
    if (from < to) {
        std::move(begin() + static_cast<std::ptrdiff_t>(to), end(), begin() + static_cast<std::ptrdiff_t>(from));
        for (std::size_t n = to - from; n > 0; --n) pop_back();
    }
    return begin() + static_cast<std::ptrdiff_t>(from);
}

void EntryTable::resize(std::size_t rows) {
    while (size_ > rows) pop_back();
    while (size_ < rows) *Grow() = RecoveredEntry{};
}

void EntryTable::clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    size_ = 0;
}

}  // namespace vrz
