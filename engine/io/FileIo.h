// The one thin layer through which the engine touches the file system, so
// that tests can inject a failed or short write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vrz {

// A file opened read-only; reads by absolute offset.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    // Size from the file system; false when it cannot be taken.
    bool Size(std::uint64_t* size) const;
    // Reads up to length bytes at offset; returns the count read (short at the end).
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) const;

private:
    int fd_ = -1;
};

// A file created for writing; every write is checked in full.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates a new file with a unique name from a template ending in "XXXXXX".
    bool CreateUnique(std::string* pathTemplate);
    bool Write(const std::uint8_t* data, std::size_t length);
    bool ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) const;
    bool Sync();
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    std::uint64_t BytesWritten() const { return written_; }
    // errno text of the last failure, for messages.
    const std::string& LastError() const { return lastError_; }

private:
    int fd_ = -1;
    std::uint64_t written_ = 0;
    std::string lastError_;
};

bool FileExists(const std::string& path);
bool IsDirectory(const std::string& path);
bool IsRegularFile(const std::string& path);
bool FileSize(const std::string& path, std::uint64_t* size);
bool RemoveFile(const std::string& path);
// Names of the regular files in a folder, sorted byte-wise; "." and ".." never appear.
std::vector<std::string> ListFilesSorted(const std::string& folder);
// Bytes that this process may still write on the volume of path.
bool FreeSpace(const std::string& path, std::uint64_t* bytes);
// Gives the file at from the name to, only when no file of that name exists.
bool MoveIntoPlaceNoReplace(const std::string& from, const std::string& to);

std::string JoinPath(const std::string& folder, const std::string& name);
std::string FileNameOf(const std::string& path);
std::string FolderOf(const std::string& path);

// Tests use this to make every later write fail once limit bytes have been
// written by this process in total; UINT64_MAX switches it off.
void SetWriteLimitForTesting(std::uint64_t limit);

}  // namespace vrz
