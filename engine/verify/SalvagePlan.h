// Finds what the cut entries a scan met still hold: for each local header
// whose data runs past the end of the surviving bytes (or into a missing
// part), decodes its data from the start as far as it goes.
#pragma once

#include "state/JobState.h"

namespace vrz {

// Fills state.partials from state.findings. Encrypted entries, methods this
// build cannot decode, headers inside an accepted entry's data and data that
// yields no byte are left out. False only when cancelled.
bool PlanSalvage(JobState& state);

}  // namespace vrz
