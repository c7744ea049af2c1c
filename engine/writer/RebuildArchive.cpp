#include "writer/RebuildArchive.h"

#include "writer/LayoutRebuilder.h"

namespace vrz {

bool RebuildSingleArchive(JobState& state, JobReporter& reporter, RebuildState* run) {
    RebuildOptions options;
    options.splitArchive = false;
    return RebuildLayout(state, reporter, options, run);
}

bool RebuildSplitArchive(JobState& state, JobReporter& reporter, RebuildState* run) {
    // The scan laid the parts back to back and recorded every row's offset
    // in that layout, so an entry that crosses parts is one range like any other.
    RebuildOptions options;
    options.splitArchive = true;
    return RebuildLayout(state, reporter, options, run);
}

}  // namespace vrz
