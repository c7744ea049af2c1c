#include "io/FileIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

namespace vrz {

namespace {

std::atomic<std::uint64_t> g_writeLimit{std::numeric_limits<std::uint64_t>::max()};
std::atomic<std::uint64_t> g_writtenTotal{0};
std::atomic<bool> g_unnamedRefused{false};
std::atomic<bool> g_copyRefused{false};

// How much of length the test write limit still lets through; 0 when it is reached.
std::uint64_t AllowedByWriteLimit(std::uint64_t length) {
    const std::uint64_t limit = g_writeLimit.load();
    const std::uint64_t total = g_writtenTotal.load();
    return total >= limit ? 0 : std::min<std::uint64_t>(length, limit - total);
}

// Errors by which copy_file_range says "not this way" rather than "failed".
bool CopyRefusal(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ETXTBSY ||
           error == EBADF || error == EPERM;
}

// Errors by which open(O_TMPFILE) says the file system cannot make unnamed files.
bool UnnamedRefusal(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

}  // namespace

void SetUnnamedFilesRefusedForTesting(bool refused) { g_unnamedRefused = refused; }
void SetInKernelCopyRefusedForTesting(bool refused) { g_copyRefused = refused; }

void SetWriteLimitForTesting(std::uint64_t limit) {
    g_writtenTotal = 0;
    g_writeLimit = limit;
}

InputFile::~InputFile() { Close(); }

InputFile::InputFile(InputFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

bool InputFile::Open(const std::string& path) {
    Close();
    lastError_.clear();
    // Non-blocking, so that a FIFO without a writer cannot hold the open.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) {
        lastError_ = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        lastError_ = std::strerror(errno);
        Close();
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        lastError_ = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        Close();
        return false;
    }
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

void InputFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool InputFile::Size(std::uint64_t* size) const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return false;
    *size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

std::size_t InputFile::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) const {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd_, buffer + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

OutputFile::~OutputFile() { Close(); }

void OutputFile::Fail(int error) {
    lastErrno_ = error;
    lastError_ = std::strerror(error);
}

bool OutputFile::CreateUnique(std::string* pathTemplate) {
    Close();
    std::vector<char> name(pathTemplate->begin(), pathTemplate->end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
        Fail(errno);
        return false;
    }
    // mkostemp creates the file with mode 0600; an archive is an ordinary document.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
    pathTemplate->assign(name.data());
    written_ = 0;
    return true;
}

bool OutputFile::CreateUnnamed(const std::string& folder, bool* refused) {
    Close();
    *refused = false;
    // Naming the file at the end goes through /proc; without it only a
    // privileged process could, so the caller takes a temporary name instead.
    if (g_unnamedRefused.load() || !FileExists("/proc/self/fd")) {
        *refused = true;
        Fail(EOPNOTSUPP);
        return false;
    }
    // The mode is filtered by the umask like any new file's.
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        *refused = UnnamedRefusal(errno);
        Fail(errno);
        return false;
    }
    written_ = 0;
    return true;
}

bool OutputFile::LinkAs(const std::string& path) {
    if (fd_ < 0) return false;
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd_);
    if (::linkat(AT_FDCWD, self, AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno != ENOENT || FileExists(self)) {
        Fail(errno);
        return false;
    }
    // Without /proc, naming the descriptor itself needs a privilege some callers have.
    if (::linkat(fd_, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0) return true;
    Fail(errno);
    return false;
}

bool OutputFile::Write(const std::uint8_t* data, std::size_t length) {
    if (fd_ < 0) return false;
    std::size_t done = 0;
    while (done < length) {
        const auto chunk = static_cast<std::size_t>(AllowedByWriteLimit(length - done));
        if (chunk == 0) {
            Fail(ENOSPC);
            return false;
        }
        const ssize_t n = ::write(fd_, data + done, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            Fail(n < 0 ? errno : ENOSPC);
            return false;
        }
        done += static_cast<std::size_t>(n);
        written_ += static_cast<std::uint64_t>(n);
        g_writtenTotal += static_cast<std::uint64_t>(n);
    }
    return true;
}

CopyOutcome OutputFile::CopyFrom(const InputFile& source, std::uint64_t sourceOffset, std::uint64_t length,
                                 std::uint64_t* copied) {
    *copied = 0;
    if (fd_ < 0) return CopyOutcome::kWriteFailed;
    if (g_copyRefused.load()) return CopyOutcome::kRefused;
    // Pieces of 1 GiB keep every request within what the call takes.
    constexpr std::uint64_t kLargestPiece = std::uint64_t{1} << 30;
    auto in = static_cast<loff_t>(sourceOffset);
    while (*copied < length) {
        const std::uint64_t piece = AllowedByWriteLimit(std::min(length - *copied, kLargestPiece));
        if (piece == 0) {
            Fail(ENOSPC);
            return CopyOutcome::kWriteFailed;
        }
        const ssize_t n = ::copy_file_range(source.Descriptor(), &in, fd_, nullptr, static_cast<std::size_t>(piece), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (CopyRefusal(errno) && *copied == 0) return CopyOutcome::kRefused;
            Fail(errno);
            return CopyOutcome::kWriteFailed;
        }
        if (n == 0) return CopyOutcome::kSourceShort;
        *copied += static_cast<std::uint64_t>(n);
        written_ += static_cast<std::uint64_t>(n);
        g_writtenTotal += static_cast<std::uint64_t>(n);
    }
    return CopyOutcome::kDone;
}

void OutputFile::StartWriteback(std::uint64_t offset, std::uint64_t length) {
    if (fd_ < 0 || length == 0) return;
    // Only a hint: a file system without it just leaves the work to fsync.
    ::sync_file_range(fd_, static_cast<off64_t>(offset), static_cast<off64_t>(length), SYNC_FILE_RANGE_WRITE);
}

bool OutputFile::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) const {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd_, buffer + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool OutputFile::Sync() {
    if (fd_ < 0) return false;
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        Fail(errno);
        return false;
    }
    return true;
}

void OutputFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FileSize(const std::string& path, std::uint64_t* size) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    *size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool RemoveFile(const std::string& path) { return !path.empty() && ::unlink(path.c_str()) == 0; }

bool ListFolderFiles(const std::string& folder, std::vector<std::string>* names, int* error) {
    names->clear();
    *error = 0;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        *error = errno;
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            *error = errno;
            break;
        }
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        // The listing's own type saves a stat per name where the file system gives it.
        const bool regular = entry->d_type == DT_REG ||
                             ((entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) &&
                              IsRegularFile(JoinPath(folder, name)));
        if (regular) names->push_back(name);
    }
    ::closedir(dir);
    std::sort(names->begin(), names->end());
    return *error == 0;
}

std::vector<std::string> ListFilesSorted(const std::string& folder) {
    std::vector<std::string> names;
    int error = 0;
    ListFolderFiles(folder, &names, &error);
    return names;
}

bool FreeSpace(const std::string& path, std::uint64_t* bytes) {
    struct statvfs vfs {};
    if (::statvfs(path.c_str(), &vfs) != 0) return false;
    *bytes = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
    return true;
}

bool MoveIntoPlaceNoReplace(const std::string& from, const std::string& to) {
#ifdef SYS_renameat2
    constexpr unsigned kRenameNoReplace = 1;
    if (::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), kRenameNoReplace) == 0)
        return true;
    if (errno == EEXIST) return false;
#endif
    // File systems without renameat2 flags: a hard link also refuses an existing name.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    if (errno == EEXIST) return false;
    // Last resort for file systems without hard links (FAT on removable media).
    if (FileExists(to)) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string FileNameOf(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    const auto slash = trimmed.find_last_of('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace vrz
