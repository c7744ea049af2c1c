#include "state/JobState.h"

#include "state/LostFilesName.h"

namespace vrz {

void JobState::ResetTable() {
    entries.clear();
    entries.shrink_to_fit();
    extras.clear();
    extras.shrink_to_fit();
    checkDetails.clear();
    checkDetails.shrink_to_fit();
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

namespace {

// What a check without a side-table entry decoded: an intact entry its
// stored size and CRC-32, any other nothing.
CheckDetail ImpliedDetail(const RecoveredEntry& row, EntryStatus status) {
    CheckDetail implied;
    if (status == EntryStatus::kIntact) {
        implied.decodedSize = row.uncompressedSize;
        implied.decodedCrc = row.crc32;
    }
    return implied;
}

}  // namespace

EntryCheck JobState::CheckOf(const RecoveredEntry& row) const {
    EntryCheck check;
    check.method = row.check.method;
    check.flags = row.check.flags;
    check.status = row.check.status;
    check.reason = row.check.reason;
    check.headerRead = row.check.headerRead;
    check.decodedByScan = row.check.decodedByScan;
    const CheckDetail detail = row.check.detailIndex < checkDetails.size() ? checkDetails[row.check.detailIndex]
                                                                           : ImpliedDetail(row, row.check.status);
    check.decodedSize = detail.decodedSize;
    check.decodedCrc = detail.decodedCrc;
    check.failureOffset = detail.failureOffset;
    check.hasFailureOffset = detail.hasFailureOffset;
    return check;
}

void JobState::SetCheck(RecoveredEntry& row, const EntryCheck& check) {
    row.check.method = check.method;
    row.check.flags = check.flags;
    row.check.status = check.status;
    row.check.reason = check.reason;
    row.check.headerRead = check.headerRead;
    row.check.decodedByScan = check.decodedByScan;
    const CheckDetail implied = ImpliedDetail(row, check.status);
    if (check.decodedSize == implied.decodedSize && check.decodedCrc == implied.decodedCrc &&
        check.failureOffset == 0 && !check.hasFailureOffset) {
        row.check.detailIndex = kNoCheckDetail;
        return;
    }
    // A new slot each time: a row copied out may still read the old one.
    row.check.detailIndex = static_cast<std::uint32_t>(checkDetails.size());
    CheckDetail detail;
    detail.decodedSize = check.decodedSize;
    detail.decodedCrc = check.decodedCrc;
    detail.failureOffset = check.failureOffset;
    detail.hasFailureOffset = check.hasFailureOffset;
    checkDetails.push_back(detail);
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
