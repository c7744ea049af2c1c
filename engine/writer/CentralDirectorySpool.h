// Holds the central headers of a rebuild until the entries are written.
// Headers collect in a fixed buffer that spills to an unnamed file in the
// destination folder (O_TMPFILE, or created and unlinked at once where that
// is refused, so it is not left behind), which keeps memory bounded
// whatever the number of entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "io/FileIo.h"

namespace vrz {

class CentralDirectorySpool {
public:
    CentralDirectorySpool(std::string folder, std::size_t bufferSize);

    bool Append(const std::uint8_t* data, std::size_t length);
    std::uint64_t Size() const { return size_; }

    // Hands every byte back in order, in blocks of at most the buffer size;
    // stops and returns false as soon as sink does, or when a read fails.
    bool ForEachBlock(const std::function<bool(const std::uint8_t*, std::size_t)>& sink);

    const std::string& LastError() const { return lastError_; }
    // errno of the last failed write, 0 when a read back failed.
    int LastErrno() const { return lastErrno_; }

private:
    bool Spill();

    std::string folder_;
    std::unique_ptr<std::uint8_t[]> buffer_;  // not zero-filled
    std::size_t bufferSize_;
    std::size_t buffered_ = 0;
    std::uint64_t size_ = 0;
    OutputFile file_;
    std::string lastError_;
    int lastErrno_ = 0;
};

}  // namespace vrz
