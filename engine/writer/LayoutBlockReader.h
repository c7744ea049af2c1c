// Exact reads over the source layout for the writers. Unlike the scan's
// reader it treats a short read as a failure: a source that shrank since the
// scan must stop the save rather than put zeros into the output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "io/LayoutFiles.h"
#include "io/SourceLayout.h"

namespace vrz {

class LayoutBlockReader {
public:
    LayoutBlockReader(const SourceLayout& layout, std::size_t windowSize);

    // True when every part is still a regular file of the size the scan saw.
    bool PartsUnchanged();

    // Bytes from offset on, at most want of them (and at least one when
    // offset is inside the layout); *available says how many. The pointer
    // stays valid until the next call. nullptr when a part cannot be read.
    const std::uint8_t* View(std::uint64_t offset, std::size_t want, std::size_t* available);

    // All of [offset, offset + length) in the window, loading it from offset
    // when the window does not hold it all; nullptr when length is more
    // than the window holds or a part cannot be read.
    const std::uint8_t* ViewWhole(std::uint64_t offset, std::size_t length);

    // Copies exactly [offset, offset + length) into out.
    bool Read(std::uint64_t offset, std::size_t length, std::uint8_t* out);

    // Copies exactly [offset, offset + length) into out without loading the
    // window; for a few header bytes in front of a large in-kernel copy.
    bool ReadDirect(std::uint64_t offset, std::size_t length, std::uint8_t* out);

    // The open file of part index, for in-kernel copies; nullptr when it cannot be opened.
    const InputFile* PartFile(std::size_t index) { return files_.OpenPart(index); }

    // The part that could not be read, and why, for the message.
    const std::string& FailedPath() const { return failedPath_.empty() ? files_.FailedPath() : failedPath_; }
    const std::string& FailedReason() const { return failedPath_.empty() ? files_.FailedReason() : failedReason_; }

private:
    bool Load(std::uint64_t offset);

    const SourceLayout& layout_;
    // Not zero-filled: pages are touched only when a read fills them.
    std::unique_ptr<std::uint8_t[]> window_;
    std::size_t windowSize_;
    std::uint64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
    LayoutFiles files_;
    std::string failedPath_;  // a part whose size changed
    std::string failedReason_;
};

}  // namespace vrz
