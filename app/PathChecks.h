// What a path given to the wizard stands for (typed into the path box,
// dropped on the window, named on the command line), and whether a folder
// can take the repaired archive. Plain file-system checks, no windows.
#pragma once

#include <string>

enum class SourcePathKind { kMissing, kFile, kFolder };

SourcePathKind ClassifySourcePath(const std::string& path);

// A folder in which this user may create files: false for a missing path,
// a file, or a folder on a read-only file system or without write permission.
bool FolderTakesNewFiles(const std::string& folder);
