// Reads byte ranges of a source layout from its part files, one part open
// at a time. Shared by the scan's windowed reader and the writers' reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "io/FileIo.h"
#include "io/SourceLayout.h"

namespace vrz {

// The reason given when a part lost bytes since the scan.
extern const char* const kShorterThanScanned;

class LayoutFiles {
public:
    // The scan reads on over bytes a file lost since it was listed (zeros
    // match no signature); the writers must never copy such bytes.
    enum class ShortRead { kZeroFill, kFail };

    explicit LayoutFiles(const SourceLayout& layout) : layout_(layout) {}

    // Reads [offset, offset + length), which must lie in the layout. False
    // when a part cannot be opened, or gives too few bytes under kFail.
    bool Read(std::uint64_t offset, std::uint8_t* out, std::size_t length, ShortRead policy);

    // The part that could not be read, and why, for the message.
    const std::string& FailedPath() const { return failedPath_; }
    const std::string& FailedReason() const { return failedReason_; }

    // The open file of part index; nullptr (with FailedPath set) when it cannot be opened.
    const InputFile* OpenPart(std::size_t index);

private:
    const SourceLayout& layout_;
    InputFile openFile_;
    std::size_t openIndex_ = static_cast<std::size_t>(-1);
    std::string failedPath_;
    std::string failedReason_;
};

}  // namespace vrz
