#include "state/JobState.h"

namespace vrz {

void JobState::ResetTable() {
    entries.clear();
    entries.shrink_to_fit();
    findings.clear();
    archiveComment.clear();
    partials.clear();
    verifyPercent = -1;
    scanLayout.Clear();
    scanPosition = 0;
    windowStart = 0;
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
