// The bytes a scan walks: one archive file, or the parts of a split archive
// laid back to back. Parts that follow each other in the archive form one run;
// a missing part breaks the run, and no entry may cross such a break.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vrz {

struct SourcePart {
    std::string path;
    std::uint64_t size = 0;
    std::uint64_t start = 0;  // offset of the part's first byte in the layout
    // The part continues the one before it (false for the first part and after a gap).
    bool continuesPrevious = false;
};

class SourceLayout {
public:
    void Clear();
    void AddPart(std::string path, std::uint64_t size, bool continuesPrevious);

    const std::vector<SourcePart>& Parts() const { return parts_; }
    bool Empty() const { return parts_.empty(); }
    std::uint64_t TotalSize() const { return total_; }

    // Index of the part that holds the byte at offset (offset < TotalSize()).
    std::size_t PartIndexAt(std::uint64_t offset) const;
    std::uint64_t PartEndAt(std::uint64_t offset) const;
    // End of the run of joined parts that holds offset: entries must end by it.
    std::uint64_t RunEndAt(std::uint64_t offset) const;

private:
    std::vector<SourcePart> parts_;
    std::uint64_t total_ = 0;
};

}  // namespace vrz
