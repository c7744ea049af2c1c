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

    // Opens regular files only, and without waiting: a FIFO or a device is
    // refused at once (ENXIO/EINVAL-like reasons go to LastError()).
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    // Why the last Open failed, for messages.
    const std::string& LastError() const { return lastError_; }
    // Size from the file system; false when it cannot be taken.
    bool Size(std::uint64_t* size) const;
    // Reads up to length bytes at offset; returns the count read (short at the end).
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) const;

private:
    int fd_ = -1;
    std::string lastError_;
};

// Result of an in-kernel copy.
enum class CopyOutcome {
    kDone,
    kRefused,     // the kernel or file systems cannot copy this way; nothing was written
    kSourceShort, // the source ended early or could not be read
    kWriteFailed, // see LastError() / LastErrno()
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
    // Creates a file without a name in folder (O_TMPFILE): it vanishes with
    // the process whatever ends it, until LinkAs gives it a name. False with
    // *refused set when the file system cannot make such files.
    bool CreateUnnamed(const std::string& folder, bool* refused);
    // Names an unnamed file; never replaces an existing file (EEXIST).
    bool LinkAs(const std::string& path);
    bool Write(const std::uint8_t* data, std::size_t length);
    // Copies length bytes of source from sourceOffset to the end of this
    // file inside the kernel (extents are shared where the file system can).
    // *copied says how much arrived, also when the copy stopped early.
    CopyOutcome CopyFrom(const InputFile& source, std::uint64_t sourceOffset, std::uint64_t length,
                         std::uint64_t* copied);
    // Starts writeback of [offset, offset + length) without waiting for it.
    void StartWriteback(std::uint64_t offset, std::uint64_t length);
    bool ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) const;
    bool Sync();
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    std::uint64_t BytesWritten() const { return written_; }
    // errno text of the last failure, for messages.
    const std::string& LastError() const { return lastError_; }
    int LastErrno() const { return lastErrno_; }

private:
    void Fail(int error);

    int fd_ = -1;
    std::uint64_t written_ = 0;
    std::string lastError_;
    int lastErrno_ = 0;
};

bool FileExists(const std::string& path);
bool IsDirectory(const std::string& path);
bool IsRegularFile(const std::string& path);
bool FileSize(const std::string& path, std::uint64_t* size);
bool RemoveFile(const std::string& path);
// Names of the regular files in a folder, sorted byte-wise; "." and ".." never appear.
std::vector<std::string> ListFilesSorted(const std::string& folder);
// As ListFilesSorted, but false (with errno in *error) when the folder cannot be listed.
bool ListFolderFiles(const std::string& folder, std::vector<std::string>* names, int* error);
// Bytes that this process may still write on the volume of path.
bool FreeSpace(const std::string& path, std::uint64_t* bytes);
// Gives the file at from the name to, only when no file of that name exists.
bool MoveIntoPlaceNoReplace(const std::string& from, const std::string& to);
// Makes a new name in folder durable; failures are ignored (not every file system can).
void SyncFolder(const std::string& folder);

std::string JoinPath(const std::string& folder, const std::string& name);
std::string FileNameOf(const std::string& path);
std::string FolderOf(const std::string& path);

// Tests use this to make every later write fail once limit bytes have been
// written by this process in total; UINT64_MAX switches it off.
void SetWriteLimitForTesting(std::uint64_t limit);
// Tests use this to act as a file system that refuses O_TMPFILE.
void SetUnnamedFilesRefusedForTesting(bool refused);
// Tests use this to act as a kernel without copy_file_range.
void SetInKernelCopyRefusedForTesting(bool refused);

}  // namespace vrz
