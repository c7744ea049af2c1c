#include "writer/CentralDirectorySpool.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace vrz {

CentralDirectorySpool::CentralDirectorySpool(std::string folder, std::size_t bufferSize)
    : folder_(std::move(folder)),
      buffer_(new std::uint8_t[std::max<std::size_t>(bufferSize, 1)]),
      bufferSize_(std::max<std::size_t>(bufferSize, 1)) {}

bool CentralDirectorySpool::Spill() {
    if (!file_.IsOpen()) {
        bool refused = false;
        if (!file_.CreateUnnamed(folder_, &refused)) {
            if (!refused) {
                lastError_ = file_.LastError();
                lastErrno_ = file_.LastErrno();
                return false;
            }
            std::string path = JoinPath(folder_, ".central-directory.XXXXXX");
            if (!file_.CreateUnique(&path)) {
                lastError_ = file_.LastError();
                lastErrno_ = file_.LastErrno();
                return false;
            }
            // The open descriptor keeps the data; the name goes at once.
            RemoveFile(path);
        }
    }
    if (!file_.Write(buffer_.get(), buffered_)) {
        lastError_ = file_.LastError();
        lastErrno_ = file_.LastErrno();
        return false;
    }
    buffered_ = 0;
    return true;
}

bool CentralDirectorySpool::Append(const std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        if (buffered_ == bufferSize_ && !Spill()) return false;
        const std::size_t chunk = std::min(length, bufferSize_ - buffered_);
        std::memcpy(buffer_.get() + buffered_, data, chunk);
        buffered_ += chunk;
        data += chunk;
        length -= chunk;
        size_ += chunk;
    }
    return true;
}

bool CentralDirectorySpool::ForEachBlock(const std::function<bool(const std::uint8_t*, std::size_t)>& sink) {
    const std::uint64_t spilled = file_.IsOpen() ? file_.BytesWritten() : 0;
    std::vector<std::uint8_t> block(spilled > 0 ? bufferSize_ : 0);
    for (std::uint64_t offset = 0; offset < spilled;) {
        const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), spilled - offset));
        if (!file_.ReadAt(offset, block.data(), length)) {
            lastError_ = "the central directory could not be read back";
            return false;
        }
        if (!sink(block.data(), length)) return false;
        offset += length;
    }
    return buffered_ == 0 || sink(buffer_.get(), buffered_);
}

}  // namespace vrz
