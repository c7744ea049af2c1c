#include "writer/StagedOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vrz {

namespace {

// Keeps "." + name + ".XXXXXX" within the 255 bytes a file name may have.
constexpr std::size_t kMaxNameInTempName = 200;

}  // namespace

StagedOutput::StagedOutput(std::size_t bufferSize)
    : buffer_(new std::uint8_t[std::max<std::size_t>(bufferSize, 1)]), bufferSize_(std::max<std::size_t>(bufferSize, 1)) {}

StagedOutput::~StagedOutput() { Discard(); }

bool StagedOutput::Create(const std::string& finalPath) {
    Discard();
    moved_ = false;
    size_ = 0;
    buffered_ = 0;
    std::string name = FileNameOf(finalPath);
    if (name.size() > kMaxNameInTempName) name.resize(kMaxNameInTempName);
    std::string path = JoinPath(FolderOf(finalPath), "." + name + ".XXXXXX");
    if (!file_.CreateUnique(&path)) {
        lastError_ = file_.LastError();
        return false;
    }
    tempPath_ = path;
    return true;
}

bool StagedOutput::Flush() {
    if (buffered_ == 0) return true;
    const std::size_t length = buffered_;
    buffered_ = 0;
    if (!file_.Write(buffer_.get(), length)) {
        lastError_ = file_.LastError();
        return false;
    }
    return true;
}

bool StagedOutput::Append(const std::uint8_t* data, std::size_t length) {
    if (!file_.IsOpen()) return false;
    if (length > bufferSize_ - buffered_ && !Flush()) return false;
    if (length >= bufferSize_) {
        if (!file_.Write(data, length)) {
            lastError_ = file_.LastError();
            return false;
        }
    } else {
        std::memcpy(buffer_.get() + buffered_, data, length);
        buffered_ += length;
    }
    size_ += length;
    return true;
}

bool StagedOutput::Seal() {
    if (!file_.IsOpen()) return false;
    if (!Flush()) return false;
    if (!file_.Sync()) {
        lastError_ = file_.LastError();
        return false;
    }
    file_.Close();
    return true;
}

bool StagedOutput::MoveTo(const std::string& path, bool* nameTaken) {
    *nameTaken = false;
    if (tempPath_.empty() || file_.IsOpen()) return false;
    if (MoveIntoPlaceNoReplace(tempPath_, path)) {
        moved_ = true;
        return true;
    }
    const int error = errno;
    *nameTaken = FileExists(path);
    lastError_ = std::strerror(*nameTaken ? EEXIST : error);
    return false;
}

void StagedOutput::Discard() {
    file_.Close();
    if (!moved_ && !tempPath_.empty()) RemoveFile(tempPath_);
    tempPath_.clear();
}

}  // namespace vrz
