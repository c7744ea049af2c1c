// Archives for the window tests: a small tree of files written by real
// archivers (Info-ZIP zip), damaged on purpose, and the independent readers
// that check what the wizard saved.
#pragma once

#include <string>
#include <vector>

namespace vrz::guitest {

// Runs a shell command; returns its exit status and puts its output in *output.
int RunCommand(const std::string& command, std::string* output = nullptr);
std::string Quote(const std::string& text);

// A folder tree under root/tree: folders docs/ and docs/img/, text and
// incompressible files, a file without extension. Returns the relative
// paths of the files (folders end with "/").
std::vector<std::string> WriteSampleTree(const std::string& root);

// zip -r of root/tree into archive (relative names, folder entries included).
bool ZipTree(const std::string& root, const std::string& archive);
// The same split into parts of partKB kilobytes: base.z01, ... base.zip in folder.
bool ZipTreeSplit(const std::string& root, const std::string& folder, const std::string& base, int partKB);

// Cuts the file off where its central directory starts, as a transfer that
// broke before the end does; false when there is none.
bool CutAtCentralDirectory(const std::string& path);

// Names of the files in folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);

// Checks archive with unzip -t, 7z t and Python's zipfile, and that it holds
// every file of root/tree with the same content. Empty when all agree,
// otherwise what went wrong.
std::string CheckRepairedArchive(const std::string& archive, const std::string& root,
                                 const std::vector<std::string>& expectedEntries);

}  // namespace vrz::guitest
