// The two writers of the save step. Both copy exactly the entries the scan
// put into state.entries, byte for byte from state.scanLayout, and give each
// a fresh central directory header.
//
// They write state.outputPath through a hidden temporary file in the same
// folder, which takes the final name only when the archive is complete and
// never by replacing a file: if the name was taken meanwhile, the next free
// "_fixed<n>" name is used and state.outputPath updated. They poll
// state.SaveMayContinue() before every block and set state.savePercent.
// Failures go to reporter.ReportSaveFailure: "IDS_FAILEDFILE" when the source
// cannot be read or changed since the scan, "IDS_CREATEDFAILED" with the
// system's reason when the output cannot be created or written (a full disk).
// On false (failure or cancel) nothing is left behind in the folder.
#pragma once

#include "state/JobReporter.h"
#include "state/JobState.h"
#include "writer/RebuildState.h"

namespace vrz {

bool RebuildSingleArchive(JobState& state, JobReporter& reporter, RebuildState* run = nullptr);

// A split archive becomes one single-file archive.
bool RebuildSplitArchive(JobState& state, JobReporter& reporter, RebuildState* run = nullptr);

}  // namespace vrz
