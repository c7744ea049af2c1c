// The repaired archive while it is being written. It is created without a
// name in the destination folder (O_TMPFILE), so that no ending of the
// process, not even a kill or a power loss, leaves a partial file behind; it
// gets its final name only when complete and synced, and never by replacing
// a file. Where the file system cannot make unnamed files, a hidden
// temporary name in the same folder stands in and is removed on failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "io/FileIo.h"

namespace vrz {

class StagedOutput {
public:
    explicit StagedOutput(std::size_t bufferSize);
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    // Creates the file in the folder of finalPath.
    bool Create(const std::string& finalPath);
    // Buffered; large pieces go straight to the file.
    bool Append(const std::uint8_t* data, std::size_t length);
    // Appends source bytes with an in-kernel copy. kRefused: nothing was
    // appended and the caller copies through Append instead; once refused,
    // later calls are refused at once.
    CopyOutcome AppendFrom(const InputFile& source, std::uint64_t offset, std::uint64_t length);
    // Bytes appended so far.
    std::uint64_t Size() const { return size_; }

    // Writes what is buffered and syncs the file.
    bool Seal();
    // Gives the sealed file the name path. False with *nameTaken set when a
    // file of that name exists; false alone for any other failure.
    bool MoveTo(const std::string& path, bool* nameTaken);
    // Drops the file unless it was moved into place.
    void Discard();

    const std::string& LastError() const { return lastError_; }
    int LastErrno() const { return lastErrno_; }
    // Empty while the file has no name at all.
    const std::string& TempPath() const { return tempPath_; }
    bool Unnamed() const { return unnamed_; }

private:
    bool Flush();
    bool WriteThrough(const std::uint8_t* data, std::size_t length);
    void TakeError();
    void StartWriteback(bool all);

    OutputFile file_;
    std::unique_ptr<std::uint8_t[]> buffer_;  // not zero-filled
    std::size_t bufferSize_;
    std::size_t buffered_ = 0;
    std::uint64_t size_ = 0;
    // Bytes before this offset have been handed to writeback already.
    std::uint64_t writebackDone_ = 0;
    std::string tempPath_;
    std::string lastError_;
    int lastErrno_ = 0;
    bool unnamed_ = false;
    bool sealed_ = false;
    bool moved_ = false;
    bool copyRefused_ = false;
};

}  // namespace vrz
