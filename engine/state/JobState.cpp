#include "state/JobState.h"

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

void JobState::SetHeaderName(RecoveredEntry& row, std::string_view headerName) {
    row.headerName = headerName == NameOf(row) ? row.name : names.Add(headerName);
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
