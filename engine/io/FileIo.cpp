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

}  // namespace

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
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return false;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        Close();
        return false;
    }
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

bool OutputFile::CreateUnique(std::string* pathTemplate) {
    Close();
    std::vector<char> name(pathTemplate->begin(), pathTemplate->end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
        lastError_ = std::strerror(errno);
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

bool OutputFile::Write(const std::uint8_t* data, std::size_t length) {
    if (fd_ < 0) return false;
    std::size_t done = 0;
    while (done < length) {
        std::size_t chunk = length - done;
        const std::uint64_t limit = g_writeLimit.load();
        const std::uint64_t total = g_writtenTotal.load();
        if (total >= limit) {
            lastError_ = std::strerror(ENOSPC);
            return false;
        }
        chunk = static_cast<std::size_t>(std::min<std::uint64_t>(chunk, limit - total));
        const ssize_t n = ::write(fd_, data + done, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            lastError_ = std::strerror(n < 0 ? errno : ENOSPC);
            return false;
        }
        done += static_cast<std::size_t>(n);
        written_ += static_cast<std::uint64_t>(n);
        g_writtenTotal += static_cast<std::uint64_t>(n);
    }
    return true;
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
        lastError_ = std::strerror(errno);
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

std::vector<std::string> ListFilesSorted(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (IsRegularFile(JoinPath(folder, name))) names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
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
