// The two writers of the save step. Both copy exactly the entries the scan
// put into state.entries, byte for byte from state.scanLayout, and give each
// a fresh central directory header.
//
// They write state.outputPath through a file without a name in the same
// folder (a hidden temporary name where the file system cannot make one),
// which is synced and then takes the final name, never by replacing a file:
// if the name was taken meanwhile, the next free "_fixed<n>" name is used and
// state.outputPath updated. They poll state.SaveMayContinue() before every
// block and set state.savePercent. Naming the output is the point of no
// return, claimed through state.saveCommit: an abort that claims it first
// leaves nothing. Failures go to reporter.ReportSaveFailed as a code with the
// path and the system's reason (source unreadable or changed since the scan,
// output not created, disk full, other write failure, output not named).
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
