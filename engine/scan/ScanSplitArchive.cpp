#include "scan/ScanSplitArchive.h"

#include "io/FileIo.h"
#include "scan/PartDiscovery.h"

namespace vrz {

bool ScanSplitArchive(JobState& state, JobReporter& reporter, const ScanOptions& options) {
    state.progressPercent = 0;
    state.scanSourcePath = state.sourcePath;
    state.scanLayout.Clear();

    for (const DiscoveredPart& part : DiscoverParts(state.sourcePath, state.splitIsZipx)) {
        InputFile file;
        std::uint64_t size = 0;
        if (!file.Open(part.path) || !file.Size(&size)) {
            state.progressPercent = 100;
            reporter.ReportScanFailureOn("IDS_FAILEDFILE", part.path, file.LastError());
            return false;
        }
        state.scanLayout.AddPart(part.path, size, part.continuesPrevious);
    }
    ScanOptions split = options;
    split.paceProgress = true;
    return ScanLayout(state, reporter, split);
}

}  // namespace vrz
