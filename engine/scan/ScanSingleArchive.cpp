#include "scan/ScanSingleArchive.h"

#include "io/FileIo.h"

namespace vrz {

bool ScanSingleArchive(JobState& state, JobReporter& reporter, const ScanOptions& options) {
    state.progressPercent = 0;
    state.scanSourcePath = state.sourcePath;
    state.scanLayout.Clear();

    InputFile file;
    std::uint64_t size = 0;
    if (!file.Open(state.sourcePath) || !file.Size(&size)) {
        state.progressPercent = 100;
        reporter.ReportScanFailureOn("IDS_FAILEDFILE", state.sourcePath, file.LastError());
        return false;
    }
    file.Close();
    if (size <= kSmallestRefusedSize) {
        state.progressPercent = 100;
        reporter.ReportScanFailure("IDS_WORD9");
        return false;
    }
    state.scanLayout.AddPart(state.sourcePath, size, false);
    return ScanLayout(state, reporter, options);
}

}  // namespace vrz
