// What the preview page lists: the recovered entries as a folder tree, each
// where the repaired archive holds it (the name its local header gives),
// the sum of their sizes for the free-space check and the totals line.
// Plain C++ so it is tested without a display; the page only mirrors Rows()
// into its list.
//
// The tree is built once, in one pass over the table: folders come from the
// paths of the entries under them, whether or not their own folder entry was
// found, and each folder keeps its own entries, so opening one costs only
// what it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "state/JobState.h"

namespace vrz {

// The folder of entries whose names give no place in a tree (an absolute
// name, an empty segment, "." or ".."), joined with any real "#Lost Files/"
// folder the archive holds.
extern const char kLostFilesRowText[];
extern const char kParentRowText[];

enum class PreviewRowKind { kLostFiles, kParent, kFolder, kFile };

struct PreviewRow {
    PreviewRowKind kind = PreviewRowKind::kFile;
    std::string key;    // the name segment as the archive's bytes
    std::string label;  // the same segment as UTF-8 for display
    // File rows: whole kilobytes, at least 1. Folder rows: the kilobytes of
    // everything below them.
    std::uint64_t sizeKB = 0;
    // File rows: the entry the row shows, for its verification status;
    // folder rows: the folder's own entry when the scan found it.
    const RecoveredEntry* entry = nullptr;
    // Folder rows: how many entries and damaged entries lie below.
    std::uint64_t entryCount = 0;
    std::uint64_t damagedCount = 0;
    std::uint32_t folder = 0;  // folder rows: the folder's index in the tree

    bool IsDamaged() const {
        if (kind == PreviewRowKind::kFile) return entry && entry->check.status == EntryStatus::kDamaged;
        return damagedCount > 0;
    }

    bool IsFolderLike() const { return kind != PreviewRowKind::kFile; }
};

// Size column of a file row: whole kilobytes, and never less than 1 so that a
// small file does not look empty.
std::uint64_t DisplaySizeKB(std::uint64_t bytes);

// True when the name cannot be placed in a folder tree: empty, absolute, or
// holding an empty, "." or ".." segment.
bool NameHasNoPlace(std::string_view name);

class PreviewModel {
public:
    // Builds the tree and the root view and sums the recovered size; the
    // entries must outlive the model and stay unchanged while it exists.
    explicit PreviewModel(const JobState& job);

    const std::vector<PreviewRow>& Rows() const { return rows_; }
    int Depth() const { return static_cast<int>(path_.size()); }
    // The full path of the folder shown, with its trailing "/"; empty at the root.
    std::string CurrentFolder() const;
    // Sum of every entry's whole kilobytes (no minimum of 1 here).
    float RecoveredSizeKB() const { return recoveredSizeKB_; }
    // "caption: count", counting every entry of the table, and
    // " (N damaged)" after it when entries are damaged; damagedFormat holds
    // "%d" where N goes.
    std::string TotalsText(const std::string& caption, const std::string& damagedFormat = "") const;
    std::size_t DamagedCount() const { return damagedCount_; }
    std::size_t FolderCount() const { return folders_.size(); }

    enum class Navigation { kNone, kEntered, kLeft };
    // A double-click on Rows()[row]: ".." goes up one level, a folder row
    // (or "#Lost Files") is entered, a file row stays as it is.
    Navigation Activate(std::size_t row);

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    struct Folder {
        std::string_view name;  // its last segment; empty for the root
        std::uint32_t parent = kNone;
        const RecoveredEntry* entry = nullptr;
        std::uint64_t bytes = 0;  // below it, in whole kilobytes per entry
        std::uint64_t entries = 0;
        std::uint64_t damaged = 0;
        // Ranges in childFolders_ and files_, filled once every entry is placed.
        std::uint32_t firstChild = 0;
        std::uint32_t childCount = 0;
        std::uint32_t firstFile = 0;
        std::uint32_t fileCount = 0;
    };

    struct ChildKey {
        std::uint32_t parent;
        std::string_view name;
        bool operator==(const ChildKey& other) const { return parent == other.parent && name == other.name; }
    };
    struct ChildKeyHash {
        std::size_t operator()(const ChildKey& key) const;
    };

    void BuildTree();
    // The child folder of parent named name, made when it is new.
    std::uint32_t FolderAt(std::uint32_t parent, std::string_view name);
    // The folder of the entry named name (a folder entry is its own folder).
    std::uint32_t PlaceOf(std::string_view name, bool* folderEntry);
    void ShowFolder(std::uint32_t folder);
    void AddFolderRow(std::uint32_t folder);
    void AddFileRow(std::uint32_t entryIndex);

    const JobState& job_;
    const EntryTable& entries_;
    std::vector<Folder> folders_;
    std::vector<std::uint32_t> childFolders_;
    std::vector<std::uint32_t> files_;  // entry indexes, grouped by folder
    std::uint32_t lostFolder_ = kNone;
    // Only while the tree is built.
    std::unordered_map<ChildKey, std::uint32_t, ChildKeyHash> children_;
    std::vector<PreviewRow> rows_;
    std::vector<std::uint32_t> path_;  // the folders entered, root excluded
    float recoveredSizeKB_ = 0.0f;
    std::size_t damagedCount_ = 0;
};

}  // namespace vrz
