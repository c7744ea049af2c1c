// What the preview page lists: the recovered entries as a browsable folder
// tree, the sum of their sizes for the free-space check and the totals line.
// Plain C++ so it is tested without a display; the page only mirrors Rows()
// into its list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "state/JobState.h"

namespace vrz {

// The virtual folder of entries whose folder entry the scan did not find.
extern const char kLostFilesRowText[];
extern const char kParentRowText[];

enum class PreviewRowKind { kLostFiles, kParent, kFolder, kFile };

struct PreviewRow {
    PreviewRowKind kind = PreviewRowKind::kFile;
    std::string key;    // the name segment as the archive's bytes
    std::string label;  // the same segment as UTF-8 for display
    std::uint64_t sizeKB = 0;  // file rows only
    // File rows: the entry the row shows, for its verification status.
    const RecoveredEntry* entry = nullptr;

    bool IsDamaged() const { return entry && entry->check.status == EntryStatus::kDamaged; }

    bool IsFolderLike() const { return kind != PreviewRowKind::kFile; }
};

// Size column of a file row: whole kilobytes, and never less than 1 so that a
// small file does not look empty.
std::uint64_t DisplaySizeKB(std::uint64_t bytes);

class PreviewModel {
public:
    // Builds the root view and sums the recovered size; the entries must
    // outlive the model and stay unchanged while it exists.
    explicit PreviewModel(const JobState& job);

    const std::vector<PreviewRow>& Rows() const { return rows_; }
    int Depth() const { return depth_; }
    // The folder segment entered last, with its trailing "/".
    const std::string& CurrentFolder() const { return folder_; }
    // Sum of every entry's whole kilobytes (no minimum of 1 here).
    float RecoveredSizeKB() const { return recoveredSizeKB_; }
    // "caption: count", counting every entry of the table, and
    // " (N damaged)" after it when entries are damaged; damagedFormat holds
    // "%d" where N goes.
    std::string TotalsText(const std::string& caption, const std::string& damagedFormat = "") const;
    std::size_t DamagedCount() const;

    enum class Navigation { kNone, kEntered, kLeft };
    // A double-click on Rows()[row]: ".." goes up one level, a row whose text
    // has no "." after its last "/" is entered as a folder, anything else
    // stays as it is.
    Navigation Activate(std::size_t row);

private:
    void BuildRoot();
    void BuildDepth(int depth);
    void AddFolderRow(const std::string& nameWithoutSlash);
    void AddFileRow(const std::string& segment, const RecoveredEntry& entry);

    const JobState& job_;
    const std::vector<RecoveredEntry>& entries_;
    std::vector<PreviewRow> rows_;
    int depth_ = 0;
    std::string selection_;
    std::string folder_;
    // Slot k-1 holds the folder segment entered to reach depth k.
    std::vector<std::string> folderStack_;
    float recoveredSizeKB_ = 0.0f;
};

}  // namespace vrz
