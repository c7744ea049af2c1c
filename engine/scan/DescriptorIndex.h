// One pass over the whole source lists where descriptor and record
// signatures stand; every streamed entry then finds its descriptor by the
// data start the descriptor implies (its position minus the compressed size
// it states) instead of reading on through the rest of the file. Built on
// first use, so archives that never need it never pay for it.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "io/SourceReader.h"
#include "state/ScanWork.h"

namespace vrz {

class DescriptorIndex {
public:
    DescriptorIndex(SourceReader& reader, std::uint64_t total, ScanWork& work, std::function<bool()> mayContinue)
        : reader_(reader), total_(total), work_(work), mayContinue_(std::move(mayContinue)) {}

    // Positions of descriptor signatures whose 16- or 24-byte form states a
    // compressed size that reaches back exactly to dataStart, ascending.
    // False when cancelled while the index was being built.
    bool SignedFor(std::uint64_t dataStart, std::vector<std::uint64_t>* positions);

    // The first local header, central header or end record signature at or
    // after from (total when none). False when cancelled.
    bool NextRecord(std::uint64_t from, std::uint64_t* at);

private:
    struct Implied {
        std::uint64_t start;
        std::uint64_t at;
        bool operator<(const Implied& o) const { return start != o.start ? start < o.start : at < o.at; }
    };

    bool Build();
    void AddDescriptor(std::uint64_t at);

    SourceReader& reader_;
    const std::uint64_t total_;
    ScanWork& work_;
    std::function<bool()> mayContinue_;
    bool built_ = false;
    std::vector<Implied> implied_;        // sorted
    std::vector<std::uint64_t> records_;  // ascending
};

}  // namespace vrz
