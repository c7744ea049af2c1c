// Reads byte ranges of a source layout from its part files, one part open
// at a time. Shared by the scan's windowed reader and the writers' reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "io/FileIo.h"
#include "io/SourceLayout.h"

namespace vrz {

class LayoutFiles {
public:
    // The scan reads on over bytes a file lost since it was listed (zeros
    // match no signature); the writers must never copy such bytes.
    enum class ShortRead { kZeroFill, kFail };

    explicit LayoutFiles(const SourceLayout& layout) : layout_(layout) {}

    // Reads [offset, offset + length), which must lie in the layout. False
    // when a part cannot be opened, or gives too few bytes under kFail.
    bool Read(std::uint64_t offset, std::uint8_t* out, std::size_t length, ShortRead policy);

    // The part that could not be read, for the message.
    const std::string& FailedPath() const { return failedPath_; }

private:
    const InputFile* OpenPart(std::size_t index);

    const SourceLayout& layout_;
    InputFile openFile_;
    std::size_t openIndex_ = static_cast<std::size_t>(-1);
    std::string failedPath_;
};

}  // namespace vrz
