// The bytes a scan walks: one archive file, or the parts of a split archive
// laid back to back. Parts that follow each other in the archive form one run;
// a missing part breaks the run, and no entry may cross such a break.
// A part may be laid in two pieces: the bytes the next part continues, and
// after all the runs, the rest of the file (bytes found beyond where the
// archive's own records say the part ends), which then form a run of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vrz {

struct SourcePart {
    std::string path;
    std::uint64_t size = 0;        // bytes of the file laid here
    std::uint64_t start = 0;       // offset of the first of them in the layout
    std::uint64_t fileOffset = 0;  // and in the file
    std::uint64_t fileSize = 0;    // the whole file, as it was when laid out
    // The archive's number for the part (its disk, counted from 0), and the
    // offset in that disk of the first byte laid here: central records count
    // their offsets from the start of the disk. Byte-split volumes are pieces
    // of one disk 0; bytes beyond a part's end belong to no disk.
    std::uint32_t disk = 0;
    std::uint64_t diskOffset = 0;
    // The part continues the one before it (false for the first part and after a gap).
    bool continuesPrevious = false;
};

constexpr std::uint32_t kNoDisk = 0xFFFFFFFFu;

class SourceLayout {
public:
    void Clear();
    // The whole file, numbered as the next disk.
    void AddPart(std::string path, std::uint64_t size, bool continuesPrevious);
    // part.size bytes of part.path from part.fileOffset; part.start is set here.
    void AddSegment(SourcePart part);

    const std::vector<SourcePart>& Parts() const { return parts_; }
    bool Empty() const { return parts_.empty(); }
    std::uint64_t TotalSize() const { return total_; }

    // Index of the part that holds the byte at offset (offset < TotalSize()).
    std::size_t PartIndexAt(std::uint64_t offset) const;
    std::uint64_t PartEndAt(std::uint64_t offset) const;
    // End of the run of joined parts that holds offset: entries must end by it.
    std::uint64_t RunEndAt(std::uint64_t offset) const;
    // Layout offset of byte offset of disk (as a central record gives it);
    // false when no part of that disk holds it.
    bool OffsetOnDisk(std::uint32_t disk, std::uint64_t offset, std::uint64_t* at) const;

private:
    std::vector<SourcePart> parts_;
    std::uint64_t total_ = 0;
};

}  // namespace vrz
