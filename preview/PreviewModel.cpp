#include "preview/PreviewModel.h"

#include <functional>

#include "text/NameDisplay.h"

namespace vrz {

const char kLostFilesRowText[] = "#Lost Files";
const char kParentRowText[] = "..";

std::uint64_t DisplaySizeKB(std::uint64_t bytes) {
    const std::uint64_t kb = bytes >> 10;
    return kb == 0 ? 1 : kb;
}

bool NameHasNoPlace(std::string_view name) {
    if (!name.empty() && name.back() == '/') name.remove_suffix(1);
    if (name.empty() || name.front() == '/') return true;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string_view::npos) end = name.size();
        const std::string_view segment = name.substr(start, end - start);
        if (segment.empty() || segment == "." || segment == "..") return true;
        start = end + 1;
    }
    return false;
}

std::size_t PreviewModel::ChildKeyHash::operator()(const ChildKey& key) const {
    return std::hash<std::string_view>()(key.name) * 31u + key.parent;
}

PreviewModel::PreviewModel(const JobState& job) : job_(job), entries_(job.entries) {
    BuildTree();
    ShowFolder(0);
}

std::string PreviewModel::CurrentFolder() const {
    std::string path;
    for (const std::uint32_t folder : path_) {
        path += folder == lostFolder_ ? std::string_view(kLostFilesRowText) : folders_[folder].name;
        path += '/';
    }
    return path;
}

std::string PreviewModel::TotalsText(const std::string& caption, const std::string& damagedFormat) const {
    std::string text = caption + ": " + std::to_string(entries_.size());
    const std::size_t mark = damagedFormat.find("%d");
    if (damagedCount_ == 0 || mark == std::string::npos) return text;
    std::string count = damagedFormat;
    count.replace(mark, 2, std::to_string(damagedCount_));
    return text + " (" + count + ")";
}

std::uint32_t PreviewModel::FolderAt(std::uint32_t parent, std::string_view name) {
    const auto found = children_.find(ChildKey{parent, name});
    if (found != children_.end()) return found->second;
    const auto index = static_cast<std::uint32_t>(folders_.size());
    Folder folder;
    folder.name = name;
    folder.parent = parent;
    folders_.push_back(folder);
    children_.emplace(ChildKey{parent, name}, index);
    if (parent == 0 && name == kLostFilesRowText) lostFolder_ = index;
    return index;
}

std::uint32_t PreviewModel::PlaceOf(std::string_view name, bool* folderEntry) {
    *folderEntry = false;
    if (NameHasNoPlace(name)) return FolderAt(0, kLostFilesRowText);
    const bool isFolder = name.back() == '/';
    if (isFolder) name.remove_suffix(1);
    // Walking down segment by segment hashes each byte of the name once.
    std::uint32_t folder = 0;
    std::size_t start = 0;
    for (std::size_t slash = name.find('/'); slash != std::string_view::npos; slash = name.find('/', start)) {
        folder = FolderAt(folder, name.substr(start, slash - start));
        start = slash + 1;
    }
    if (!isFolder) return folder;
    *folderEntry = true;
    return FolderAt(folder, name.substr(start));
}

