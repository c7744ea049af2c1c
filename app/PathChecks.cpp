#include "PathChecks.h"

#include <sys/stat.h>
#include <unistd.h>

SourcePathKind ClassifySourcePath(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return SourcePathKind::kMissing;
    return S_ISDIR(info.st_mode) ? SourcePathKind::kFolder : SourcePathKind::kFile;
}

bool FolderTakesNewFiles(const std::string& folder) {
    if (ClassifySourcePath(folder) != SourcePathKind::kFolder) return false;
    // access() also answers EROFS for a read-only mount, whoever asks.
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}
