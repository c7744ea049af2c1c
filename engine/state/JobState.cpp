#include "state/JobState.h"

#include "state/LostFilesName.h"

namespace vrz {

void JobState::ResetTable() {
    entries.clear();
    entries.shrink_to_fit();
    extras.clear();
    extras.shrink_to_fit();
    names.Clear();
    findings.Clear();
    scanWork = ScanWork{};
    archiveComment.clear();
    partials.clear();
    verifyPercent = -1;
    scanLayout.Clear();
    scanPosition = 0;
    windowStart = 0;
}

std::string JobState::NameOf(const RecoveredEntry& row) const {
    if (row.nameForm == RowNameForm::kLostFiles) return LostFilesName(names.View(row.name));
    return std::string(names.View(row.name));
}

std::string_view JobState::StoredHeaderName(const RecoveredEntry& row) const {
    return row.nameForm == RowNameForm::kTwo ? names.ViewSecond(row.name) : names.View(row.name);
}

std::string_view JobState::HeaderNameOf(const RecoveredEntry& row) const {
    // Before a header was read, the table name; a "#Lost Files/" row was named from its header.
    if (row.nameForm == RowNameForm::kTwo && !row.check.headerRead) return names.View(row.name);
    return StoredHeaderName(row);
}

bool JobState::IsFolder(const RecoveredEntry& row) const {
    // A "#Lost Files/" name ends as the header's does.
    return IsFolderName(names.View(row.name));
}

void JobState::SetNames(RecoveredEntry& row, std::string_view tableName, std::string_view headerName) {
    if (tableName == headerName) {
        row.name = names.Add(tableName);
        row.nameForm = RowNameForm::kOne;
    } else if (tableName == LostFilesName(headerName)) {
        row.name = names.Add(headerName);
        row.nameForm = RowNameForm::kLostFiles;
    } else {
        row.name = names.AddPair(tableName, headerName);
        row.nameForm = RowNameForm::kTwo;
    }
}

void JobState::SetName(RecoveredEntry& row, std::string_view tableName) {
    const bool headerKnown = row.nameForm != RowNameForm::kOne || row.check.headerRead;
    if (!headerKnown) {
        row.name = names.Add(tableName);
        return;
    }
    const std::string headerName(StoredHeaderName(row));
    SetNames(row, tableName, headerName);
}

void JobState::SetHeaderName(RecoveredEntry& row, std::string_view headerName) {
    // The verifier sets the name it read again; most rows need no new bytes.
    if (StoredHeaderName(row) == headerName) return;
    SetNames(row, NameOf(row), headerName);
}

const EntryExtras& JobState::ExtrasOf(const RecoveredEntry& row) const {
    static const EntryExtras kNone;
    return row.extrasIndex < extras.size() ? extras[row.extrasIndex] : kNone;
}

EntryExtras& JobState::ExtrasFor(RecoveredEntry& row) {
    if (row.extrasIndex >= extras.size()) {
        row.extrasIndex = static_cast<std::uint32_t>(extras.size());
        extras.emplace_back();
    }
    return extras[row.extrasIndex];
}

bool JobState::ScanMayContinue() {
    pauseGate.WaitWhilePaused();
    return jobRunning.load();
}

bool JobState::SaveMayContinue() {
    pauseGate.WaitWhilePaused();
    return jobRunning.load() && !saveAborted.load();
}

}  // namespace vrz
