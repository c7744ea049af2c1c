#include "preview/PreviewModel.h"

#include <algorithm>

#include "text/NameDisplay.h"

namespace vrz {

const char kLostFilesRowText[] = "#Lost Files";
const char kParentRowText[] = "..";

namespace {

std::size_t CountSlashes(const std::string& name) {
    return static_cast<std::size_t>(std::count(name.begin(), name.end(), '/'));
}

bool EndsWithSlash(const std::string& name) {
    return !name.empty() && name.back() == '/';
}

// Position of c in text, or -1 when absent, so that "no dot" compares below
// any slash position.
long LastPosition(const std::string& text, char c) {
    const std::size_t pos = text.rfind(c);
    return pos == std::string::npos ? -1L : static_cast<long>(pos);
}

}  // namespace

std::uint64_t DisplaySizeKB(std::uint64_t bytes) {
    const std::uint64_t kb = bytes >> 10;
    return kb == 0 ? 1 : kb;
}

PreviewModel::PreviewModel(const JobState& job) : job_(job), entries_(job.entries) {
    for (const RecoveredEntry& entry : entries_) {
        recoveredSizeKB_ += static_cast<float>(entry.uncompressedSize >> 10);
    }
    BuildRoot();
}

std::size_t PreviewModel::DamagedCount() const {
    std::size_t count = 0;
    for (const RecoveredEntry& entry : entries_) count += entry.check.status == EntryStatus::kDamaged ? 1 : 0;
    return count;
}

std::string PreviewModel::TotalsText(const std::string& caption, const std::string& damagedFormat) const {
    std::string text = caption + ": " + std::to_string(entries_.size());
    const std::size_t damaged = DamagedCount();
    const std::size_t mark = damagedFormat.find("%d");
    if (damaged == 0 || mark == std::string::npos) return text;
    std::string count = damagedFormat;
    count.replace(mark, 2, std::to_string(damaged));
    return text + " (" + count + ")";
}

void PreviewModel::AddFolderRow(const std::string& nameWithoutSlash) {
    PreviewRow row;
    row.kind = PreviewRowKind::kFolder;
    row.key = nameWithoutSlash;
    row.label = NameForDisplay(nameWithoutSlash);
    rows_.push_back(std::move(row));
}

void PreviewModel::AddFileRow(const std::string& segment, const RecoveredEntry& entry) {
    PreviewRow row;
    row.kind = PreviewRowKind::kFile;
    row.key = segment;
    row.label = NameForDisplay(segment);
    row.sizeKB = DisplaySizeKB(entry.uncompressedSize);
    row.entry = &entry;
    rows_.push_back(std::move(row));
}

void PreviewModel::BuildRoot() {
    rows_.clear();
    PreviewRow lost;
    lost.kind = PreviewRowKind::kLostFiles;
    lost.key = lost.label = kLostFilesRowText;
    rows_.push_back(lost);

    // Folders first, then files, each in table order; the list sorts them.
    for (const RecoveredEntry& entry : entries_) {
        const std::string name(job_.NameOf(entry));
        const std::size_t slash = name.find('/');
        if (slash != std::string::npos && slash > 0 && CountSlashes(name) == 1 && slash == name.size() - 1) {
            AddFolderRow(name.substr(0, slash));
        }
    }
    for (const RecoveredEntry& entry : entries_) {
        const std::string name(job_.NameOf(entry));
        if (name.find('/', 1) == std::string::npos) {
            AddFileRow(name, entry);
        }
    }
}

void PreviewModel::BuildDepth(int depth) {
    rows_.clear();
    PreviewRow parent;
    parent.kind = PreviewRowKind::kParent;
    parent.key = parent.label = kParentRowText;
    rows_.push_back(parent);

    // Membership is by containment of the entered segment anywhere in the
    // name, so a folder "x/" also shows the files of "ax/".
    const std::string& segment = folderStack_[static_cast<std::size_t>(depth - 1)];
    const std::size_t d = static_cast<std::size_t>(depth);
    for (const RecoveredEntry& entry : entries_) {
        const std::string name(job_.NameOf(entry));
        if (name.find(segment) == std::string::npos) continue;
        if (CountSlashes(name) == d + 1 && EndsWithSlash(name)) {
            const std::string withoutSlash = name.substr(0, name.size() - 1);
            AddFolderRow(withoutSlash.substr(withoutSlash.rfind('/') + 1));
        }
    }
    for (const RecoveredEntry& entry : entries_) {
        const std::string name(job_.NameOf(entry));
        if (name.find(segment) == std::string::npos) continue;
        if (CountSlashes(name) == d && !EndsWithSlash(name)) {
            AddFileRow(name.substr(name.rfind('/') + 1), entry);
        }
    }
}

PreviewModel::Navigation PreviewModel::Activate(std::size_t row) {
    if (row >= rows_.size()) return Navigation::kNone;
    const PreviewRow& chosen = rows_[row];
    selection_ = chosen.key;

    if (chosen.kind == PreviewRowKind::kParent) {
        --depth_;
        if (depth_ <= 0) {
            depth_ = 0;
            BuildRoot();
        } else {
            BuildDepth(depth_);
        }
        return Navigation::kLeft;
    }

    // A dot after the last slash marks a file name with an extension; such
    // rows, folders like "backup.2020" included, are not entered.
    if (LastPosition(selection_, '/') < LastPosition(selection_, '.')) return Navigation::kNone;

    selection_ += '/';
    ++depth_;
    folder_ = selection_;
    if (folderStack_.size() < static_cast<std::size_t>(depth_)) folderStack_.resize(static_cast<std::size_t>(depth_));
    folderStack_[static_cast<std::size_t>(depth_ - 1)] = selection_;
    BuildDepth(depth_);
    return Navigation::kEntered;
}

}  // namespace vrz
