// The repaired archive while it is being written: a hidden temporary file in
// the destination folder that takes its final name only when complete, and
// never by replacing a file. Dropped unless it was moved into place, so a
// failed or cancelled save leaves nothing behind.
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

    // Creates the temporary file in the folder of finalPath.
    bool Create(const std::string& finalPath);
    // Buffered; large pieces go straight to the file.
    bool Append(const std::uint8_t* data, std::size_t length);
    // Bytes appended so far.
    std::uint64_t Size() const { return size_; }

    // Writes what is buffered, syncs and closes the file.
    bool Seal();
    // Gives the sealed file the name path. False with *nameTaken set when a
    // file of that name exists; false alone for any other failure.
    bool MoveTo(const std::string& path, bool* nameTaken);
    // Removes the temporary file unless it was moved into place.
    void Discard();

    const std::string& LastError() const { return lastError_; }
    const std::string& TempPath() const { return tempPath_; }

private:
    bool Flush();

    OutputFile file_;
    std::unique_ptr<std::uint8_t[]> buffer_;  // not zero-filled
    std::size_t bufferSize_;
    std::size_t buffered_ = 0;
    std::uint64_t size_ = 0;
    std::string tempPath_;
    std::string lastError_;
    bool moved_ = false;
};

}  // namespace vrz
