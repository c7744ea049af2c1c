#include "io/LayoutFiles.h"

#include <algorithm>
#include <cstring>

namespace vrz {

const char* const kShorterThanScanned = "the file is shorter than when it was scanned";

const InputFile* LayoutFiles::OpenPart(std::size_t index) {
    if (openIndex_ == index && openFile_.IsOpen()) return &openFile_;
    openFile_.Close();
    openIndex_ = static_cast<std::size_t>(-1);
    if (!openFile_.Open(layout_.Parts()[index].path)) {
        failedPath_ = layout_.Parts()[index].path;
        failedReason_ = openFile_.LastError();
        return nullptr;
    }
    openIndex_ = index;
    return &openFile_;
}

bool LayoutFiles::Read(std::uint64_t offset, std::uint8_t* out, std::size_t length, ShortRead policy) {
    while (length > 0) {
        const std::size_t index = layout_.PartIndexAt(offset);
        const SourcePart& part = layout_.Parts()[index];
        const std::uint64_t inPart = offset - part.start;
        if (inPart >= part.size) {
            failedPath_ = part.path;
            failedReason_ = kShorterThanScanned;
            return false;
        }
        const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(length, part.size - inPart));
        const InputFile* file = OpenPart(index);
        if (!file) return false;
        const std::size_t got = file->ReadAt(part.fileOffset + inPart, out, chunk);
        if (got < chunk) {
            if (policy == ShortRead::kFail) {
                failedPath_ = part.path;
                failedReason_ = kShorterThanScanned;
                return false;
            }
            std::memset(out + got, 0, chunk - got);
        }
        out += chunk;
        offset += chunk;
        length -= chunk;
    }
    return true;
}

}  // namespace vrz
