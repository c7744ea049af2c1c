#include "state/JobState.h"

namespace vrz {

void JobState::ResetTable() {
    entries.clear();
    entries.shrink_to_fit();
    extras.clear();
    extras.shrink_to_fit();
    findings.clear();
    archiveComment.clear();
    partials.clear();
    verifyPercent = -1;
    scanLayout.Clear();
    scanPosition = 0;
    windowStart = 0;
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