void PreviewModel::BuildTree() {
    folders_.assign(1, Folder());
    // Each entry's folder, and whether it is that folder's own entry.
    std::vector<std::uint32_t> placeOf(entries_.size());
    std::vector<bool> ownEntry(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const RecoveredEntry& entry = entries_[i];
        recoveredSizeKB_ += static_cast<float>(entry.uncompressedSize >> 10);
        bool folderEntry = false;
        const std::uint32_t folder = PlaceOf(job_.HeaderNameOf(entry), &folderEntry);
        if (folderEntry && folders_[folder].entry == nullptr) {
            folders_[folder].entry = &entry;
            ownEntry[i] = true;
            placeOf[i] = folder;
        } else {
            // A second entry of the same folder is listed as a row of its parent.
            placeOf[i] = folderEntry ? folders_[folder].parent : folder;
        }

        Folder& holder = folders_[placeOf[i]];
        holder.bytes += entry.uncompressedSize >> 10;
        holder.entries += 1;
        if (entry.check.status == EntryStatus::kDamaged) {
            holder.damaged += 1;
            ++damagedCount_;
        }
        if (!ownEntry[i]) holder.fileCount += 1;
    }
    children_ = {};

    // Parents come before their children, so one backward pass sums each
    // folder into its parent after its own children were summed into it.
    for (std::size_t f = folders_.size(); f-- > 1;) {
        Folder& parent = folders_[folders_[f].parent];
        parent.bytes += folders_[f].bytes;
        parent.entries += folders_[f].entries;
        parent.damaged += folders_[f].damaged;
        parent.childCount += 1;
    }

    // Contiguous ranges: the children and files of each folder side by side.
    std::uint32_t nextChild = 0;
    std::uint32_t nextFile = 0;
    for (Folder& folder : folders_) {
        folder.firstChild = nextChild;
        folder.firstFile = nextFile;
        nextChild += folder.childCount;
        nextFile += folder.fileCount;
        folder.childCount = 0;
        folder.fileCount = 0;
    }
    childFolders_.resize(nextChild);
    files_.resize(nextFile);
    for (std::size_t f = 1; f < folders_.size(); ++f) {
        Folder& parent = folders_[folders_[f].parent];
        childFolders_[parent.firstChild + parent.childCount++] = static_cast<std::uint32_t>(f);
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (ownEntry[i]) continue;
        Folder& holder = folders_[placeOf[i]];
        files_[holder.firstFile + holder.fileCount++] = static_cast<std::uint32_t>(i);
    }
}

void PreviewModel::AddFolderRow(std::uint32_t index) {
    const Folder& folder = folders_[index];
    PreviewRow row;
    row.kind = index == lostFolder_ ? PreviewRowKind::kLostFiles : PreviewRowKind::kFolder;
    row.key = row.kind == PreviewRowKind::kLostFiles ? std::string(kLostFilesRowText) : std::string(folder.name);
    row.label = row.kind == PreviewRowKind::kLostFiles ? row.key : NameForDisplay(folder.name);
    row.sizeKB = folder.bytes;
    row.entry = folder.entry;
    row.entryCount = folder.entries;
    row.damagedCount = folder.damaged;
    row.folder = index;
    rows_.push_back(std::move(row));
}

void PreviewModel::AddFileRow(std::uint32_t entryIndex) {
    const RecoveredEntry& entry = entries_[entryIndex];
    std::string_view name = job_.HeaderNameOf(entry);
    // A name with no place is shown whole; any other by its last segment.
    if (!NameHasNoPlace(name)) {
        if (name.back() == '/') name.remove_suffix(1);
        const std::size_t slash = name.rfind('/');
        if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    }
    PreviewRow row;
    row.kind = PreviewRowKind::kFile;
    row.key = std::string(name);
    row.label = NameForDisplay(name);
    row.sizeKB = DisplaySizeKB(entry.uncompressedSize);
    row.entry = &entry;
    rows_.push_back(std::move(row));
}

void PreviewModel::ShowFolder(std::uint32_t index) {
    rows_.clear();
    const Folder& folder = folders_[index];
    if (index != 0) {
        PreviewRow parent;
        parent.kind = PreviewRowKind::kParent;
        parent.key = parent.label = kParentRowText;
        rows_.push_back(parent);
    }
    rows_.reserve(rows_.size() + folder.childCount + folder.fileCount);
    for (std::uint32_t c = 0; c < folder.childCount; ++c) AddFolderRow(childFolders_[folder.firstChild + c]);
    for (std::uint32_t f = 0; f < folder.fileCount; ++f) AddFileRow(files_[folder.firstFile + f]);
}

PreviewModel::Navigation PreviewModel::Activate(std::size_t row) {
    if (row >= rows_.size()) return Navigation::kNone;
    const PreviewRow& chosen = rows_[row];
    if (chosen.kind == PreviewRowKind::kParent) {
        if (!path_.empty()) path_.pop_back();
        ShowFolder(path_.empty() ? 0 : path_.back());
        return Navigation::kLeft;
    }
    if (chosen.kind == PreviewRowKind::kFile) return Navigation::kNone;
    const std::uint32_t folder = chosen.folder;
    path_.push_back(folder);
    ShowFolder(folder);
    return Navigation::kEntered;
}

}  // namespace vrz
