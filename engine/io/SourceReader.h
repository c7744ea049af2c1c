// Large sequential reads over a source layout. One window of bytes is held in
// memory; it may span parts. Signature searches run through the window with
// memchr, so the scan costs little more than reading the bytes it passes over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/LayoutFiles.h"
#include "io/SourceLayout.h"

namespace vrz {

class SourceReader {
public:
    // Small enough that the copy out of the page cache stays in the CPU's
    // cache, large enough for any local header with its name and extra field.
    static constexpr std::size_t kDefaultWindow = 256u << 10;

    explicit SourceReader(const SourceLayout& layout, std::size_t windowSize = kDefaultWindow);

    // Pointer to the bytes [offset, offset + length), or nullptr when they do not
    // all lie in the layout or a part cannot be opened. length <= window size.
    // The pointer stays valid until the next call.
    const std::uint8_t* Bytes(std::uint64_t offset, std::size_t length);

    // Looks for the first offset in [from, limit) where one of the four-byte
    // signatures starts with all four bytes inside the layout. Each call goes
    // through at most one window, so callers can poll between calls. True:
    // *position is the hit. False: *position is where to go on from, and
    // equals limit once the whole range was searched.
    bool FindSignature(std::uint64_t from, std::uint64_t limit, const std::uint8_t* const* signatures,
                       std::size_t count, std::uint64_t* position);

    // Copies [offset, offset + length) into out without moving the window, so
    // pointers from Bytes stay valid; false when the range is not all in the
    // layout or a part cannot be opened. Small copies are served from a block
    // of their own: a walk that reads one header per entry then costs one
    // read per block, not one system call per header.
    bool Copy(std::uint64_t offset, std::size_t length, std::uint8_t* out);

    // Set when a part could not be opened; names that part.
    bool Failed() const { return failed_; }
    const std::string& FailedPath() const { return files_.FailedPath(); }

    std::size_t WindowSize() const { return window_.size(); }

private:
    bool Load(std::uint64_t offset);
    bool ReadSpan(std::uint64_t offset, std::uint8_t* out, std::size_t length);
    static bool Holds(std::uint64_t start, std::size_t held, std::uint64_t offset, std::size_t length) {
        return offset >= start && offset - start <= held && length <= held - (offset - start);
    }

    const SourceLayout& layout_;
    std::vector<std::uint8_t> window_;
    std::uint64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
    std::vector<std::uint8_t> copyBlock_;  // allocated on the first small copy
    std::uint64_t copyStart_ = 0;
    std::size_t copyLength_ = 0;
    LayoutFiles files_;
    bool failed_ = false;
};

}  // namespace vrz
