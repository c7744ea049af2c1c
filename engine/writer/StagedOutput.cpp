#include "writer/StagedOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vrz {

namespace {

// Keeps "." + name + ".XXXXXX" within the 255 bytes a file name may have.
constexpr std::size_t kMaxNameInTempName = 200;

// Writeback starts whenever this much was written since the last start, so
// the final fsync finds little left and dirty pages do not pile up.
constexpr std::uint64_t kWritebackStep = std::uint64_t{32} << 20;

}  // namespace

StagedOutput::StagedOutput(std::size_t bufferSize)
    : buffer_(new std::uint8_t[std::max<std::size_t>(bufferSize, 1)]), bufferSize_(std::max<std::size_t>(bufferSize, 1)) {}

StagedOutput::~StagedOutput() { Discard(); }

void StagedOutput::TakeError() {
    lastError_ = file_.LastError();
    lastErrno_ = file_.LastErrno();
}

bool StagedOutput::Create(const std::string& finalPath) {
    Discard();
    moved_ = false;
    sealed_ = false;
    unnamed_ = false;
    size_ = 0;
    buffered_ = 0;
    writebackDone_ = 0;
    bool refused = false;
    if (file_.CreateUnnamed(FolderOf(finalPath), &refused)) {
        unnamed_ = true;
        return true;
    }
    if (!refused) {
        TakeError();
        return false;
    }
    std::string name = FileNameOf(finalPath);
    if (name.size() > kMaxNameInTempName) name.resize(kMaxNameInTempName);
    std::string path = JoinPath(FolderOf(finalPath), "." + name + ".XXXXXX");
    if (!file_.CreateUnique(&path)) {
        TakeError();
        return false;
    }
    tempPath_ = path;
    return true;
}

void StagedOutput::StartWriteback(bool all) {
    const std::uint64_t onDisk = file_.BytesWritten();
    if (onDisk <= writebackDone_ || (!all && onDisk - writebackDone_ < kWritebackStep)) return;
    file_.StartWriteback(writebackDone_, onDisk - writebackDone_);
    writebackDone_ = onDisk;
}

bool StagedOutput::WriteThrough(const std::uint8_t* data, std::size_t length) {
    if (!file_.Write(data, length)) {
        TakeError();
        return false;
    }
    StartWriteback(false);
    return true;
}

bool StagedOutput::Flush() {
    if (buffered_ == 0) return true;
    const std::size_t length = buffered_;
    buffered_ = 0;
    return WriteThrough(buffer_.get(), length);
}

bool StagedOutput::Append(const std::uint8_t* data, std::size_t length) {
    if (!file_.IsOpen() || sealed_) return false;
    if (length > bufferSize_ - buffered_ && !Flush()) return false;
    if (length >= bufferSize_) {
        if (!WriteThrough(data, length)) return false;
    } else {
        std::memcpy(buffer_.get() + buffered_, data, length);
        buffered_ += length;
    }
    size_ += length;
    return true;
}

CopyOutcome StagedOutput::AppendFrom(const InputFile& source, std::uint64_t offset, std::uint64_t length) {
    if (!file_.IsOpen() || sealed_) return CopyOutcome::kWriteFailed;
    if (copyRefused_) return CopyOutcome::kRefused;
    if (!Flush()) return CopyOutcome::kWriteFailed;
    std::uint64_t copied = 0;
    const CopyOutcome outcome = file_.CopyFrom(source, offset, length, &copied);
    size_ += copied;
    if (outcome == CopyOutcome::kRefused) copyRefused_ = true;
    if (outcome == CopyOutcome::kWriteFailed) TakeError();
    StartWriteback(false);
    return outcome;
}

bool StagedOutput::Seal() {
    if (!file_.IsOpen()) return false;
    if (!Flush()) return false;
    StartWriteback(true);
    if (!file_.Sync()) {
        TakeError();
        return false;
    }
    sealed_ = true;
    return true;
}

bool StagedOutput::MoveTo(const std::string& path, bool* nameTaken) {
    *nameTaken = false;
    if (!sealed_ || moved_) return false;
    const bool named = unnamed_ ? file_.LinkAs(path) : MoveIntoPlaceNoReplace(tempPath_, path);
    if (named) {
        moved_ = true;
        file_.Close();
        tempPath_.clear();
        SyncFolder(FolderOf(path));
        return true;
    }
    const int error = unnamed_ ? file_.LastErrno() : errno;
    *nameTaken = error == EEXIST || FileExists(path);
    lastErrno_ = *nameTaken ? EEXIST : error;
    lastError_ = std::strerror(lastErrno_);
    return false;
}

void StagedOutput::Discard() {
    file_.Close();
    if (!moved_ && !tempPath_.empty()) RemoveFile(tempPath_);
    tempPath_.clear();
}

}  // namespace vrz
